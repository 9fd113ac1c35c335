// The program's dialogs in-process, on real windows.
#include "about_dlg.h"
#include "display_text.h"
#include "gui_test.h"
#include "hover_button.h"
#include "main_dlg.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <cstdlib>
#include <random>
#include <string>
#include <tuple>
#include <vector>

// The dialog classes expect the program's one application object.
CWinApp theTestApp;

namespace
{

const int kClick = 0x10000; // kClick + n clicks cell n
const std::string k16(16, '0');
const char kAboutMenu[] = "关于 Orvane(&A)...";

// One command and the dialog after it: the text typed before (or null), the
// check box before (0, 1, or -1 to leave it), the command (IDC_BITMAP,
// IDC_CLEAR or kClick + bit); then the edit box as hex digits ("" for empty),
// all lit cells, and whether cells 65..128 show.
struct Step
{
    const char* text;
    int check, command;
    std::string hex;
    std::vector<int> lit;
    bool secondary;
};

class MainDlg : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dlg.Create(IDD_ORVANE_DIALOG));
        m_dlg.ShowWindow(SW_SHOW);
    }
    void TearDown() override { m_dlg.DestroyWindow(); }

    HWND Item(int id) const { return ::GetDlgItem(m_dlg, id); }
    std::string EditText() const
    {
        char text[128] = {};
        return ::GetDlgItemTextA(m_dlg, IDC_HEX_EDIT, text, sizeof text) ? text : "";
    }
    void Command(int id, int code = BN_CLICKED)
    {
        m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    }
    void ClickCell(int bit) // a press and release on the cell's window
    {
        m_dlg.GetCell(bit)->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
        m_dlg.GetCell(bit)->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
    }
    bool Lit(int bit) const { return m_dlg.GetCell(bit)->IsLit() != FALSE; }
    bool Visible(int bit) const { return (m_dlg.GetCell(bit)->GetStyle() & WS_VISIBLE) != 0; }

    // Text, model and cells tell the same bitmap ("清空" leaves the text empty).
    ::testing::AssertionResult Consistent() const
    {
        CIsoBitmap model = m_dlg.GetBitmapModel();
        const bool secondary = model.Test(1);
        const std::string hex = model.ToHex();
        if (EditText() != FormatHexForDisplay(hex) && !(EditText().empty() && hex.find_first_not_of('0') == hex.npos))
            return ::testing::AssertionFailure() << "text \"" << EditText() << "\" but model " << hex;
        for (int bit = 1; bit <= 128; ++bit)
            if ((bit > 64 && Visible(bit) != secondary)
                || ((bit <= 64 || secondary) && Lit(bit) != model.Test(static_cast<std::uint32_t>(bit))))
                return ::testing::AssertionFailure() << "cell " << bit;
        return ::testing::AssertionSuccess();
    }

    void Run(const std::vector<Step>& steps)
    {
        for (const Step& s : steps)
        {
            SCOPED_TRACE(testing::Message() << "step " << &s - steps.data());
            if (s.text)
                ::SetDlgItemTextA(m_dlg, IDC_HEX_EDIT, s.text);
            if (s.check >= 0)
                ::CheckDlgButton(m_dlg, IDC_AUTO_FIRST, static_cast<UINT>(s.check));
            if (s.command >= kClick)
                ClickCell(s.command - kClick);
            else
                Command(s.command);
            EXPECT_EQ(s.hex.empty() ? "" : FormatHexForDisplay(s.hex), EditText());
            std::vector<int> lit;
            for (int bit = 1; bit <= 128; ++bit)
                lit.insert(lit.end(), Lit(bit), bit);
            EXPECT_EQ(s.lit, lit);
            EXPECT_EQ(s.secondary, Visible(65) && Visible(128));
            EXPECT_TRUE(Consistent());
        }
    }

    CMainDlg m_dlg;
};

