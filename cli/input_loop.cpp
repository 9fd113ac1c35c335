#include "input_loop.h"

#include <cassert>
#include <cstring>
#include <memory>

namespace cli
{

namespace
{

// Cuts a stream into lines for a handler, holding at most one line.
class CLineSplitter
{
public:
    CLineSplitter(const std::string* file, std::size_t maxLineBytes, CInputHandler& handler, CInputReport& report)
        : m_file(file), m_maxLineBytes(maxLineBytes), m_handler(handler), m_report(report)
    {
    }

    void Chunk(const char* data, std::size_t size)
    {
        const char* p = data;
        const char* const end = data + size;
        while (p < end && m_report.ReadOn())
        {
            const auto* newline = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            const char* stop = newline != nullptr ? newline : end;
            Append(p, static_cast<std::size_t>(stop - p));
            if (newline == nullptr)
                return;
            EndLine();
            p = newline + 1;
        }
    }

    // The last line, when it has no LF.
    void End()
    {
        if ((!m_line.empty() || m_tooLong) && m_report.ReadOn())
            EndLine();
    }

private:
    void Append(const char* data, std::size_t size)
    {
        if (m_tooLong)
            return;
        // One byte of slack for the CR of a CR LF line end.
        if (m_line.size() + size > m_maxLineBytes + 1)
        {
            m_tooLong = true;
            m_line.clear();
            m_line.shrink_to_fit();
            return;
        }
        m_line.append(data, size);
    }

    void EndLine()
    {
        const InputPlace place{InputKind::Line, ++m_number, m_file};
        if (!m_tooLong && !m_line.empty() && m_line.back() == '\r')
            m_line.pop_back();
        if (m_tooLong || m_line.size() > m_maxLineBytes)
        {
            message::Problem tooLong(message::Place(), 0, message::ProblemKind::LineTooLong);
            tooLong.needed = m_maxLineBytes;
            m_report.Input(m_handler.TooLong(tooLong, place));
        }
        else
            m_handler.FeedLine(m_line, place, m_report);
        m_line.clear();
        m_tooLong = false;
    }

    const std::string* const m_file;
    const std::size_t m_maxLineBytes;
    CInputHandler& m_handler;
    CInputReport& m_report;
    std::string m_line;
    std::uint64_t m_number = 0;
    bool m_tooLong = false;
};

} // namespace

void CInputHandler::Chunk(std::string_view, const std::string*, CInputReport&)
{
    assert(false && "a handler that reads chunks has its own");
}

void CInputHandler::EndOfSource(const std::string*, CInputReport&)
{
}

CInputLoop::CInputLoop(const Environment& environment, COutput& output, CDiagnostics& diagnostics, bool sayWarnings)
    : m_environment(environment), m_output(output), m_verdicts(output, diagnostics, sayWarnings)
{
}

int CInputLoop::Run(const std::vector<Source>& sources, Reading reading, CInputHandler& handler)
{
    const std::vector<Source> standardInput = {Source{Source::StandardInput, ""}};
    std::uint64_t textNumber = 0;
    for (const Source& source : sources.empty() ? standardInput : sources)
    {
        if (m_output.Failed())
            break;
        if (source.kind == Source::Text)
        {
            Input(handler.Text(source.text, InputPlace{InputKind::Argument, ++textNumber}));
            continue;
        }
        std::unique_ptr<CByteSource> file;
        CByteSource* in = &m_environment.in;
        const std::string* path = source.kind == Source::File ? &source.text : nullptr;
        if (path != nullptr)
        {
            int error = 0;
            file = OpenFile(*path, error);
            if (file == nullptr)
            {
                Input(Outcome{Verdict::Bad, "cannot open " + *path + ": " + Reason(error)});
                continue;
            }
            in = file.get();
        }
        const int error = ReadStream(*in, path, reading, handler);
        if (error != 0)
            Input(Outcome{Verdict::Bad, "cannot read " + (path != nullptr ? *path : std::string("standard input")) +
                                            ": " + Reason(error)});
    }
    return m_verdicts.Status();
}

int CInputLoop::ReadStream(CByteSource& in, const std::string* file, Reading reading, CInputHandler& handler)
{
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    CLineSplitter lines(file, m_environment.maxLineBytes, handler, *this);
    int error = 0;
    while (ReadOn())
    {
        const long long count = in.Read(buffer.get(), kReadSize);
        assert(count <= static_cast<long long>(kReadSize));
        if (count <= 0)
        {
            error = static_cast<int>(-count);
            break;
        }
        if (reading == Reading::Lines)
            lines.Chunk(buffer.get(), static_cast<std::size_t>(count));
        else
            handler.Chunk(std::string_view(buffer.get(), static_cast<std::size_t>(count)), file, *this);
        if (static_cast<std::size_t>(count) < kReadSize)
            m_output.Flush();
    }
    if (reading == Reading::Lines)
        lines.End();
    handler.EndOfSource(file, *this);
    return error;
}

} // namespace cli
