// The hover cell button on real windows: a top-level host window holds the
// cells, every message goes through the layer's pre-translation and dispatch
// as in the program's modal loop, and the pointer and keyboard are driven
// with SendInput. Looks are checked on pixels read back from the cells.
#include "hover_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

constexpr COLORREF kSlate = RGB(126, 158, 190);
constexpr COLORREF kGreen = RGB(74, 216, 80);
constexpr COLORREF kLightBlue = RGB(199, 213, 226);

// The test strip (resource 130): three solid images and a last column that
// no cell may show.
constexpr COLORREF kWideNormal = RGB(220, 50, 50);
constexpr COLORREF kWideLit = RGB(40, 180, 60);
constexpr COLORREF kWideHover = RGB(50, 90, 230);
constexpr COLORREF kWideSpare = RGB(255, 0, 255);

constexpr UINT kCellStrip = 129;
constexpr UINT kWideStrip = 130;
constexpr UINT kMissingStrip = 4242;
constexpr UINT kCellId = 9000;
constexpr COLORREF kHostBackground = RGB(255, 255, 255);

// Where the body colour of every image of strip 129 is exact and a one-digit
// caption does not reach.
const POINT kBodySamples[] = {{6, 15}, {23, 15}};

const CRect kHostRect(100, 100, 420, 340);
// Outside the host, near enough for short moves.
const POINT kParking = {470, 390};

using Pixels = std::vector<COLORREF>;

// A window for the cells to live in; it records every command it receives.
class CCellHost : public CWnd
{
public:
    struct Notification
    {
        UINT id;
        UINT code;
        HWND control;
    };

    std::vector<Notification> notifications;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        notifications.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        CWnd::OnCommand(wParam, lParam);
        return TRUE;
    }

    int Count(UINT code) const
    {
        return static_cast<int>(std::count_if(notifications.begin(), notifications.end(),
                                              [code](const Notification& n) { return n.code == code; }));
    }
};

Pixels ReadPixels(HWND window, const CRect& area)
{
    ::UpdateWindow(window);
    ::GdiFlush();
    Pixels pixels;
    HDC dc = ::GetDC(window);
    for (int y = area.top; y < area.bottom; ++y)
    {
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    }
    ::ReleaseDC(window, dc);
    return pixels;
}

COLORREF PixelAt(HWND window, int x, int y)
{
    return ReadPixels(window, CRect(x, y, x + 1, y + 1)).front();
}

