#pragma once

// What a command writes: its output on standard output, its diagnostics on
// standard error ("orvane-cli COMMAND: ..."), both buffered, so that many
// lines and many warnings cost few system calls. Where both streams reach
// the same place (2>&1) the diagnostics go into the output's buffer, after
// the line of their input; elsewhere each stream keeps only its own order.

#include "cli_app.h"

#include <cstddef>
#include <string>

namespace cli
{

class COutput
{
public:
    explicit COutput(Environment& environment);

    // Standard output's buffer: a command appends its output here.
    std::string& Out() { return m_out; }
    // A text for standard error.
    void Diagnostic(const std::string& text) { (m_shared ? m_out : m_err) += text; }

    // After each input: a terminal sees it at once; other targets get a
    // buffer when it is full.
    void InputDone();
    // Everything so far goes out: at the end, and whenever the input pauses,
    // so an interactive pipe sees each answer.
    void Flush();

    bool Failed() const { return m_error != 0; }
    int Error() const { return m_error; } // the errno value of standard output's failure

private:
    static constexpr std::size_t kLimit = 1u << 16;

    void FlushOut();
    void FlushErr();

    CByteSink& m_outSink;
    CByteSink& m_errSink;
    const bool m_shared;
    const bool m_outTerminal;
    const bool m_errTerminal;
    std::string m_out; // with the diagnostics too, when shared
    std::string m_err;
    int m_error = 0;
};

// The diagnostics of the program, or of one of its commands.
class CDiagnostics
{
public:
    // command: as the user names it, or null for the program itself.
    CDiagnostics(COutput& output, const char* command);

    void Say(const std::string& diagnostic);
    // The diagnostic and a hint at the help.
    void UsageError(const std::string& diagnostic);
    // Flushes the output: a failure to write it is said, and turns status
    // into kExitBadInput.
    int Finish(int status);

private:
    COutput& m_output;
    const char* m_command;
    std::string m_prefix;
};

// What an input came to.
enum class Verdict
{
    Clean,  // nothing to say
    Warned, // read, with a warning
    Bad,    // an error; its output line or object carries it too
};

// The verdicts on the inputs of one command: each input's diagnostic said as
// the user wants it, and whether any input was bad.
class CVerdicts
{
public:
    // sayWarnings: false when quiet, or for JSON, whose objects carry them.
    CVerdicts(COutput& output, CDiagnostics& diagnostics, bool sayWarnings)
        : m_output(output), m_diagnostics(diagnostics), m_sayWarnings(sayWarnings)
    {
    }

    // After each input.
    void Input(Verdict verdict, const std::string& diagnostic);
    int Status() const { return m_anyBad ? kExitBadInput : kExitOk; }

private:
    COutput& m_output;
    CDiagnostics& m_diagnostics;
    const bool m_sayWarnings;
    bool m_anyBad = false;
};

} // namespace cli
