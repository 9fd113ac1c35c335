// Starts a program, waits until its main dialog is idle, and lists the
// dialog and its child windows in z-order: ID, class, styles, rectangle and
// text. Two builds whose lists match show the same windows.
//   window_list.exe PROGRAM.exe
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

BOOL CALLBACK FindDialog(HWND window, LPARAM param)
{
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (!::IsWindowVisible(window) || std::strcmp(className, "#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

void Describe(HWND window, HWND dialog)
{
    char className[64] = {}, text[256] = {};
    ::GetClassNameA(window, className, sizeof className);
    ::GetWindowTextA(window, text, sizeof text);
    RECT rect;
    ::GetWindowRect(window, &rect);
    if (window != dialog)
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    std::printf("%5d %-8s style %08lX ex %08lX (%d,%d)-(%d,%d) \"%s\"\n", ::GetDlgCtrlID(window), className,
                static_cast<unsigned long>(::GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(::GetWindowLongA(window, GWL_EXSTYLE)), static_cast<int>(rect.left),
                static_cast<int>(rect.top), static_cast<int>(rect.right), static_cast<int>(rect.bottom), text);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 1020, 764, 4, 4, nullptr, nullptr,
                      ::GetModuleHandleA(nullptr), nullptr); // keeps the virtual desktop open
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return 1;
    ::WaitForInputIdle(info.hProcess, 20000);
    HWND dialog = nullptr;
    for (int tries = 0; dialog == nullptr && tries < 2000; ++tries)
    {
        ::EnumThreadWindows(info.dwThreadId, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        ::Sleep(10);
    }
    if (dialog == nullptr)
        return 1;
    ::Sleep(500);
    Describe(dialog, dialog);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        Describe(child, dialog);
    HWND focus = nullptr;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    if (::GetGUIThreadInfo(info.dwThreadId, &gui))
        focus = gui.hwndFocus;
    std::printf("focus: %d\n", focus ? ::GetDlgCtrlID(focus) : -1);
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(info.hProcess, 10000);
    return 0;
}
