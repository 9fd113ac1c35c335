#pragma once

// Standard output and standard error on a Windows console. The program's
// text is UTF-8, which a console in another code page (936, say) shows as
// garbage; so when the descriptor is a console, text goes to it as UTF-16
// through WriteConsoleW. Redirected to a file or a pipe, and on other systems,
// the bytes pass unchanged to the byte sink, UTF-8 as ever.

#include "cli_app.h"

#include <string>

namespace cli
{

class CConsoleSink : public CByteSink
{
public:
    // bytes: where the bytes go when fd is not a console.
    CConsoleSink(int fd, CByteSink& bytes);
    ~CConsoleSink() override;

    int Write(const char* data, std::size_t size) override;

private:
    CByteSink& m_bytes;
#ifdef _WIN32
    int WriteText(const char* data, std::size_t size);

    void* m_console = nullptr; // the console's handle, or null when fd is none
    std::string m_held;        // an incomplete UTF-8 sequence at the end of the last write
#endif
};

} // namespace cli