// Where a window lies in the dialog's client area.
CRect Placed(HWND window, HWND dialog)
{
    CRect rect;
    ::GetWindowRect(window, rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(MainDlg, ControlsGridAndStrip)
{
    for (const int id : {IDC_HEX_EDIT, IDC_BITMAP, IDC_CLEAR, IDC_EXIT, IDC_AUTO_FIRST})
    {
        char cls[32] = {};
        ::GetClassNameA(Item(id), cls, sizeof cls);
        EXPECT_STRCASEEQ(id == IDC_HEX_EDIT ? "Edit" : "Button", cls) << id;
        EXPECT_LT(Placed(Item(id), m_dlg).bottom, 61) << "control " << id << " above the grid";
    }
    CRect client;
    m_dlg.GetClientRect(&client);
    EXPECT_TRUE(client.Width() >= 495 && client.Height() >= 312) << client.Width() << " x " << client.Height();
    for (const auto& [bit, x, y] : {std::tuple(1, 10, 61), {9, 255, 61}, {16, 465, 61}, {17, 10, 92}, {64, 465, 154},
                                    {65, 10, 189}, {128, 465, 282}})
        EXPECT_EQ(CRect(x, y, x + 30, y + 30), Placed(*m_dlg.GetCell(bit), m_dlg)) << "cell " << bit;
    for (int bit = 1; bit <= 128; ++bit)
    {
        SCOPED_TRACE(bit);
        EXPECT_EQ(IDC_FIRST_CELL + bit - 1, ::GetDlgCtrlID(*m_dlg.GetCell(bit)));
        EXPECT_EQ(std::to_string(bit), m_dlg.GetCell(bit)->GetCaption().str());
        EXPECT_TRUE(Visible(bit) == (bit <= 64) && !Lit(bit));
    }
    CBitmap strip;
    BITMAP size = {};
    ASSERT_TRUE(strip.LoadBitmap(IDB_CELLS) && strip.GetBitmap(&size));
    EXPECT_EQ(90 * 1000 + 30, size.bmWidth * 1000 + size.bmHeight) << "90 x 30 pixels";
    CAboutDlg about;
    ASSERT_TRUE(about.Create(IDD_ABOUTBOX));
    EXPECT_EQ(&about.GetLink(), CWnd::FromHandlePermanent(::GetDlgItem(about, IDC_MAIL_LINK))) << "a static, attached";
}

TEST_F(MainDlg, CellsLieAboveTheControlsWithCell128OnTop)
{
    std::vector<int> expected;
    for (int bit = 128; bit >= 1; --bit)
        expected.push_back(IDC_FIRST_CELL + bit - 1);
    expected.insert(expected.end(), {IDC_HEX_EDIT, IDC_BITMAP, IDC_CLEAR, IDC_EXIT, IDC_AUTO_FIRST, -1});
    std::vector<int> ids;
    for (HWND child = ::GetWindow(m_dlg, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ids.push_back(::GetDlgCtrlID(child));
    EXPECT_EQ(expected, ids);
}

TEST_F(MainDlg, SystemMenuAndIcon)
{
    const HMENU menu = ::GetSystemMenu(m_dlg, FALSE);
    const int last = ::GetMenuItemCount(menu) - 1;
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(menu, last));
    EXPECT_EQ(0u, ::GetMenuItemID(menu, last - 1)); // the separator
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(last), text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(kAboutMenu, text);

    const HICON icon = theTestApp.LoadIcon(IDR_MAINFRAME);
    for (const WPARAM which : {ICON_BIG, ICON_SMALL})
        EXPECT_EQ(icon, reinterpret_cast<HICON>(m_dlg.SendMessage(WM_GETICON, which)));
    EXPECT_EQ(icon, reinterpret_cast<HICON>(m_dlg.SendMessage(WM_QUERYDRAGICON)));
}

// Under Wine a minimised window has no client area: here it gets its whole
// window as one, where the icon must show centred.
WNDPROC g_dialogProc = nullptr;
LRESULT CALLBACK WholeWindowIsClient(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_NCCALCSIZE ? 0 : ::CallWindowProcA(g_dialogProc, window, message, wParam, lParam);
}

TEST_F(MainDlg, PaintsTheIconCentredWhileMinimised)
{
    m_dlg.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(m_dlg.IsIconic());
    g_dialogProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(m_dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WholeWindowIsClient)));
    ::SetWindowPos(m_dlg, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    CRect client;
    m_dlg.GetClientRect(&client);
    ASSERT_GT(client.Width() * client.Height(), 0);
    m_dlg.RedrawWindow();

    const std::vector<COLORREF> shown = ui::Pixels(m_dlg, client);

    // The icon's opaque pixels are those it draws alike on black and on white.
    const int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    std::vector<COLORREF> drawn[2];
    for (const COLORREF background : {RGB(0, 0, 0), RGB(255, 255, 255)})
    {
        CClientDC screen(&m_dlg);
        CDC dc;
        CBitmap bitmap;
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        ASSERT_TRUE(bitmap.Attach(::CreateCompatibleBitmap(screen, client.Width(), client.Height())));
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(client, background);
        dc.DrawIcon(x, y, theTestApp.LoadIcon(IDR_MAINFRAME));
        for (int i = 0; i < client.Width() * client.Height(); ++i)
            drawn[background != 0].push_back(::GetPixel(dc, i % client.Width(), i / client.Width()));
    }
    int opaque = 0, matching = 0;
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (drawn[0][i] == drawn[1][i])
            ++opaque, matching += shown[i] == drawn[0][i];
    EXPECT_GT(opaque, 100);
    EXPECT_EQ(opaque, matching) << "icon at " << x << ", " << y << " in " << client.Width() << " x " << client.Height();
    ::SetWindowLongPtrA(m_dlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_dialogProc));
}

TEST_F(MainDlg, CellTipsNameTheirElementsAndGoWithHiddenCells)
{
    const CToolTipCtrl& tips = m_dlg.GetCellTips();
    EXPECT_EQ(128, tips.GetToolCount());
    CString text;
    for (const auto& [bit, name] : {std::pair(1, "1 第二位图 Secondary bitmap · b 8"),
                                    {2, "2 主账号 Primary account number · n..19 LLVAR"},
                                    {37, "37 检索参考号 Retrieval reference number · an 12"},
                                    {55, "55 IC卡数据域 Reserved for ISO use (ICC data) · ans...999 LLLVAR"},
                                    {128, "128 报文鉴别码 Message authentication code · b 8"}})
    {
        tips.GetText(text, m_dlg.GetCell(bit));
        EXPECT_EQ(name, text.str()) << bit;
    }
    m_dlg.ShowSecondary(1);
    const HWND cell = *m_dlg.GetCell(70);
    TOOLINFOA shown = {};
    ASSERT_TRUE(ui::MoveTo(ui::CentreOf(cell)) && ui::PumpUntil([&] { return tips.GetCurrentTool(shown); }));
    ASSERT_EQ(reinterpret_cast<UINT_PTR>(cell), shown.uId);
    m_dlg.ShowSecondary(0);
    EXPECT_FALSE(tips.GetCurrentTool(shown));
    EXPECT_FALSE(::IsWindowVisible(tips));
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1); // off later dialogs
}

