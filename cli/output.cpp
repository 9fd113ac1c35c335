#include "output.h"

#include "input.h"

namespace cli
{

COutput::COutput(Environment& environment) : m_outSink(environment.out), m_errSink(environment.err) {}

void COutput::Message(const std::string& text)
{
    Flush();
    // Nothing better is left to do when even standard error fails.
    static_cast<void>(m_errSink.Write(text.data(), text.size()));
}

void COutput::InputDone()
{
    if (m_out.size() >= kLimit)
        Flush();
}

void COutput::Flush()
{
    if (!m_out.empty() && m_error == 0)
        m_error = m_outSink.Write(m_out.data(), m_out.size());
    m_out.clear();
}

CMessages::CMessages(COutput& output, const char* command)
    : m_output(output), m_command(command), m_prefix(command != nullptr ? std::string("orvane-cli ") + command + ": " : "orvane-cli: ")
{
}

void CMessages::Say(const std::string& message)
{
    m_output.Message(m_prefix + message + "\n");
}

void CMessages::UsageError(const std::string& message)
{
    Say(message);
    m_output.Message(std::string("Try 'orvane-cli ") + (m_command != nullptr ? m_command + std::string(" ") : "") + "--help'.\n");
}

int CMessages::Finish(int status)
{
    m_output.Flush();
    if (!m_output.Failed())
        return status;
    Say("cannot write standard output: " + Reason(m_output.Error()));
    m_output.Flush();
    return kExitBadInput;
}

} // namespace cli
