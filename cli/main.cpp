#include "cli_app.h"
#include "lead_bytes.h"

#include <cerrno>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
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
    CDescriptorSink out(1);
    CDescriptorSink err(2);
    try
    {
        const std::vector<std::string> args(argv + 1, argv + argc);
        cli::Environment environment{in, out, err, cli::PlatformLeadByteRules()};
        return cli::Run(args, environment);
    }
    catch (...)
    {
        static const char kMessage[] = "orvane-cli: out of memory\n";
        static_cast<void>(err.Write(kMessage, sizeof kMessage - 1));
        return cli::kExitBadInput;
    }
}