TEST_F(MainDlg, EnterAndEscapeAreSwallowed)
{
    const HWND edit = Item(IDC_HEX_EDIT);
    ::SetFocus(edit);
    ::SetDlgItemTextA(m_dlg, IDC_HEX_EDIT, "12");
    ::SendMessageA(edit, EM_SETSEL, 2, 2);
    // Unfiltered, Enter would end the dialog through IDOK and Escape through
    // IDCANCEL; both reach the edit box's window first. 'A' then shows that
    // the keys behind them arrived.
    for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}, WPARAM{'A'}})
    {
        ::PostMessageA(edit, WM_KEYDOWN, key, 0x1E0001);
        ::PostMessageA(edit, WM_KEYUP, key, 0xC01E0001);
    }
    ASSERT_TRUE(ui::PumpUntil([&] { return EditText() != "12"; }));
    EXPECT_EQ("12a", EditText());
    EXPECT_TRUE(::IsWindow(m_dlg));
}

TEST_F(MainDlg, BitmapFiltersPadsLightsAndRewrites)
{
    Run({
        {"0x12 34", 0, IDC_BITMAP, "0123400000000000", {8, 11, 15, 16, 18}, false},
        {("80" + std::string(29, '0') + "1").c_str(), -1, IDC_BITMAP, "80" + std::string(29, '0') + "1", {1, 128}, true},
        // Secondary bits without bit 1 stay hidden and unlit, yet reach the text.
        {(k16 + "FFFF").c_str(), -1, IDC_BITMAP, k16 + "FFFF000000000000", {}, false},
        {(k16 + "FFFF").c_str(), 1, IDC_BITMAP, "8000000000000000FFFF000000000000",
         {1, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80}, true},
        {"xyz", -1, IDC_BITMAP, k16, {}, false},
        {"\x81\x41" "80 \xCE\xBB\xCD\xBC", 0, IDC_BITMAP, "8000000000000000", {1}, true}, // GBK dropped whole
    });
}