std::string Describe(COLORREF colour)
{
    char text[32];
    std::snprintf(text, sizeof text, "RGB(%d, %d, %d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

// The unlit image of a strip with a caption at the given place, drawn on a
// canvas that extends `margin` pixels left and right of the cell over the
// host's background: what a correct unlit cell shows there.
Pixels RenderReference(UINT strip, const char* caption, int x, int y, int margin = 0)
{
    const int width = 30 + 2 * margin;
    HDC screen = ::GetDC(nullptr);
    HDC canvas = ::CreateCompatibleDC(screen);
    HBITMAP canvasBitmap = ::CreateCompatibleBitmap(screen, width, 30);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ oldCanvas = ::SelectObject(canvas, canvasBitmap);
    const RECT all = {0, 0, width, 30};
    HBRUSH background = ::CreateSolidBrush(kHostBackground);
    ::FillRect(canvas, &all, background);
    ::DeleteObject(background);

    HDC source = ::CreateCompatibleDC(canvas);
    HANDLE loaded = ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(strip), IMAGE_BITMAP, 0, 0,
                                 LR_LOADMAP3DCOLORS);
    HGDIOBJ oldSource = ::SelectObject(source, loaded);
    ::BitBlt(canvas, margin, 0, 30, 30, source, 0, 0, SRCCOPY);
    ::SelectObject(source, oldSource);
    ::DeleteObject(loaded);
    ::DeleteDC(source);

    ::SetBkMode(canvas, TRANSPARENT);
    ::SetTextColor(canvas, ::GetSysColor(COLOR_WINDOWTEXT));
    ::TextOutA(canvas, margin + x, y, caption, static_cast<int>(std::strlen(caption)));
    ::GdiFlush();
    Pixels pixels;
    for (int row = 0; row < 30; ++row)
    {
        for (int column = 0; column < width; ++column)
            pixels.push_back(::GetPixel(canvas, column, row));
    }
    ::SelectObject(canvas, oldCanvas);
    ::DeleteObject(canvasBitmap);
    ::DeleteDC(canvas);
    return pixels;
}

// The size of a text in the font of a cell's drawing context, which is the
// font every DC starts with.
SIZE MeasureCaption(const char* caption)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    RECT rect = {0, 0, 0, 0};
    ::DrawTextA(dc, caption, -1, &rect, DT_CALCRECT);
    ::DeleteDC(dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

class HoverButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ParkPointer();
        const LPCSTR windowClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW),
                                                       static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ASSERT_TRUE(m_host.CreateEx(WS_EX_TOPMOST, windowClass, "cells", WS_POPUP | WS_VISIBLE, kHostRect.left,
                                    kHostRect.top, kHostRect.Width(), kHostRect.Height(), nullptr, nullptr));
        ::SetForegroundWindow(m_host);
        ::SetFocus(m_host);
        Pump(50);
    }

    void TearDown() override
    {
        ParkPointer();
        m_cells.clear();
        m_host.DestroyWindow();
        Pump(20);
    }

    CHoverButton& AddCell(const CRect& rect, UINT strip = kCellStrip, const char* caption = "1", UINT id = kCellId)
    {
        m_cells.push_back(std::make_unique<CHoverButton>());
        CHoverButton& cell = *m_cells.back();
        EXPECT_TRUE(cell.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, &m_host, id));
        EXPECT_TRUE(cell.LoadBitmap(strip));
        cell.SetCaption(caption);
        return cell;
    }

    // Runs the program's loop for a while, or until `done` holds (false if
    // it never did).
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000, bool preTranslate = true)
    {
        const DWORD start = ::GetTickCount();
        for (;;)
        {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                m_seen.push_back(msg);
                if (!preTranslate || !CWnd::WalkPreTranslateTree(m_host, &msg))
                {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
            }
            AfxDeleteTempObjects();
            if (done && done())
                return true;
            if (::GetTickCount() - start >= timeoutMs)
                return !done;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }

    void Pump(DWORD ms) { PumpUntil(nullptr, ms); }

    bool Seen(HWND window, UINT message, WPARAM wParam) const
    {
        return std::any_of(m_seen.begin(), m_seen.end(), [&](const MSG& msg) {
            return msg.hwnd == window && msg.message == message && msg.wParam == wParam;
        });
    }
    bool Seen(HWND window, UINT message) const
    {
        return std::any_of(m_seen.begin(), m_seen.end(),
                           [&](const MSG& msg) { return msg.hwnd == window && msg.message == message; });
    }

    static void SendMouse(DWORD flags, POINT screen = {})
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        if (flags & MOUSEEVENTF_ABSOLUTE)
        {
            const int width = ::GetSystemMetrics(SM_CXSCREEN);
            const int height = ::GetSystemMetrics(SM_CYSCREEN);
            input.mi.dx = (screen.x * 65536 + width - 1) / width;
            input.mi.dy = (screen.y * 65536 + height - 1) / height;
        }
        ::SendInput(1, &input, sizeof input);
    }

    // Runs the loop until one of the given messages arrives that was not
    // there at `since`.
    bool PumpUntilNew(std::size_t since, const std::function<bool(const MSG&)>& wanted)
    {
        return PumpUntil([&] {
            return std::any_of(m_seen.begin() + static_cast<std::ptrdiff_t>(since), m_seen.end(), wanted);
        });
    }

    // Moves the pointer like a hand, a few pixels at a time, with the loop
    // running in between, and waits for the last move to be handled.
    void MovePointerTo(POINT target)
    {
        const std::size_t since = m_seen.size();
        POINT from;
        ::GetCursorPos(&from);
        const int distance = std::max(std::abs(target.x - from.x), std::abs(target.y - from.y));
        const int steps = std::max(1, distance / 8);
        for (int i = 1; i <= steps; ++i)
        {
            const POINT step = {from.x + (target.x - from.x) * i / steps, from.y + (target.y - from.y) * i / steps};
            SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, step);
            Pump(3);
        }
        EXPECT_TRUE(PumpUntil([&] {
            POINT now;
            ::GetCursorPos(&now);
            return now.x == target.x && now.y == target.y;
        })) << "the pointer did not reach (" << target.x << ", " << target.y << ")";
        // Moves reach this thread only over its windows or into its capture.
        const HWND under = ::WindowFromPoint(target);
        const bool ours = under != nullptr && ::GetWindowThreadProcessId(under, nullptr) == ::GetCurrentThreadId();
        if (ours || ::GetCapture() != nullptr)
        {
            EXPECT_TRUE(PumpUntilNew(since, [&](const MSG& msg) {
                return msg.message == WM_MOUSEMOVE && msg.pt.x == target.x && msg.pt.y == target.y;
            })) << "no move to (" << target.x << ", " << target.y << ") arrived";
        }
        Pump(20);
    }

    void MovePointerInto(const CWnd& cell, int x, int y)
    {
        POINT point = {x, y};
        cell.ClientToScreen(&point);
        MovePointerTo(point);
    }

    void ParkPointer()
    {
        POINT now;
        ::GetCursorPos(&now);
        if (now.x != kParking.x || now.y != kParking.y)
            MovePointerTo(kParking);
    }

    // Rests the pointer on a cell until it shows itself hovered.
    void HoverOver(const CHoverButton& cell)
    {
        MovePointerInto(cell, 15, 15);
        ASSERT_TRUE(PumpUntil([&] { return cell.IsHovered() != FALSE; })) << "no hover notification";
    }

    // A press of its own, not the second half of a double-click.
    void PressButton()
    {
        const DWORD sinceLast = ::GetTickCount() - m_lastPress;
        const DWORD apart = ::GetDoubleClickTime() + 50;
        if (sinceLast < apart)
            Pump(apart - sinceLast);
        const std::size_t since = m_seen.size();
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        m_lastPress = ::GetTickCount();
        EXPECT_TRUE(PumpUntilNew(since, [](const MSG& msg) { return msg.message == WM_LBUTTONDOWN; }));
        Pump(20);
    }

    void ReleaseButton()
    {
        const std::size_t since = m_seen.size();
        SendMouse(MOUSEEVENTF_LEFTUP);
        EXPECT_TRUE(PumpUntilNew(since, [](const MSG& msg) { return msg.message == WM_LBUTTONUP; }));
        Pump(20);
    }

    void ExpectBody(const CWnd& cell, COLORREF expected, const char* when)
    {
        for (const POINT& sample : kBodySamples)
        {
            EXPECT_EQ(Describe(PixelAt(cell, sample.x, sample.y)), Describe(expected))
                << when << ", at (" << sample.x << ", " << sample.y << ")";
        }
    }

    static CRect RectInParent(const CWnd& cell)
    {
        CRect rect;
        cell.GetWindowRect(&rect);
        cell.GetParent()->ScreenToClient(&rect);
        return rect;
    }

    CCellHost m_host;
    std::vector<std::unique_ptr<CHoverButton>> m_cells;
    std::vector<MSG> m_seen;
    DWORD m_lastPress = 0;
};

