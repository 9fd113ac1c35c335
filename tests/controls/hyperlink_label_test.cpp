#include "gui_test.h"
#include "hyperlink_label.h"
#include "url_launcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const char kUrl[] = "mailto:orvane-dev@example.org";
const char kText[] = "Send email to Orvane";
const HMODULE kHelpModule = reinterpret_cast<HMODULE>(0x5150000);

// What the label does at the Win32 boundary, seen through a hook and its
// seams, and how the system behaves there (fontsMissing: 1 DEFAULT_GUI_FONT,
// 2 also ANSI_VAR_FONT).
struct Seen
{
    HWND watched = nullptr;
    std::vector<HFONT> fonts;
    std::vector<UINT> beeps;
    std::vector<HCURSOR> destroyedCursors;
    std::vector<std::string> launched, loadedModules;
    std::vector<HMODULE> freedModules;
    int timerAtDestroy = -1, fontsMissing = 0;
    HINSTANCE shellResult = reinterpret_cast<HINSTANCE>(42);
    bool hand = true;
    HMODULE helpModule = nullptr; // and its cursor 106:
    HCURSOR helpCursor = nullptr;
} g;

LRESULT CALLBACK SentHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (m->hwnd == g.watched && m->message == WM_SETFONT)
        g.fonts.push_back(reinterpret_cast<HFONT>(m->wParam));
    if (m->hwnd == g.watched && m->message == WM_DESTROY)
        g.timerAtDestroy = ::KillTimer(m->hwnd, 100);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

HGDIOBJ FontOf(HWND window) { return reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)); }

LOGFONTA LogFontOf(HGDIOBJ font)
{
    LOGFONTA logFont = {};
    ::GetObjectA(font, sizeof logFont, &logFont);
    return logFont;
}

// The text's size in the underlined form of `model` (the DC's own font if none).
CSize UnderlinedExtent(HWND window, HGDIOBJ model, const std::string& text)
{
    CClientDC dc(CWnd::FromHandle(window));
    LOGFONTA logFont = LogFontOf(model);
    logFont.lfUnderline = 1;
    CFont font;
    if (model != nullptr && font.CreateFontIndirect(&logFont))
        dc.SelectObject(&font);
    return dc.GetTextExtent(text);
}

std::string Shown(HWND label)
{
    CRect client;
    ::GetClientRect(label, client);
    return ui::LinkColours(ui::Pixels(label, client));
}
bool Shows(HWND label, const std::string& look) { return ui::PumpUntil([&] { return Shown(label) == look; }); }

