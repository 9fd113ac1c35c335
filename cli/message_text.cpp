#include "message_text.h"

#include "element_names.h"
#include "emv_tags.h"
#include "field_codec.h"
#include "masking.h"

#include <algorithm>
#include <cstring>

namespace cli
{

namespace
{

using message::Content;

using message::FieldValue;
using message::Message;
using message::Problem;

void AppendHex(std::string_view bytes, std::string& out)
{
    for (char c : bytes)
    {
        out += message::HexDigit(static_cast<unsigned char>(c) >> 4);
        out += message::HexDigit(static_cast<unsigned char>(c) & 0x0FU);
    }
}

// A text value for a line of text: control bytes and DEL as \xNN, so no
// value can break a line or a column.
void AppendEscaped(std::string_view text, std::string& out)
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
        out += message::HexDigit(byte >> 4);
        out += message::HexDigit(byte & 0x0FU);
    }
}

bool IsBinary(const message::FieldFormat& format)
{
    return format.content == Content::B || format.content == Content::Bitmap;
}

// The name the message specification gives the field, else its ISO 8583:1987 name.
const char* FieldName(const message::MessageSpec& spec, Names names, std::uint32_t number)
{
    const message::FieldNames& own = spec.names[number];
    const std::string& name = names == Names::Chinese ? own.chinese : own.english;
    if (!name.empty())
        return name.c_str();
    if (number > 128)
        return "";
    return names == Names::Chinese ? DataElementNameZh(number) : DataElementName(number);
}

const char* TagName(Names names, std::uint32_t tag)
{
    const message::EmvTag* known = message::FindEmvTag(tag);
    if (known == nullptr)
        return "";
    return names == Names::Chinese ? known->chinese : known->english;
}

void AppendNumber(std::size_t value, std::string& out)
{
    out += std::to_string(value);
}

// Columns of text padded to their widest cell, counted in bytes: names come
// last, so a wide character never shifts a column after it.
void AppendPadded(const std::string& cell, std::size_t width, bool right, std::string& out)
{
    const std::size_t fill = width > cell.size() ? width - cell.size() : 0;
    if (right)
        out.append(fill, ' ');
    out += cell;
    if (!right)
        out.append(fill, ' ');
}

struct Row
{
    std::string number, format, length, value;
    const char* name;
};

} // namespace

bool ParseColumns(const std::string& list, std::vector<Column>& columns, std::string& error)
{
    columns.clear();
    std::size_t start = 0;
    while (start <= list.size())
    {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, comma - start);
        start = comma + 1;
        Column column{Column::Field, "", 0, 0, 0};
        const std::size_t dot = item.find('.');
        const std::string number = item.substr(0, dot);
        if (item == "mti")
            column.kind = Column::Mti;
        else if (item == "bitmap")
            column.kind = Column::Bitmap;
        else if (item == "length")
            column.kind = Column::Length;
        else if (!number.empty() && number.size() <= 3 && number.find_first_not_of("0123456789") == std::string::npos)
        {
            column.field = static_cast<std::uint32_t>(std::stoul(number));
            if (column.field < 2 || column.field > message::kLastField)
            {
                error = "field " + number + " is outside 2-192";
                return false;
            }
            if (dot != std::string::npos)
            {
                column.kind = Column::Tag;
                if (!message::ParseTag(item.substr(dot + 1), column.tag, column.tagBytes))
                {
                    error = Quote(item.substr(dot + 1)) + " is no TLV tag";
                    return false;
                }
            }
        }
        else if (!item.empty() && item.find_first_not_of("abcdefghijklmnopqrstuvwxyz_") == std::string::npos)
        {
            column.kind = Column::Header;
            column.name = item;
        }
        else
        {
            error = Quote(item) + " is no column: a field number, FIELD.TAG, mti, bitmap, length or a header part";
            return false;
        }
        columns.push_back(column);
    }
    return true;
}

CMessageWriter::CMessageWriter(const message::MessageSpec& spec, const MessageOutputOptions& options)
    : m_spec(spec), m_options(options)
{
}