// --- construction and loading ------------------------------------------------

TEST_F(HoverButtonTest, FreshCellHasEmptyCaptionClearFlagsAndItsOwnRuntimeClass)
{
    CHoverButton cell;
    EXPECT_EQ(cell.GetCaption(), "");
    EXPECT_FALSE(cell.IsLit());
    EXPECT_FALSE(cell.IsHovered());
    EXPECT_FALSE(cell.IsTracking());
    EXPECT_EQ(cell.GetSafeHwnd(), nullptr);

    const CRuntimeClass* runtimeClass = cell.GetRuntimeClass();
    EXPECT_STREQ(runtimeClass->m_lpszClassName, "CHoverButton");
    EXPECT_EQ(runtimeClass->m_pBaseClass, RUNTIME_CLASS(CBitmapButton));
    EXPECT_TRUE(cell.IsKindOf(RUNTIME_CLASS(CButton)));
}

TEST_F(HoverButtonTest, LoadBitmapSizesTheCellToOneImageWhateverTheCreationRectangle)
{
    const CRect rects[] = {{17, 23, 117, 28}, {40, 60, 40, 60}, {5, 150, 205, 230}, {250, 8, 251, 9}};
    const long handlesBefore = CGdiObject::LiveHandles();
    for (const CRect& rect : rects)
    {
        CHoverButton& cell = AddCell(rect);
        EXPECT_EQ(RectInParent(cell), CRect(rect.left, rect.top, rect.left + 30, rect.top + 30))
            << "created at " << rect.left << ", " << rect.top << " size " << rect.Width() << " x " << rect.Height();
        EXPECT_EQ(cell.GetCellSize(), CSize(30, 30));
    }
    EXPECT_EQ(CGdiObject::LiveHandles(), handlesBefore + 4) << "every cell holds its own copy of the strip";

    // A second load replaces the strip and the size.
    CHoverButton& reloaded = *m_cells.front();
    reloaded.SetCaption("");
    reloaded.LoadBitmap(kWideStrip);
    EXPECT_EQ(CGdiObject::LiveHandles(), handlesBefore + 4);
    EXPECT_EQ(reloaded.GetCellSize(), CSize(30, 20));
    EXPECT_EQ(RectInParent(reloaded), CRect(17, 23, 47, 43));
    reloaded.Invalidate();
    EXPECT_EQ(Describe(PixelAt(reloaded, 15, 10)), Describe(kWideNormal));
    m_cells.clear();
    Pump(10);
    EXPECT_EQ(CGdiObject::LiveHandles(), handlesBefore) << "deleting a cell releases its strip";
}

