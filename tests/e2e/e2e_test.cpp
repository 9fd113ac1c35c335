// End-to-end: the real Orvane.exe, driven with real pointer and keyboard input.
#include "display_text.h"
#include "element_names.h"
#include "orvane_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace
{

using namespace e2e;

const int kEdit = 1000;
const int kBitmapButton = 1002;
const int kClearButton = 1003;
const int kExitButton = 1004;
const int kCheckBox = 1005;
const int kFirstCell = 9000;

const COLORREF kSlate = RGB(126, 158, 190);
const COLORREF kGreen = RGB(74, 216, 80);
const COLORREF kLightBlue = RGB(199, 213, 226);

const std::string kAboutCaption = "\xB9\xD8\xD3\xDA Orvane"; // 关于 Orvane
const std::string kErrorCaption = "\xB2\xCE\xCA\xFD\xB4\xED\xCE\xF3"; // 参数错误

class OrvaneE2ETest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_orvane.Start(OrvanePath())) << "Orvane.exe did not show its window: " << OrvanePath();
        // A person first clicks into a new window: under Wine's virtual
        // desktop the click that activates a window may not reach a control.
        ClickAt(ClientToScreenPoint(m_orvane.MainWindow(), 250, 330));
        // Park the pointer off the window, as a hand would rest.
        MoveTo(POINT{900, 700});
    }

    HWND Cell(int bit) const { return m_orvane.Item(kFirstCell + bit - 1); }
    std::string EditText() const { return WindowText(m_orvane.Item(kEdit)); }

    void TypeIntoEdit(const std::string& text)
    {
        ClickAt(CenterOf(m_orvane.Item(kEdit)));
        Type(text);
    }

    void ClickButton(int id) { ClickAt(CenterOf(m_orvane.Item(id))); }

    // The body colour a cell shows: the one of the three that fills most of
    // the disc's centre (the caption covers part of it).
    COLORREF CellColor(int bit) const
    {
        const Capture capture(ScreenRect(Cell(bit)));
        COLORREF shown = CLR_INVALID;
        int most = 20; // of 289 pixels, well above any stray match
        for (const COLORREF body : {kSlate, kGreen, kLightBlue})
        {
            const int count = capture.CountColor(15, 15, 8, body);
            if (count > most)
            {
                most = count;
                shown = body;
            }
        }
        return shown;
    }

    // Repaints follow input by a moment: the colour may take a while to show.
    bool ShowsColor(int bit, COLORREF body) const
    {
        return WaitFor([&] { return CellColor(bit) == body; }, 2000);
    }

    HWND FocusOfProgram() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_orvane.MainWindow(), nullptr), &info);
        return info.hwndFocus;
    }

    void Screenshot(const std::string& name, HWND window = nullptr) const
    {
        Capture(ScreenRect(window ? window : m_orvane.MainWindow())).SaveBmp(name + ".bmp");
    }

    OrvaneProcess m_orvane;
};

// ---- the window shell -------------------------------------------------------

TEST_F(OrvaneE2ETest, EnterAndEscapeInTheEditBoxDoNothing)
{
    TypeIntoEdit("8");
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    Pump(300);
    EXPECT_TRUE(m_orvane.IsRunning());
    EXPECT_EQ("8", EditText()); // "位图" was not pressed by Enter
    EXPECT_FALSE(::IsWindowVisible(Cell(65)));
    EXPECT_EQ(m_orvane.Item(kEdit), FocusOfProgram());
}

