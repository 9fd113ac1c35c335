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

} // namespace

bool ParseColumns(const std::string& list, std::vector<message::MessagePart>& columns, std::string& error)
{
    columns.clear();
    message::Problem problem;
    for (std::size_t start = 0; start <= list.size();)
    {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (!message::ParseMessagePart(std::string_view(list).substr(start, comma - start), columns.emplace_back(),
                                       problem))
        {
            error = message::English(problem);
            return false;
        }
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
        message::AppendPart(m_spec, message, m_options.columns[i], m_options.unmask, out);
    }
    out += '\n';
}

} // namespace cli
