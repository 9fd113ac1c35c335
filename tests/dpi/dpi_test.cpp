// The main window at the scale scripts/wine-dpi.sh set the prefix to (ORVANE_DPI): in-process,
// moved to every scale by WM_DPICHANGED, then the real Orvane.exe worked with real input.
#include "display_text.h"
#include "hover_button.h"
#include "main_dlg.h"
#include "orvane_driver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

CWinApp theTestApp;

namespace
{

// Worked out by hand from the 96-DPI design (cell 30, left 10, first row 61, columns 30 apart and 5
// more between the bytes, rows 31 apart and 4 more above the secondary ones), rounded half up.
struct Scale { int dpi, cell, left, top, column, byteGap, row, secondaryGap; };
const Scale kScales[] = {
    {96, 30, 10, 61, 30, 5, 31, 4},
    {120, 38, 13, 76, 38, 6, 39, 5},
    {144, 45, 15, 92, 45, 8, 47, 6},
    {192, 60, 20, 122, 60, 10, 62, 8},
};

const Scale& PrefixScale()
{
    const int dpi = std::getenv("ORVANE_DPI") ? std::atoi(std::getenv("ORVANE_DPI")) : 96;
    const auto found = std::find_if(std::begin(kScales), std::end(kScales), [&](auto& s) { return s.dpi == dpi; });
    EXPECT_NE(std::end(kScales), found) << "no scale for " << dpi << " DPI";
    return found != std::end(kScales) ? *found : kScales[0];
}

CRect ClientRectOf(HWND dialog, int id)
{
    CRect rect;
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Cells of the scaled size at the scaled distances from cell 1, which sits at its scaled place or just
// below the controls if they reach lower; no control overlaps the grid; the client area holds it.
::testing::AssertionResult GridAt(HWND dialog, const Scale& s)
{
    const CRect first = ClientRectOf(dialog, IDC_FIRST_CELL), last = ClientRectOf(dialog, IDC_LAST_CELL);
    for (int i = 0, row = 0, column = 0; i < 128; ++i, row = i / 16, column = i % 16)
    {
        const int x = s.left + column * s.column + (column >= 8 ? s.byteGap : 0);
        const int y = first.top + row * s.row + (row >= 4 ? s.secondaryGap : 0);
        if (ClientRectOf(dialog, IDC_FIRST_CELL + i) != CRect(x, y, x + s.cell, y + s.cell))
            return ::testing::AssertionFailure() << "cell " << i + 1 << " not " << s.cell << " px at " << x << "," << y;
    }
    const CRect grid(first.left, first.top, last.right, last.bottom);
    int below = 0; // the controls' bottom
    for (const int id : {IDC_HEX_EDIT, IDC_BITMAP, IDC_CLEAR, IDC_EXIT, IDC_AUTO_FIRST})
    {
        CRect control = ClientRectOf(dialog, id), overlap;
        below = std::max(below, static_cast<int>(control.bottom));
        if (::IntersectRect(&overlap, &control, &grid))
            return ::testing::AssertionFailure() << "control " << id << " overlaps the grid";
    }
    CRect client;
    ::GetClientRect(dialog, &client);
    if (first.top < s.top || first.top > std::max(s.top, below + s.cell / 4) || !client.PtInRect(POINT{grid.right, grid.bottom}))
        return ::testing::AssertionFailure() << "grid rows " << first.top << "-" << grid.bottom << ", controls to "
                                             << below << ", client " << client.Width() << "x" << client.Height();
    return ::testing::AssertionSuccess();
}

TEST(DpiTest, GridScalesAndFollowsTheWindowToEveryScale)
{
    CMainDlg dialog;
    ASSERT_TRUE(dialog.Create(IDD_ORVANE_DIALOG));
    ASSERT_EQ(PrefixScale().dpi, dialog.GetGridDpi()) << "the prefix is not at the scale the runner set";
    EXPECT_TRUE(GridAt(dialog.GetSafeHwnd(), PrefixScale()));
    std::vector<Scale> moves(std::begin(kScales), std::end(kScales));
    moves.push_back(PrefixScale());
    for (const Scale& s : moves)
    {
        SCOPED_TRACE(testing::Message() << "moved to " << s.dpi << " DPI");
        // Room to spare, as rounding widens the grid. Going down, the controls keep their size: the window grows.
        CRect was, now;
        dialog.GetWindowRect(&was);
        const int from = dialog.GetGridDpi();
        const CRect suggested(CPoint(was.left + 7, was.top + 5), CSize(::MulDiv(was.Width(), s.dpi, from) + s.cell,
                                                                       ::MulDiv(was.Height(), s.dpi, from) + s.cell));
        dialog.SendMessage(WM_DPICHANGED, MAKEWPARAM(s.dpi, s.dpi), reinterpret_cast<LPARAM>(&suggested));
        dialog.GetWindowRect(&now);
        EXPECT_EQ(s.dpi, dialog.GetGridDpi());
        EXPECT_TRUE(suggested.left == now.left && suggested.top == now.top);
        EXPECT_TRUE(s.dpi >= from ? now == suggested : now.right >= suggested.right && now.bottom >= suggested.bottom);
        EXPECT_TRUE(GridAt(dialog.GetSafeHwnd(), s));
        // The design's captions at 100 %; elsewhere a font that fills the cell as they do.
        const HFONT font = reinterpret_cast<HFONT>(dialog.GetCell(128)->SendMessage(WM_GETFONT));
        ASSERT_EQ(s.dpi == 96, font == nullptr);
        CClientDC dc(dialog.GetCell(128));
        ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FONT));
        SIZE text = {};
        ::GetTextExtentPoint32A(dc, "128", 3, &text);
        EXPECT_TRUE(text.cx <= s.cell && text.cy * 5 >= s.cell * 2) << text.cx << "x" << text.cy << " px";
    }
    dialog.DestroyWindow();
}