TEST_F(HoverButtonTest, LoadBitmapUsesOnlyTheLowSixteenBitsOfTheId)
{
    CHoverButton& cell = AddCell(CRect(10, 10, 90, 90), 0x10000u | kWideStrip);
    EXPECT_EQ(cell.GetCellSize(), CSize(30, 20));
    EXPECT_EQ(RectInParent(cell), CRect(10, 10, 40, 30));
}

TEST_F(HoverButtonTest, TheCellLoadedLastLiesOnTop)
{
    CHoverButton& first = AddCell(CRect(10, 10, 20, 20));
    CHoverButton& second = AddCell(CRect(20, 20, 30, 30));
    EXPECT_EQ(::GetWindow(m_host, GW_CHILD), second.GetSafeHwnd());
    first.LoadBitmap(kCellStrip);
    EXPECT_EQ(::GetWindow(m_host, GW_CHILD), first.GetSafeHwnd());
    EXPECT_EQ(::GetWindow(first, GW_HWNDNEXT), second.GetSafeHwnd());
}

TEST_F(HoverButtonTest, ANinetyOnePixelStripGivesThirtyPixelCellsAndHidesItsLastColumn)
{
    CHoverButton& cell = AddCell(CRect(50, 50, 51, 51), kWideStrip, "");
    EXPECT_EQ(cell.GetCellSize(), CSize(30, 20));
    EXPECT_EQ(RectInParent(cell), CRect(50, 50, 80, 70));

    struct State
    {
        bool pressed, lit, hover;
        COLORREF expected;
    };
    const State states[] = {
        {false, false, false, kWideNormal}, {false, false, true, kWideHover}, {false, true, false, kWideLit},
        {false, true, true, kWideLit},      {true, false, false, kWideLit},   {true, true, true, kWideLit},
    };
    for (const State& state : states)
    {
        cell.SetLit(state.lit);
        cell.SendMessage(state.hover ? WM_MOUSEHOVER : WM_MOUSELEAVE);
        cell.SendMessage(BM_SETSTATE, state.pressed);
        Pump(20);
        const Pixels pixels = ReadPixels(cell, CRect(0, 0, 30, 20));
        const auto wrong = std::find_if(pixels.begin(), pixels.end(),
                                        [&](COLORREF pixel) { return pixel != state.expected; });
        EXPECT_EQ(wrong, pixels.end())
            << "pressed " << state.pressed << " lit " << state.lit << " hover " << state.hover << ": pixel "
            << (wrong - pixels.begin()) << " is " << (wrong == pixels.end() ? "" : Describe(*wrong))
            << (wrong != pixels.end() && *wrong == kWideSpare ? " (the strip's last column)" : "");
    }
}

