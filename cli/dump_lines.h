#pragma once

// The lines of hex dumps, as a command reads them, joined into messages by
// the library's dump reader: each message is handed on as its dump ends (a
// blank line, a new offset 0, the end of the source), named by its first
// line; a line of no dump layout is a problem at its own line.

#include "dump.h"
#include "sources.h"

#include <string>
#include <string_view>

namespace cli
{

class CDumpLines
{
public:
    // message(bytes, place) for a finished message, problem(problem, place) for a bad line.
    template <typename OnMessage, typename OnProblem>
    void Line(std::string_view line, const InputPlace& place, OnMessage message, OnProblem problem)
    {
        message::Problem bad;
        // The dump's problems name their line and column: the offset is the line's own.
        const bool read = m_reader.Line(line, place.number, 0, bad);
        Take(place.file, message);
        if (!read)
            problem(bad, place);
    }

    template <typename OnMessage, typename OnProblem>
    void End(const std::string* file, OnMessage message, OnProblem problem)
    {
        message::Problem bad;
        const bool ended = m_reader.Finish(bad);
        Take(file, message);
        if (!ended)
            problem(bad, InputPlace{InputKind::Line, bad.needed, file});
    }

private:
    template <typename OnMessage>
    void Take(const std::string* file, OnMessage message)
    {
        if (!m_reader.HasMessage())
            return;
        const InputPlace place{InputKind::Line, m_reader.MessageLine(), file};
        message(m_reader.TakeMessage(), place);
    }

    message::CDumpReader m_reader;
};

} // namespace cli
