#include "field_view.h"

#include "element_names.h"
#include "emv_tags.h"
#include "hex_codec.h"
#include "masking.h"
#include "wire_form.h"

#include <algorithm>

namespace message
{

void AppendShownText(std::string_view text, std::string& out)
{
    for (char c : text)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F && byte != '\\')
        {
            out += c;
            continue;
        }
        out += "\\x";
        AppendHex(std::string_view(&c, 1), out);
    }
}

namespace
{

// Hides the values of the card-data tags in the hex of a TLV field.
bool MaskTags(const Message& message, const TlvField& tlv, char* hex)
{
    bool masked = false;
    for (std::size_t i = tlv.nodesStart; i < tlv.nodesEnd; ++i)
    {
        const TlvNode& node = message.tlvNodes[i];
        if (!IsSensitiveTag(node.tag))
            continue;
        std::fill_n(hex + 2 * node.valueOffset, 2 * node.valueLength, '*');
        masked = true;
    }
    return masked;
}

} // namespace

const char* FieldName(const MessageSpec& spec, Language language, std::uint32_t number)
{
    const FieldNames& own = spec.names[number];
    const std::string& name = language == Language::Chinese ? own.chinese : own.english;
    if (!name.empty())
        return name.c_str();
    if (number > 128)
        return "";
    return language == Language::Chinese ? DataElementNameZh(number) : DataElementName(number);
}

const char* TagName(Language language, std::uint32_t tag)
{
    const EmvTag* known = FindEmvTag(tag);
    if (known == nullptr)
        return "";
    return language == Language::Chinese ? known->chinese : known->english;
}

bool IsShownAsHex(const FieldFormat& format)
{
    return format.content == Content::B || format.content == Content::Bitmap;
}

bool AppendShownValue(const MessageSpec& spec, const Message& message, const FieldValue& field,
                      const ViewOptions& options, std::string& out)
{
    const std::size_t start = out.size();
    const std::string_view value = message.Value(field);
    const bool hex = IsShownAsHex(*spec.FormatOf(field.number));
    if (hex)
        AppendHex(value, out);
    else if (options.escape)
        AppendShownText(value, out);
    else
        out.append(value.data(), value.size());
    const TlvField* tlv = hex ? message.FindTlv(field.number) : nullptr;
    if (options.unmask || (!HoldsCardData(field.number) && tlv == nullptr))
        return false;
    std::string shown = out.substr(start);
    bool masked = MaskFieldText(field.number, shown);
    if (tlv != nullptr)
        masked = MaskTags(message, *tlv, &shown[0]) || masked;
    out.replace(start, std::string::npos, shown);
    return masked;
}

const TlvNode* FindTag(const Message& message, const FieldValue& field, std::uint32_t tag)
{
    const TlvField* tlv = message.FindTlv(field.number);
    for (std::size_t i = tlv != nullptr ? tlv->nodesStart : 0; tlv != nullptr && i < tlv->nodesEnd; ++i)
    {
        const TlvNode& node = message.tlvNodes[i];
        if (node.tag == tag && !node.constructed)
            return &node;
    }
    return nullptr;
}

void AppendShownTag(const Message& message, const FieldValue& field, const TlvNode& node, bool unmask,
                    std::string& out)
{
    if (!unmask && IsSensitiveTag(node.tag))
        out.append(2 * node.valueLength, '*');
    else
        AppendHex(message.Value(field).substr(node.valueOffset, node.valueLength), out);
}

bool ParseMessagePart(std::string_view text, MessagePart& part, Problem& problem)
{
    part = MessagePart{};
    const std::size_t dot = text.find('.');
    const std::string_view number = text.substr(0, dot);
    const auto refuse = [&problem](ProblemKind kind, std::string_view found) {
        problem = Problem(Place(), kNoOffset, kind);
        problem.found = std::string(found);
        return false;
    };
    if (text == "mti" || text == "bitmap" || text == "length")
    {
        part.kind = text == "mti" ? MessagePart::Mti : text == "bitmap" ? MessagePart::Bitmap : MessagePart::Length;
        return true;
    }
    if (IsPartName(text) && text.find_first_not_of("0123456789") != std::string_view::npos)
    {
        part.kind = MessagePart::Header;
        part.name = std::string(text);
        return true;
    }
    if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string_view::npos)
        return refuse(ProblemKind::PartUnknown, text);
    part.field = static_cast<std::uint32_t>(std::stoul(std::string(number)));
    if (part.field < 2 || part.field > kLastField)
        return refuse(ProblemKind::PartFieldOutside, number);
    if (dot == std::string_view::npos)
        return true;
    part.kind = MessagePart::Tag;
    return ParseTag(text.substr(dot + 1), part.tag, part.tagBytes) || refuse(ProblemKind::PartNotTag, text.substr(dot + 1));
}

void AppendPart(const MessageSpec& spec, const Message& message, const MessagePart& part, bool unmask,
                std::string& out)
{
    const FieldValue* field =
        part.kind == MessagePart::Field || part.kind == MessagePart::Tag ? message.Find(part.field) : nullptr;
    const TlvNode* node = part.kind == MessagePart::Tag && field != nullptr ? FindTag(message, *field, part.tag) : nullptr;
    switch (part.kind)
    {
    case MessagePart::Mti:
        if (message.hasMti)
            AppendShownText(std::string_view(message.mti, 4), out);
        break;
    case MessagePart::Bitmap:
        AppendHex(BitmapBytes(message), out);
        break;
    case MessagePart::Length:
        out += message.hasLengthPrefix ? std::to_string(message.lengthPrefix) : "";
        break;
    case MessagePart::Header:
        for (const HeaderValue& header : message.header)
            AppendHex(header.part->name == part.name ? header.bytes : std::string_view(), out);
        break;
    case MessagePart::Field:
        if (field != nullptr)
            AppendShownValue(spec, message, *field, ViewOptions{unmask, true}, out);
        break;
    case MessagePart::Tag:
        if (node != nullptr)
            AppendShownTag(message, *field, *node, unmask, out);
        break;
    }
}

bool ValueFromShown(const FieldFormat* format, std::string_view shown, std::string& value, Problem& problem)
{
    if (format == nullptr || format->content != Content::B)
    {
        value.assign(shown.data(), shown.size());
        return true;
    }
    if (HexToBytes(shown, value, problem))
        return true;
    problem.building = true;
    return false;
}

} // namespace message