void CMessageWriter::Write(const Message& message, const Problem* error, const InputPlace& place, std::string& out,
                           std::vector<Problem>& warnings)
{
    m_masked.clear();
    warnings = message.warnings;
    ReadTlvFields(message, warnings);
    switch (m_options.form)
    {
    case MessageForm::Text:
        WriteText(message, error, place, out);
        break;
    case MessageForm::Json:
        WriteJson(message, error, place, out);
        out += ",\"warnings\":[";
        for (std::size_t i = 0; i < warnings.size(); ++i)
        {
            out += i == 0 ? "" : ",";
            AppendJsonString(warnings[i].Text(), out);
        }
        out += "]}\n";
        break;
    case MessageForm::Columns:
        WriteColumns(message, out);
        break;
    }
}

void CMessageWriter::ReadTlvFields(const Message& message, std::vector<Problem>& warnings)
{
    m_nodes.clear();
    m_tlv.clear();
    for (const FieldValue& field : message.fields)
    {
        const message::FieldFormat& format = *m_spec.fields[field.number];
        if (!format.tlv)
            continue;
        Tlv tlv{field.number, message.Value(field), m_nodes.size(), 0};
        message::TlvProblem problem;
        // Each field's nodes follow the previous field's: the reader starts its list afresh.
        const bool read = message::ReadTlv(tlv.value, m_fieldNodes, problem);
        m_nodes.insert(m_nodes.end(), m_fieldNodes.begin(), m_fieldNodes.end());
        if (!read)
        {
            // Offsets from the first byte of the input, as every other problem's.
            const std::size_t unit = format.encoding == message::Encoding::Hex ? 2 : 1;
            warnings.push_back(Problem{static_cast<int>(field.number),
                                       field.offset + message::PrefixBytes(format) + unit * problem.offset,
                                       "TLV " + problem.what + " at byte " + std::to_string(problem.offset) +
                                           " of the value; the rest is shown raw"});
        }
        tlv.nodesEnd = m_nodes.size();
        m_tlv.push_back(tlv);
    }
}

const CMessageWriter::Tlv* CMessageWriter::TlvOf(std::uint32_t field) const
{
    for (const Tlv& tlv : m_tlv)
    {
        if (tlv.field == field)
            return &tlv;
    }
    return nullptr;
}

const std::string& CMessageWriter::Shown(const FieldValue& field, std::string_view value, bool escape)
{
    m_shown.clear();
    const bool binary = IsBinary(*m_spec.fields[field.number]);
    if (binary)
        AppendHex(value, m_shown);
    else if (escape)
        AppendEscaped(value, m_shown);
    else
        m_shown.assign(value.data(), value.size());
    if (m_options.unmask)
        return m_shown;
    bool masked = message::MaskFieldText(field.number, m_shown);
    if (const Tlv* tlv = binary ? TlvOf(field.number) : nullptr)
    {
        for (std::size_t i = tlv->nodesStart; i < tlv->nodesEnd; ++i)
        {
            const message::TlvNode& node = m_nodes[i];
            if (!message::IsSensitiveTag(node.tag))
                continue;
            std::fill_n(m_shown.begin() + static_cast<std::ptrdiff_t>(2 * node.valueOffset), 2 * node.valueLength, '*');
            masked = true;
        }
    }
    if (masked && std::find(m_masked.begin(), m_masked.end(), field.number) == m_masked.end())
        m_masked.push_back(field.number);
    return m_shown;
}

