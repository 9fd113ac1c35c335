#pragma once

// Drives the real Orvane.exe from outside, as a person would: it starts the
// program, finds its windows, moves the pointer in small steps, presses keys
// and reads the screen back. Everything goes through real input (SendInput).

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e
{

// The program under test: started in the constructor's Start, ended (if still
// running) with the object.
class OrvaneProcess
{
public:
    OrvaneProcess() = default;
    ~OrvaneProcess();
    OrvaneProcess(const OrvaneProcess&) = delete;
    OrvaneProcess& operator=(const OrvaneProcess&) = delete;

    // Starts the program and waits until its main dialog is visible.
    bool Start(const std::string& exePath);
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    bool IsRunning() const;
    DWORD ProcessId() const { return m_info.dwProcessId; }

    HWND MainWindow() const { return m_main; }
    HWND Item(int id) const { return ::GetDlgItem(m_main, id); }
    // A visible top-level window of the program with this caption, other than the main one.
    HWND FindTopLevel(const std::string& caption) const;

private:
    PROCESS_INFORMATION m_info = {};
    HWND m_main = nullptr;
};

// Wine closes a virtual desktop, and ends the processes on it, once its last
// window is gone: the driver keeps a small window of its own there while it
// starts and ends the program.
void KeepDesktopOpen();

// The path of Orvane.exe in the build tree, as a Windows path.
std::string OrvanePath();

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 3000);
void Pump(DWORD ms); // lets time pass while our own queue keeps moving

std::string WindowText(HWND window);
RECT ScreenRect(HWND window);
POINT CenterOf(HWND window);
POINT ClientToScreenPoint(HWND window, int x, int y);

// Pointer and keyboard.
void MoveTo(POINT target);
void Press();
void Release();
void ClickAt(POINT target);
void Key(WORD vk);
void KeyCombo(WORD modifier, WORD vk);
void Type(const std::string& text); // digits, letters, space, 'x'

// Screen capture of a rectangle in screen coordinates.
class Capture
{
public:
    explicit Capture(const RECT& area);
    COLORREF At(int x, int y) const; // relative to the area's top-left
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool SaveBmp(const std::string& path) const;
    // Pixels within the square of `radius` around (x, y) equal to `color`.
    int CountColor(int x, int y, int radius, COLORREF color) const;

private:
    int m_width;
    int m_height;
    std::vector<unsigned char> m_bgr; // top-down rows, 3 bytes a pixel
};

} // namespace e2e