TEST_F(HoverButtonTest, WithoutItsStripACellKeepsItsSizeAndDrawsAPlainFaceThatShowsTheLitFlag)
{
    const long handlesBefore = CGdiObject::LiveHandles();
    CHoverButton& cell = AddCell(CRect(30, 40, 70, 64), kMissingStrip, "7");
    EXPECT_EQ(CGdiObject::LiveHandles(), handlesBefore);
    EXPECT_EQ(RectInParent(cell), CRect(30, 40, 70, 64));
    EXPECT_EQ(cell.GetCellSize(), CSize(40, 24));

    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const Pixels unlit = ReadPixels(cell, CRect(0, 0, 40, 24));
    EXPECT_EQ(Describe(unlit[5 * 40 + 5]), Describe(face)) << "inside the frame";
    EXPECT_NE(std::find(unlit.begin(), unlit.end(), ::GetSysColor(COLOR_WINDOWTEXT)), unlit.end())
        << "the caption is drawn";

    cell.SetLit(TRUE);
    const Pixels lit = ReadPixels(cell, CRect(0, 0, 40, 24));
    EXPECT_NE(Describe(lit[0]), Describe(unlit[0])) << "a lit cell's face is pushed in";
    cell.SetLit(FALSE);
    EXPECT_EQ(ReadPixels(cell, CRect(0, 0, 40, 24)), unlit);
}

// --- drawing -----------------------------------------------------------------

TEST_F(HoverButtonTest, TheImageFollowsThePressedLitAndHoverState)
{
    CHoverButton& cell = AddCell(CRect(60, 60, 90, 90));
    struct State
    {
        bool pressed, lit, hover;
        COLORREF expected;
    };
    const State states[] = {
        {false, false, false, kSlate}, {false, false, true, kLightBlue}, {false, true, false, kGreen},
        {false, true, true, kGreen},   {true, false, false, kGreen},     {true, false, true, kGreen},
        {true, true, false, kGreen},   {true, true, true, kGreen},
    };
    for (const State& state : states)
    {
        cell.SetLit(state.lit);
        cell.SendMessage(state.hover ? WM_MOUSEHOVER : WM_MOUSELEAVE);
        cell.SendMessage(BM_SETSTATE, state.pressed);
        Pump(20);
        const std::string when = std::string("pressed ") + (state.pressed ? "yes" : "no") + ", lit "
                                 + (state.lit ? "yes" : "no") + ", hover " + (state.hover ? "yes" : "no");
        ExpectBody(cell, state.expected, when.c_str());
    }
}

TEST_F(HoverButtonTest, TheCaptionIsCentredWithTruncatingDivisionAndClippedAtTheCellEdges)
{
    // A caption 41 pixels wide, of whatever characters make that width in
    // the cell's font: some repeats of one and another one after them.
    int widths[128] = {};
    for (char ch = '!'; ch <= '~'; ++ch)
        widths[static_cast<int>(ch)] = MeasureCaption(std::string(1, ch).c_str()).cx;
    std::string caption;
    for (char first = '!'; first <= '~' && caption.empty(); ++first)
    {
        for (int repeat = 1; repeat <= 12 && caption.empty(); ++repeat)
        {
            for (char last = '!'; last <= '~'; ++last)
            {
                if (repeat * widths[static_cast<int>(first)] + widths[static_cast<int>(last)] != 41)
                    continue;
                const std::string candidate = std::string(static_cast<std::size_t>(repeat), first) + last;
                if (MeasureCaption(candidate.c_str()).cx == 41)
                {
                    caption = candidate;
                    break;
                }
            }
        }
    }
    ASSERT_FALSE(caption.empty()) << "no caption 41 pixels wide in this font";
    const int height = MeasureCaption(caption.c_str()).cy;

    const CRect place(40, 40, 70, 70);
    CHoverButton& cell = AddCell(place, kCellStrip, caption.c_str());
    const Pixels drawn = ReadPixels(cell, CRect(0, 0, 30, 30));
    EXPECT_EQ(drawn, RenderReference(kCellStrip, caption.c_str(), -5, (30 - height) / 2))
        << "caption \"" << caption << "\" should start at x = -5";
    EXPECT_NE(drawn, RenderReference(kCellStrip, caption.c_str(), -6, (30 - height) / 2))
        << "the check must tell -5 from -6";

    // Left and right of the cell the host keeps its own background, although
    // the text runs on past both edges.
    constexpr int margin = 8;
    const Pixels wide = RenderReference(kCellStrip, caption.c_str(), -5, (30 - height) / 2, margin);
    const Pixels around = ReadPixels(m_host, CRect(place.left - margin, place.top, place.right + margin, place.bottom));
    int textOutside = 0;
    for (int row = 0; row < 30; ++row)
    {
        for (int column = 0; column < 30 + 2 * margin; ++column)
        {
            if (column >= margin && column < margin + 30)
                continue;
            const std::size_t index = static_cast<std::size_t>(row * (30 + 2 * margin) + column);
            textOutside += wide[index] != kHostBackground;
            EXPECT_EQ(around[index], kHostBackground) << "at column " << column - margin << ", row " << row;
        }
    }
    EXPECT_GT(textOutside, 0) << "the caption must reach past the cell's edges for this check";
}

