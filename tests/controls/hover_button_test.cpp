// The hover cell button on real windows: a top-level host holds the cells,
// every message goes through the layer's pre-translation and dispatch as in
// the program's modal loop, the pointer and keyboard are driven with real
// input events, and looks are checked on pixels read back from the cells.
#include "hover_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{

// Images of a strip, left to right, and their body colours in the program's
// strip 129 and in the test strip 130 (91 x 20: three solid 30-pixel images,
// then a column that no cell may show).
enum Image { kNormal, kLit, kHover };
constexpr COLORREF kCells[] = {RGB(126, 158, 190), RGB(74, 216, 80), RGB(199, 213, 226)};
constexpr COLORREF kWide[] = {RGB(220, 50, 50), RGB(40, 180, 60), RGB(50, 90, 230)};
constexpr UINT kCellStrip = 129, kWideStrip = 130, kCellId = 9000;
const CRect kHostRect(100, 100, 420, 340);
const POINT kParking = {470, 390}; // outside the host, near enough for short moves

std::vector<COLORREF> ReadPixels(HWND window, const CRect& area)
{
    ::UpdateWindow(window);
    ::GdiFlush();
    std::vector<COLORREF> pixels;
    HDC dc = ::GetDC(window);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::ReleaseDC(window, dc);
    return pixels;
}

// Counts the clicks its cells send.
struct CCellHost : CWnd
{
    int clicks = 0;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        clicks += HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == kCellId;
        return CWnd::OnCommand(wParam, lParam);
    }
};

class HoverButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MovePointerTo(kParking);
        ASSERT_TRUE(m_host.CreateEx(WS_EX_TOPMOST, AfxRegisterWndClass(0), "cells", WS_POPUP | WS_VISIBLE,
                                    kHostRect.left, kHostRect.top, kHostRect.Width(), kHostRect.Height(), nullptr,
                                    nullptr));
        ::SetForegroundWindow(m_host);
        Pump(50);
    }

    CHoverButton& AddCell(const CRect& rect, UINT strip = kCellStrip, const char* caption = "1")
    {
        m_cells.push_back(std::make_unique<CHoverButton>());
        EXPECT_TRUE(m_cells.back()->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, &m_host, kCellId));
        EXPECT_TRUE(m_cells.back()->LoadBitmap(strip));
        m_cells.back()->SetCaption(caption);
        return *m_cells.back();
    }

    // Runs the program's loop until `done` holds (false if it never did in
    // time), or for the whole time if there is no `done`.
    bool PumpUntil(const std::function<bool()>& done, DWORD ms = 2000)
    {
        for (const DWORD start = ::GetTickCount();; ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT))
        {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                m_seen.push_back(msg);
                if (!CWnd::WalkPreTranslateTree(m_host, &msg))
                {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
            }
            AfxDeleteTempObjects();
            if (done && done())
                return true;
            if (::GetTickCount() - start >= ms)
                return !done;
        }
    }
    void Pump(DWORD ms) { PumpUntil(nullptr, ms); }

    bool Arrived(std::size_t since, UINT message, POINT at = {-1, -1}) const
    {
        return std::any_of(m_seen.begin() + static_cast<long>(since), m_seen.end(), [&](const MSG& msg) {
            return msg.message == message && (at.x < 0 || (msg.pt.x == at.x && msg.pt.y == at.y));
        });
    }

    // Does something, then runs the loop until the message it causes arrives.
    bool Await(const std::function<void()>& cause, UINT message)
    {
        const std::size_t since = m_seen.size();
        cause();
        return PumpUntil([&] { return Arrived(since, message); });
    }

    // Moves the pointer to a point on the screen or in a cell like a hand, a
    // few pixels at a time with the loop running (Wine can lose long jumps),
    // and waits for the last move to be handled.
    void MovePointerTo(POINT to, const CWnd* cell = nullptr)
    {
        if (cell != nullptr)
            cell->ClientToScreen(&to);
        POINT from;
        ::GetCursorPos(&from);
        if (from.x == to.x && from.y == to.y)
            return;
        const std::size_t since = m_seen.size();
        const long width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
        const long steps = std::max(1L, std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) / 8);
        for (long i = 1; i <= steps; ++i)
        {
            const long x = from.x + (to.x - from.x) * i / steps, y = from.y + (to.y - from.y) * i / steps;
            ::mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<DWORD>((x * 65536 + width - 1) / width),
                          static_cast<DWORD>((y * 65536 + height - 1) / height), 0, 0);
            Pump(3);
        }
        // Moves reach this thread only over its windows or into its capture.
        const HWND under = ::WindowFromPoint(to);
        const bool ours = ::GetCapture() != nullptr
                          || (under != nullptr && ::GetWindowThreadProcessId(under, nullptr) == ::GetCurrentThreadId());
        EXPECT_TRUE(PumpUntil([&] {
            POINT now;
            ::GetCursorPos(&now);
            return now.x == to.x && now.y == to.y && (!ours || Arrived(since, WM_MOUSEMOVE, to));
        })) << "no move to (" << to.x << ", " << to.y << ")";
        Pump(20);
    }

    bool Hover(const CHoverButton& cell, int x = 15, int y = 15)
    {
        MovePointerTo({x, y}, &cell);
        return PumpUntil([&] { return cell.IsHovered() != FALSE; });
    }

    // Where every image of strip 129 shows its body colour and a one-digit
    // caption does not reach.
    static void ExpectBody(const CWnd& cell, Image image, const std::string& when)
    {
        EXPECT_EQ(ReadPixels(cell, CRect(6, 15, 7, 16))[0], kCells[image]) << when;
    }

    CCellHost m_host;
    std::vector<std::unique_ptr<CHoverButton>> m_cells; // destroyed before their host
    std::vector<MSG> m_seen;
};