const COLORREF kSlate = RGB(126, 158, 190), kGreen = RGB(74, 216, 80), kLightBlue = RGB(199, 213, 226);

// The body colour that fills much of the disc's middle (the caption covers some).
COLORREF CellColor(HWND cell)
{
    RECT r;
    ::GetWindowRect(cell, &r);
    const int size = r.right - r.left, x = r.left + size / 2, y = r.top + size / 2, q = size / 4;
    const std::vector<COLORREF> disc = ui::Pixels(nullptr, {x - q, y - q, x + q + 1, y + q + 1});
    for (const COLORREF body : {kSlate, kGreen, kLightBlue})
        if (std::count(disc.begin(), disc.end(), body) > size * size / 40)
            return body;
    return CLR_INVALID;
}

TEST(DpiTest, CommandsAndHoverWorkOnTheRealProgram)
{
    using namespace e2e;
    OrvaneProcess orvane;
    ASSERT_TRUE(orvane.Start());
    const HWND main = orvane.MainWindow();
    const auto cell = [&](int bit) { return orvane.Item(IDC_FIRST_CELL + bit - 1); };
    const auto shows = [&](int bit, COLORREF body) { return ui::PumpUntil([&] { return CellColor(cell(bit)) == body; }); };
    const auto textIs = [&](std::string t) { return ui::PumpUntil([&] { return WindowText(orvane.Item(IDC_HEX_EDIT)) == t; }); };
    EXPECT_TRUE(GridAt(main, PrefixScale()));
    RECT window;
    ::GetWindowRect(main, &window);
    ui::Click(POINT{(window.left + window.right) / 2, window.bottom - 8}); // a first click into the window

    ui::Click(ui::CentreOf(orvane.Item(IDC_HEX_EDIT)));
    ui::Type("F2 3A 44 81 28 E0 80 00 00 00 00 00 04 00 00 00");
    ui::Click(ui::CentreOf(orvane.Item(IDC_BITMAP)));
    ui::MoveTo(POINT{window.right + 6, window.top + 40}); // the pointer off the window
    ASSERT_TRUE(textIs(FormatHexForDisplay("F23A448128E080000000000004000000")));
    EXPECT_TRUE(shows(1, kGreen) && shows(5, kSlate) && shows(102, kGreen) && shows(128, kSlate));
    SaveScreenshot(main, "orvane_" + std::to_string(PrefixScale().dpi) + ".bmp");

    ui::MoveTo(ui::CentreOf(cell(20)));
    EXPECT_TRUE(shows(20, kLightBlue));
    ui::Button(true);
    EXPECT_TRUE(shows(20, kGreen));
    ui::Button(false);
    EXPECT_TRUE(textIs(FormatHexForDisplay("F23A548128E080000000000004000000")));

    ui::Click(ui::CentreOf(orvane.Item(IDC_CLEAR)));
    EXPECT_TRUE(textIs("") && shows(1, kSlate) && !::IsWindowVisible(cell(65)));
    ui::Click(ui::CentreOf(cell(1)));
    EXPECT_TRUE(textIs(FormatHexForDisplay("8000000000000000")) && ::IsWindowVisible(cell(128)));

    ::PostMessageA(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = nullptr;
    ASSERT_TRUE((about = orvane.AwaitTopLevel("\xB9\xD8\xD3\xDA Orvane")) != nullptr); // 关于
    ui::Tap(VK_RETURN);
    EXPECT_TRUE(ui::PumpUntil([&] { return !::IsWindow(about); }));
    ui::Click(ui::CentreOf(orvane.Item(IDC_EXIT)));
    DWORD code = 1;
    EXPECT_TRUE(orvane.WaitForExit(&code));
    EXPECT_EQ(0u, code);
}

} // namespace
