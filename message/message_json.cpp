#include "message_json.h"

#include "field_codec.h"
#include "hex_codec.h"
#include "masking.h"
#include "wire_form.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>

namespace message
{

namespace
{

using Json = nlohmann::ordered_json; // members keep their order: TLV tags are written as listed

// The length of the UTF-8 sequence at p, or 0 if there is none.
std::size_t Utf8Length(const unsigned char* p, const unsigned char* end)
{
    const unsigned c = p[0];
    const std::size_t length = c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
    if (length == 0 || static_cast<std::size_t>(end - p) < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
    {
        if ((p[i] & 0xC0U) != 0x80U)
            return 0;
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0) || (c == 0xF0 && p[1] < 0x90) ||
        (c == 0xF4 && p[1] >= 0x90))
        return 0;
    return length;
}

void AppendJson(std::string_view text, bool utf8Passes, std::string& out)
{
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = p + text.size();
    while (p < end)
    {
        const unsigned c = *p;
        const std::size_t utf8 = c >= 0x80 && utf8Passes ? Utf8Length(p, end) : 0;
        if (utf8 != 0)
        {
            out.append(reinterpret_cast<const char*>(p), utf8);
            p += utf8;
            continue;
        }
        if (c == '"' || c == '\\')
        {
            out += '\\';
            out += static_cast<char>(c);
        }
        else if (c < 0x20 || c >= 0x7F)
        {
            // JSON's escapes in lower case, from the one hex table.
            out += "\\u00";
            out += static_cast<char>(HexDigit(c >> 4) | 0x20);
            out += static_cast<char>(HexDigit(c & 15) | 0x20);
        }
        else
        {
            out += static_cast<char>(c);
        }
        ++p;
    }
    out += '"';
}

// The objects of one TLV value: nodes as ReadTlv gives them.
class CTlvJson
{
public:
    CTlvJson(std::string_view value, const TlvNode* nodes, std::size_t count, bool unmask)
        : m_value(value), m_nodes(nodes), m_count(count), m_unmask(unmask)
    {
    }

    void Append(std::string& out)
    {
        std::size_t node = 0;
        AppendLevel(node, 0, out);
    }

private:
    // The objects at one depth from node on, as one JSON object: a
    // primitive's value in hex, a constructed one's children as an object; a
    // tag that comes again gives an array of its values in order.
    void AppendLevel(std::size_t& node, std::uint8_t depth, std::string& out)
    {
        out += '{';
        const std::size_t first = node;
        bool any = false;
        while (node < m_count && m_nodes[node].depth == depth)
        {
            if (!SeenBefore(first, node, depth))
            {
                out += any ? ",\"" : "\"";
                out += TagText(m_nodes[node]);
                out += "\":";
                AppendTag(node, depth, out);
                any = true;
            }
            ++node;
            while (node < m_count && m_nodes[node].depth > depth)
                ++node;
        }
        out += '}';
    }

    // Whether the tag at node was written with an earlier one of its level.
    bool SeenBefore(std::size_t first, std::size_t node, std::uint8_t depth) const
    {
        for (std::size_t k = first; k < node; ++k)
        {
            if (m_nodes[k].depth == depth && m_nodes[k].tag == m_nodes[node].tag)
                return true;
        }
        return false;
    }

    // The values of the tag at node and of its repeats on the same level.
    void AppendTag(std::size_t node, std::uint8_t depth, std::string& out)
    {
        std::vector<std::size_t> same;
        for (std::size_t k = node; k < m_count && m_nodes[k].depth >= depth; ++k)
        {
            if (m_nodes[k].depth == depth && m_nodes[k].tag == m_nodes[node].tag)
                same.push_back(k);
        }
        if (same.size() > 1)
            out += '[';
        for (std::size_t s = 0; s < same.size(); ++s)
        {
            out += s != 0 ? "," : "";
            AppendValue(same[s], depth, out);
        }
        if (same.size() > 1)
            out += ']';
    }