TEST_F(HoverButtonTest, SetCaptionShowsOnlyAtTheNextRepaint)
{
    CHoverButton& cell = AddCell(CRect(20, 20, 50, 50), kCellStrip, "1");
    CHoverButton& model = AddCell(CRect(80, 20, 110, 50), kCellStrip, "88");
    const Pixels before = ReadPixels(cell, CRect(0, 0, 30, 30));
    const Pixels wanted = ReadPixels(model, CRect(0, 0, 30, 30));
    ASSERT_NE(before, wanted);

    cell.SetCaption("88");
    EXPECT_EQ(cell.GetCaption(), "88");
    Pump(50);
    EXPECT_EQ(ReadPixels(cell, CRect(0, 0, 30, 30)), before) << "no repaint of its own";

    cell.Invalidate();
    EXPECT_EQ(ReadPixels(cell, CRect(0, 0, 30, 30)), wanted);
}

TEST_F(HoverButtonTest, SetLitRepaintsTheWholeCell)
{
    CHoverButton& cell = AddCell(CRect(20, 20, 50, 50));
    ExpectBody(cell, kSlate, "unlit");

    cell.SetLit(TRUE);
    EXPECT_TRUE(cell.IsLit());
    CRect update;
    EXPECT_TRUE(::GetUpdateRect(cell, &update, FALSE));
    EXPECT_EQ(update, CRect(0, 0, 30, 30));
    ExpectBody(cell, kGreen, "lit");

    cell.SetLit(FALSE);
    EXPECT_FALSE(cell.IsLit());
    ExpectBody(cell, kSlate, "unlit again");
}

// --- the pointer -------------------------------------------------------------

TEST_F(HoverButtonTest, HoverTrackingFollowsThePointerAndIsRequestedOncePerVisit)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    const auto trackedWindow = [] {
        TRACKMOUSEEVENT query = {sizeof query, TME_QUERY, nullptr, 0};
        ::_TrackMouseEvent(&query);
        return (query.dwFlags & TME_LEAVE) ? query.hwndTrack : nullptr;
    };
    EXPECT_FALSE(cell.IsTracking());
    ExpectBody(cell, kSlate, "before the pointer comes");

    // Entering: the first move asks for tracking, the rest of the hover
    // time later the cell is hovered.
    MovePointerInto(cell, 3, 15);
    EXPECT_TRUE(cell.IsTracking());
    EXPECT_EQ(trackedWindow(), cell.GetSafeHwnd());
    ASSERT_TRUE(PumpUntil([&] { return cell.IsHovered() != FALSE; }));
    ExpectBody(cell, kLightBlue, "hovered");

    // While inside, the cell asks for nothing more: with the request
    // withdrawn behind its back, moving about renews nothing.
    TRACKMOUSEEVENT cancel = {sizeof cancel, TME_CANCEL | TME_LEAVE | TME_HOVER, cell.GetSafeHwnd(), 0};
    ASSERT_TRUE(::_TrackMouseEvent(&cancel));
    ASSERT_EQ(trackedWindow(), nullptr);
    MovePointerInto(cell, 20, 22);
    MovePointerInto(cell, 10, 8);
    EXPECT_EQ(trackedWindow(), nullptr);
    EXPECT_TRUE(cell.IsTracking());
    EXPECT_TRUE(cell.IsHovered());
    ExpectBody(cell, kLightBlue, "hovered, moving inside");

    // A leave clears both flags and the look; the next move asks again.
    cell.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(cell.IsTracking());
    EXPECT_FALSE(cell.IsHovered());
    ExpectBody(cell, kSlate, "after a leave");
    MovePointerInto(cell, 15, 15);
    EXPECT_EQ(trackedWindow(), cell.GetSafeHwnd());
    ASSERT_TRUE(PumpUntil([&] { return cell.IsHovered() != FALSE; }));
    ExpectBody(cell, kLightBlue, "hovered again");

    // Leaving for real.
    MovePointerTo({kHostRect.left + 200, kHostRect.top + 200});
    ASSERT_TRUE(PumpUntil([&] { return !cell.IsTracking() && !cell.IsHovered(); }));
    ExpectBody(cell, kSlate, "after the pointer left");
}

