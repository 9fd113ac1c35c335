#pragma once

// A message's bytes and the forms they are written in: the characters, hex
// digits, a hex dump with offsets, raw bytes; and a raw stream cut into
// messages by their length prefix.

#include "problem.h"
#include "spec.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace message
{

// The bytes of hex text: pairs of hex digits, spaces and tabs between them
// ignored. False for any other character (problem names its 1-based column)
// or an odd count of digits.
bool HexToBytes(std::string_view text, std::string& bytes, Problem& problem);

// The bytes of one message written in form; Binary and Text are the bytes
// themselves. problem's offset counts characters of text.
bool WireToBytes(WireForm form, std::string_view text, std::string& bytes, Problem& problem);

// Appends a message's bytes in form (Text, Hex or Binary). A text may not
// hold a line break, which would cut it in two lines.
bool BytesToWire(WireForm form, std::string_view bytes, std::string& out, Problem& problem);

enum class Framed
{
    Whole, // size is the whole message's, its prefix included
    Short, // fewer bytes than the prefix so far
    Bad,   // the prefix is no number: problem says so
};

Framed FramedSize(LengthPrefix prefix, std::string_view stream, std::size_t& size, Problem& problem);

// Longest message read whole from a stream without a length prefix.
constexpr std::size_t kMaxRawMessageBytes = 1u << 24;

// Cuts a raw stream, given in pieces as reads return them, into messages:
// by the length prefix, or the whole stream as one message without one.
// Memory stays bounded however long the stream runs.
class CStreamFramer
{
public:
    explicit CStreamFramer(LengthPrefix prefix) : m_prefix(prefix) {}

    // Calls message(bytes) for each whole message in turn, or lost(problem)
    // once the framing is lost: the rest of the stream, up to End, cannot be
    // resynchronised and is dropped.
    template <typename OnMessage, typename OnLost>
    void Feed(std::string_view piece, OnMessage message, OnLost lost);
    // At the stream's end: the message it holds, or the problem with what is left.
    template <typename OnMessage, typename OnLost>
    void End(OnMessage message, OnLost lost);

private:
    // The next whole message's size at the front of the rest, 0 for none yet.
    std::size_t Next(std::string_view rest, Problem& problem, bool& lost) const;
    void EndProblem(Problem& problem) const;

    const LengthPrefix m_prefix;
    std::string m_stream;     // bytes not yet cut
    std::size_t m_consumed = 0; // bytes of the stream cut off before them
    bool m_tooLong = false;
    bool m_lost = false;
};

template <typename OnMessage, typename OnLost>
void CStreamFramer::Feed(std::string_view piece, OnMessage message, OnLost lost)
{
    if (m_prefix == LengthPrefix::None)
    {
        m_tooLong = m_tooLong || m_stream.size() + piece.size() > kMaxRawMessageBytes;
        if (!m_tooLong)
            m_stream.append(piece.data(), piece.size());
        return;
    }
    if (m_lost)
        return;
    m_stream.append(piece.data(), piece.size());
    std::size_t used = 0;
    Problem problem;
    for (;;)
    {
        const std::string_view rest = std::string_view(m_stream).substr(used);
        const std::size_t size = Next(rest, problem, m_lost);
        if (m_lost)
        {
            problem.offset += m_consumed + used;
            lost(problem);
            m_stream.clear();
            return;
        }
        if (size == 0)
            break;
        message(rest.substr(0, size));
        used += size;
    }
    m_stream.erase(0, used);
    m_consumed += used;
}

template <typename OnMessage, typename OnLost>
void CStreamFramer::End(OnMessage message, OnLost lost)
{
    if (m_tooLong || (m_prefix != LengthPrefix::None && !m_stream.empty()))
    {
        Problem problem;
        EndProblem(problem);
        lost(problem);
    }
    else if (!m_stream.empty())
    {
        message(std::string_view(m_stream));
    }
    m_stream.clear();
    m_consumed = 0;
    m_tooLong = false;
    m_lost = false;
}

} // namespace message
