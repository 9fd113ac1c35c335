#pragma once

// The work of orvane-cli parse on one input, free of I/O: a text (the
// message's characters or a hex dump) or raw bytes in; its output and the
// message for standard error out. Raw bytes arrive in pieces as a stream
// holds them, framed by the length prefix when there is one.

#include "bitmap_text.h"
#include "input.h"
#include "message_text.h"
#include "reader.h"

#include <string>
#include <string_view>

namespace cli
{

struct MessageParseOptions
{
    message::InputForm from = message::InputForm::Text;
    message::Framing framing;
    bool strict = false;
    MessageOutputOptions output;
};

class CMessageParser
{
public:
    CMessageParser(const message::MessageSpec& spec, const MessageParseOptions& options);

    // One message as a text: a line or a TEXT argument.
    Verdict ParseText(std::string_view text, const InputPlace& place, std::string& out, std::string& message);
    // One message as raw bytes.
    Verdict ParseBytes(std::string_view bytes, const InputPlace& place, std::string& out, std::string& message);

    // A raw stream in pieces: with a length prefix every whole frame is
    // parsed as it completes (message numbers count from 1 per stream);
    // without one, the whole stream is one message, parsed at EndStream.
    // Each verdict that is not Clean is passed to said with its message.
    template <typename Said>
    void Feed(std::string_view piece, const std::string* file, std::string& out, Said said);
    template <typename Said>
    void EndStream(const std::string* file, std::string& out, Said said);

    // An input that never reached the reader, as a line too long to hold.
    Verdict Reject(const std::string& reason, const InputPlace& place, std::string& out, std::string& message);

    const MessageParseOptions& Options() const { return m_options; }

private:
    Verdict Finish(bool read, const InputPlace& place, std::string& out, std::string& message);

    const message::MessageSpec& m_spec;
    MessageParseOptions m_options;
    CMessageWriter m_writer;
    message::Message m_message;
    message::Problem m_problem;
    std::vector<message::Problem> m_warnings;
    std::string m_bytes;
    std::string m_stream;          // raw bytes not yet parsed
    std::uint64_t m_streamCount = 0; // messages of the current stream
    bool m_tooLong = false;
};

// Longest raw message read whole from a stream without a length prefix.
constexpr std::size_t kMaxRawMessageBytes = 1u << 24;

template <typename Said>
void CMessageParser::Feed(std::string_view piece, const std::string* file, std::string& out, Said said)
{
    if (m_options.framing.lengthPrefix == message::LengthPrefix::None)
    {
        // Memory stays bounded however long the stream runs.
        m_tooLong = m_tooLong || m_stream.size() + piece.size() > kMaxRawMessageBytes;
        if (!m_tooLong)
            m_stream.append(piece.data(), piece.size());
        return;
    }
    m_stream.append(piece.data(), piece.size());
    std::size_t used = 0;
    std::string text;
    for (;;)
    {
        std::size_t size = 0;
        const std::string_view rest = std::string_view(m_stream).substr(used);
        if (!message::FramedSize(m_options.framing.lengthPrefix, rest, size, m_problem))
        {
            if (m_problem.what.empty())
                break;
            // A stream whose framing is lost cannot be resynchronised: the rest is one error.
            m_problem.offset += used;
            text.clear();
            said(Reject(m_problem.Text(), InputPlace{InputKind::Message, ++m_streamCount, file}, out, text), text);
            used = m_stream.size();
            break;
        }
        if (rest.size() < size)
            break;
        text.clear();
        said(ParseBytes(rest.substr(0, size), InputPlace{InputKind::Message, ++m_streamCount, file}, out, text), text);
        used += size;
    }
    m_stream.erase(0, used);
}

template <typename Said>
void CMessageParser::EndStream(const std::string* file, std::string& out, Said said)
{
    std::string text;
    const InputPlace place{InputKind::Message, ++m_streamCount, file};
    if (m_tooLong)
        said(Reject("a message longer than " + std::to_string(kMaxRawMessageBytes) +
                        " bytes: a stream of many messages needs --length-prefix",
                    place, out, text),
             text);
    else if (m_options.framing.lengthPrefix == message::LengthPrefix::None)
    {
        if (!m_stream.empty())
            said(ParseBytes(m_stream, place, out, text), text);
    }
    else if (!m_stream.empty())
    {
        std::size_t size = 0;
        message::FramedSize(m_options.framing.lengthPrefix, m_stream, size, m_problem);
        said(Reject("the stream ends inside a message: " + std::to_string(m_stream.size()) + " of its " +
                        (size != 0 ? std::to_string(size) : std::string("length prefix's")) + " bytes",
                    place, out, text),
             text);
    }
    m_stream.clear();
    m_streamCount = 0;
    m_tooLong = false;
}

} // namespace cli
