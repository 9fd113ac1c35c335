#include "gui_test.h"

#include "afxwin.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace ui
{

namespace
{

std::vector<MSG> g_seen;

void Send(INPUT input)
{
    ::SendInput(1, &input, sizeof input);
}

// Wine maps an absolute coordinate to dx * width / 65536, rounded down.
void SendMoveTo(POINT to)
{
    const LONG width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {INPUT_MOUSE, {}};
    input.mi = {(to.x * 65536 + width - 1) / width, (to.y * 65536 + height - 1) / height, 0,
                MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0};
    Send(input);
}

// Moves reach this thread only over its windows or into its capture.
bool IsOurs(POINT at)
{
    const HWND under = ::WindowFromPoint(at);
    return ::GetCapture() != nullptr
           || (under != nullptr && ::GetWindowThreadProcessId(under, nullptr) == ::GetCurrentThreadId());
}

} // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD deadline)
{
    for (const DWORD start = ::GetTickCount();; ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT))
    {
        for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
        {
            g_seen.push_back(msg);
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
                ::TranslateMessage(&msg), ::DispatchMessageA(&msg);
        }
        if (done && done())
            return true;
        if (::GetTickCount() - start >= deadline)
            return !done;
    }
}

void Pump(DWORD ms)
{
    PumpUntil(nullptr, ms);
}

std::size_t Mark()
{
    return g_seen.size();
}

bool Arrived(std::size_t since, UINT message, HWND window, POINT at)
{
    return std::any_of(g_seen.begin() + static_cast<std::ptrdiff_t>(since), g_seen.end(), [&](const MSG& msg) {
        return msg.message == message && (window == nullptr || msg.hwnd == window)
               && (at.x < 0 || (msg.pt.x == at.x && msg.pt.y == at.y));
    });
}

bool Await(const std::function<void()>& cause, UINT message, HWND window)
{
    const std::size_t since = Mark();
    cause();
    return PumpUntil([&] { return Arrived(since, message, window); });
}

bool MoveTo(POINT to)
{
    POINT from;
    ::GetCursorPos(&from);
    const std::size_t since = Mark();
    const long steps = std::max(1L, std::max(std::labs(to.x - from.x), std::labs(to.y - from.y)) / 8);
    for (long i = 1; i <= steps; ++i, Pump(3))
        SendMoveTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    // A move that follows another closely can be dropped, and the pointer
    // can bounce back after a jump: the last small move is repeated until seen.
    DWORD settled = 0;
    return PumpUntil([&] {
        if (::GetTickCount() - settled > 300)
            SendMoveTo({to.x + 1, to.y}), Pump(10), SendMoveTo(to), settled = ::GetTickCount();
        POINT now;
        ::GetCursorPos(&now);
        return now.x == to.x && now.y == to.y
               && (!IsOurs(to) || Arrived(since, WM_MOUSEMOVE, nullptr, to) || Arrived(since, WM_NCMOUSEMOVE, nullptr, to));
    });
}

POINT CentreOf(HWND window)
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void Button(bool down)
{
    INPUT input = {INPUT_MOUSE, {}};
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    Send(input);
    Pump(30);
}

void Click(POINT at)
{
    MoveTo(at);
    Button(true);
    Button(false);
}

void Key(WORD vk, bool down)
{
    INPUT input = {INPUT_KEYBOARD, {}};
    input.ki = {vk, static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)), down ? 0u : KEYEVENTF_KEYUP, 0, 0};
    Send(input);
    Pump(20);
}

void Tap(WORD vk, WORD modifier)
{
    if (modifier != 0)
        Key(modifier, true);
    Key(vk, true);
    Key(vk, false);
    if (modifier != 0)
        Key(modifier, false);
}

void Type(const std::string& text)
{
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ')
            Tap(static_cast<WORD>(std::toupper(static_cast<unsigned char>(c))), std::isupper(c) ? VK_SHIFT : 0);
}

std::vector<COLORREF> Pixels(HWND window, const RECT& area)
{
    if (window != nullptr)
        ::UpdateWindow(window);
    const HDC source = ::GetDC(window), memory = ::CreateCompatibleDC(source);
    const int width = area.right - area.left, height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HGDIOBJ previous = ::SelectObject(memory, ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ::BitBlt(memory, 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    std::vector<COLORREF> pixels(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) // blue, green, red, unused
        pixels[i] = RGB(static_cast<const BYTE*>(bits)[4 * i + 2], static_cast<const BYTE*>(bits)[4 * i + 1],
                        static_cast<const BYTE*>(bits)[4 * i]);
    ::DeleteObject(::SelectObject(memory, previous));
    ::DeleteDC(memory);
    ::ReleaseDC(window, source);
    return pixels;
}

std::string LinkColours(const std::vector<COLORREF>& pixels)
{
    // Smoothed or not, a pixel of text lies on the line from the face to the
    // text's colour, at least 30% of the way.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const auto d = [&](COLORREF c, int k) { return double(int(c >> k & 255) - int(face >> k & 255)); };
    const auto isStroke = [&](COLORREF pixel, COLORREF colour) {
        double along = 0, length = 0, off = 0;
        for (int k = 0; k < 24; k += 8)
            along += d(pixel, k) * d(colour, k), length += d(colour, k) * d(colour, k);
        for (int k = 0; k < 24; k += 8)
            off = std::max(off, std::fabs(d(pixel, k) - along / length * d(colour, k)));
        return along >= 0.3 * length && along <= 1.02 * length && off <= 4;
    };
    std::string shown;
    for (const auto& [colour, name] : {std::pair(RGB(0, 0, 238), "link"), std::pair(RGB(255, 0, 0), "hover"),
                                       std::pair(RGB(85, 26, 139), "visited")})
        if (std::count_if(pixels.begin(), pixels.end(), [&](COLORREF p) { return isStroke(p, colour); }) >= 5)
            shown += std::string(shown.empty() ? "" : " ") + name;
    return shown;
}

} // namespace ui
