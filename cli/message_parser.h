#pragma once

// orvane-cli parse on one input: a text in its wire form (a line or a TEXT
// argument) or raw bytes in; the printed message and the diagnostic for
// standard error out. Raw bytes arrive in pieces as a stream holds them,
// cut into messages by the library's framer.

#include "sources.h"
#include "message_printer.h"
#include "output.h"
#include "wire_form.h"

#include <string>
#include <string_view>

namespace cli
{

struct MessageParseOptions
{
    message::WireForm from = message::WireForm::Text;
    message::Framing framing;
    bool strict = false;
    MessagePrintOptions output;
};

class CMessageParser
{
public:
    CMessageParser(const message::MessageSpec& spec, const MessageParseOptions& options);

    // One message as a text: a line or a TEXT argument.
    Verdict ParseText(std::string_view text, const InputPlace& place, std::string& out, std::string& diagnostic);
    // One message as raw bytes.
    Verdict ParseBytes(std::string_view bytes, const InputPlace& place, std::string& out, std::string& diagnostic);

    // A raw stream in pieces: each whole message is parsed as it completes
    // (message numbers count from 1 per stream). Each verdict that is not
    // Clean is passed to said with its diagnostic.
    template <typename Said>
    void Feed(std::string_view piece, const std::string* file, std::string& out, Said said);
    template <typename Said>
    void EndStream(const std::string* file, std::string& out, Said said);

    // An input that never reached the reader, as a line too long to hold.
    Verdict Reject(const message::Problem& problem, const InputPlace& place, std::string& out, std::string& diagnostic);

    const MessageParseOptions& Options() const { return m_options; }

private:
    Verdict Finish(bool read, const InputPlace& place, std::string& out, std::string& diagnostic);
    InputPlace NextInStream(const std::string* file) { return InputPlace{InputKind::Message, ++m_streamCount, file}; }

    const message::MessageSpec& m_spec;
    MessageParseOptions m_options;
    CMessagePrinter m_printer;
    message::Message m_message;
    message::Problem m_problem;
    std::string m_bytes;
    message::CStreamFramer m_framer;
    std::uint64_t m_streamCount = 0; // messages of the current stream
};

template <typename Said>
void CMessageParser::Feed(std::string_view piece, const std::string* file, std::string& out, Said said)
{
    std::string diagnostic;
    m_framer.Feed(
        piece,
        [&](std::string_view bytes) {
            diagnostic.clear();
            said(ParseBytes(bytes, NextInStream(file), out, diagnostic), diagnostic);
        },
        [&](const message::Problem& lost) {
            diagnostic.clear();
            said(Reject(lost, NextInStream(file), out, diagnostic), diagnostic);
        });
}

template <typename Said>
void CMessageParser::EndStream(const std::string* file, std::string& out, Said said)
{
    std::string diagnostic;
    m_framer.End([&](std::string_view bytes) { said(ParseBytes(bytes, NextInStream(file), out, diagnostic), diagnostic); },
                 [&](const message::Problem& lost) { said(Reject(lost, NextInStream(file), out, diagnostic), diagnostic); });
    m_streamCount = 0;
}

} // namespace cli
