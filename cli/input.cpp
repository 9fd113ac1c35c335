#include "input.h"

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace cli
{

namespace
{

// A file through the C library; read errors keep their errno value.
class CFileSource : public CByteSource
{
public:
    explicit CFileSource(std::FILE* file) : m_file(file) {}
    ~CFileSource() override { std::fclose(m_file); }
    CFileSource(const CFileSource&) = delete;
    CFileSource& operator=(const CFileSource&) = delete;

    long long Read(char* buffer, std::size_t size) override
    {
        errno = 0;
        const std::size_t count = std::fread(buffer, 1, size, m_file);
        if (count == 0 && std::ferror(m_file))
            return -(errno != 0 ? errno : EIO);
        return static_cast<long long>(count);
    }

private:
    std::FILE* m_file;
};

// Turns chunks into lines for a line handler.
class CLineSplitter : public CChunkHandler
{
public:
    CLineSplitter(const std::string* file, std::size_t maxLineBytes, CLineHandler& lines)
        : m_file(file), m_maxLineBytes(maxLineBytes), m_lines(lines)
    {
    }

    void Chunk(const char* data, std::size_t size) override
    {
        const char* p = data;
        const char* const end = data + size;
        while (p < end && m_lines.ReadOn())
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

    void Paused() override { m_lines.Paused(); }
    bool ReadOn() const override { return m_lines.ReadOn(); }

    // The last line, when it has no LF.
    void End()
    {
        if ((!m_line.empty() || m_tooLong) && m_lines.ReadOn())
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
            m_lines.Rejected("line longer than " + std::to_string(m_maxLineBytes) + " bytes", place);
        else
            m_lines.Line(m_line, place);
        m_line.clear();
        m_tooLong = false;
    }

    const std::string* const m_file;
    const std::size_t m_maxLineBytes;
    CLineHandler& m_lines;
    std::string m_line;
    std::uint64_t m_number = 0;
    bool m_tooLong = false;
};

} // namespace

std::string Reason(int error)
{
    return std::strerror(error != 0 ? error : EIO);
}

std::unique_ptr<CByteSource> OpenFile(const std::string& path, int& error)
{
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == S_IFDIR)
    {
        error = EISDIR;
        return nullptr;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
    {
        error = errno != 0 ? errno : ENOENT;
        return nullptr;
    }
    return std::unique_ptr<CByteSource>(new CFileSource(file));
}

bool IsFile(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == S_IFREG;
}

int ReadChunks(CByteSource& source, CChunkHandler& handler)
{
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    while (handler.ReadOn())
    {
        const long long count = source.Read(buffer.get(), kReadSize);
        assert(count <= static_cast<long long>(kReadSize));
        if (count <= 0)
            return static_cast<int>(-count);
        handler.Chunk(buffer.get(), static_cast<std::size_t>(count));
        if (static_cast<std::size_t>(count) < kReadSize)
            handler.Paused();
    }
    return 0;
}

int ReadLines(CByteSource& source, const std::string* file, std::size_t maxLineBytes, CLineHandler& handler)
{
    CLineSplitter splitter(file, maxLineBytes, handler);
    const int error = ReadChunks(source, splitter);
    splitter.End();
    return error;
}

bool ReadWholeFile(const std::string& path, std::string& text, std::string& error)
{
    int code = 0;
    const std::unique_ptr<CByteSource> file = OpenFile(path, code);
    char buffer[4096];
    long long count = 0;
    text.clear();
    while (file != nullptr && (count = file->Read(buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(count));
    if (file != nullptr && count == 0)
        return true;
    error = "cannot read " + path + ": " + Reason(file == nullptr ? code : static_cast<int>(-count));
    return false;
}

void ReadSources(const std::vector<Source>& sources, CByteSource& standardInput, const COutput& output,
                 const std::function<void(const std::string& text, std::uint64_t number)>& text,
                 const std::function<int(CByteSource& in, const std::string* path)>& read,
                 const std::function<void(const std::string& message)>& bad)
{
    std::uint64_t textNumber = 0;
    for (const Source& source : sources)
    {
        if (output.Failed())
            break;
        if (source.kind == Source::Text)
        {
            assert(text);
            text(source.text, ++textNumber);
            continue;
        }
        std::unique_ptr<CByteSource> file;
        CByteSource* in = &standardInput;
        const std::string* path = source.kind == Source::File ? &source.text : nullptr;
        if (path != nullptr)
        {
            int error = 0;
            file = OpenFile(*path, error);
            if (file == nullptr)
            {
                bad("cannot open " + *path + ": " + Reason(error));
                continue;
            }
            in = file.get();
        }
        const int error = read(*in, path);
        if (error != 0)
            bad("cannot read " + (path != nullptr ? *path : std::string("standard input")) + ": " + Reason(error));
    }
}

} // namespace cli
