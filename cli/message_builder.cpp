#include "message_builder.h"

#include "field_codec.h"
#include "tlv.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace cli
{

namespace
{

using Json = nlohmann::ordered_json; // members keep their order: TLV tags are written as listed

bool IsFieldNumber(std::string_view name)
{
    return !name.empty() && name.size() <= 3 && name.find_first_not_of("0123456789") == std::string_view::npos;
}

// Hex text (spaces allowed) into bytes; false with the reason.
bool HexToBytes(std::string_view hex, std::string& bytes, std::string& error)
{
    message::Problem problem;
    if (message::HexDumpToBytes(hex, bytes, problem))
        return true;
    error = problem.what + ": the value is written in hex, 2 digits a byte";
    return false;
}

// parse --json writes each byte over 7F as the code point of its value;
// the JSON reader gives UTF-8, so code points up to FF become bytes again.
bool Utf8ToBytes(const std::string& utf8, std::string& bytes, std::string& error)
{
    bytes.clear();
    for (std::size_t i = 0; i < utf8.size(); ++i)
    {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80)
            bytes += static_cast<char>(c);
        else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size())
            bytes += static_cast<char>((c & 0x03U) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3FU));
        else
        {
            error = "a character beyond U+00FF at byte " + std::to_string(i) +
                    ": a value holds bytes, each byte over 7F written as \\u0080-\\u00ff";
            return false;
        }
    }
    return true;
}

// The objects of a "tlv" member, in the order given; a constructed tag's
// value may be an object of its own tags or its contents in hex.
bool TlvFromJson(const Json& tags, std::uint8_t depth, std::string& out, std::string& error)
{
    if (!tags.is_object())
    {
        error = "expected an object of tags";
        return false;
    }
    if (depth >= message::kMaxTlvDepth)
    {
        error = "templates nested deeper than " + std::to_string(message::kMaxTlvDepth);
        return false;
    }
    for (const auto& member : tags.items())
    {
        std::uint32_t tag = 0;
        std::uint8_t tagBytes = 0;
        if (!message::ParseTag(member.key(), tag, tagBytes))
        {
            error = Quote(member.key()) + " is not a BER-TLV tag";
            return false;
        }
        const bool constructed = ((tag >> (8 * (tagBytes - 1))) & 0x20U) != 0;
        const auto write = [&](const Json& item) {
            std::string value;
            bool written = false;
            if (item.is_object())
                written = constructed ? TlvFromJson(item, static_cast<std::uint8_t>(depth + 1), value, error)
                                      : (error = "primitive: its value is hex, not an object", false);
            else if (item.is_string())
                written = HexToBytes(item.get_ref<const std::string&>(), value, error);
            else
                error = "expected hex, an object or an array of them";
            if (!written)
            {
                error = "tag " + member.key() + ": " + error;
                return false;
            }
            message::WriteTlv(tag, tagBytes, value, out);
            return true;
        };
        if (member.value().is_array())
        {
            for (const Json& item : member.value())
            {
                if (!write(item))
                    return false;
            }
        }
        else if (!write(member.value()))
        {
            return false;
        }
    }
    return true;
}

// Members parse --json writes that the message follows from, or that
// describe where it came from.
bool IsIgnoredMember(const std::string& key)
{
    return key == "input" || key == "source" || key == "file" || key == "length" || key == "bitmap" ||
           key == "masked" || key == "warnings" || key == "error";
}

} // namespace

CMessageBuilder::CMessageBuilder(const message::MessageSpec& spec, const MessageBuildOptions& options)
    : m_spec(spec), m_options(options), m_tlvWriter(spec, MessageOutputOptions{MessageForm::Json, Names::None, true, {}})
{
}

void CMessageBuilder::Clear()
{
    m_input.mti.clear();
    m_input.fields.clear();
    m_header.clear();
    m_mtiGiven = false;
}

bool CMessageBuilder::BuildValues(const std::vector<NamedValue>& values, std::string& out, std::string& error)
{
    Clear();
    for (const NamedValue& value : values)
    {
        if (!Put(value, error))
            return false;
    }
    return Build(out, error);
}