    void AppendValue(std::size_t at, std::uint8_t depth, std::string& out)
    {
        const TlvNode& item = m_nodes[at];
        if (item.constructed)
        {
            std::size_t child = at + 1;
            AppendLevel(child, static_cast<std::uint8_t>(depth + 1), out);
            return;
        }
        out += '"';
        if (!m_unmask && IsSensitiveTag(item.tag))
            out.append(2 * item.valueLength, '*');
        else
            AppendHex(m_value.substr(item.valueOffset, item.valueLength), out);
        out += '"';
    }

    std::string_view m_value;
    const TlvNode* m_nodes;
    std::size_t m_count;
    bool m_unmask;
};

// Without a string of its own: every field of every message has one.
void AppendNumber(std::size_t value, std::string& out)
{
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// "N": after an object's opening brace, or ,"N": after a member.
void AppendKey(bool first, std::uint32_t number, std::string& out)
{
    out += first ? "\"" : ",\"";
    AppendNumber(number, out);
    out += "\":";
}

// length, the header parts, mti and bitmap: what comes before the fields.
void AppendHead(const Message& message, std::string& out)
{
    if (message.hasLengthPrefix)
    {
        out += ",\"length\":";
        AppendNumber(message.lengthPrefix, out);
    }
    for (const HeaderValue& part : message.header)
    {
        out += ",\"" + part.part->name + "\":\"";
        AppendHex(part.bytes, out);
        out += '"';
    }
    if (message.hasMti)
    {
        out += ",\"mti\":";
        AppendJsonBytes(std::string_view(message.mti, 4), out);
    }
    if (message.bitmapBytes != 0)
    {
        out += ",\"bitmap\":\"";
        AppendHex(BitmapBytes(message), out);
        out += '"';
    }
}

// fields and tlv; whether anything was masked.
bool AppendFields(const MessageSpec& spec, const Message& message, bool unmask, std::string& out)
{
    bool masked = false;
    std::string shown;
    out += ",\"fields\":{";
    for (std::size_t i = 0; i < message.fields.size(); ++i)
    {
        const FieldValue& field = message.fields[i];
        AppendKey(i == 0, field.number, out);
        shown.clear();
        masked = AppendShownValue(spec, message, field, ViewOptions{unmask, false}, shown) || masked;
        AppendJsonBytes(shown, out);
    }
    out += '}';
    for (std::size_t i = 0; i < message.tlv.size(); ++i)
    {
        const TlvField& tlv = message.tlv[i];
        out += i == 0 ? ",\"tlv\":{" : "";
        AppendKey(i == 0, tlv.number, out);
        CTlvJson(message.Value(*message.Find(tlv.number)), message.tlvNodes.data() + tlv.nodesStart,
                 tlv.nodesEnd - tlv.nodesStart, unmask)
            .Append(out);
    }
    if (!message.tlv.empty())
        out += '}';
    return masked;
}

} // namespace

void AppendJsonString(std::string_view text, std::string& out)
{
    AppendJson(text, true, out);
}

void AppendJsonBytes(std::string_view bytes, std::string& out)
{
    AppendJson(bytes, false, out);
}

void AppendMessageJson(const MessageSpec& spec, const Message& message, const Problem* error, bool unmask,
                       std::string& out)
{
    if (error != nullptr)
    {
        out += ",\"error\":";
        AppendJsonString(error->Text(), out);
    }
    AppendHead(message, out);
    const bool masked = AppendFields(spec, message, unmask, out);
    out += masked ? ",\"masked\":true" : ",\"masked\":false";
    out += ",\"warnings\":[";
    for (std::size_t i = 0; i < message.warnings.size(); ++i)
    {
        out += i == 0 ? "" : ",";
        AppendJsonString(message.warnings[i].Text(), out);
    }
    out += ']';
}

} // namespace message

namespace message
{

namespace
{


// parse --json writes each byte over 7F as the code point of its value;
// the JSON reader gives UTF-8, so code points up to FF become bytes again.
bool Utf8ToBytes(const std::string& utf8, std::string& bytes, Place place, Problem& problem)
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
            Refuse(problem, std::move(place), ProblemKind::BeyondLatin1);
            problem.at = i;
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

// The BER-TLV of a "tlv" member's tags, in the order given; a constructed
// tag's value may be an object of its own tags or its contents in hex. A
// problem's place is the field, with the tags down to it as its path.
class CTlvFromJson
{
public:
    explicit CTlvFromJson(Problem& problem) : m_problem(problem) {}