TEST_F(HoverButtonTest, APointerThatLeavesBeforeTheHoverTimeNeverShowsTheHoverImage)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    const auto everHovered = [&](DWORD ms) {
        bool hovered = false;
        PumpUntil([&] {
            hovered = hovered || cell.IsHovered();
            return false;
        }, ms);
        return hovered;
    };

    // A move that is handled after the pointer has gone again, as when it
    // crosses the cell faster than the loop runs.
    cell.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
    EXPECT_FALSE(everHovered(300));
    EXPECT_FALSE(cell.IsTracking());
    EXPECT_FALSE(Seen(cell, WM_MOUSEHOVER));
    ExpectBody(cell, kSlate, "after the pointer went");

    // Nor is the cell left waiting: the next visit is hovered as usual.
    HoverOver(cell);
    ExpectBody(cell, kLightBlue, "on the next visit");
}

TEST_F(HoverButtonTest, APressFlipsTheLitFlagAtOnceAndTheReleaseClicks)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70), kCellStrip, "9", kCellId + 8);
    HoverOver(cell);

    // An unlit cell: lit from the press on, green while held and after.
    PressButton();
    EXPECT_TRUE(cell.IsLit());
    EXPECT_TRUE(cell.GetState() & BST_PUSHED);
    ExpectBody(cell, kGreen, "unlit cell held down");
    EXPECT_EQ(m_host.Count(BN_CLICKED), 0) << "no click before the release";
    ReleaseButton();
    ASSERT_EQ(m_host.notifications.size(), 1u);
    EXPECT_EQ(m_host.notifications[0].code, UINT(BN_CLICKED));
    EXPECT_EQ(m_host.notifications[0].id, kCellId + 8);
    EXPECT_EQ(m_host.notifications[0].control, cell.GetSafeHwnd());
    EXPECT_TRUE(cell.IsLit());
    ExpectBody(cell, kGreen, "after the click");

    // A lit cell: unlit from the press on, green while held, then hovered.
    PressButton();
    EXPECT_FALSE(cell.IsLit());
    ExpectBody(cell, kGreen, "lit cell held down");
    ReleaseButton();
    EXPECT_EQ(m_host.Count(BN_CLICKED), 2);
    EXPECT_FALSE(cell.IsLit());
    EXPECT_TRUE(cell.IsHovered());
    ExpectBody(cell, kLightBlue, "after the second click, under the pointer");
}

TEST_F(HoverButtonTest, APressReleasedOutsideRestoresTheLitFlagAndSendsNoClick)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    for (const BOOL lit : {FALSE, TRUE})
    {
        cell.SetLit(lit);
        HoverOver(cell);
        PressButton();
        EXPECT_EQ(cell.IsLit(), !lit) << "flipped at the press";
        MovePointerInto(cell, 60, 15);
        EXPECT_EQ(cell.IsLit(), !lit) << "still flipped while held outside";
        ReleaseButton();
        EXPECT_EQ(cell.IsLit(), lit) << "back to its value before the press";
        ASSERT_TRUE(PumpUntil([&] { return !cell.IsHovered(); }));
        ExpectBody(cell, lit ? kGreen : kSlate, lit ? "lit cell after the press" : "unlit cell after the press");
    }
    EXPECT_TRUE(m_host.notifications.empty());
}