TEST_F(OrvaneE2ETest, ExitButtonEndsTheProgramWithCodeZero)
{
    ClickButton(kExitButton);
    DWORD code = 12345;
    ASSERT_TRUE(m_orvane.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(OrvaneE2ETest, TitleBarCloseEndsTheProgram)
{
    // Find the close box the way the window itself reports it.
    const RECT rect = ScreenRect(m_orvane.MainWindow());
    POINT closeBox = {-1, -1};
    for (int x = rect.right - 2; x > rect.right - 60 && closeBox.x < 0; --x)
    {
        for (int y = rect.top + 2; y < rect.top + 40; ++y)
        {
            const LRESULT hit = ::SendMessageA(m_orvane.MainWindow(), WM_NCHITTEST, 0, MAKELPARAM(x, y));
            if (hit == HTCLOSE)
            {
                closeBox = POINT{x - 4, y + 4};
                break;
            }
        }
    }
    ASSERT_GE(closeBox.x, 0) << "no close box on the caption";
    ClickAt(closeBox);
    DWORD code = 12345;
    ASSERT_TRUE(m_orvane.WaitForExit(5000, &code));
    EXPECT_EQ(0u, code);
}



TEST_F(OrvaneE2ETest, AboutBoxOpensFromTheSystemMenuAndItsCommands)
{
    // Alt+Space opens the system menu; the About entry is its last item
    // (under Wine, "About Wine" comes just before it with the same mnemonic,
    // so the arrow key is the sure way there). Commands 16..31 all open it.
    ClickAt(CenterOf(m_orvane.Item(kEdit)));
    KeyCombo(VK_MENU, VK_SPACE);
    Pump(300);
    Capture(ScreenRect(m_orvane.MainWindow())).SaveBmp("system_menu.bmp");
    Key(VK_UP);
    Key(VK_RETURN);
    for (const WPARAM command : {WPARAM{0}, WPARAM{16}, WPARAM{31}})
    {
        if (command != 0)
            ::PostMessageA(m_orvane.MainWindow(), WM_SYSCOMMAND, command, 0);
        HWND about = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (about = m_orvane.FindTopLevel(kAboutCaption)) != nullptr; })) << command;
        EXPECT_FALSE(::IsWindowEnabled(m_orvane.MainWindow())) << "main window usable under the About box";
        Pump(300);
        Screenshot("about", about);
        Key(command == 16 ? VK_ESCAPE : VK_RETURN);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); })) << command;
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(m_orvane.MainWindow()) != FALSE; }));
    }
    EXPECT_TRUE(m_orvane.IsRunning());
}

// The colour family of a link's text, from its most saturated pixel (the
// text is antialiased, so exact colours are rare).
enum class LinkColour { Link, Hover, Visited, None };

LinkColour TextColourOf(HWND label)
{
    const Capture capture(ScreenRect(label));
    int best = 40;
    COLORREF strongest = CLR_INVALID;
    for (int y = 0; y < capture.Height(); ++y)
    {
        for (int x = 0; x < capture.Width(); ++x)
        {
            const COLORREF c = capture.At(x, y);
            const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            const int saturation = std::max({r, g, b}) - std::min({r, g, b});
            if (saturation > best)
            {
                best = saturation;
                strongest = c;
            }
        }
    }
    if (strongest == CLR_INVALID)
        return LinkColour::None;
    const int r = GetRValue(strongest), g = GetGValue(strongest), b = GetBValue(strongest);
    if (r > g + 40 && r > b + 40 && std::abs(g - b) < 25)
        return LinkColour::Hover; // RGB(255, 0, 0)
    if (b > r && b > g && std::abs(r - g) < 12)
        return LinkColour::Link; // RGB(0, 0, 238)
    if (b > r && r > g + 15)
        return LinkColour::Visited; // RGB(85, 26, 139)
    return LinkColour::None;
}

// The shell opens "mailto:" URLs with the command registered for them; for
// the test it is one that only writes the URL into a file. The registration
// of the prefix is put back afterwards.
class MailtoRecorder
{
public:
    MailtoRecorder()
    {
        char directory[MAX_PATH];
        ::GetCurrentDirectoryA(MAX_PATH, directory);
        m_file = std::string(directory) + "\\mailto.txt";
        ::DeleteFileA(m_file.c_str());
        m_hadValue = ::RegQueryValueA(HKEY_CLASSES_ROOT, kKey, m_old, &m_oldSize) == ERROR_SUCCESS;
        const std::string command = "\"" + std::string(directory) + "\\mailto_recorder.exe\" %1";
        ::RegSetValueA(HKEY_CLASSES_ROOT, kKey, REG_SZ, command.c_str(), static_cast<DWORD>(command.size()));
    }
    ~MailtoRecorder()
    {
        if (m_hadValue)
            ::RegSetValueA(HKEY_CLASSES_ROOT, kKey, REG_SZ, m_old, static_cast<DWORD>(std::strlen(m_old)));
        else
            ::RegDeleteTreeA(HKEY_CLASSES_ROOT, "mailto");
        ::DeleteFileA(m_file.c_str());
    }
    std::string Recorded() const
    {
        char buffer[256] = {};
        if (FILE* in = std::fopen(m_file.c_str(), "r"))
        {
            std::fgets(buffer, sizeof buffer, in);
            std::fclose(in);
        }
        std::string text = buffer;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        return text;
    }

private:
    static constexpr const char* kKey = "mailto\\shell\\open\\command";
    std::string m_file;
    char m_old[1024] = {};
    LONG m_oldSize = sizeof m_old;
    bool m_hadValue = false;
};

