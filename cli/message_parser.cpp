#include "message_parser.h"

namespace cli
{

CMessageParser::CMessageParser(const message::MessageSpec& spec, const MessageParseOptions& options)
    : m_spec(spec), m_options(options), m_writer(spec, options.output)
{
}

Verdict CMessageParser::ParseText(std::string_view text, const InputPlace& place, std::string& out,
                                  std::string& message)
{
    if (m_options.from == message::InputForm::Text)
        return ParseBytes(text, place, out, message);
    if (!message::HexDumpToBytes(text, m_bytes, m_problem))
    {
        m_message.Clear();
        return Finish(false, place, out, message);
    }
    return ParseBytes(m_bytes, place, out, message);
}

Verdict CMessageParser::ParseBytes(std::string_view bytes, const InputPlace& place, std::string& out,
                                   std::string& message)
{
    if (bytes.empty())
        return Reject("the message is empty", place, out, message);
    const bool read = message::ReadMessage(m_spec, m_options.framing, bytes, message::ReadOptions{m_options.strict},
                                           m_message, m_problem);
    return Finish(read, place, out, message);
}

Verdict CMessageParser::Finish(bool read, const InputPlace& place, std::string& out, std::string& message)
{
    // A malformed TLV stays a warning even under strict reading: the
    // field's bytes are sound, only their inner structure is not.
    m_writer.Write(m_message, read ? nullptr : &m_problem, place, out, m_warnings);
    if (!read)
    {
        message = PlaceText(place) + ": " + m_problem.Text();
        return Verdict::Bad;
    }
    if (m_warnings.empty())
        return Verdict::Clean;
    message = "warning: " + PlaceText(place) + ": ";
    for (std::size_t i = 0; i < m_warnings.size(); ++i)
        message += (i == 0 ? "" : "; ") + m_warnings[i].Text();
    return Verdict::Warned;
}

Verdict CMessageParser::Reject(const std::string& reason, const InputPlace& place, std::string& out,
                               std::string& message)
{
    m_message.Clear();
    m_problem = message::Problem{message::kInputPlace, 0, reason};
    return Finish(false, place, out, message);
}

} // namespace cli
