// End-to-end: the real Orvane.exe, driven with real pointer and keyboard
// input, for what only a real process shows.
#include "display_text.h"
#include "element_names.h"
#include "orvane_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{

using e2e::WindowText;

const int kEdit = 1000, kBitmapButton = 1002, kExitButton = 1004, kMailLink = 1006, kFirstCell = 9000;
const COLORREF kSlate = RGB(126, 158, 190), kGreen = RGB(74, 216, 80), kLightBlue = RGB(199, 213, 226);
const std::string kAboutCaption = "\xB9\xD8\xD3\xDA Orvane"; // 关于 Orvane
const POINT kParking = {900, 700};

std::string LinkColour(HWND label)
{
    RECT rect;
    ::GetWindowRect(label, &rect);
    return ui::LinkColours(ui::Pixels(nullptr, rect));
}

// The shell opens "mailto:" URLs with the command registered for them; here
// a stand-in mail client, a command line that only writes the URL into a
// file. The prefix's own is put back.
struct MailtoRecorder
{
    const char* const key = "mailto\\shell\\open\\command";
    char old[1024] = {}, directory[MAX_PATH] = {};
    LONG oldSize = sizeof old;
    const bool hadValue = ::RegQueryValueA(HKEY_CLASSES_ROOT, key, old, &oldSize) == ERROR_SUCCESS;

    MailtoRecorder()
    {
        ::GetCurrentDirectoryA(MAX_PATH, directory);
        ::DeleteFileA("mailto.txt");
        const std::string command = "cmd.exe /c echo %1>\"" + std::string(directory) + "\\mailto.txt\"";
        ::RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, command.c_str(), 0);
    }
    ~MailtoRecorder()
    {
        if (hadValue)
            ::RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, old, 0);
        else
            ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "mailto");
        ::DeleteFileA("mailto.txt");
    }
    std::string Recorded() const
    {
        char text[256] = {};
        if (FILE* in = std::fopen("mailto.txt", "r"))
            std::fgets(text, sizeof text, in), std::fclose(in);
        return std::string(text).substr(0, std::string(text).find_last_not_of("\r\n ") + 1);
    }
};

class Orvane : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_orvane.Start()) << "Orvane.exe did not show its window";
        // A person first clicks into a new window: under Wine's virtual
        // desktop the click that activates a window may not reach a control.
        POINT inside = {250, 330};
        ::ClientToScreen(m_orvane.MainWindow(), &inside);
        ui::Click(inside);
        ui::MoveTo(kParking);
    }

    HWND Cell(int bit) const { return m_orvane.Item(kFirstCell + bit - 1); }
    bool TextBecomes(const std::string& hex) const
    {
        return ui::PumpUntil([&] { return WindowText(m_orvane.Item(kEdit)) == FormatHexForDisplay(hex); });
    }
    // The body colour fills most of the cell's disc (the caption covers a part).
    bool Shows(int bit, COLORREF body) const
    {
        return ui::PumpUntil([&] {
            const POINT c = ui::CentreOf(Cell(bit));
            const auto disc = ui::Pixels(nullptr, {c.x - 8, c.y - 8, c.x + 9, c.y + 9});
            return std::count(disc.begin(), disc.end(), body) > 60; // of 289, none of the others
        });
    }
    bool Closes(HWND window) const { return ui::PumpUntil([&] { return !::IsWindow(window); }); }
    // The text of the program's tooltip while one shows (empty while none), and where.
    std::wstring ShownTip(RECT* where = nullptr) const
    {
        DWORD process = 0, owner = 0;
        ::GetWindowThreadProcessId(m_orvane.MainWindow(), &process);
        for (HWND tip = nullptr; (tip = ::FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) != nullptr;)
            if (::GetWindowThreadProcessId(tip, &owner) && owner == process && ::IsWindowVisible(tip))
            {
                wchar_t text[256] = {}; // asked of the control: GetWindowText does not ask another process
                ::SendMessageW(tip, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
                return where && ::GetWindowRect(tip, where), text;
            }
        return L"";
    }
    HWND OpenAbout() const
    {
        ::PostMessageA(m_orvane.MainWindow(), WM_SYSCOMMAND, 16, 0);
        return m_orvane.AwaitTopLevel(kAboutCaption);
    }

    void ExitsAfterClickAt(POINT at)
    {
        ui::Click(at);
        DWORD code = 12345;
        ASSERT_TRUE(m_orvane.WaitForExit(&code));
        EXPECT_EQ(0u, code);
    }

    e2e::OrvaneProcess m_orvane;
};

