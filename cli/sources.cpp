#include "sources.h"

#include "message_json.h"

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

} // namespace

bool HasText(const std::vector<Source>& sources)
{
    for (const Source& source : sources)
    {
        if (source.kind == Source::Text)
            return true;
    }
    return false;
}

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

std::string PlaceText(const InputPlace& place)
{
    static const char* const kKinds[] = {"line ", "argument ", "bitmap ", "message "};
    std::string text = place.file != nullptr ? *place.file + " " : std::string();
    return text + kKinds[static_cast<int>(place.kind)] + std::to_string(place.number);
}

void AppendJsonStart(const InputPlace& place, std::string& out)
{
    out += "{\"input\":";
    out += std::to_string(place.number);
    if (place.file != nullptr)
    {
        out += ",\"source\":\"file\",\"file\":";
        message::AppendJsonString(*place.file, out);
    }
    else
    {
        out += place.kind == InputKind::Argument ? ",\"source\":\"argument\"" : ",\"source\":\"stdin\"";
    }
}

bool RemoveTerminalCodes(std::string& text)
{
    // ESC [, parameter bytes 0x30-0x3F, intermediate bytes 0x20-0x2F, one
    // final byte 0x40-0x7E. An unfinished sequence stays as it is.
    bool found = false;
    std::size_t at = 0;
    while ((at = text.find("\x1B[", at)) != std::string::npos)
    {
        std::size_t end = at + 2;
        while (end < text.size() && text[end] >= 0x30 && text[end] <= 0x3F)
            ++end;
        while (end < text.size() && text[end] >= 0x20 && text[end] <= 0x2F)
            ++end;
        if (end < text.size() && text[end] >= 0x40 && text[end] <= 0x7E)
        {
            text.erase(at, end + 1 - at);
            found = true;
        }
        else
        {
            at += 2;
        }
    }
    return found;
}

} // namespace cli
