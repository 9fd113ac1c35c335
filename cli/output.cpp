#include "output.h"

#include "sources.h"

namespace cli
{

COutput::COutput(Environment& environment)
    : m_outSink(environment.out),
      m_errSink(environment.err),
      m_shared(environment.sameTarget),
      m_outTerminal(environment.outTerminal || (environment.sameTarget && environment.errTerminal)),
      m_errTerminal(environment.errTerminal)
{
}

void COutput::InputDone()
{
    if (m_out.size() >= kLimit || (m_outTerminal && !m_out.empty()))
        FlushOut();
    if (m_err.size() >= kLimit || (m_errTerminal && !m_err.empty()))
        FlushErr();
}

void COutput::Flush()
{
    FlushOut();
    FlushErr();
}

void COutput::FlushOut()
{
    if (m_out.empty())
        return;
    if (m_error == 0)
        m_error = m_outSink.Write(m_out.data(), m_out.size());
    else if (m_shared)
        // Only diagnostics follow a failure; standard error may still take them.
        static_cast<void>(m_errSink.Write(m_out.data(), m_out.size()));
    m_out.clear();
}

void COutput::FlushErr()
{
    if (m_err.empty())
        return;
    // Nothing better is left to do when even standard error fails.
    static_cast<void>(m_errSink.Write(m_err.data(), m_err.size()));
    m_err.clear();
}

CDiagnostics::CDiagnostics(COutput& output, const char* command)
    : m_output(output),
      m_command(command),
      m_prefix(command != nullptr ? std::string("orvane-cli ") + command + ": " : "orvane-cli: ")
{
}

void CDiagnostics::Say(const std::string& diagnostic)
{
    m_output.Diagnostic(m_prefix + diagnostic + "\n");
}

void CDiagnostics::UsageError(const std::string& diagnostic)
{
    Say(diagnostic);
    const std::string command = m_command != nullptr ? m_command + std::string(" ") : "";
    m_output.Diagnostic("Try 'orvane-cli " + command + "--help'.\n");
}

void CVerdicts::Input(Verdict verdict, const std::string& diagnostic)
{
    m_anyBad = m_anyBad || verdict == Verdict::Bad;
    if (verdict == Verdict::Bad || (verdict == Verdict::Warned && m_sayWarnings))
        m_diagnostics.Say(diagnostic);
    m_output.InputDone();
}

int CDiagnostics::Finish(int status)
{
    m_output.Flush();
    if (!m_output.Failed())
        return status;
    Say("cannot write standard output: " + Reason(m_output.Error()));
    m_output.Flush();
    return kExitBadInput;
}

} // namespace cli