class HyperLinkLabel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g = Seen{};
        m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, SentHook, nullptr, ::GetCurrentThreadId());
        HyperLinkLabelApi label;
        label.messageBeep = [](UINT type) -> BOOL { return g.beeps.push_back(type), TRUE; };
        label.destroyCursor = [](HCURSOR cursor) { return g.destroyedCursors.push_back(cursor), ::DestroyCursor(cursor); };
        label.loadCursor = [](HINSTANCE module, LPCSTR id) -> HCURSOR {
            if (module == nullptr && id == IDC_HAND)
                return g.hand ? ::LoadCursorA(nullptr, IDC_HAND) : nullptr;
            return module == kHelpModule && id == MAKEINTRESOURCEA(106) ? g.helpCursor : nullptr;
        };
        label.loadLibrary = [](LPCSTR path) { return g.loadedModules.push_back(path), g.helpModule; };
        label.freeLibrary = [](HMODULE module) -> BOOL { return g.freedModules.push_back(module), TRUE; };
        label.getStockObject = [](int index) {
            const bool missing = g.fontsMissing >= (index == DEFAULT_GUI_FONT ? 1 : index == ANSI_VAR_FONT ? 2 : 3);
            return missing ? nullptr : ::GetStockObject(index);
        };
        m_labelApi = SetHyperLinkLabelApi(label);
        UrlLauncherApi launcher; // without a fallback command: no program is ever started
        launcher.shellExecute = [](HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT show) {
            g.launched.push_back(show == SW_SHOW ? file : "not shown");
            return g.shellResult;
        };
        launcher.regOpenKeyEx = [](HKEY, LPCSTR, DWORD, REGSAM, PHKEY) -> LSTATUS { return ERROR_FILE_NOT_FOUND; };
        m_launcherApi = SetUrlLauncherApi(launcher);
        ASSERT_TRUE(m_dialog.Create(131)); // empty: each test makes its static
        ::SetWindowPos(m_dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_dialog);
        ui::MoveTo({5, 700});
    }

    void TearDown() override
    {
        m_dialog.DestroyWindow();
        ::UnhookWindowsHookEx(m_hook);
        SetUrlLauncherApi(m_launcherApi);
        SetHyperLinkLabelApi(m_labelApi);
    }

    // A static in the dialog's font, or in none.
    HWND Make(DWORD style, const char* text, int width = 250, int height = 24, bool withFont = true)
    {
        g.watched = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 20, width, height,
                                      m_dialog, nullptr, nullptr, nullptr);
        if (withFont)
            ::SendMessageA(g.watched, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(m_dialog)), FALSE);
        g.fonts.clear();
        return g.watched;
    }

    // Near the top, the tooltip below leaving the text uncovered; dx < 0: left of it.
    static POINT On(HWND label, int dx = 10)
    {
        CRect rect;
        ::GetWindowRect(label, rect);
        return {rect.left + dx, rect.top + 2};
    }
    // The pointer enters, or leaves and a tick notices it: the font changes.
    static bool Enter(HWND label, int dx = 10) { return MoveAndSetFont(On(label, dx), 1); }
    static bool Leave(HWND label) { return MoveAndSetFont(On(label, -20), 0); }
    static bool MoveAndSetFont(POINT to, BYTE underline)
    {
        const std::size_t before = g.fonts.size();
        return ui::MoveTo(to) && ui::PumpUntil([&] {
            return g.fonts.size() > before && LogFontOf(g.fonts.back()).lfUnderline == underline;
        });
    }

    HHOOK m_hook = nullptr;
    CDialog m_dialog;
    HyperLinkLabelApi m_labelApi;
    UrlLauncherApi m_launcherApi;
};

TEST_F(HyperLinkLabel, FitsToTextInTheUnderlineFont)
{
    // The URL is set before attaching; font -1 is the dialog's, else none
    // and this many stock fonts missing; `over` is the static's size beyond
    // the fitted one; `move` how each edge moves.
    struct Case { DWORD style; const char* text; const char* url; int font; SIZE over; RECT move; };
    const Case cases[] = {
        {SS_LEFT, kText, nullptr, -1, {60, 5}, {0, 0, -60, -5}},
        {SS_CENTER, "Centred link", nullptr, -1, {31, 4}, {15, 0, -15, -4}}, // the half cut toward zero
        {SS_CENTER, "Centred link", nullptr, -1, {-17, 0}, {-8, 0, 8, 0}},
        {SS_RIGHT, "Right link", nullptr, -1, {55, 3}, {55, 0, 0, -3}},
        {SS_CENTERIMAGE, "Middle link", nullptr, -1, {25, 9}, {0, 4, -25, -4}},
        {SS_CENTERIMAGE, "Middle link", nullptr, -1, {25, -7}, {0, -3, -25, 3}},
        {WS_BORDER, "Bordered link", nullptr, -1, {30, 6}, {0, 0, -30, -6}}, // the borders keep their size
        {SS_LEFT, "", kUrl, -1, {40, 5}, {0, 0, -40, -5}},                   // an empty static shows its URL
        {SS_LEFT, "Fontless link", nullptr, 0, {20, 3}, {0, 0, -20, -3}},    // fonts made from DEFAULT_GUI_FONT,
        {SS_LEFT, "Fontless link", nullptr, 1, {20, 3}, {0, 0, -20, -3}},    // else from ANSI_VAR_FONT,
        {SS_LEFT, "Fontless link", nullptr, 2, {20, 3}, {0, 0, -20, -3}},    // else none: the control's own
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(&c - cases);
        g.fontsMissing = c.font;
        const HGDIOBJ model = c.font < 0 ? FontOf(m_dialog)
                            : c.font < 2 ? ::GetStockObject(c.font ? ANSI_VAR_FONT : DEFAULT_GUI_FONT) : nullptr;
        const CSize text = UnderlinedExtent(m_dialog, model, c.url ? c.url : c.text);
        const int border = c.style & WS_BORDER ? 2 * ::GetSystemMetrics(SM_CXBORDER) : 0;
        const HWND s = Make(c.style, c.text, text.cx + border + c.over.cx, text.cy + border + c.over.cy, c.font < 0);
        CRect a, b; // before and after attaching
        ::GetWindowRect(s, a);
        CHyperLinkLabel label;
        label.SetURL(c.url);
        ASSERT_TRUE(label.SubclassWindow(s));
        ::GetWindowRect(s, b);
        EXPECT_EQ(CRect(b.left - a.left, b.top - a.top, b.right - a.right, b.bottom - a.bottom), c.move);
        EXPECT_TRUE(Shows(s, "link"));
        label.DestroyWindow();
    }
}