void CMessageWriter::WriteText(const Message& message, const Problem* error, const InputPlace& place,
                               std::string& out)
{
    out += PlaceText(place);
    out += ": ";
    if (message.hasMti)
        out.append(message.mti, 4);
    if (message.bitmapBytes != 0)
    {
        out += ", bitmap ";
        AppendHex(std::string_view(reinterpret_cast<const char*>(message.bitmap), message.bitmapBytes), out);
    }
    out += " (" + m_spec.name + ")\n";
    const std::string lengthLabel = "length";
    std::size_t labelWidth = message.hasLengthPrefix ? lengthLabel.size() : 0;
    for (const message::HeaderValue& part : message.header)
        labelWidth = std::max(labelWidth, part.part->name.size());
    if (message.hasLengthPrefix)
    {
        out += "  ";
        AppendPadded(lengthLabel, labelWidth, false, out);
        out += "  " + std::to_string(message.lengthPrefix) + "\n";
    }
    for (const message::HeaderValue& part : message.header)
    {
        out += "  ";
        AppendPadded(part.part->name, labelWidth, false, out);
        out += "  ";
        AppendHex(part.bytes, out);
        out += '\n';
    }

    std::vector<Row> rows;
    for (const FieldValue& field : message.fields)
    {
        const message::FieldFormat& format = *m_spec.fields[field.number];
        rows.push_back(Row{std::to_string(field.number), message::DescribeFormat(format), std::to_string(field.length),
                           Shown(field, message.Value(field), true), FieldName(m_spec, m_options.names, field.number)});
        const Tlv* tlv = TlvOf(field.number);
        for (std::size_t i = tlv != nullptr ? tlv->nodesStart : 0; tlv != nullptr && i < tlv->nodesEnd; ++i)
        {
            const message::TlvNode& node = m_nodes[i];
            Row row{"", std::string(2 * node.depth + 2, ' ') + message::TagText(node), std::to_string(node.valueLength),
                    "", TagName(m_options.names, node.tag)};
            if (node.constructed)
                row.value = "(constructed)";
            else if (!m_options.unmask && message::IsSensitiveTag(node.tag))
                row.value.assign(2 * node.valueLength, '*');
            else
                AppendHex(tlv->value.substr(node.valueOffset, node.valueLength), row.value);
            rows.push_back(std::move(row));
        }
    }
    std::size_t widths[4] = {3, 0, 0, 0};
    for (const Row& row : rows)
    {
        widths[0] = std::max(widths[0], row.number.size());
        widths[1] = std::max(widths[1], row.format.size());
        widths[2] = std::max(widths[2], row.length.size());
        // A long value (field 55) is not allowed to push every name far right.
        if (row.value.size() <= 40)
            widths[3] = std::max(widths[3], row.value.size());
    }
    for (const Row& row : rows)
    {
        out += "  ";
        AppendPadded(row.number, widths[0], true, out);
        out += "  ";
        AppendPadded(row.format, widths[1], false, out);
        out += "  ";
        AppendPadded(row.length, widths[2], true, out);
        out += "  ";
        if (*row.name == '\0')
        {
            out += row.value;
        }
        else
        {
            AppendPadded(row.value, widths[3], false, out);
            out += "  ";
            out += row.name;
        }
        out += '\n';
    }
    if (error != nullptr)
        out += "  error: " + error->Text() + "\n";
    if (!m_masked.empty())
        out += "  card data masked (--unmask shows it)\n";
    else if (m_options.unmask)
        out += "  not masked\n";
    out += '\n';
}

void CMessageWriter::WriteJson(const Message& message, const Problem* error, const InputPlace& place,
                               std::string& out)
{
    AppendJsonStart(place, out);
    if (error != nullptr)
    {
        out += ",\"error\":";
        AppendJsonString(error->Text(), out);
    }
    if (message.hasLengthPrefix)
    {
        out += ",\"length\":";
        AppendNumber(message.lengthPrefix, out);
    }
    for (const message::HeaderValue& part : message.header)
    {
        out += ",\"";
        out += part.part->name;
        out += "\":\"";
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
        AppendHex(std::string_view(reinterpret_cast<const char*>(message.bitmap), message.bitmapBytes), out);
        out += '"';
    }
    out += ",\"fields\":{";
    for (std::size_t i = 0; i < message.fields.size(); ++i)
    {
        const FieldValue& field = message.fields[i];
        out += i == 0 ? "\"" : ",\"";
        AppendNumber(field.number, out);
        out += "\":";
        const std::string& shown = Shown(field, message.Value(field), false);
        AppendJsonBytes(shown, out);
    }
    out += '}';
    if (!m_tlv.empty())
    {
        out += ",\"tlv\":{";
        for (std::size_t i = 0; i < m_tlv.size(); ++i)
        {
            out += i == 0 ? "\"" : ",\"";
            AppendNumber(m_tlv[i].field, out);
            out += "\":";
            std::size_t node = m_tlv[i].nodesStart;
            WriteTlvJson(m_tlv[i], node, 0, out);
        }
        out += '}';
    }
    out += m_masked.empty() ? ",\"masked\":false" : ",\"masked\":true";
}