TEST_F(MainDlg, ClicksToggleBitsAndTheSecondaryFollowsBitOne)
{
    Run({
        {nullptr, -1, kClick + 1, "8000000000000000", {1}, true},
        {nullptr, -1, kClick + 70, "80000000000000000400000000000000", {1, 70}, true},
        {nullptr, -1, kClick + 1, k16, {}, false}, // bit 1 off: 65..128 hidden, unlit, cleared
        // Loaded while bit 1 is clear, secondary bits come into view lit.
        {(k16 + "8001").c_str(), -1, IDC_BITMAP, k16 + "8001000000000000", {}, false},
        {nullptr, -1, kClick + 1, "80000000000000008001000000000000", {1, 65, 80}, true},
        {nullptr, -1, IDC_CLEAR, "", {}, false},
        // "清空" keeps the check box; the later commands write the last state back.
        {"00", 1, IDC_BITMAP, k16, {}, false},
        {nullptr, 0, IDC_CLEAR, "", {}, false},
        {nullptr, -1, kClick + 3, "2000000000000000", {3}, false},
    });
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(m_dlg, IDC_AUTO_FIRST));
    Command(IDC_FIRST_CELL + 9, BN_DOUBLECLICKED); // only the click notification toggles
    EXPECT_EQ(FormatHexForDisplay("2000000000000000"), EditText());
}

TEST_F(MainDlg, EmptyTextIsRefusedAndNothingChanges)
{
    // The message box is modal: a CBT hook reads it and answers OK.
    static char caption[64], text[64];
    const HHOOK hook = ::SetWindowsHookExA(WH_CBT, [](int code, WPARAM wParam, LPARAM lParam) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && ::GetWindow(box, GW_OWNER) && ::GetWindowTextA(box, caption, sizeof caption))
            ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text), ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }, nullptr, ::GetCurrentThreadId());
    ClickCell(5);
    ::SetDlgItemTextA(m_dlg, IDC_HEX_EDIT, "");
    Command(IDC_BITMAP);
    ::UnhookWindowsHookEx(hook);
    EXPECT_STREQ("参数错误", caption);
    EXPECT_STREQ("位图串为空，请正确输入", text);
    EXPECT_EQ("", EditText());
    EXPECT_TRUE(Lit(5) && m_dlg.GetBitmapModel().Test(5));
    EXPECT_EQ(Item(IDC_HEX_EDIT), ::GetFocus());
}

// Random commands keep text, model and cells in step, and leak nothing.
TEST_F(MainDlg, Soak)
{
    std::mt19937 random(20261207);
    // ORVANE_SOAK_ACTIONS sets a longer run; the default keeps the suite quick.
    const char* configured = std::getenv("ORVANE_SOAK_ACTIONS");
    const int actions = configured ? std::atoi(configured) : 1000;
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    long gdiBefore = 0;
    std::size_t windowsBefore = 0;
    for (int i = 0; i < actions; ++i)
    {
        const unsigned kind = random() % 20;
        if (kind < 14)
            ClickCell(kind == 0 ? 1 : 1 + static_cast<int>(random() % (m_dlg.GetBitmapModel().Test(1) ? 128 : 64)));
        else if (kind < 19)
        {
            static const char kChars[] = "0123456789abcdefABCDEF xZ-\x81\x41\xCE\xBB";
            std::string text(1 + random() % 40, ' ');
            for (char& c : text)
                c = kChars[random() % (sizeof kChars - 1)];
            ::SetDlgItemTextA(m_dlg, IDC_HEX_EDIT, text.c_str());
            ::CheckDlgButton(m_dlg, IDC_AUTO_FIRST, random() % 2 ? BST_CHECKED : BST_UNCHECKED);
            Command(IDC_BITMAP);
        }
        else
            Command(IDC_CLEAR);
        ASSERT_TRUE(Consistent()) << "after action " << i;
        if (i % 200 == 0)
            ui::Pump(1); // repaints and idle time, as between a person's actions
        if (i == actions / 10) // warmed up: caches and heaps have their working size
        {
            AfxDeleteTempObjects();
            ::GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof before);
            gdiBefore = CGdiObject::LiveHandles();
            windowsBefore = CWnd::PermanentCount();
        }
    }
    AfxDeleteTempObjects();
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof after);
    const long long growth = static_cast<long long>(after.PagefileUsage) - static_cast<long long>(before.PagefileUsage);
    ASSERT_GT(before.PagefileUsage, 0u) << "no memory figure to compare";
    EXPECT_LT(growth, 2 * 1024 * 1024);
    EXPECT_EQ(gdiBefore, CGdiObject::LiveHandles());
    EXPECT_EQ(windowsBefore, CWnd::PermanentCount());
}

} // namespace
