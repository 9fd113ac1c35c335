#pragma once

// Hex dumps as tools and logs print them, read back into bytes: xxd,
// hexdump -C, od -A x -t x1z, Wireshark's hex dump and the usual switch log
// dump. A line is an offset, the bytes in hex (pairs, or xxd's groups of
// four digits) and a column of their characters. Which tokens are bytes is
// decided by the layout, never by whether a token looks like hex: the
// characters column holds exactly as many characters as the line holds bytes
// (between | | or > < it may be padded with spaces), and it follows the bytes
// after two spaces or more. Each line's offset is where the one before it
// ended; a line of only an offset (hexdump's and od's last) checks the total,
// and a "*" line (hexdump's and od's elided repeats) repeats the line before
// it up to the next offset.
//
// Plain hex without offsets is HexToBytes's (wire_form.h), not this.

#include "problem.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace message
{

// Fed one line at a time; a message ends at a blank line, at a line of offset
// 0 (a new dump starts) or at the end of the input.
class CDumpReader
{
public:
    // Feeds one line without its line end (a trailing CR is dropped).
    // lineNumber counts from 1 and lineStart is the line's offset in the
    // caller's input, for the problem. False on a line that is no dump line,
    // or whose offset does not follow on: problem says why, the message it
    // was in is dropped and the lines after it up to a blank line or an offset
    // 0 are skipped. Take a finished message before feeding the next line
    // (one may be waiting even after a failure: the dump before a new one).
    bool Line(std::string_view line, std::uint64_t lineNumber, std::size_t lineStart, Problem& problem);

    // At the end of the input: whatever is pending becomes a message. False
    // when a "*" is left without an offset after it.
    bool Finish(Problem& problem);

    bool HasMessage() const { return m_hasMessage; }
    // The number of the finished message's first line.
    std::uint64_t MessageLine() const { return m_finishedLine; }

    // The bytes of the finished message; the reader no longer holds them.
    std::string TakeMessage();

private:
    struct LineAt
    {
        std::string_view text;
        std::uint64_t number = 0;
        std::size_t start = 0;
    };
    struct Offset
    {
        std::uint64_t value = 0;
        std::size_t at = 0;  // of its first digit
        std::size_t end = 0; // after the digits and the colon
    };

    bool EndDump(Problem& problem);
    bool Follow(const Offset& offset, Problem& problem);
    bool ExpandStar(const Offset& offset, Problem& problem);
    bool Star(std::size_t at, Problem& problem);
    bool ReadBytes(std::size_t from, Problem& problem);
    bool DelimitedFits(std::size_t at, std::size_t count) const;
    bool UndelimitedFits(std::size_t tokenEnd, std::size_t count) const;
    bool Fail(const LineAt& line, std::size_t at, ProblemKind kind, Problem& problem, std::string_view found = {},
              std::string expected = "", std::uint64_t count = 0);

    std::string m_current;  // the message being read
    std::string m_finished; // waiting for TakeMessage
    bool m_hasMessage = false;
    bool m_skipping = false; // after a failure, up to the next dump
    std::size_t m_lastLineBytes = 0; // what a "*" repeats
    LineAt m_line;
    LineAt m_star; // number 0 when no "*" waits for its offset
    std::size_t m_starAt = 0;
    std::uint64_t m_firstLine = 0;    // of the message being read
    std::uint64_t m_finishedLine = 0; // of the one waiting
};

// The layouts read, with an example of each, in plain ASCII lines of at most
// 79 columns ending in a newline: for the help and the README.
extern const char kDumpHelp[];

// The bytes of a text holding one dump, lines ending in LF or CRLF; blank
// lines around it are allowed. A second dump after it is a problem.
bool DumpToBytes(std::string_view text, std::string& bytes, Problem& problem);

} // namespace message
