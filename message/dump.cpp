#include "dump.h"

#include "hex_codec.h"

#include <algorithm>
#include <cassert>

namespace message
{

const char kDumpHelp[] =
    "Hex dumps (--from dump): the lines of a dump as tools and logs print it, an\n"
    "offset, the bytes in hex and their characters, join into one message up to\n"
    "a blank line or a new offset 0. Only the bytes are kept: each line's offset\n"
    "must follow on from the bytes before it, a \"*\" line repeats the line above\n"
    "up to the next offset, and the characters are never read as bytes, even\n"
    "where they look like hex. A line of no such layout is an error naming its\n"
    "line and column. The message 0200 in each layout:\n"
    "  xxd\n"
    "    00000000: 3032 3030                                0200\n"
    "  hexdump -C\n"
    "    00000000  30 32 30 30                                       |0200|\n"
    "    00000004\n"
    "  od -A x -t x1z\n"
    "    000000 30 32 30 30                                      >0200<\n"
    "    000004\n"
    "  Wireshark's \"Copy as Hex Dump\"\n"
    "    0000   30 32 30 30                                        0200\n"
    "  a switch's log: offset, 16 bytes in hex, the characters\n"
    "    0000: 30 32 30 30  0200\n"
    "\n";

namespace
{

constexpr std::size_t kNone = std::string_view::npos;
// A "*" may not stand for more than this: a message is far smaller, and a
// made-up offset must not make the reader fill memory.
constexpr std::uint64_t kMaxElidedBytes = 1U << 20;

// A dump problem: its line and column are among its figures, the byte
// offset from the start of the input is its own.
Problem DumpProblem(std::uint64_t line, std::size_t column, std::size_t offset, ProblemKind kind)
{
    Problem problem(Place(), offset, kind);
    problem.needed = line;
    problem.at = column;
    return problem;
}

std::string Hex(std::uint64_t value)
{
    std::string digits;
    do
    {
        digits.insert(digits.begin(), HexDigit(static_cast<unsigned>(value & 0xF)));
        value >>= 4;
    } while (value != 0);
    return "0x" + digits;
}

bool IsBlank(std::string_view text)
{
    return text.find_first_not_of(" \t") == kNone;
}

std::size_t TokenEnd(std::string_view line, std::size_t at)
{
    const std::size_t end = line.find(' ', at);
    return end == kNone ? line.size() : end;
}

// An offset of 4 to 16 hex digits, maybe with a colon, then a space or the end.
bool ReadOffsetAt(std::string_view line, std::size_t at, std::uint64_t& value, std::size_t& end)
{
    value = 0;
    std::size_t i = at;
    for (; i < line.size() && HexValue(line[i]) >= 0 && i - at < 16; ++i)
        value = value << 4 | static_cast<unsigned>(HexValue(line[i]));
    if (i - at < 4)
        return false;
    if (i < line.size() && line[i] == ':')
        ++i;
    end = i;
    return i == line.size() || line[i] == ' ';
}

// The byte tokens of a line so far: the first sets the width, 2 digits or
// xxd's 4; a narrower one (xxd's odd last byte) must be the last.
struct TokenShape
{
    std::size_t width = 0;
    bool narrowed = false;
};

// Appends a byte token's bytes, or false for a token that is none.
bool AppendToken(std::string_view token, TokenShape& shape, std::string& bytes)
{
    if (shape.narrowed || (token.size() != 2 && token.size() != 4) || (shape.width != 0 && token.size() > shape.width))
        return false;
    for (char c : token)
    {
        if (HexValue(c) < 0)
            return false;
    }
    if (shape.width == 0)
        shape.width = token.size();
    shape.narrowed = token.size() < shape.width;
    for (std::size_t i = 0; i < token.size(); i += 2)
        bytes += static_cast<char>(HexValue(token[i]) << 4 | HexValue(token[i + 1]));
    return true;
}

// Why the token at..end of a line ends its bytes without characters that fit
// them. After two spaces or more it is taken for the characters, unless more
// columns follow it; count is then the bytes before it, else 0.
ProblemKind WhyNotBytes(std::string_view line, std::size_t at, std::size_t count, const TokenShape& shape)
{
    if (count > 0 && (line[at] == '|' || line[at] == '>' || line.find("  ", at) == kNone))
        return ProblemKind::DumpCharacters;
    return shape.narrowed ? ProblemKind::DumpLastGroup : shape.width == 4 ? ProblemKind::DumpHexGroup
                                                                          : ProblemKind::DumpHexByte;
}

} // namespace

bool CDumpReader::Line(std::string_view line, std::uint64_t lineNumber, std::size_t lineStart, Problem& problem)
{
    assert(!m_hasMessage && lineNumber >= 1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    m_line = LineAt{line, lineNumber, lineStart};
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == kNone)
    {
        const bool ended = EndDump(problem);
        m_skipping = false;
        return ended;
    }
    Offset offset;
    offset.at = first;
    const bool hasOffset = ReadOffsetAt(line, first, offset.value, offset.end);
    if (m_skipping && !(hasOffset && offset.value == 0))
        return true;
    m_skipping = false;
    if (line[first] == '*' && IsBlank(line.substr(first + 1)))
        return Star(first, problem);
    if (!hasOffset)
        return Fail(m_line, first, ProblemKind::DumpOffsetDigits, problem,
                    line.substr(first, TokenEnd(line, first) - first));
    return Follow(offset, problem) && ReadBytes(offset.end, problem);
}

bool CDumpReader::Finish(Problem& problem)
{
    assert(!m_hasMessage);
    const bool ended = EndDump(problem);
    m_skipping = false;
    return ended;
}

std::string CDumpReader::TakeMessage()
{
    assert(m_hasMessage);
    m_hasMessage = false;
    std::string message;
    message.swap(m_finished);
    return message;
}

bool CDumpReader::EndDump(Problem& problem)
{
    if (m_star.number != 0)
        return Fail(m_star, m_starAt, ProblemKind::DumpStarEnd, problem);
    if (!m_current.empty())
    {
        m_finished.swap(m_current);
        m_current.clear();
        m_hasMessage = true;
        m_finishedLine = m_firstLine;
    }
    m_lastLineBytes = 0;
    return true;
}

// Where the line's offset puts it: at the end of the bytes so far, past the
// lines a "*" elided, or at 0 where a new dump starts.
bool CDumpReader::Follow(const Offset& offset, Problem& problem)
{
    if (m_star.number != 0)
        return ExpandStar(offset, problem);
    if (offset.value == 0)
    {
        const bool ended = EndDump(problem);
        m_firstLine = m_line.number;
        return ended;
    }
    if (offset.value != m_current.size())
        return Fail(m_line, offset.at, ProblemKind::DumpOffset, problem, Hex(offset.value), Hex(m_current.size()));
    return true;
}

bool CDumpReader::ExpandStar(const Offset& offset, Problem& problem)
{
    const std::uint64_t end = m_current.size();
    const std::uint64_t unit = m_lastLineBytes;
    if (offset.value <= end || (offset.value - end) % unit != 0)
        return Fail(m_line, offset.at, ProblemKind::DumpStarOffset, problem, Hex(offset.value), Hex(end + unit),
                    unit);
    if (offset.value - end > kMaxElidedBytes)
        return Fail(m_line, offset.at, ProblemKind::DumpStarTooLong, problem, "", std::to_string(kMaxElidedBytes),
                    offset.value - end);
    const std::size_t repeated = m_current.size() - m_lastLineBytes;
    m_current.reserve(offset.value); // the appends below then never move what they copy
    while (m_current.size() < offset.value)
        m_current.append(m_current.data() + repeated, m_lastLineBytes);
    m_star = LineAt();
    return true;
}

bool CDumpReader::Star(std::size_t at, Problem& problem)
{
    if (m_lastLineBytes == 0 || m_star.number != 0)
        return Fail(m_line, at, ProblemKind::DumpStarLine, problem);
    m_star = LineAt{std::string_view(), m_line.number, m_line.start};
    m_starAt = at;
    return true;
}

// The byte tokens after the offset, up to the characters of as many bytes as
// they hold. Appends the bytes; a line of only an offset has none.
bool CDumpReader::ReadBytes(std::size_t from, Problem& problem)
{
    const std::string_view line = m_line.text;
    const std::size_t start = m_current.size();
    TokenShape shape;
    std::size_t pos = from;    // after the last byte token
    std::size_t gapAt = kNone; // the last token after two spaces: where the characters may start
    std::size_t gapCount = 0;
    m_lastLineBytes = 0;
    for (std::size_t at = line.find_first_not_of(' ', pos); at != kNone; at = line.find_first_not_of(' ', pos))
    {
        const std::size_t count = m_current.size() - start;
        const bool afterGap = count > 0 && at - pos >= 2;
        if (afterGap)
        {
            gapAt = at;
            gapCount = count;
        }
        pos = TokenEnd(line, at);
        if (!AppendToken(line.substr(at, pos - at), shape, m_current))
        {
            if (afterGap && DelimitedFits(at, count))
            {
                m_lastLineBytes = count;
                return true;
            }
            m_current.resize(start);
            const ProblemKind why = WhyNotBytes(line, at, afterGap ? count : 0, shape);
            return Fail(m_line, at, why, problem, line.substr(at, why == ProblemKind::DumpCharacters ? kNone : pos - at),
                        "", count);
        }
        if (UndelimitedFits(pos, m_current.size() - start))
        {
            m_lastLineBytes = m_current.size() - start;
            return true;
        }
    }
    const std::size_t count = m_current.size() - start;
    m_current.resize(start);
    if (count == 0)
        return true;
    if (gapAt == kNone)
        return Fail(m_line, line.size(), ProblemKind::DumpCharacters, problem, "", "", count);
    return Fail(m_line, gapAt, ProblemKind::DumpCharacters, problem, line.substr(gapAt), "", gapCount);
}

// The characters between | and | (hexdump -C) or > and < (od), maybe padded
// with spaces after the first count.
bool CDumpReader::DelimitedFits(std::size_t at, std::size_t count) const
{
    const std::string_view line = m_line.text;
    if (line[at] != '|' && line[at] != '>')
        return false;
    const char closing = line[at] == '|' ? '|' : '<';
    if (line.size() - at < count + 2 || line.back() != closing)
        return false;
    return line.substr(at + 1, line.size() - at - 2).find_first_not_of(' ', count) == kNone;
}

// Exactly count characters end the line, after two spaces or more.
bool CDumpReader::UndelimitedFits(std::size_t tokenEnd, std::size_t count) const
{
    const std::string_view line = m_line.text;
    return count <= line.size() && line.size() - count >= tokenEnd + 2 &&
           line.find_first_not_of(' ', tokenEnd) >= line.size() - count;
}

bool CDumpReader::Fail(const LineAt& line, std::size_t at, ProblemKind kind, Problem& problem, std::string_view found,
                       std::string expected, std::uint64_t count)
{
    problem = DumpProblem(line.number, at + 1, line.start + at, kind);
    problem.found = std::string(found);
    problem.expected = std::move(expected);
    problem.left = count;
    m_current.clear();
    m_lastLineBytes = 0;
    m_star = LineAt();
    m_skipping = true;
    return false;
}

bool DumpToBytes(std::string_view text, std::string& bytes, Problem& problem)
{
    bytes.clear();
    CDumpReader reader;
    bool ended = false;
    std::uint64_t number = 0;
    for (std::size_t start = 0; start < text.size();)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        const bool blank = IsBlank(line.substr(0, line.size() - (!line.empty() && line.back() == '\r')));
        ++number;
        const auto another = [&] {
            const std::size_t at = line.find_first_not_of(" \t");
            problem = DumpProblem(number, at + 1, start + at, ProblemKind::DumpSecond);
            return false;
        };
        if (ended && !blank)
            return another();
        if (!reader.Line(line, number, start, problem))
            return false;
        if (reader.HasMessage())
        {
            if (!blank)
                return another();
            bytes = reader.TakeMessage();
            ended = true;
        }
        start = end + 1;
    }
    if (!reader.Finish(problem))
        return false;
    if (reader.HasMessage())
        bytes = reader.TakeMessage();
    return true;
}

} // namespace message
