// The hover cell button on real windows, with real input, its looks read back.
#include "gui_test.h"
#include "hover_button.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{

// The body colours of the images of strip 129 and of the test strip 130 (91 x 20).
enum Image { kNormal, kLit, kHover };
constexpr COLORREF kCells[] = {RGB(126, 158, 190), RGB(74, 216, 80), RGB(199, 213, 226)};
constexpr COLORREF kWide[] = {RGB(220, 50, 50), RGB(40, 180, 60), RGB(50, 90, 230)};
constexpr UINT kCellStrip = 129, kWideStrip = 130, kCellId = 9000;
const POINT kParking = {470, 390}; // outside the host

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

class HoverButton : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ui::MoveTo(kParking));
        ASSERT_TRUE(m_host.CreateEx(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 320, 240, nullptr,
                                    nullptr));
        ::SetForegroundWindow(m_host);
    }

    CHoverButton& AddCell(const CRect& rect, UINT strip = kCellStrip, const char* caption = "1")
    {
        m_cells.push_back(std::make_unique<CHoverButton>());
        EXPECT_TRUE(m_cells.back()->Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, &m_host, kCellId));
        EXPECT_TRUE(strip == 0 || m_cells.back()->LoadBitmap(strip)); // 0: SetStrip follows
        m_cells.back()->SetCaption(caption);
        return *m_cells.back();
    }

    static bool MoveInto(const CWnd& cell, int x = 15, int y = 15)
    {
        POINT to = {x, y};
        cell.ClientToScreen(&to);
        return ui::MoveTo(to);
    }
    static bool Hover(const CHoverButton& cell)
    {
        return MoveInto(cell) && ui::PumpUntil([&] { return cell.IsHovered() != FALSE; });
    }

    // Where each image of strip 129 shows its body colour, beside a 1-digit caption.
    static COLORREF Body(const CWnd& cell) { return ui::Pixels(cell, CRect(6, 15, 7, 16))[0]; }

    CCellHost m_host;
    std::vector<std::unique_ptr<CHoverButton>> m_cells; // destroyed before their host
};

TEST_F(HoverButton, LoadBitmapSizesTheCellToOneImage)
{
    struct Row { CRect created; UINT strip; SIZE size; };
    const Row rows[] = {
        {{17, 23, 117, 28}, kCellStrip, {30, 30}},
        {{5, 150, 205, 230}, kWideStrip, {30, 20}},           // 91 pixels wide: 30-pixel images
        {{250, 8, 251, 9}, 0x10000u | kWideStrip, {30, 20}}, // only the ID's low 16 bits count
        {{30, 90, 70, 114}, 4242, {40, 24}},                  // no such strip: the size stays
    };
    const auto owned = [] { return AfxDeleteTempObjects(), CGdiObject::LiveHandles(); }; // no temporary wrappers
    const long handles = owned();
    for (const Row& row : rows)
    {
        CHoverButton& cell = AddCell(row.created, row.strip);
        CRect placed;
        cell.GetWindowRect(&placed);
        m_host.ScreenToClient(&placed);
        const CRect expected(row.created.left, row.created.top, row.created.left + row.size.cx,
                             row.created.top + row.size.cy);
        EXPECT_EQ(placed, expected) << "strip " << row.strip;
        EXPECT_EQ(cell.GetCellSize().cx * 1000 + cell.GetCellSize().cy, row.size.cx * 1000 + row.size.cy);
    }
    EXPECT_EQ(owned(), handles + 3) << "every cell holds its own copy of its strip";
    const std::vector<COLORREF> wide = ui::Pixels(*m_cells[1], CRect(0, 0, 30, 20));
    EXPECT_EQ(0, std::count(wide.begin(), wide.end(), RGB(255, 0, 255))) << "the 91-pixel strip's last column shows";
    // Loading again replaces the strip and the size, and lifts the cell on top.
    m_cells[0]->LoadBitmap(kWideStrip);
    EXPECT_EQ(m_cells[0]->GetCellSize().cy, 20);
    EXPECT_EQ(owned(), handles + 3);
    EXPECT_EQ(::GetWindow(m_host, GW_CHILD), m_cells[0]->GetSafeHwnd());
    m_cells.clear();
    EXPECT_EQ(owned(), handles) << "deleting a cell releases its strip";
}