TEST_F(OrvaneE2ETest, MailLinkOpensItsUrlAndEachAboutBoxStartsUnvisited)
{
    MailtoRecorder recorder;
    ::PostMessageA(m_orvane.MainWindow(), WM_SYSCOMMAND, 16, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = m_orvane.FindTopLevel(kAboutCaption)) != nullptr; }));
    HWND link = ::GetDlgItem(about, 1006);
    ASSERT_NE(nullptr, link);
    Pump(300);
    EXPECT_EQ(LinkColour::Link, TextColourOf(link));

    MoveTo(CenterOf(link));
    Pump(300);
    EXPECT_EQ(LinkColour::Hover, TextColourOf(link));
    ClickAt(CenterOf(link));
    EXPECT_TRUE(WaitFor([&] { return recorder.Recorded() == "mailto:orvane-dev@example.org"; }, 8000))
        << "recorded: " << recorder.Recorded();
    EXPECT_TRUE(WaitFor([&] { return TextColourOf(link) == LinkColour::Visited; }));
    MoveTo(POINT{900, 700});
    Pump(300); // past the label's 100 ms leave check
    EXPECT_EQ(LinkColour::Visited, TextColourOf(link));
    Screenshot("about_visited", about);
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }));

    ::PostMessageA(m_orvane.MainWindow(), WM_SYSCOMMAND, 16, 0);
    ASSERT_TRUE(WaitFor([&] { return (about = m_orvane.FindTopLevel(kAboutCaption)) != nullptr; }));
    Pump(300);
    EXPECT_EQ(LinkColour::Link, TextColourOf(::GetDlgItem(about, 1006)));
    Key(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }));
}

// ---- the commands -----------------------------------------------------------

TEST_F(OrvaneE2ETest, TypedTextLightsItsBitsAndComesBackInPairs)
{
    TypeIntoEdit("0x12 34");
    ClickButton(kBitmapButton);
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("0123400000000000"); })) << EditText();
    for (int bit = 1; bit <= 24; ++bit)
    {
        const bool set = bit == 8 || bit == 11 || bit == 15 || bit == 16 || bit == 18;
        EXPECT_TRUE(ShowsColor(bit, set ? kGreen : kSlate)) << "cell " << bit;
    }
    EXPECT_FALSE(::IsWindowVisible(Cell(65)));
    Screenshot("typed_bits");
}

TEST_F(OrvaneE2ETest, SecondaryBitmapShowsWithBitOne)
{
    TypeIntoEdit("80" + std::string(29, '0') + "1");
    ClickButton(kBitmapButton);
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("80000000000000000000000000000001"); })) << EditText();
    EXPECT_TRUE(::IsWindowVisible(Cell(65)));
    EXPECT_TRUE(::IsWindowVisible(Cell(128)));
    EXPECT_TRUE(ShowsColor(1, kGreen)); // the cells repaint after the text
    EXPECT_TRUE(ShowsColor(128, kGreen));
    EXPECT_TRUE(ShowsColor(127, kSlate));
    Screenshot("secondary");

    // Switching bit 1 off by hand hides the secondary cells and drops their bits.
    ClickAt(CenterOf(Cell(1)));
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("0000000000000000"); })) << EditText();
    EXPECT_FALSE(::IsWindowVisible(Cell(65)));
    EXPECT_FALSE(::IsWindowVisible(Cell(128)));
}

TEST_F(OrvaneE2ETest, HoverShowsLightBlueAndHoldingShowsGreen)
{
    MoveTo(CenterOf(Cell(20)));
    Pump(200);
    EXPECT_TRUE(ShowsColor(20, kLightBlue));
    EXPECT_TRUE(ShowsColor(21, kSlate));

    Press();
    EXPECT_TRUE(ShowsColor(20, kGreen));
    EXPECT_EQ("", EditText()); // nothing happens before the release
    Release();
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("0000100000000000"); })) << EditText();
    EXPECT_TRUE(ShowsColor(20, kGreen));

    // Moving away takes the hover look off a cell, not the lit one.
    MoveTo(CenterOf(Cell(40)));
    MoveTo(POINT{900, 700});
    Pump(200);
    EXPECT_TRUE(ShowsColor(20, kGreen));
    EXPECT_TRUE(ShowsColor(40, kSlate));

    // A press released outside its cell clicks nothing and leaves no light.
    MoveTo(CenterOf(Cell(30)));
    Press();
    EXPECT_TRUE(ShowsColor(30, kGreen));
    MoveTo(CenterOf(Cell(50)));
    Release();
    Pump(200);
    EXPECT_EQ(FormatHexForDisplay("0000100000000000"), EditText());
    EXPECT_TRUE(ShowsColor(30, kSlate));
}

