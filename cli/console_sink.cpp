#include "console_sink.h"

#include <cassert>
#include <cerrno>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace cli
{

#ifdef _WIN32

namespace
{

// The bytes at the end of text that begin a UTF-8 sequence still missing
// bytes, which the next write brings.
std::size_t IncompleteTail(const std::string& text)
{
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back)
    {
        const unsigned char byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// A line in UTF-8 is read as UTF-8; any other line, such as an input echoed
// in a message, in the console's own code page, as the console showed it
// before this sink.
std::wstring Widen(const char* line, int size)
{
    UINT codePage = CP_UTF8;
    int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, line, size, nullptr, 0);
    if (length == 0)
    {
        codePage = GetConsoleOutputCP();
        length = MultiByteToWideChar(codePage, 0, line, size, nullptr, 0);
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, codePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, line, size, &wide[0], length);
    return wide;
}

} // namespace

CConsoleSink::CConsoleSink(int fd, CByteSink& bytes) : m_bytes(bytes)
{
    const intptr_t handle = _get_osfhandle(fd);
    DWORD mode = 0;
    if (handle != -1 && GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode))
        m_console = reinterpret_cast<HANDLE>(handle);
}

CConsoleSink::~CConsoleSink()
{
    // The program ended inside a sequence: show what there is.
    if (!m_held.empty())
        static_cast<void>(WriteText(m_held.data(), m_held.size()));
}

int CConsoleSink::Write(const char* data, std::size_t size)
{
    if (m_console == nullptr)
        return m_bytes.Write(data, size);
    m_held.append(data, size);
    const std::size_t complete = m_held.size() - IncompleteTail(m_held);
    const int error = WriteText(m_held.data(), complete);
    m_held.erase(0, complete);
    return error;
}

int CConsoleSink::WriteText(const char* data, std::size_t size)
{
    assert(m_console != nullptr);
    const char* const end = data + size;
    while (data < end)
    {
        const char* lineEnd = data;
        while (lineEnd < end && *lineEnd != '\n')
            ++lineEnd;
        if (lineEnd < end)
            ++lineEnd;
        // A line longer than an int can hold goes in parts.
        const std::size_t part = static_cast<std::size_t>(lineEnd - data) < (1u << 30)
                                     ? static_cast<std::size_t>(lineEnd - data)
                                     : (1u << 30);
        const std::wstring wide = Widen(data, static_cast<int>(part));
        // Console writes are best kept small: old consoles fail on large ones.
        for (std::size_t done = 0; done < wide.size();)
        {
            const DWORD chunk = static_cast<DWORD>(wide.size() - done < 8192 ? wide.size() - done : 8192);
            DWORD written = 0;
            if (!WriteConsoleW(m_console, wide.data() + done, chunk, &written, nullptr) || written == 0)
                return EIO;
            done += written;
        }
        data += part;
    }
    return 0;
}

#else

CConsoleSink::CConsoleSink(int, CByteSink& bytes) : m_bytes(bytes) {}

CConsoleSink::~CConsoleSink() = default;

int CConsoleSink::Write(const char* data, std::size_t size)
{
    return m_bytes.Write(data, size);
}

#endif

} // namespace cli
