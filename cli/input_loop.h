#pragma once

// The one loop over a command's inputs: the sources in command-line order,
// standard input and files read as lines or as raw chunks with a bounded
// amount of memory, the output flushed whenever a read comes back short (an
// interactive user waits for it), and the verdict of each input recorded as
// the command's handler returns it.

#include "output.h"
#include "problem.h"
#include "sources.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli
{

// Bytes read at most at once, and so the size of a chunk.
constexpr std::size_t kReadSize = 1u << 16;

// What one input came to, and what standard error is to say of it.
struct Outcome
{
    Verdict verdict;
    std::string diagnostic;
};

// The outcome of work on one input that returns its verdict and writes its diagnostic.
template <typename Work>
Outcome OutcomeOf(Work work)
{
    std::string diagnostic;
    const Verdict verdict = work(diagnostic);
    return Outcome{verdict, std::move(diagnostic)};
}

// Where the inputs of a raw stream are reported as each completes.
class CInputReport
{
public:
    virtual ~CInputReport() = default;
    virtual void Input(Verdict verdict, const std::string& diagnostic) = 0;
    void Input(const Outcome& outcome) { Input(outcome.verdict, outcome.diagnostic); }
    // Whether to read on; false once the output has failed.
    virtual bool ReadOn() const = 0;
};

// A command's work on each input. Its output goes to the buffer it was given.
class CInputHandler
{
public:
    virtual ~CInputHandler() = default;
    // A TEXT argument: by default, as a line.
    virtual Outcome Text(const std::string& text, const InputPlace& place) { return Line(text, place); }
    // A line without its LF and the one CR before it.
    virtual Outcome Line(const std::string& line, const InputPlace& place) = 0;
    // A line of a stream, as its own input unless the handler joins lines
    // into inputs of its own and reports them as each completes.
    virtual void FeedLine(const std::string& line, const InputPlace& place, CInputReport& report)
    {
        report.Input(Line(line, place));
    }
    // A line over the limit, never held whole: problem is a LineTooLong at
    // the input's first byte.
    virtual Outcome TooLong(const message::Problem& problem, const InputPlace& place) = 0;
    // The next bytes of a raw stream, as one read returned them.
    virtual void Chunk(std::string_view bytes, const std::string* file, CInputReport& report);
    // The end of standard input or of a file (file null for standard input),
    // its last line or chunk handed on.
    virtual void EndOfSource(const std::string* file, CInputReport& report);
};

enum class Reading
{
    Lines, // LF ends a line; a last line without LF counts too
    Chunks,
};

class CInputLoop : private CInputReport
{
public:
    // sayWarnings: false when quiet, or for JSON, whose objects carry them.
    CInputLoop(const Environment& environment, COutput& output, CDiagnostics& diagnostics, bool sayWarnings);

    // Each source in command-line order (none: standard input), until the
    // output has failed: a TEXT numbered among the TEXTs, standard input or a
    // file. A file that cannot be opened or read is a bad input: "cannot open
    // PATH: ...", "cannot read PATH: ...". Returns the exit status the
    // verdicts give.
    int Run(const std::vector<Source>& sources, Reading reading, CInputHandler& handler);

private:
    using CInputReport::Input;
    void Input(Verdict verdict, const std::string& diagnostic) override { m_verdicts.Input(verdict, diagnostic); }
    bool ReadOn() const override { return !m_output.Failed(); }

    // The errno value of a read error, or 0.
    int ReadStream(CByteSource& in, const std::string* file, Reading reading, CInputHandler& handler);

    const Environment& m_environment;
    COutput& m_output;
    CVerdicts m_verdicts;
};

} // namespace cli