TEST_F(HoverButton, CellsShowOneStripHandedToThemWithoutCopies)
{
    CCellStrip strip;
    ASSERT_TRUE(strip.Load(kWideStrip));
    EXPECT_EQ(30 * 1000 + 20, strip.GetCellSize().cx * 1000 + strip.GetCellSize().cy);
    const long handles = (AfxDeleteTempObjects(), CGdiObject::LiveHandles());
    for (int i = 0; i < 2; ++i)
        AddCell(CRect(40 + 40 * i, 40, 70 + 40 * i, 60), 0, "").SetStrip(&strip);
    m_cells[1]->SetLit(TRUE);
    for (int i = 0; i < 2; ++i)
    {
        const std::vector<COLORREF> pixels = ui::Pixels(*m_cells[i], CRect(0, 0, 30, 20));
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kWide[i == 1 ? kLit : kNormal]), 600) << "cell " << i;
    }
    EXPECT_EQ((AfxDeleteTempObjects(), CGdiObject::LiveHandles()), handles);
    m_cells.clear(); // before the strip they show
}

TEST_F(HoverButton, HoverTrackingFollowsThePointer)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    // A move handled after the pointer has left again (it crossed the cell
    // faster than the loop runs) must not leave the cell waiting for a hover.
    cell.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
    ui::Pump(50);
    EXPECT_FALSE(cell.IsTracking());

    ASSERT_TRUE(Hover(cell));
    EXPECT_TRUE(cell.IsTracking());
    EXPECT_EQ(Body(cell), kCells[kHover]);

    ASSERT_TRUE(ui::MoveTo({300, 300}));
    ASSERT_TRUE(ui::PumpUntil([&] { return !cell.IsTracking() && !cell.IsHovered(); }));
    EXPECT_EQ(Body(cell), kCells[kNormal]);
    ASSERT_TRUE(Hover(cell)) << "the next visit is hovered again";
}

TEST_F(HoverButton, APressFlipsLitAtOnceAndOnlyAClickKeepsIt)
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
        SCOPED_TRACE(row.name);
        cell.SetLit(row.litBefore);
        m_host.clicks = 0;
        ASSERT_TRUE(ui::MoveTo(kParking)); // a press of its own, not a double-click's second
        ui::Pump(::GetDoubleClickTime() + 50);
        ASSERT_TRUE(Hover(cell));
        for (const char* step = row.steps; *step != '\0'; ++step)
        {
            SCOPED_TRACE(*step);
            if (*step == 'c')
                ::SetCapture(m_host);
            else if (*step == 'o' || *step == 'i')
                EXPECT_TRUE(MoveInto(cell, *step == 'o' ? 60 : 15));
            else
                EXPECT_TRUE(ui::Await([&] { ui::Button(*step != 'u'); },
                                      *step == 'u' ? WM_LBUTTONUP : *step == 'd' ? WM_LBUTTONDOWN : WM_LBUTTONDBLCLK));
            EXPECT_TRUE(*step != 'd' || Body(cell) == kCells[kLit]);
            // Flipped while the press lasts, restored once the capture is lost.
            EXPECT_TRUE(*step == 'u' || cell.IsLit() == (*step == 'c' ? row.litBefore : !row.litBefore));
        }
        ::ReleaseCapture();
        EXPECT_TRUE(ui::PumpUntil([&] { return m_host.clicks == row.clicks; }));
        EXPECT_EQ(cell.IsLit(), row.litAfter);
        EXPECT_EQ(Body(cell), kCells[row.litAfter ? kLit : cell.IsHovered() ? kHover : kNormal]);
    }
}

TEST_F(HoverButton, SpaceBarOnAFocusedCellChangesNothing)
{
    CHoverButton& cell = AddCell(CRect(40, 40, 70, 70));
    cell.SetFocus();
    ASSERT_EQ(::GetFocus(), cell.GetSafeHwnd());
    ASSERT_TRUE(ui::Await([] { ui::Key(VK_SPACE, true); }, WM_KEYDOWN));
    EXPECT_FALSE(cell.GetState() & BST_PUSHED);
    ASSERT_TRUE(ui::Await([] { ui::Key(VK_SPACE, false); }, WM_KEYUP));
    EXPECT_EQ(m_host.clicks, 0);
    EXPECT_EQ(Body(cell), kCells[kNormal]);

    // Straight to the button, past the filter, the same keys do click.
    cell.SendMessage(WM_KEYDOWN, VK_SPACE);
    cell.SendMessage(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(m_host.clicks, 1);
}

} // namespace