TEST_F(HoverButtonTest, LoadBitmapSizesTheCellToOneImageWhateverTheCreationRectangle)
{
    struct Row { CRect created; UINT strip; CSize size; };
    const Row rows[] = {
        {{17, 23, 117, 28}, kCellStrip, {30, 30}},
        {{40, 60, 40, 60}, kCellStrip, {30, 30}},
        {{5, 150, 205, 230}, kWideStrip, {30, 20}},           // 91 pixels wide: 30-pixel images
        {{250, 8, 251, 9}, 0x10000u | kWideStrip, {30, 20}}, // only the ID's low 16 bits count
        {{30, 90, 70, 114}, 4242, {40, 24}},                  // no such strip: the size stays
    };
    // Handles of owning wrappers: the temporary ones go first.
    const auto owned = [] { AfxDeleteTempObjects(); return CGdiObject::LiveHandles(); };
    const long handles = owned();
    for (const Row& row : rows)
    {
        CHoverButton& cell = AddCell(row.created, row.strip);
        CRect placed;
        cell.GetWindowRect(&placed);
        m_host.ScreenToClient(&placed);
        EXPECT_EQ(placed, CRect(row.created.TopLeft(), row.size)) << "strip " << row.strip;
        EXPECT_EQ(cell.GetCellSize(), row.size) << "strip " << row.strip;
    }
    EXPECT_EQ(owned(), handles + 4) << "every cell holds its own copy of its strip";
    EXPECT_EQ(::GetWindow(m_host, GW_CHILD), m_cells.back()->GetSafeHwnd()) << "the cell loaded last lies on top";

    // Loading again replaces the strip and the size, and lifts the cell on top.
    m_cells[1]->LoadBitmap(kWideStrip);
    EXPECT_EQ(m_cells[1]->GetCellSize(), CSize(30, 20));
    EXPECT_EQ(owned(), handles + 4);
    EXPECT_EQ(::GetWindow(m_host, GW_CHILD), m_cells[1]->GetSafeHwnd());
    m_cells.clear();
    EXPECT_EQ(owned(), handles) << "deleting a cell releases its strip";
}

TEST_F(HoverButtonTest, CellsShowOneStripHandedToThemWithoutCopies)
{
    CCellStrip strip;
    ASSERT_TRUE(strip.Load(kWideStrip));
    EXPECT_EQ(strip.GetCellSize(), CSize(30, 20));
    AfxDeleteTempObjects();
    const long handles = CGdiObject::LiveHandles();
    for (int i = 0; i < 2; ++i)
    {
        m_cells.push_back(std::make_unique<CHoverButton>());
        ASSERT_TRUE(m_cells.back()->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(40 + 40 * i, 40, 70 + 40 * i, 60),
                                           &m_host, kCellId));
        m_cells.back()->SetStrip(&strip);
    }
    m_cells[1]->SetLit(TRUE);
    for (int i = 0; i < 2; ++i)
    {
        const std::vector<COLORREF> pixels = ReadPixels(*m_cells[i], CRect(0, 0, 30, 20));
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kWide[i == 1 ? kLit : kNormal]), 600) << "cell " << i;
    }
    AfxDeleteTempObjects();
    EXPECT_EQ(CGdiObject::LiveHandles(), handles);
    m_cells.clear(); // before the strip they show
}

TEST_F(HoverButtonTest, TheImageFollowsThePressedLitAndHoverState)
{
    CHoverButton& cell = AddCell(CRect(60, 60, 90, 90));
    CHoverButton& wide = AddCell(CRect(120, 60, 121, 61), kWideStrip, "");
    struct Row { bool pressed, lit, hover; Image image; };
    const Row rows[] = {
        {false, false, false, kNormal}, {false, false, true, kHover}, {false, true, true, kLit},
        {true, false, false, kLit},     {true, false, true, kLit},    {true, true, false, kLit},
        {true, true, true, kLit},       {false, true, false, kLit}, // last: painted, lit and nothing else
    };
    for (const Row& row : rows)
    {
        const std::string when = std::string("pressed ") + "ny"[row.pressed] + ", lit " + "ny"[row.lit] + ", hover "
                                 + "ny"[row.hover];
        for (CHoverButton* each : {&cell, &wide})
        {
            each->SetLit(row.lit);
            each->SendMessage(row.hover ? WM_MOUSEHOVER : WM_MOUSELEAVE);
            each->SendMessage(BM_SETSTATE, row.pressed);
        }
        ExpectBody(cell, row.image, when);
        // Every pixel of the 91-pixel strip's cell, where its last column would show.
        const std::vector<COLORREF> pixels = ReadPixels(wide, CRect(0, 0, 30, 20));
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kWide[row.image]), 600) << when;
    }
    // SetLit repaints by itself.
    cell.SetLit(FALSE);
    ExpectBody(cell, kNormal, "unlit by SetLit");
}

