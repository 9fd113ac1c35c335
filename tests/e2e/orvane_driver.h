#pragma once

// Starts the real Orvane.exe and finds its windows, for tests that drive it
// from outside as a person would.
#include "gui_test.h"

#include <cstdio>
#include <string>

namespace e2e
{

// WM_GETTEXT across processes.
inline std::string WindowText(HWND window)
{
    char buffer[512] = {};
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                          ui::kDeadline, nullptr);
    return buffer;
}

// The program under test, ended (if still running) with the object.
class OrvaneProcess
{
public:
    OrvaneProcess() = default;
    OrvaneProcess(const OrvaneProcess&) = delete;
    OrvaneProcess& operator=(const OrvaneProcess&) = delete;
    ~OrvaneProcess()
    {
        if (IsRunning())
            ::TerminateProcess(m_info.hProcess, 99), ::WaitForSingleObject(m_info.hProcess, ui::kDeadline);
        if (m_info.hProcess != nullptr)
            ::CloseHandle(m_info.hThread), ::CloseHandle(m_info.hProcess);
    }

    // Starts the program and waits until its main dialog is visible. Wine
    // closes a virtual desktop, and ends its processes, once its last window
    // is gone: the driver keeps a small window of its own there.
    bool Start()
    {
        static const HWND keeper = ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "",
                                                     WS_POPUP | WS_VISIBLE, 1020, 764, 4, 4, nullptr, nullptr,
                                                     nullptr, nullptr);
        std::string path = ORVANE_EXE_PATH; // a path of the build machine: Wine's drive Z
        for (char& c : path)
            c = c == '/' ? '\\' : c;
        std::string commandLine = "\"" + (path[0] == '\\' ? "Z:" + path : path) + "\"";
        (void)keeper;
        STARTUPINFOA startup = {sizeof startup, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr,
                                nullptr, nullptr, nullptr};
        return ::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                &m_info)
               && ui::PumpUntil([&] { return (m_main = FindTopLevel("Orvane", nullptr)) && Item(1000); });
    }
    bool WaitForExit(DWORD* exitCode)
    {
        return ui::PumpUntil([&] { return !IsRunning(); }) && ::GetExitCodeProcess(m_info.hProcess, exitCode);
    }
    bool IsRunning() const
    {
        return m_info.hProcess != nullptr && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
    }

    HWND MainWindow() const { return m_main; }
    HWND Item(int id) const { return ::GetDlgItem(m_main, id); }
    // Waits for a visible top-level window of the program with this caption, other than the main one.
    HWND AwaitTopLevel(const std::string& caption) const
    {
        HWND found = nullptr;
        ui::PumpUntil([&] { return (found = FindTopLevel(caption, m_main)) != nullptr; });
        return found;
    }

private:
    HWND FindTopLevel(const std::string& caption, HWND exclude) const
    {
        for (HWND window = ::GetTopWindow(nullptr); window != nullptr; window = ::GetWindow(window, GW_HWNDNEXT))
        {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == m_info.dwProcessId && window != exclude && ::IsWindowVisible(window)
                && WindowText(window) == caption)
                return window;
        }
        return nullptr;
    }

    PROCESS_INFORMATION m_info = {};
    HWND m_main = nullptr;
};

// A screenshot of a window as a BMP file: 32 bits a pixel, rows top-down.
inline bool SaveScreenshot(HWND window, const std::string& path)
{
    RECT area;
    ::GetWindowRect(window, &area);
    const LONG width = area.right - area.left, height = area.bottom - area.top;
    std::vector<DWORD> bgrx;
    for (const COLORREF c : ui::Pixels(nullptr, area))
        bgrx.push_back(DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c));
    const BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 32, BI_RGB, DWORD(4 * bgrx.size()), 0, 0, 0, 0};
    const BITMAPFILEHEADER file = {0x4D42, DWORD(sizeof file + sizeof header + header.biSizeImage), 0, 0,
                                   DWORD(sizeof file + sizeof header)};
    FILE* out = std::fopen(path.c_str(), "wb");
    return out != nullptr && std::fwrite(&file, sizeof file, 1, out) && std::fwrite(&header, sizeof header, 1, out)
           && std::fwrite(bgrx.data(), 4, bgrx.size(), out) == bgrx.size() && std::fclose(out) == 0;
}

} // namespace e2e
