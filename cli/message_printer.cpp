#include "message_printer.h"
#include "display_text.h"

#include "hex_codec.h"
#include "message_json.h"
#include "tlv.h"

#include <algorithm>

namespace cli
{

namespace
{

using message::FieldValue;
using message::Message;
using message::Problem;

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

// The place, message type, bitmaps and message specification; the length
// and header parts below them, their labels aligned.
void PrintHead(const message::MessageSpec& spec, const Message& message, const InputPlace& place, std::string& out)
{
    out += PlaceText(place);
    out += ": ";
    if (message.hasMti)
        out.append(message.mti, 4);
    if (message.bitmapBytes != 0)
    {
        out += ", bitmap ";
        AppendHex(message::BitmapBytes(message), out);
    }
    out += " (" + spec.name + ")\n";
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
}

// The rows of a TLV field's tags, indented by their depth.
void AddTagRows(const Message& message, const FieldValue& field, const MessagePrintOptions& options,
                std::vector<Row>& rows)
{
    const message::TlvField* tlv = message.FindTlv(field.number);
    for (std::size_t i = tlv != nullptr ? tlv->nodesStart : 0; tlv != nullptr && i < tlv->nodesEnd; ++i)
    {
        const message::TlvNode& node = message.tlvNodes[i];
        Row row{"", std::string(2 * node.depth + 2, ' ') + message::TagText(node), std::to_string(node.valueLength),
                "", message::TagName(options.language, node.tag)};
        if (node.constructed)
            row.value = "(constructed)";
        else
            message::AppendShownTag(message, field, node, options.unmask, row.value);
        rows.push_back(std::move(row));
    }
}

void PrintRows(const std::vector<Row>& rows, std::string& out)
{
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
}

// "9F26" and the rest of a column's name after its field's dot.
bool ParseColumnTag(const std::string& item, std::size_t dot, Column& column, std::string& error)
{
    if (dot == std::string::npos)
        return true;
    column.kind = Column::Tag;
    if (message::ParseTag(item.substr(dot + 1), column.tag, column.tagBytes))
        return true;
    error = QuoteText(item.substr(dot + 1)) + " is no TLV tag";
    return false;
}

bool ParseColumn(const std::string& item, Column& column, std::string& error)
{
    const std::size_t dot = item.find('.');
    const std::string number = item.substr(0, dot);
    if (item == "mti" || item == "bitmap" || item == "length")
        column.kind = item == "mti" ? Column::Mti : item == "bitmap" ? Column::Bitmap : Column::Length;
    else if (message::IsFieldNumber(number))
    {
        column.field = static_cast<std::uint32_t>(std::stoul(number));
        if (column.field < 2 || column.field > message::kLastField)
        {
            error = "field " + number + " is outside 2-192";
            return false;
        }
        return ParseColumnTag(item, dot, column, error);
    }
    else if (!item.empty() && item.find_first_not_of("abcdefghijklmnopqrstuvwxyz_") == std::string::npos)
    {
        column.kind = Column::Header;
        column.name = item;
    }
    else
    {
        error = QuoteText(item) + " is no column: a field number, FIELD.TAG, mti, bitmap, length or a header part";
        return false;
    }
    return true;
}

} // namespace

bool ParseColumns(const std::string& list, std::vector<Column>& columns, std::string& error)
{
    columns.clear();
    for (std::size_t start = 0; start <= list.size();)
    {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        Column column{Column::Field, "", 0, 0, 0};
        if (!ParseColumn(list.substr(start, comma - start), column, error))
            return false;
        columns.push_back(column);
        start = comma + 1;
    }
    return true;
}

CMessagePrinter::CMessagePrinter(const message::MessageSpec& spec, const MessagePrintOptions& options)
    : m_spec(spec), m_options(options)
{
}

void CMessagePrinter::Print(const Message& message, const Problem* error, const InputPlace& place, std::string& out)
{
    switch (m_options.form)
    {
    case MessageForm::Text:
        PrintText(message, error, place, out);
        break;
    case MessageForm::Json:
        AppendJsonStart(place, out);
        message::AppendMessageJson(m_spec, message, error, m_options.unmask, out);
        out += "}\n";
        break;
    case MessageForm::Columns:
        PrintColumns(message, out);
        break;
    }
}

void CMessagePrinter::PrintText(const Message& message, const Problem* error, const InputPlace& place,
                                std::string& out)
{
    PrintHead(m_spec, message, place, out);
    std::vector<Row> rows;
    bool masked = false;
    for (const FieldValue& field : message.fields)
    {
        Row row{std::to_string(field.number), message::DescribeFormat(*m_spec.FormatOf(field.number)),
                std::to_string(field.length), "", message::FieldName(m_spec, m_options.language, field.number)};
        masked = message::AppendShownValue(m_spec, message, field, {m_options.unmask, true}, row.value) || masked;
        rows.push_back(std::move(row));
        AddTagRows(message, field, m_options, rows);
    }
    PrintRows(rows, out);
    if (error != nullptr)
        out += "  error: " + error->Text() + "\n";
    if (masked)
        out += "  card data masked (--unmask shows it)\n";
    else if (m_options.unmask)
        out += "  not masked\n";
    out += '\n';
}

void CMessagePrinter::PrintColumns(const Message& message, std::string& out)
{
    for (std::size_t i = 0; i < m_options.columns.size(); ++i)
    {
        if (i != 0)
            out += '\t';
        PrintColumn(message, m_options.columns[i], out);
    }
    out += '\n';
}

void CMessagePrinter::PrintColumn(const Message& message, const Column& column, std::string& out)
{
    const FieldValue* field = column.kind == Column::Field || column.kind == Column::Tag ? message.Find(column.field)
                                                                                         : nullptr;
    switch (column.kind)
    {
    case Column::Mti:
        if (message.hasMti)
            message::AppendShownText(std::string_view(message.mti, 4), out);
        break;
    case Column::Bitmap:
        AppendHex(message::BitmapBytes(message), out);
        break;
    case Column::Length:
        if (message.hasLengthPrefix)
            out += std::to_string(message.lengthPrefix);
        break;
    case Column::Header:
        for (const message::HeaderValue& part : message.header)
        {
            if (part.part->name == column.name)
                AppendHex(part.bytes, out);
        }
        break;
    case Column::Field:
        if (field != nullptr)
            message::AppendShownValue(m_spec, message, *field, {m_options.unmask, true}, out);
        break;
    case Column::Tag:
        if (const message::TlvNode* node = field != nullptr ? message::FindTag(message, *field, column.tag) : nullptr)
            message::AppendShownTag(message, *field, *node, m_options.unmask, out);
        break;
    }
}

} // namespace cli