TEST_F(HyperLinkLabel, ColoursTipAndLaunch)
{
    CHyperLinkLabel label;
    const HWND s = Make(SS_LEFT, kText);
    ASSERT_TRUE(label.SubclassWindow(s));
    label.SetURL(kUrl); // after attaching, as the About box does
    EXPECT_TRUE(Shows(s, "link"));
    ASSERT_TRUE(Enter(s));
    EXPECT_TRUE(Shows(s, "hover"));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
    HWND tip = nullptr;
    ASSERT_TRUE(ui::PumpUntil([&] {
        while ((tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && !::IsWindowVisible(tip)) {}
        return tip != nullptr;
    })) << "the tooltip sees the pointer only through the label's relay";
    char text[128] = {};
    TOOLINFOA info = {TTTOOLINFOA_V2_SIZE, 0, nullptr, 0, {}, nullptr, text, 0, nullptr};
    ASSERT_TRUE(::SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.hwnd, s);
    EXPECT_STREQ(text, kUrl);
    ASSERT_TRUE(Leave(s));
    EXPECT_TRUE(Shows(s, "link"));

    // A launch that succeeds shows the visited colour after leaving, and at
    // once under a resting pointer (Wine may move it a little after a click:
    // there the reflected click is sent, and the colour read before any move).
    ui::Click(On(s));
    ASSERT_TRUE(ui::PumpUntil([] { return !g.launched.empty(); }));
    ASSERT_TRUE(Leave(s));
    EXPECT_TRUE(Shows(s, "visited"));
    ASSERT_TRUE(Enter(s, 20));
    EXPECT_TRUE(Shows(s, "hover"));
    m_dialog.SendMessage(WM_COMMAND, MAKEWPARAM(0, STN_CLICKED), reinterpret_cast<LPARAM>(s));
    EXPECT_EQ(Shown(s), "visited");
    ASSERT_TRUE(Leave(s));
    EXPECT_TRUE(Shows(s, "visited"));
    EXPECT_EQ(g.launched, std::vector<std::string>(2, kUrl));
    EXPECT_TRUE(g.beeps.empty());

    // One that fails beeps, and the link is no longer shown as visited.
    g.shellResult = reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    ui::Click(On(s, 30));
    ASSERT_TRUE(ui::PumpUntil([] { return !g.beeps.empty(); }));
    EXPECT_EQ(g.beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
    ASSERT_TRUE(Leave(s));
    EXPECT_TRUE(Shows(s, "link"));
}

TEST_F(HyperLinkLabel, FontOncePerEntryAndTheTimerStopsOnLeaving)
{
    CHyperLinkLabel label;
    const HWND s = Make(SS_LEFT, kText);
    ASSERT_TRUE(label.SubclassWindow(s));
    for (int entry = 1; entry <= 2; ++entry)
    {
        SCOPED_TRACE(entry);
        g.fonts.clear();
        for (int step = 0; step <= 6; ++step)
            ASSERT_TRUE(ui::MoveTo(On(s, 10 + 3 * step)));
        ASSERT_EQ(g.fonts.size(), 1u) << "once per entry, however much the pointer moves";
        EXPECT_EQ(LogFontOf(g.fonts[0]).lfUnderline, 1);
        EXPECT_STREQ(LogFontOf(g.fonts[0]).lfFaceName, LogFontOf(FontOf(m_dialog)).lfFaceName);
        for (int tick = 0; tick < 2; ++tick) // ticks while the pointer stays change nothing
            ASSERT_TRUE(ui::Await([] {}, WM_TIMER, s));
        EXPECT_EQ(g.fonts.size(), 1u);
        ASSERT_TRUE(Leave(s));
        EXPECT_FALSE(::KillTimer(s, 100)) << "the timer still runs";
    }
}

TEST_F(HyperLinkLabel, CursorFallsBackToTheHelpProgramsCopy)
{
    char windows[MAX_PATH];
    const std::string helpPath = std::string(windows, ::GetWindowsDirectoryA(windows, MAX_PATH)) + "\\winhlp32.exe";
    const HCURSOR cross = ::LoadCursorA(nullptr, IDC_CROSS), arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    struct Case { bool hand; HMODULE module; HCURSOR cursor106; const char* shown; };
    const Case cases[] = {
        {true, kHelpModule, cross, "hand"},
        {false, kHelpModule, cross, "copy"}, // the copy is the label's own, destroyed with it
        {false, kHelpModule, nullptr, "none"},
        {false, nullptr, cross, "none"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(&c - cases);
        g.hand = c.hand, g.helpModule = c.module, g.helpCursor = c.cursor106;
        g.loadedModules.clear(), g.freedModules.clear(), g.destroyedCursors.clear();
        HCURSOR shown = nullptr;
        {
            CHyperLinkLabel label;
            ASSERT_TRUE(label.SubclassWindow(Make(SS_LEFT, kText)));
            ::SetCursor(arrow);
            const LRESULT set = label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd),
                                                  MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            shown = ::GetCursor();
            EXPECT_EQ(set, std::string(c.shown) == "none" ? FALSE : TRUE);
            label.DestroyWindow();
        }
        EXPECT_EQ(g.loadedModules, c.hand ? std::vector<std::string>{} : std::vector<std::string>{helpPath});
        EXPECT_EQ(g.freedModules, c.hand || !c.module ? std::vector<HMODULE>{} : std::vector<HMODULE>{c.module});
        const std::string look = shown == ::LoadCursorA(nullptr, IDC_HAND) ? "hand"
                               : shown == arrow ? "none" : shown == cross ? "the original" : "copy";
        EXPECT_EQ(look, c.shown);
        EXPECT_EQ(g.destroyedCursors, look == "copy" ? std::vector<HCURSOR>{shown} : std::vector<HCURSOR>{});
    }
}

TEST_F(HyperLinkLabel, DestroyWindowKillsTheTimer)
{
    for (const bool own : {true, false})
    {
        CHyperLinkLabel label;
        ASSERT_TRUE(label.SubclassWindow(Make(SS_LEFT, kText)));
        label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); // entered: the timer runs
        if (own)
            label.DestroyWindow();
        else
            ::DestroyWindow(label); // the window goes past the label: its timer with it
        EXPECT_EQ(g.timerAtDestroy, own ? FALSE : TRUE) << (own ? "the label's" : "a plain") << " DestroyWindow";
    }
}

} // namespace
