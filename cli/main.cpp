#include "cli_app.h"
#include "console_sink.h"
#include "lead_bytes.h"

#include <cerrno>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace
{

// Plain file descriptors: no stdio buffering on top of the program's own,
// and a read returns what a pipe or terminal has so far instead of waiting
// for a full buffer.
class CDescriptorSource : public cli::CByteSource
{
public:
    explicit CDescriptorSource(int fd) : m_fd(fd) {}

    long long Read(char* buffer, std::size_t size) override
    {
        for (;;)
        {
#ifdef _WIN32
            const int count = _read(m_fd, buffer, static_cast<unsigned>(size));
#else
            const ssize_t count = read(m_fd, buffer, size);
#endif
            if (count >= 0)
                return count;
            if (errno != EINTR)
                return -static_cast<long long>(errno != 0 ? errno : EIO);
        }
    }

private:
    int m_fd;
};

class CDescriptorSink : public cli::CByteSink
{
public:
    explicit CDescriptorSink(int fd) : m_fd(fd) {}

    int Write(const char* data, std::size_t size) override
    {
        while (size > 0)
        {
#ifdef _WIN32
            const int count = _write(m_fd, data, static_cast<unsigned>(size < (1u << 30) ? size : (1u << 30)));
#else
            const ssize_t count = write(m_fd, data, size);
#endif
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return count < 0 && errno != 0 ? errno : EIO;
            data += count;
            size -= static_cast<std::size_t>(count);
        }
        return 0;
    }

private:
    int m_fd;
};

#ifdef _WIN32
HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// A console, not any character device: NUL is one too.
bool IsTerminal(int fd)
{
    DWORD mode = 0;
    return GetConsoleMode(HandleOf(fd), &mode) != 0;
}

// Windows 10 tells whether two handles are one kernel object, as the copies
// that "2>&1" makes are; earlier versions only through the file index.
bool SameObject(HANDLE a, HANDLE b)
{
    using Compare = BOOL(WINAPI*)(HANDLE, HANDLE);
    const HMODULE kernel = GetModuleHandleA("kernelbase.dll");
    const auto compare = kernel != nullptr ? reinterpret_cast<Compare>(
                                                 reinterpret_cast<void (*)()>(GetProcAddress(kernel, "CompareObjectHandles")))
                                           : nullptr;
    return compare != nullptr && compare(a, b) != FALSE;
}

// st_ino may be 0 here, so fstat cannot tell. When unsure: not the same.
bool SameTarget(int fd1, int fd2)
{
    const HANDLE a = HandleOf(fd1);
    const HANDLE b = HandleOf(fd2);
    if (a == INVALID_HANDLE_VALUE || b == INVALID_HANDLE_VALUE)
        return false;
    if (a == b || SameObject(a, b))
        return true;
    const DWORD type = GetFileType(a);
    if (type != GetFileType(b))
        return false;
    if (type == FILE_TYPE_DISK)
    {
        BY_HANDLE_FILE_INFORMATION infoA;
        BY_HANDLE_FILE_INFORMATION infoB;
        return GetFileInformationByHandle(a, &infoA) && GetFileInformationByHandle(b, &infoB) &&
               infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
               infoA.nFileIndexLow == infoB.nFileIndexLow;
    }
    // A process has at most one console.
    return IsTerminal(fd1) && IsTerminal(fd2);
}
#else
bool IsTerminal(int fd)
{
    return isatty(fd) != 0;
}

bool SameTarget(int fd1, int fd2)
{
    struct stat a;
    struct stat b;
    return fstat(fd1, &a) == 0 && fstat(fd2, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
#endif

} // namespace

int main(int argc, char* argv[])
{
#ifdef _WIN32
    // Bytes pass as they are: no CRLF translation, no end at a Ctrl+Z byte.
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
#endif
    CDescriptorSource in(0);
    CDescriptorSink outBytes(1);
    CDescriptorSink errBytes(2);
    cli::CConsoleSink out(1, outBytes);
    cli::CConsoleSink err(2, errBytes);
    try
    {
        const std::vector<std::string> args(argv + 1, argv + argc);
        cli::Environment environment{in, out, err, cli::PlatformLeadByteRules()};
        environment.sameTarget = SameTarget(1, 2);
        environment.outTerminal = IsTerminal(1);
        environment.errTerminal = IsTerminal(2);
        return cli::Run(args, environment);
    }
    catch (...)
    {
        static const char kMessage[] = "orvane-cli: out of memory\n";
        static_cast<void>(err.Write(kMessage, sizeof kMessage - 1));
        return cli::kExitBadInput;
    }
}
