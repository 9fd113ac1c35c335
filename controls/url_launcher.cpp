#include "url_launcher.h"

#include <cstring>
#include <mbstring.h>

namespace
{

// What OpenUrl answers for an absent url: a success value, nothing launched.
constexpr int kNoUrlResult = 36;
constexpr std::size_t kValueSize = MAX_PATH;
constexpr std::size_t kCommandSize = 2 * MAX_PATH;
const char kOpenCommandKey[] = "\\shell\\open\\command";

UrlLauncherApi g_api;

// Both searches step over double-byte characters of the ANSI code page, so a
// match never starts on a trail byte.
char* FindMultibyte(char* text, const char* pattern)
{
    return reinterpret_cast<char*>(_mbsstr(reinterpret_cast<unsigned char*>(text),
                                           reinterpret_cast<const unsigned char*>(pattern)));
}

} // namespace

HINSTANCE WINAPI ShellExecuteOnFirstUse(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                        LPCSTR directory, INT showCommand)
{
    // SHELL32 is one of the system's known DLLs: its name alone cannot load another copy.
    using ShellExecuteFunction = decltype(&::ShellExecuteA);
    static const ShellExecuteFunction shellExecute = []() -> ShellExecuteFunction {
        const HMODULE shell = ::LoadLibraryA("shell32.dll");
        return shell == nullptr ? nullptr
                                : reinterpret_cast<ShellExecuteFunction>(
                                      reinterpret_cast<void*>(::GetProcAddress(shell, "ShellExecuteA")));
    }();
    if (shellExecute == nullptr)
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
    return shellExecute(window, operation, file, parameters, directory, showCommand);
}

UrlLauncherApi SetUrlLauncherApi(const UrlLauncherApi& api)
{
    const UrlLauncherApi previous = g_api;
    g_api = api;
    return previous;
}

LONG ReadKeyDefault(HKEY root, LPCSTR subKey, LPSTR value)
{
    HKEY key = nullptr;
    const LONG opened = g_api.regOpenKeyEx(root, subKey, 0, KEY_QUERY_VALUE, &key);
    if (opened != ERROR_SUCCESS)
        return opened;

    char data[kValueSize];
    LONG size = static_cast<LONG>(sizeof data);
    LONG status = g_api.regQueryValue(key, nullptr, data, &size);
    // Only a string read whole, its terminating zero among the bytes read, is
    // copied: a failed read leaves nothing defined, a longer value is refused.
    if (status == ERROR_SUCCESS && (size <= 0 || size > static_cast<LONG>(sizeof data)
                                    || std::memchr(data, '\0', static_cast<std::size_t>(size)) == nullptr))
        status = ERROR_INVALID_DATA;
    if (status == ERROR_SUCCESS)
        std::memcpy(value, data, std::strlen(data) + 1);
    g_api.regCloseKey(key);
    return status;
}

int OpenUrl(LPCSTR url, int showCommand)
{
    if (url == nullptr || *url == '\0')
        return kNoUrlResult;

    const int shellResult = static_cast<int>(reinterpret_cast<INT_PTR>(
        g_api.shellExecute(nullptr, "open", url, nullptr, nullptr, showCommand)));
    if (static_cast<UINT>(shellResult) > 32)
        return shellResult;

    // The buffer holds in turn the class of ".htm" files, the key of its open
    // command, the command and the command line.
    char command[kCommandSize];
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", command) != ERROR_SUCCESS)
        return shellResult;
    std::strcat(command, kOpenCommandKey); // a class name of at most 259 bytes leaves room
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, command, command) != ERROR_SUCCESS)
        return shellResult;

    char* placeholder = FindMultibyte(command, "\"%1\"");
    if (placeholder == nullptr)
        placeholder = FindMultibyte(command, "%1");
    if (placeholder != nullptr)
        *placeholder = '\0';

    // A command line that does not fit is not run cut short: the fallback
    // cannot start, and the caller sees the shell's own error.
    const std::size_t commandLength = std::strlen(command);
    const std::size_t urlLength = std::strlen(url);
    if (commandLength + 1 + urlLength >= kCommandSize)
        return shellResult;
    command[commandLength] = ' ';
    std::memcpy(command + commandLength + 1, url, urlLength + 1);

    return static_cast<int>(g_api.winExec(command, static_cast<UINT>(showCommand)));
}
