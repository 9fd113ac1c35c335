#pragma once

// What a command writes: its output on standard output, its messages on
// standard error ("orvane-cli COMMAND: ..."), both through one layer that
// buffers them.

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
    // A text for standard error, after the output before it.
    void Message(const std::string& text);

    // After each input: a full buffer goes out.
    void InputDone();
    // Everything so far goes out: at the end, and whenever the input pauses,
    // so an interactive user sees each answer at once.
    void Flush();

    bool Failed() const { return m_error != 0; }
    int Error() const { return m_error; } // the errno value of standard output's failure

private:
    static constexpr std::size_t kLimit = 1u << 16;
    CByteSink& m_outSink;
    CByteSink& m_errSink;
    std::string m_out;
    int m_error = 0;
};

// The messages of the program, or of one of its commands.
class CMessages
{
public:
    // command: as the user names it, or null for the program itself.
    CMessages(COutput& output, const char* command);

    void Say(const std::string& message);
    // The message and a hint at the help.
    void UsageError(const std::string& message);
    // Flushes the output: a failure to write it is said, and turns status
    // into kExitBadInput.
    int Finish(int status);

private:
    COutput& m_output;
    const char* m_command;
    std::string m_prefix;
};

} // namespace cli
