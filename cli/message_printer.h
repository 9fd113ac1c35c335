#pragma once

// The output of orvane-cli parse for one message: aligned text, a JSON
// object, or chosen columns, with card data masked unless asked not to.
// It only prints: what a message holds and how a value is shown is the
// library's.

#include "bitmap_printer.h"
#include "field_view.h"
#include "sources.h"
#include "reader.h"

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

// "mti,11,37,39,55.9F26,tpdu" into the parts of -F output; false with the reason.
bool ParseColumns(const std::string& list, std::vector<message::MessagePart>& columns, std::string& error);

struct MessagePrintOptions
{
    MessageForm form = MessageForm::Text;
    message::Language language = message::Language::English;
    bool unmask = false;
    std::vector<message::MessagePart> columns;
};

class CMessagePrinter
{
public:
    CMessagePrinter(const message::MessageSpec& spec, const MessagePrintOptions& options);

    // Appends the output of one message that was read (error null) or
    // failed (what was read before it, then the error).
    void Print(const message::Message& message, const message::Problem* error, const InputPlace& place,
               std::string& out);

private:
    void PrintText(const message::Message& message, const message::Problem* error, const InputPlace& place,
                   std::string& out);
    void PrintColumns(const message::Message& message, std::string& out);

    const message::MessageSpec& m_spec;
    MessagePrintOptions m_options;
};

} // namespace cli