bool CMessageBuilder::Put(const NamedValue& named, std::string& error)
{
    const std::string& name = named.name;
    if (name == "mti")
    {
        if (m_mtiGiven)
        {
            error = "the message type is given twice";
            return false;
        }
        m_mtiGiven = true;
        m_input.mti = named.value;
        return true;
    }
    if (IsFieldNumber(name))
    {
        const auto number = static_cast<std::uint32_t>(std::stoul(name));
        if (number < 1 || number > message::kLastField)
        {
            error = "field " + std::to_string(number) + ": there are fields 1 to 192";
            return false;
        }
        m_input.fields.push_back(message::FieldInput{number, named.value});
        const std::optional<message::FieldFormat>& format = m_spec.fields[number];
        if (format && format->content == message::Content::B &&
            !HexToBytes(named.value, m_input.fields.back().value, error))
        {
            error = "field " + std::to_string(number) + ": " + error;
            return false;
        }
        return true;
    }
    if (!IsHeaderName(name))
    {
        error = "unknown name " + Quote(name) + ": mti, a field number or " + HeaderNames();
        return false;
    }
    if (std::any_of(m_header.begin(), m_header.end(), [&name](const NamedValue& part) { return part.name == name; }))
    {
        error = "the header's " + name + " is given twice";
        return false;
    }
    m_header.push_back(NamedValue{name, std::string()});
    if (!HexToBytes(named.value, m_header.back().value, error))
    {
        error = "the header's " + name + ": " + error;
        return false;
    }
    return true;
}

bool CMessageBuilder::IsHeaderName(const std::string& name) const
{
    const std::vector<message::HeaderPart>& parts = m_options.framing.header;
    return parts.empty() ? name == "header"
                         : std::any_of(parts.begin(), parts.end(),
                                       [&name](const message::HeaderPart& part) { return part.name == name; });
}

std::string CMessageBuilder::HeaderNames() const
{
    if (m_options.framing.header.empty())
        return "header";
    std::string names;
    for (const message::HeaderPart& part : m_options.framing.header)
        names += (names.empty() ? "" : ", ") + part.name;
    return names;
}

bool CMessageBuilder::BuildJson(std::string_view line, std::string& out, std::string& error)
{
    Clear();
    if (line.find_first_not_of(" \t") == std::string_view::npos)
    {
        error = "an empty line, where a JSON object was expected";
        return false;
    }
    Json object;
    try
    {
        object = Json::parse(line);
    }
    catch (const Json::parse_error& e)
    {
        // Its text starts with the library's own code in brackets.
        const std::string what = e.what();
        const std::size_t end = what.find("] ");
        error = "not JSON: " + (end == std::string::npos ? what : what.substr(end + 2));
        return false;
    }
    if (!object.is_object())
    {
        error = "not a JSON object: build reads the objects parse --json --unmask writes";
        return false;
    }
    // Refusals of the whole object come first, whatever its members say.
    if (const auto failed = object.find("error"); failed != object.end())
    {
        error = "parse could not read this message: " + (failed->is_string() ? failed->get<std::string>() : failed->dump());
        return false;
    }
    if (const auto masked = object.find("masked"); masked != object.end() && *masked != false)
    {
        error = "its card data is masked: parse the message with --unmask to build it again";
        return false;
    }
    const Json* tlv = nullptr;
    std::string bytes;
    for (const auto& member : object.items())
    {
        const std::string& key = member.key();
        const Json& value = member.value();
        if (key == "fields" || key == "tlv")
        {
            if (!value.is_object())
            {
                error = "member \"" + key + "\": expected an object";
                return false;
            }
            if (key == "tlv")
            {
                tlv = &value;
                continue;
            }
            for (const auto& field : value.items())
            {
                if (!IsFieldNumber(field.key()))
                {
                    error = "member \"fields\": " + Quote(field.key()) + " is not a field number";
                    return false;
                }
                if (!field.value().is_string())
                {
                    error = "field " + field.key() + ": expected a string";
                    return false;
                }
                if (!Utf8ToBytes(field.value().get_ref<const std::string&>(), bytes, error))
                {
                    error = "field " + field.key() + ": " + error;
                    return false;
                }
                if (!Put(NamedValue{field.key(), bytes}, error))
                    return false;
            }
        }
        else if (!IsIgnoredMember(key))
        {
            if (key != "mti" && !IsHeaderName(key))
            {
                error = "unknown member " + Quote(key) + ": mti, fields, tlv or " + HeaderNames();
                return false;
            }
            if (!value.is_string())
            {
                error = "member \"" + key + "\": expected a string";
                return false;
            }
            if (!Utf8ToBytes(value.get_ref<const std::string&>(), bytes, error) || !Put(NamedValue{key, bytes}, error))
                return false;
        }
    }
    static const Json kNoTags = Json::object();
    for (const auto& member : (tlv != nullptr ? *tlv : kNoTags).items())
    {
        const std::string& key = member.key();
        const std::uint32_t number = IsFieldNumber(key) ? static_cast<std::uint32_t>(std::stoul(key)) : 0;
        if (number == 0 || number > message::kLastField || !m_spec.fields[number] || !m_spec.fields[number]->tlv)
        {
            error = "member \"tlv\": " + Quote(key) + " is not a TLV field of the message specification " + m_spec.name;
            return false;
        }
        std::string value;
        if (!TlvFromJson(member.value(), 0, value, error))
        {
            error = "field " + key + ": " + error;
            return false;
        }
        const auto given = std::find_if(m_input.fields.begin(), m_input.fields.end(),
                                        [number](const message::FieldInput& field) { return field.number == number; });
        if (given == m_input.fields.end())
        {
            m_input.fields.push_back(message::FieldInput{number, value});
            continue;
        }
        // Both ways agree when the field's own bytes show these tags: those
        // bytes are kept, padding and length forms as they were.
        std::string shown;
        if (given->value != value &&
            !(m_tlvWriter.TlvJson(given->value, shown) && Json::parse(shown) == member.value()))
        {
            error = "field " + key + ": its value in \"fields\" and its tags in \"tlv\" differ: leave one of them out";
            return false;
        }
    }
    return Build(out, error);
}