TEST_F(HoverButtonTest, HoverTrackingFollowsThePointer)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    // A move handled after the pointer has left again (it crossed the cell
    // faster than the loop runs) must not leave the cell waiting for a hover.
    cell.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
    Pump(50);
    EXPECT_FALSE(cell.IsTracking());

    // The first move inside asks for tracking, then the hover shows.
    ASSERT_TRUE(Hover(cell, 3, 15));
    EXPECT_TRUE(cell.IsTracking());
    ExpectBody(cell, kHover, "hovered");

    // Leaving ends the tracking and the hover.
    MovePointerTo({kHostRect.left + 200, kHostRect.top + 200});
    ASSERT_TRUE(PumpUntil([&] { return !cell.IsTracking() && !cell.IsHovered(); }));
    ExpectBody(cell, kNormal, "after the pointer left");
    ASSERT_TRUE(Hover(cell)) << "the next visit is hovered again";
}

TEST_F(HoverButtonTest, APressFlipsTheLitFlagAtOnceAndOnlyAClickKeepsIt)
{
    // Steps: d press, u release, o move out of the cell, i move back in,
    // c capture taken by another window, 2 the second press of a double-click.
    struct Row { const char* name; BOOL litBefore; const char* steps; BOOL litAfter; int clicks; };
    const Row rows[] = {
        {"click on unlit", FALSE, "du", TRUE, 1},          {"click on lit", TRUE, "du", FALSE, 1},
        {"released outside, unlit", FALSE, "dou", FALSE, 0}, {"released outside, lit", TRUE, "dou", TRUE, 0},
        {"out and back in", FALSE, "doiu", TRUE, 1},        {"capture lost", TRUE, "dcu", TRUE, 0},
        {"double-click", FALSE, "du2u", TRUE, 1},
    };
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    for (const Row& row : rows)
    {
        cell.SetLit(row.litBefore);
        m_host.clicks = 0;
        Pump(::GetDoubleClickTime() + 50); // a press of its own, not a double-click's second
        ASSERT_TRUE(Hover(cell)) << row.name;
        for (const char* step = row.steps; *step != '\0'; ++step)
        {
            const std::string when = std::string(row.name) + ", step " + *step;
            if (*step == 'c')
                ::SetCapture(m_host);
            else if (*step == 'o' || *step == 'i')
                MovePointerTo({*step == 'o' ? 60 : 15, 15}, &cell);
            else if (*step == 'u')
                EXPECT_TRUE(Await([] { ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); }, WM_LBUTTONUP)) << when;
            else
                EXPECT_TRUE(Await([] { ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0); },
                                  *step == 'd' ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK)) << when;
            Pump(20);
            if (*step == 'd')
                ExpectBody(cell, kLit, when);
            // Flipped while the press lasts, restored once the capture is lost.
            EXPECT_TRUE(*step == 'u' || cell.IsLit() == (*step == 'c' ? row.litBefore : !row.litBefore)) << when;
        }
        ::ReleaseCapture();
        Pump(20);
        EXPECT_EQ(cell.IsLit(), row.litAfter) << row.name;
        EXPECT_EQ(m_host.clicks, row.clicks) << row.name;
        ExpectBody(cell, row.litAfter ? kLit : cell.IsHovered() ? kHover : kNormal, row.name);
    }
}

TEST_F(HoverButtonTest, TheSpaceBarOnAFocusedCellChangesNothing)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    cell.SetFocus();
    ASSERT_EQ(::GetFocus(), cell.GetSafeHwnd());
    ASSERT_TRUE(Await([] { ::keybd_event(VK_SPACE, 0, 0, 0); }, WM_KEYDOWN));
    EXPECT_FALSE(cell.GetState() & BST_PUSHED);
    ASSERT_TRUE(Await([] { ::keybd_event(VK_SPACE, 0, KEYEVENTF_KEYUP, 0); }, WM_KEYUP));
    EXPECT_EQ(m_host.clicks, 0);
    ExpectBody(cell, kNormal, "after the space bar");

    // Straight to the button, past the filter, the same keys do click.
    cell.SendMessage(WM_KEYDOWN, VK_SPACE);
    cell.SendMessage(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(m_host.clicks, 1);
}

} // namespace