// The objects at one depth from node on, as one JSON object: a primitive's
// value in hex, a constructed one's children as an object; a tag that comes
// again gives an array of its values in order.
void CMessageWriter::WriteTlvJson(const Tlv& tlv, std::size_t& node, std::uint8_t depth, std::string& out)
{
    out += '{';
    const std::size_t first = node;
    bool any = false;
    while (node < tlv.nodesEnd && m_nodes[node].depth == depth)
    {
        const message::TlvNode& current = m_nodes[node];
        // The members of a repeated tag were written with its first occurrence.
        bool seen = false;
        for (std::size_t k = first; k < node && !seen; ++k)
            seen = m_nodes[k].depth == depth && m_nodes[k].tag == current.tag;
        std::vector<std::size_t> same;
        for (std::size_t k = node; k < tlv.nodesEnd && m_nodes[k].depth >= depth; ++k)
        {
            if (m_nodes[k].depth == depth && m_nodes[k].tag == current.tag)
                same.push_back(k);
        }
        if (!seen)
        {
            out += any ? ",\"" : "\"";
            out += message::TagText(current);
            out += "\":";
            if (same.size() > 1)
                out += '[';
            for (std::size_t s = 0; s < same.size(); ++s)
            {
                if (s != 0)
                    out += ',';
                const message::TlvNode& item = m_nodes[same[s]];
                if (item.constructed)
                {
                    std::size_t child = same[s] + 1;
                    WriteTlvJson(tlv, child, static_cast<std::uint8_t>(depth + 1), out);
                }
                else if (!m_options.unmask && message::IsSensitiveTag(item.tag))
                {
                    out += '"';
                    out.append(2 * item.valueLength, '*');
                    out += '"';
                }
                else
                {
                    out += '"';
                    AppendHex(tlv.value.substr(item.valueOffset, item.valueLength), out);
                    out += '"';
                }
            }
            if (same.size() > 1)
                out += ']';
            any = true;
        }
        ++node;
        while (node < tlv.nodesEnd && m_nodes[node].depth > depth)
            ++node;
    }
    out += '}';
}

bool CMessageWriter::TlvJson(std::string_view value, std::string& out)
{
    message::TlvProblem problem;
    if (!message::ReadTlv(value, m_nodes, problem))
        return false;
    const Tlv tlv{0, value, 0, m_nodes.size()};
    std::size_t node = 0;
    WriteTlvJson(tlv, node, 0, out);
    return true;
}

void CMessageWriter::WriteColumns(const Message& message, std::string& out)
{
    for (std::size_t i = 0; i < m_options.columns.size(); ++i)
    {
        if (i != 0)
            out += '\t';
        const Column& column = m_options.columns[i];
        switch (column.kind)
        {
        case Column::Mti:
            if (message.hasMti)
                AppendEscaped(std::string_view(message.mti, 4), out);
            break;
        case Column::Bitmap:
            AppendHex(std::string_view(reinterpret_cast<const char*>(message.bitmap), message.bitmapBytes), out);
            break;
        case Column::Length:
            if (message.hasLengthPrefix)
                AppendNumber(message.lengthPrefix, out);
            break;
        case Column::Header:
            for (const message::HeaderValue& part : message.header)
            {
                if (part.part->name == column.name)
                    AppendHex(part.bytes, out);
            }
            break;
        case Column::Field:
            if (const FieldValue* field = message.Find(column.field))
                out += Shown(*field, message.Value(*field), true);
            break;
        case Column::Tag:
        {
            const Tlv* tlv = TlvOf(column.field);
            for (std::size_t k = tlv != nullptr ? tlv->nodesStart : 0; tlv != nullptr && k < tlv->nodesEnd; ++k)
            {
                const message::TlvNode& node = m_nodes[k];
                if (node.tag != column.tag || node.constructed)
                    continue;
                if (!m_options.unmask && message::IsSensitiveTag(node.tag))
                    out.append(2 * node.valueLength, '*');
                else
                    AppendHex(tlv->value.substr(node.valueOffset, node.valueLength), out);
                break;
            }
            break;
        }
        }
    }
    out += '\n';
}

} // namespace cli