TEST_F(Orvane, ExitButton)
{
    ExitsAfterClickAt(ui::CentreOf(m_orvane.Item(kExitButton)));
}

TEST_F(Orvane, CloseBox)
{
    RECT frame; // the close box is where the window says it is
    ::GetWindowRect(m_orvane.MainWindow(), &frame);
    for (int x = frame.right - 2; x > frame.right - 60; --x)
        for (int y = frame.top + 2; y < frame.top + 40; ++y)
            if (::SendMessageA(m_orvane.MainWindow(), WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
                return ExitsAfterClickAt({x - 4, y + 4});
    FAIL() << "no close box on the caption";
}

TEST_F(Orvane, SystemMenuOpensTheAboutBox)
{
    // Alt+Space, then the last item (under Wine "About Wine" comes just
    // before it with the same mnemonic); system commands 16 to 31 all open it.
    ui::Click(ui::CentreOf(m_orvane.Item(kEdit)));
    ui::Tap(VK_SPACE, VK_MENU);
    ui::Pump(300); // the menu opens
    e2e::SaveScreenshot(m_orvane.MainWindow(), "system_menu.bmp");
    ui::Tap(VK_UP);
    ui::Tap(VK_RETURN);
    for (const WPARAM command : {WPARAM{0}, WPARAM{16}, WPARAM{31}})
    {
        SCOPED_TRACE(command);
        if (command != 0)
            ::PostMessageA(m_orvane.MainWindow(), WM_SYSCOMMAND, command, 0);
        const HWND about = m_orvane.AwaitTopLevel(kAboutCaption);
        ASSERT_NE(nullptr, about);
        EXPECT_FALSE(::IsWindowEnabled(m_orvane.MainWindow())) << "main window usable under the About box";
        ui::Tap(command == 16 ? VK_ESCAPE : VK_RETURN);
        EXPECT_TRUE(Closes(about));
        EXPECT_TRUE(ui::PumpUntil([&] { return ::IsWindowEnabled(m_orvane.MainWindow()) != FALSE; }));
    }
}

TEST_F(Orvane, MailLinkOpensTheMailClient)
{
    MailtoRecorder recorder;
    HWND about = OpenAbout();
    ASSERT_NE(nullptr, about);
    const HWND link = ::GetDlgItem(about, kMailLink);
    EXPECT_TRUE(ui::PumpUntil([&] { return LinkColour(link) == "link"; }));
    ASSERT_TRUE(ui::MoveTo(ui::CentreOf(link)));
    EXPECT_TRUE(ui::PumpUntil([&] { return LinkColour(link) == "hover"; }));
    ui::Click(ui::CentreOf(link));
    EXPECT_TRUE(ui::PumpUntil([&] { return recorder.Recorded() == "mailto:orvane-dev@example.org"; }))
        << "recorded: " << recorder.Recorded();
    ui::MoveTo(kParking); // the label's timer notices, and shows the visited colour
    EXPECT_TRUE(ui::PumpUntil([&] { return LinkColour(link) == "visited"; }));
    e2e::SaveScreenshot(about, "about_visited.bmp");
    ::PostMessageA(about, WM_COMMAND, IDCANCEL, 0); // the mail client's console may hold the keyboard
    ASSERT_TRUE(Closes(about));

    about = OpenAbout(); // each About box starts unvisited
    ASSERT_NE(nullptr, about);
    EXPECT_TRUE(ui::PumpUntil([&] { return LinkColour(::GetDlgItem(about, kMailLink)) == "link"; }));
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Closes(about));
}

TEST_F(Orvane, TypedThenClicked)
{
    ui::Click(ui::CentreOf(m_orvane.Item(kEdit)));
    ui::Type("0x12 34");
    ui::Click(ui::CentreOf(m_orvane.Item(kBitmapButton)));
    ASSERT_TRUE(TextBecomes("0123400000000000"));
    for (int bit = 1; bit <= 24; ++bit)
        EXPECT_TRUE(Shows(bit, bit == 8 || bit == 11 || bit == 15 || bit == 16 || bit == 18 ? kGreen : kSlate)) << bit;
    e2e::SaveScreenshot(m_orvane.MainWindow(), "typed_bits.bmp");
    ui::Click(ui::CentreOf(Cell(1)));
    ASSERT_TRUE(TextBecomes("8123400000000000"));
    EXPECT_TRUE(::IsWindowVisible(Cell(128)));
    ui::Click(ui::CentreOf(Cell(128)));
    ASSERT_TRUE(TextBecomes("8123400000000000" + std::string(15, '0') + "1"));
    EXPECT_TRUE(Shows(128, kGreen));
}

TEST_F(Orvane, HoveredCellsNameTheirElementsUntilPressedOrOffTheGrid)
{
    ui::Click(ui::CentreOf(m_orvane.Item(kEdit)));
    ui::Type("72 38 00 01 08 C1 80 00"); // lights 37 among others
    ui::Click(ui::CentreOf(m_orvane.Item(kBitmapButton)));
    RECT tip = {}, cell = {};
    for (const auto& [bit, format] : {std::pair(38, "an 6"), {55, "ans...999 LLLVAR"}, {37, "an 12"}}) // cell to cell
    {
        const std::string utf8 = std::to_string(bit) + " " + DataElementNameZh(bit) + " " + DataElementName(bit) +
                                 " \xC2\xB7 " + format;
        wchar_t name[128] = {};
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, name, 128);
        ASSERT_TRUE(ui::MoveTo(ui::CentreOf(Cell(bit))));
        ASSERT_TRUE(ui::PumpUntil([&] { return ShownTip(&tip) == name; })) << bit;
        EXPECT_GE(tip.top, (::GetWindowRect(Cell(bit), &cell), cell.bottom)) << bit; // never over its cell
    }
    e2e::SaveScreenshot(m_orvane.MainWindow(), "tooltip.bmp");
    POINT above = {250, 45}; // off the grid, just above it
    ::ClientToScreen(m_orvane.MainWindow(), &above);
    ui::MoveTo(above);
    EXPECT_TRUE(ui::PumpUntil([&] { return ShownTip().empty(); }));

    ui::MoveTo(ui::CentreOf(Cell(20)));
    ui::Button(true); // held with a little movement, the cell shows no tip
    ASSERT_TRUE(Shows(20, kGreen));
    ui::MoveTo({ui::CentreOf(Cell(20)).x + 4, ui::CentreOf(Cell(20)).y});
    bool shown = false;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 3 * ::GetDoubleClickTime(); ui::Pump(20))
        shown = shown || !ShownTip().empty();
    ui::Button(false);
    EXPECT_FALSE(shown);
    ui::MoveTo(ui::CentreOf(Cell(21)));
    EXPECT_TRUE(ui::PumpUntil([&] { return !ShownTip().empty(); }));
}