    bool Tags(const Json& tags, std::uint8_t depth, std::string& out)
    {
        if (!tags.is_object())
            return Refuse(m_problem, Place(), ProblemKind::TagsExpected);
        if (depth >= kMaxTlvDepth)
        {
            Refuse(m_problem, Place(), ProblemKind::TagsTooDeep);
            m_problem.needed = kMaxTlvDepth;
            return false;
        }
        for (const auto& member : tags.items())
        {
            if (!Tag(member.key(), member.value(), depth, out))
                return false;
        }
        return true;
    }

private:
    bool Tag(const std::string& key, const Json& value, std::uint8_t depth, std::string& out)
    {
        std::uint32_t tag = 0;
        std::uint8_t tagBytes = 0;
        if (!ParseTag(key, tag, tagBytes))
            return Refuse(m_problem, Place(), ProblemKind::NotTag, key);
        const bool constructed = ((tag >> (8 * (tagBytes - 1))) & 0x20U) != 0;
        const Json* items = value.is_array() ? &value : nullptr;
        for (std::size_t i = 0; i < (items != nullptr ? items->size() : 1); ++i)
        {
            std::string bytes;
            if (!Value(items != nullptr ? (*items)[i] : value, constructed, depth, bytes))
            {
                m_problem.place.path = key + (m_problem.place.path.empty() ? "" : "\n") + m_problem.place.path;
                return false;
            }
            WriteTlv(tag, tagBytes, bytes, out);
        }
        return true;
    }

    bool Value(const Json& item, bool constructed, std::uint8_t depth, std::string& bytes)
    {
        if (item.is_object() && constructed)
            return Tags(item, static_cast<std::uint8_t>(depth + 1), bytes);
        if (item.is_object())
            return Refuse(m_problem, Place(), ProblemKind::PrimitiveObject);
        if (!item.is_string())
            return Refuse(m_problem, Place(), ProblemKind::TlvValueExpected);
        if (HexToBytes(item.get_ref<const std::string&>(), bytes, m_problem))
            return true;
        m_problem.offset = kNoOffset;
        m_problem.building = true;
        return false;
    }

    Problem& m_problem;
};

class CJsonReader
{
public:
    CJsonReader(CBuildValues& values, Problem& problem) : m_values(values), m_problem(problem) {}

    bool Read(const Json& object)
    {
        const Json* tlv = nullptr;
        for (const auto& member : object.items())
        {
            const std::string& key = member.key();
            if (key == "tlv" || key == "fields")
            {
                if (!member.value().is_object())
                    return Refuse(m_problem, Place::OfMember(key), ProblemKind::ExpectedObject);
                if (key == "tlv")
                    tlv = &member.value();
                else if (!Fields(member.value()))
                    return false;
            }
            else if (!IsIgnoredMember(key) && !Other(key, member.value()))
                return false;
        }
        return tlv == nullptr || TlvFields(*tlv);
    }

private:
    bool Fields(const Json& fields)
    {
        for (const auto& field : fields.items())
        {
            const std::string& key = field.key();
            if (!IsFieldNumber(key))
                return Refuse(m_problem, Place::OfMember("fields"), ProblemKind::NotFieldNumber, key);
            const Place place = Place::OfField(static_cast<std::uint32_t>(std::stoul(key)));
            if (!field.value().is_string())
                return Refuse(m_problem, place, ProblemKind::ExpectedString);
            if (!Utf8ToBytes(field.value().get_ref<const std::string&>(), m_bytes, place, m_problem) ||
                !m_values.Put(NamedValue{key, m_bytes}, m_problem))
                return false;
        }
        return true;
    }