TEST_F(OrvaneE2ETest, ClickTogglesBitAndText)
{
    ClickAt(CenterOf(Cell(1)));
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("8000000000000000"); })) << EditText();
    EXPECT_TRUE(::IsWindowVisible(Cell(65)));
    ClickAt(CenterOf(Cell(70)));
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("80000000000000000400000000000000"); })) << EditText();
    Pump(::GetDoubleClickTime() + 100); // a second click, not a double-click
    ClickAt(CenterOf(Cell(70)));
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("8000000000000000"); })) << EditText();
    EXPECT_TRUE(ShowsColor(70, kLightBlue)); // unlit again, under the pointer
}




TEST_F(OrvaneE2ETest, AutoFirstSetsBitOneAndClearResetsEverything)
{
    ClickButton(kCheckBox);
    ASSERT_TRUE(WaitFor([&] {
        return ::SendMessageA(m_orvane.Item(kCheckBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
    })) << "the click did not tick the box";
    TypeIntoEdit(std::string(16, '0') + "FFFF");
    ClickButton(kBitmapButton);
    ASSERT_TRUE(WaitFor([&] { return EditText() == FormatHexForDisplay("8000000000000000FFFF000000000000"); })) << EditText();
    EXPECT_TRUE(ShowsColor(1, kGreen));
    EXPECT_TRUE(ShowsColor(80, kGreen));
    EXPECT_TRUE(ShowsColor(81, kSlate));

    ClickButton(kClearButton);
    ASSERT_TRUE(WaitFor([&] { return EditText().empty(); })) << EditText();
    for (int bit = 1; bit <= 16; ++bit)
        EXPECT_TRUE(ShowsColor(bit, kSlate)) << "cell " << bit;
    EXPECT_FALSE(::IsWindowVisible(Cell(65)));
    EXPECT_EQ(m_orvane.Item(kEdit), FocusOfProgram());
}

// ---- the cells' tooltip -------------------------------------------------------

// The text of the program's tooltip while one shows (empty while none), and where it is.
std::wstring ShownTip(DWORD process, RECT* where = nullptr)
{
    for (HWND tip = nullptr; (tip = ::FindWindowExA(nullptr, tip, "tooltips_class32", nullptr)) != nullptr;)
    {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(tip, &owner);
        if (owner != process || !::IsWindowVisible(tip))
            continue;
        wchar_t text[256] = {}; // asked of the control: GetWindowText does not ask another process's window
        ::SendMessageW(tip, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        if (where != nullptr)
            *where = ScreenRect(tip);
        return text;
    }
    return L"";
}

TEST_F(OrvaneE2ETest, HoveredCellsNameTheirElementsBelowThemUntilPressedOrOffTheGrid)
{
    TypeIntoEdit("72 38 00 01 08 C1 80 00"); // lights 37 among others
    ClickButton(kBitmapButton);
    RECT tip = {};
    for (const int bit : {38, 55, 37}) // cell to cell
    {
        const std::string utf8 = std::to_string(bit) + " " + DataElementNameZh(bit) + " " + DataElementName(bit);
        wchar_t name[128] = {};
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, name, 128);
        MoveTo(CenterOf(Cell(bit)));
        ASSERT_TRUE(WaitFor([&] { return ShownTip(m_orvane.ProcessId(), &tip) == name; }, 5000)) << bit;
        EXPECT_GE(tip.top, ScreenRect(Cell(bit)).bottom) << bit; // never over its cell
    }
    Screenshot("tooltip"); // the tip of 37 lies within the window
    MoveTo(ClientToScreenPoint(m_orvane.MainWindow(), 250, 45)); // off the grid, just above it
    EXPECT_TRUE(WaitFor([&] { return ShownTip(m_orvane.ProcessId()).empty(); }, 5000));

    MoveTo(CenterOf(Cell(20)));
    Press(); // before the tip's delay is over; held with a little movement, the cell shows no tip
    ASSERT_TRUE(ShowsColor(20, kGreen));
    MoveTo(POINT{CenterOf(Cell(20)).x + 4, CenterOf(Cell(20)).y});
    bool shown = false;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 3 * ::GetDoubleClickTime(); Pump(20))
        shown = shown || !ShownTip(m_orvane.ProcessId()).empty();
    Release();
    EXPECT_FALSE(shown);
    MoveTo(CenterOf(Cell(21)));
    EXPECT_TRUE(WaitFor([&] { return !ShownTip(m_orvane.ProcessId()).empty(); }, 5000));
}

TEST_F(OrvaneE2ETest, EmptyTextIsRefusedWithAMessage)
{
    ClickButton(kBitmapButton);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_orvane.FindTopLevel(kErrorCaption)) != nullptr; }));
    Key(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    EXPECT_TRUE(WaitFor([&] { return FocusOfProgram() == m_orvane.Item(kEdit); }));
    EXPECT_EQ("", EditText());
}

} // namespace