TEST_F(Orvane, HoverAndPressLooks)
{
    ASSERT_TRUE(ui::MoveTo(ui::CentreOf(Cell(20))));
    EXPECT_TRUE(Shows(20, kLightBlue));
    EXPECT_TRUE(Shows(21, kSlate));
    ui::Button(true);
    EXPECT_TRUE(Shows(20, kGreen));
    EXPECT_EQ("", WindowText(m_orvane.Item(kEdit))) << "nothing happens before the release";
    ui::Button(false);
    ASSERT_TRUE(TextBecomes("0000100000000000"));
    EXPECT_TRUE(Shows(20, kGreen));

    // Moving away takes the hover look off a cell, not the lit one; a press
    // released outside its cell clicks nothing and leaves no light.
    ASSERT_TRUE(ui::MoveTo(ui::CentreOf(Cell(30))));
    EXPECT_TRUE(Shows(30, kLightBlue));
    ui::Button(true);
    EXPECT_TRUE(Shows(30, kGreen));
    ASSERT_TRUE(ui::MoveTo(kParking));
    ui::Button(false);
    EXPECT_TRUE(Shows(30, kSlate));
    EXPECT_TRUE(Shows(20, kGreen));
    EXPECT_EQ(FormatHexForDisplay("0000100000000000"), WindowText(m_orvane.Item(kEdit)));
}

} // namespace