bool CMessageBuilder::Build(std::string& out, std::string& error)
{
    if (!m_mtiGiven)
    {
        error = "the message type is not given (mti=0200)";
        return false;
    }
    message::Framing framing = m_options.framing;
    m_input.header.clear();
    if (m_options.fixedHeader || framing.header.empty())
    {
        // One header of any size: the options', or the input's own.
        const auto part = std::find_if(m_header.begin(), m_header.end(),
                                       [](const NamedValue& given) { return given.name == "header"; });
        const std::string* bytes = m_options.fixedHeader ? &m_options.header
                                   : part != m_header.end() ? &part->value
                                                            : nullptr;
        framing.header.clear();
        if (bytes != nullptr && !bytes->empty())
        {
            framing.header.push_back(message::HeaderPart{"header", bytes->size()});
            m_input.header.push_back(*bytes);
        }
    }
    else
    {
        for (const message::HeaderPart& part : framing.header)
        {
            const auto given = std::find_if(m_header.begin(), m_header.end(),
                                            [&part](const NamedValue& value) { return value.name == part.name; });
            if (given == m_header.end())
            {
                error = "the header's " + part.name + " is not given: " + std::to_string(part.size) +
                        " bytes in hex (" + part.name + "=...)";
                return false;
            }
            m_input.header.push_back(given->value);
        }
    }
    m_message.clear();
    message::Problem problem;
    if (!message::BuildMessage(m_spec, framing, m_input, message::BuildOptions{m_options.pad}, m_message, problem))
    {
        error = message::PlaceName(problem.place) + ": " + problem.what;
        return false;
    }
    switch (m_options.to)
    {
    case message::InputForm::Text:
    {
        // A line break inside would split the message into two lines.
        const std::size_t lineBreak = m_message.find_first_of("\r\n");
        if (lineBreak != std::string::npos)
        {
            error = "the message holds a line break at byte " + std::to_string(lineBreak) +
                    ": write it --to hex or --to binary";
            return false;
        }
        out += m_message;
        out += '\n';
        break;
    }
    case message::InputForm::Hex:
        for (const char c : m_message)
        {
            out += message::HexDigit(static_cast<unsigned char>(c) >> 4);
            out += message::HexDigit(static_cast<unsigned char>(c) & 0x0FU);
        }
        out += '\n';
        break;
    case message::InputForm::Binary:
        out += m_message;
        break;
    }
    return true;
}

} // namespace cli
