#include "orvane_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e
{

namespace
{

struct FindContext
{
    DWORD processId;
    std::string caption;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param)
{
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != context->processId || window == context->exclude || !::IsWindowVisible(window))
        return TRUE;
    if (WindowText(window) != context->caption)
        return TRUE;
    context->found = window;
    return FALSE;
}

void SendMouse(DWORD flags, LONG x = 0, LONG y = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

void SendKey(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
}

} // namespace

OrvaneProcess::~OrvaneProcess()
{
    if (m_info.hProcess != nullptr)
    {
        if (IsRunning())
        {
            ::TerminateProcess(m_info.hProcess, 99);
            ::WaitForSingleObject(m_info.hProcess, 5000);
        }
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
    }
}

void KeepDesktopOpen()
{
    static HWND keeper = ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "orvane driver",
                                           WS_POPUP | WS_VISIBLE, 1020, 764, 4, 4, nullptr, nullptr,
                                           ::GetModuleHandleA(nullptr), nullptr);
    (void)keeper;
}

bool OrvaneProcess::Start(const std::string& exePath)
{
    KeepDesktopOpen();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + exePath + "\"";
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info))
        return false;
    FindContext context = {m_info.dwProcessId, "Orvane", nullptr, nullptr};
    const bool found = WaitFor([&] {
        context.found = nullptr;
        ::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&context));
        return context.found != nullptr && ::GetDlgItem(context.found, 1000) != nullptr;
    }, 20000);
    m_main = context.found;
    if (found)
        Pump(300); // let it paint
    return found;
}

bool OrvaneProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (::WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    ::GetExitCodeProcess(m_info.hProcess, exitCode);
    return true;
}

bool OrvaneProcess::IsRunning() const
{
    return m_info.hProcess != nullptr && ::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

HWND OrvaneProcess::FindTopLevel(const std::string& caption) const
{
    FindContext context = {m_info.dwProcessId, caption, m_main, nullptr};
    ::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

std::string OrvanePath()
{
    std::string path = ORVANE_EXE_PATH; // a path of the build machine
    if (!path.empty() && path[0] == '/')
    {
        for (char& c : path)
        {
            if (c == '/')
                c = '\\';
        }
        path = "Z:" + path;
    }
    return path;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition())
    {
        if (::GetTickCount() - start > timeoutMs)
            return false;
        Pump(20);
    }
    return true;
}

void Pump(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    do
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
        ::Sleep(10);
    } while (::GetTickCount() - start < ms);
}

std::string WindowText(HWND window)
{
    char buffer[512] = {};
    // WM_GETTEXT crosses processes; GetWindowText would not ask the program.
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

RECT ScreenRect(HWND window)
{
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

POINT CenterOf(HWND window)
{
    const RECT rect = ScreenRect(window);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT ClientToScreenPoint(HWND window, int x, int y)
{
    POINT point = {x, y};
    ::ClientToScreen(window, &point);
    return point;
}

void MoveTo(POINT target)
{
    POINT from;
    ::GetCursorPos(&from);
    const int dx = target.x - from.x;
    const int dy = target.y - from.y;
    const int distance = std::max(std::abs(dx), std::abs(dy));
    const int steps = std::max(1, std::min(distance / 12, 40));
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    const auto moveTo = [&](LONG x, LONG y) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (x * 65535 + width / 2) / (width - 1),
                  (y * 65535 + height / 2) / (height - 1));
        Pump(8);
    };
    for (int i = 1; i <= steps; ++i)
        moveTo(from.x + dx * i / steps, from.y + dy * i / steps);
    // A hand comes to rest with a last small movement; Wine can drop a move
    // that follows another too closely, so the pointer settles on the target.
    Pump(40);
    moveTo(target.x + 1, target.y);
    moveTo(target.x, target.y);
    Pump(60);
}

void Press()
{
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Pump(80);
}

void Release()
{
    SendMouse(MOUSEEVENTF_LEFTUP);
    Pump(80);
}

void ClickAt(POINT target)
{
    MoveTo(target);
    Press();
    Release();
    Pump(100);
}

void Key(WORD vk)
{
    SendKey(vk, false);
    SendKey(vk, true);
    Pump(40);
}

void KeyCombo(WORD modifier, WORD vk)
{
    SendKey(modifier, false);
    SendKey(vk, false);
    SendKey(vk, true);
    SendKey(modifier, true);
    Pump(60);
}

void Type(const std::string& text)
{
    for (const char c : text)
    {
        if (c >= '0' && c <= '9')
            Key(static_cast<WORD>(c));
        else if (c >= 'a' && c <= 'z')
            Key(static_cast<WORD>(c - 'a' + 'A'));
        else if (c >= 'A' && c <= 'Z')
            KeyCombo(VK_SHIFT, static_cast<WORD>(c));
        else if (c == ' ')
            Key(VK_SPACE);
    }
    Pump(100);
}

Capture::Capture(const RECT& area)
    : m_width(area.right - area.left), m_height(area.bottom - area.top),
      m_bgr(static_cast<std::size_t>(m_width) * m_height * 3)
{
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, dib);
    ::BitBlt(memory, 0, 0, m_width, m_height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const int stride = (m_width * 3 + 3) & ~3;
    for (int y = 0; y < m_height; ++y)
    {
        const auto* row = static_cast<const unsigned char*>(bits) + static_cast<std::size_t>(y) * stride;
        std::copy(row, row + m_width * 3, m_bgr.begin() + static_cast<std::ptrdiff_t>(y) * m_width * 3);
    }
    ::SelectObject(memory, previous);
    ::DeleteObject(dib);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

COLORREF Capture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    const unsigned char* p = &m_bgr[(static_cast<std::size_t>(y) * m_width + x) * 3];
    return RGB(p[2], p[1], p[0]);
}

int Capture::CountColor(int x, int y, int radius, COLORREF color) const
{
    int count = 0;
    for (int yy = y - radius; yy <= y + radius; ++yy)
    {
        for (int xx = x - radius; xx <= x + radius; ++xx)
        {
            if (At(xx, yy) == color)
                ++count;
        }
    }
    return count;
}

bool Capture::SaveBmp(const std::string& path) const
{
    const int stride = (m_width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = m_width;
    header.biHeight = m_height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * m_height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::vector<unsigned char> row(static_cast<std::size_t>(stride), 0);
    for (int y = m_height - 1; y >= 0; --y)
    {
        std::copy(m_bgr.begin() + static_cast<std::ptrdiff_t>(y) * m_width * 3,
                  m_bgr.begin() + static_cast<std::ptrdiff_t>(y + 1) * m_width * 3, row.begin());
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::fclose(out) == 0;
}

} // namespace e2e
