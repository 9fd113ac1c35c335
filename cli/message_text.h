#pragma once

// The output of orvane-cli parse for one message, free of I/O: aligned text,
// a JSON object, or chosen columns, with card data masked unless asked not to.

#include "bitmap_text.h"
#include "input.h"
#include "reader.h"
#include "tlv.h"

#include <string>
#include <vector>

namespace cli
{

enum class MessageForm
{
    Text,
    Json,
    Columns, // -F: chosen parts, tab-separated
};

// One column of -F output.
struct Column
{
    enum Kind
    {
        Mti,
        Bitmap,
        Length,
        Header, // a header part, by name
        Field,
        Tag, // a TLV tag inside a field
    } kind;
    std::string name;         // a header part's name
    std::uint32_t field = 0;
    std::uint32_t tag = 0;
    std::uint8_t tagBytes = 0;
};

// "mti,11,37,39,55.9F26,tpdu" into columns; false with the reason.
bool ParseColumns(const std::string& list, std::vector<Column>& columns, std::string& error);

struct MessageOutputOptions
{
    MessageForm form = MessageForm::Text;
    Names names = Names::English;
    bool unmask = false;
    std::vector<Column> columns;
};

class CMessageWriter
{
public:
    CMessageWriter(const message::MessageSpec& spec, const MessageOutputOptions& options);

    // Appends the output of one message that was read (error null) or
    // failed (what was read before it, then the error). warnings gets the
    // message's warnings, the reader's and those of its TLV fields; JSON
    // output carries them, other forms leave them to the caller.
    void Write(const message::Message& message, const message::Problem* error, const InputPlace& place,
               std::string& out, std::vector<message::Problem>& warnings);

    // The "tlv" member's object for the bytes of one TLV field, as Write
    // shows it; false if they are not well-formed BER-TLV.
    bool TlvJson(std::string_view value, std::string& out);

private:
    struct Tlv
    {
        std::uint32_t field;
        std::string_view value;
        std::size_t nodesStart, nodesEnd; // into m_nodes
    };

    void ReadTlvFields(const message::Message& message, std::vector<message::Problem>& warnings);
    // The value as shown: text (control bytes escaped only in text output),
    // or hex; masked as card data is.
    const std::string& Shown(const message::FieldValue& field, std::string_view value, bool escape);
    const Tlv* TlvOf(std::uint32_t field) const;
    void WriteText(const message::Message& message, const message::Problem* error, const InputPlace& place,
                   std::string& out);
    void WriteJson(const message::Message& message, const message::Problem* error, const InputPlace& place,
                   std::string& out);
    void WriteColumns(const message::Message& message, std::string& out);
    void WriteTlvJson(const Tlv& tlv, std::size_t& node, std::uint8_t depth, std::string& out);

    const message::MessageSpec& m_spec;
    MessageOutputOptions m_options;
    std::vector<message::TlvNode> m_nodes;      // of every TLV field, one after another
    std::vector<message::TlvNode> m_fieldNodes; // of one field, as read
    std::vector<Tlv> m_tlv;
    std::vector<std::uint32_t> m_masked; // fields shown masked
    std::string m_shown;
};

} // namespace cli