TEST_F(HoverButtonTest, APressThatLeavesAndComesBackStillClicksAndKeepsTheFlip)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    HoverOver(cell);
    PressButton();
    MovePointerInto(cell, 50, 15);
    EXPECT_FALSE(cell.GetState() & BST_PUSHED) << "the button lets go while the pointer is outside";
    MovePointerInto(cell, 15, 15);
    EXPECT_TRUE(cell.GetState() & BST_PUSHED);
    ReleaseButton();
    EXPECT_EQ(m_host.Count(BN_CLICKED), 1);
    EXPECT_TRUE(cell.IsLit());
}

TEST_F(HoverButtonTest, LosingTheCaptureDuringAPressRestoresTheLitFlag)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    cell.SetLit(TRUE);
    HoverOver(cell);
    PressButton();
    ASSERT_EQ(::GetCapture(), cell.GetSafeHwnd());
    EXPECT_FALSE(cell.IsLit());

    ::SetCapture(m_host);
    EXPECT_TRUE(cell.IsLit());
    ReleaseButton();
    ::ReleaseCapture();
    Pump(30);
    EXPECT_TRUE(cell.IsLit());
    EXPECT_EQ(m_host.Count(BN_CLICKED), 0);
    ExpectBody(cell, kGreen, "lit cell after the lost press");
}

TEST_F(HoverButtonTest, ADoubleClicksSecondPressDoesNotFlip)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    HoverOver(cell);
    INPUT inputs[3] = {};
    const DWORD flags[3] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN};
    for (int i = 0; i < 3; ++i)
    {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dwFlags = flags[i];
    }
    ASSERT_EQ(::SendInput(3, inputs, sizeof(INPUT)), 3u);
    ASSERT_TRUE(PumpUntil([&] { return Seen(cell, WM_LBUTTONDBLCLK); }))
        << "the second press must arrive as a double-click";
    Pump(30);
    EXPECT_TRUE(cell.IsLit()) << "flipped by the first press only";
    EXPECT_EQ(m_host.Count(BN_CLICKED), 1);

    ReleaseButton();
    EXPECT_TRUE(cell.IsLit());
    EXPECT_EQ(m_host.Count(BN_CLICKED), 1);
    ExpectBody(cell, kGreen, "after the double-click");
}

// --- the keyboard ------------------------------------------------------------

TEST_F(HoverButtonTest, TheSpaceBarOnAFocusedCellChangesNothing)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    cell.SetFocus();
    ASSERT_EQ(::GetFocus(), cell.GetSafeHwnd());

    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = VK_SPACE;
    ::SendInput(1, &key, sizeof key);
    ASSERT_TRUE(PumpUntil([&] { return Seen(cell, WM_KEYDOWN, VK_SPACE); }));
    Pump(30);
    EXPECT_FALSE(cell.GetState() & BST_PUSHED);
    ExpectBody(cell, kSlate, "space held");

    key.ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &key, sizeof key);
    ASSERT_TRUE(PumpUntil([&] { return Seen(cell, WM_KEYUP, VK_SPACE); }));
    Pump(30);
    EXPECT_TRUE(m_host.notifications.empty());
    EXPECT_FALSE(cell.IsLit());
    ExpectBody(cell, kSlate, "space released");

    MSG other = {cell.GetSafeHwnd(), WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_FALSE(cell.PreTranslateMessage(&other)) << "only the space bar is held back";
    MSG up = {cell.GetSafeHwnd(), WM_KEYUP, VK_SPACE, 0, 0, {}};
    EXPECT_FALSE(cell.PreTranslateMessage(&up));

    // The same keys dispatched straight, past the filter, do click: the
    // filter is what keeps them out.
    m_seen.clear();
    key.ki.dwFlags = 0;
    ::SendInput(1, &key, sizeof key);
    key.ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &key, sizeof key);
    ASSERT_TRUE(PumpUntil([&] { return Seen(cell, WM_KEYUP, VK_SPACE); }, 2000, false));
    Pump(30);
    EXPECT_EQ(m_host.Count(BN_CLICKED), 1);
}

} // namespace
