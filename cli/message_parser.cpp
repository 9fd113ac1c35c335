#include "message_parser.h"

namespace cli
{

CMessageParser::CMessageParser(const message::MessageSpec& spec, const MessageParseOptions& options)
    : m_spec(spec), m_options(options), m_printer(spec, options.output), m_framer(options.framing.lengthPrefix)
{
}

Verdict CMessageParser::ParseText(std::string_view text, const InputPlace& place, std::string& out,
                                  std::string& diagnostic)
{
    if (m_options.from == message::WireForm::Text)
        return ParseBytes(text, place, out, diagnostic);
    if (!message::WireToBytes(m_options.from, text, m_bytes, m_problem))
    {
        m_message.Clear();
        return Finish(false, place, out, diagnostic);
    }
    return ParseBytes(m_bytes, place, out, diagnostic);
}

Verdict CMessageParser::ParseBytes(std::string_view bytes, const InputPlace& place, std::string& out,
                                   std::string& diagnostic)
{
    if (bytes.empty())
        return Reject(message::Problem(message::Place(), 0, message::ProblemKind::EmptyMessage), place, out,
                      diagnostic);
    const bool read = message::ReadMessage(m_spec, m_options.framing, bytes, message::ReadOptions{m_options.strict},
                                           m_message, m_problem);
    return Finish(read, place, out, diagnostic);
}

Verdict CMessageParser::Finish(bool read, const InputPlace& place, std::string& out, std::string& diagnostic)
{
    m_printer.Print(m_message, read ? nullptr : &m_problem, place, out);
    if (!read)
    {
        diagnostic = PlaceText(place) + ": " + m_problem.Text();
        return Verdict::Bad;
    }
    if (m_message.warnings.empty())
        return Verdict::Clean;
    diagnostic = "warning: " + PlaceText(place) + ": ";
    for (std::size_t i = 0; i < m_message.warnings.size(); ++i)
        diagnostic += (i == 0 ? "" : "; ") + m_message.warnings[i].Text();
    return Verdict::Warned;
}

Verdict CMessageParser::Reject(const message::Problem& problem, const InputPlace& place, std::string& out,
                               std::string& diagnostic)
{
    m_message.Clear();
    m_problem = problem;
    return Finish(false, place, out, diagnostic);
}

} // namespace cli