    // mti or a header part.
    bool Other(const std::string& key, const Json& value)
    {
        if (key != "mti" && !m_values.IsHeaderName(key))
            return Refuse(m_problem, Place(), ProblemKind::UnknownMember, key, m_values.HeaderNames());
        if (!value.is_string())
            return Refuse(m_problem, Place::OfMember(key), ProblemKind::ExpectedString);
        return Utf8ToBytes(value.get_ref<const std::string&>(), m_bytes, Place(), m_problem) &&
               m_values.Put(NamedValue{key, m_bytes}, m_problem);
    }

    bool TlvFields(const Json& tlv)
    {
        const MessageSpec& spec = m_values.Spec();
        for (const auto& member : tlv.items())
        {
            const std::string& key = member.key();
            const std::uint32_t number = IsFieldNumber(key) ? static_cast<std::uint32_t>(std::stoul(key)) : 0;
            const FieldFormat* format = number != 0 ? spec.FormatOf(number) : nullptr;
            if (format == nullptr || !format->tlv)
                return Refuse(m_problem, Place::OfMember("tlv"), ProblemKind::NotTlvField, key, spec.name);
            std::string value;
            if (!CTlvFromJson(m_problem).Tags(member.value(), 0, value))
            {
                m_problem.place.kind = m_problem.place.path.empty() ? PlaceKind::Field : PlaceKind::Tag;
                m_problem.place.field = number;
                return false;
            }
            if (!Agree(number, member.value(), value))
                return false;
        }
        return true;
    }

    // The field from its tags, or, when "fields" gives it too, whether the
    // two agree: then the field's own bytes are kept, padding and length
    // forms as they were.
    bool Agree(std::uint32_t number, const Json& tags, std::string& value)
    {
        std::vector<FieldInput>& fields = m_values.Fields();
        const auto given = std::find_if(fields.begin(), fields.end(),
                                        [number](const FieldInput& field) { return field.number == number; });
        if (given == fields.end())
        {
            fields.push_back(FieldInput{number, std::move(value)});
            return true;
        }
        if (given->value == value || ShowsTags(given->value, tags))
            return true;
        return Refuse(m_problem, Place::OfField(number), ProblemKind::TlvDiffers);
    }

    // Whether bytes are BER-TLV that parse shows as these tags.
    static bool ShowsTags(std::string_view bytes, const Json& tags)
    {
        std::vector<TlvNode> nodes;
        Problem ignored;
        if (!ReadTlv(bytes, nodes, ignored))
            return false;
        std::string shown;
        CTlvJson(bytes, nodes.data(), nodes.size(), true).Append(shown);
        return Json::parse(shown) == tags;
    }

    CBuildValues& m_values;
    Problem& m_problem;
    std::string m_bytes;
};

// The object of a line, or false: empty, not JSON, not an object.
bool ParseObject(std::string_view line, Json& object, Problem& problem)
{
    if (line.find_first_not_of(" \t") == std::string_view::npos)
        return Refuse(problem, Place(), ProblemKind::EmptyLine);
    try
    {
        object = Json::parse(line);
    }
    catch (const Json::exception& e) // a syntax error, or a number too large for a double
    {
        // Its text starts with the library's own code in brackets.
        const std::string what = e.what();
        const std::size_t end = what.find("] ");
        return Refuse(problem, Place(), ProblemKind::NotJson, end == std::string::npos ? what : what.substr(end + 2));
    }
    if (!object.is_object())
        return Refuse(problem, Place(), ProblemKind::NotJsonObject);
    return true;
}

} // namespace

bool ReadMessageJson(std::string_view line, CBuildValues& values, Problem& problem)
{
    values.Clear();
    Json object;
    if (!ParseObject(line, object, problem))
        return false;
    // Refusals of the whole object come first, whatever its members say.
    if (const auto failed = object.find("error"); failed != object.end())
        return Refuse(problem, Place(), ProblemKind::ParseError,
                      failed->is_string() ? failed->get<std::string>() : failed->dump());
    if (const auto masked = object.find("masked"); masked != object.end() && *masked != false)
        return Refuse(problem, Place(), ProblemKind::Masked);
    return CJsonReader(values, problem).Read(object);
}

} // namespace message
