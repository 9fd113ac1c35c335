// Stands in for a mail client in the end-to-end tests: writes the URL it was
// given next to itself and exits, without a window.
#define NOMINMAX
#include <windows.h>

#include <cstdio>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH - 16)
        return 1;
    char* slash = std::strrchr(path, '\\');
    std::strcpy(slash ? slash + 1 : path, "mailto.txt");
    FILE* out = std::fopen(path, "w");
    if (out == nullptr)
        return 1;
    std::fputs(commandLine, out);
    return std::fclose(out) == 0 ? 0 : 1;
}
