#include "hyperlink_label.h"
#include "url_launcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace
{

const char kUrl[] = "mailto:orvane-dev@example.org";
const char kText[] = "Send email to Orvane";

// An empty dialog in 宋体 9; each test makes its static at run time.
const struct alignas(4) { DLGTEMPLATE head; WORD menu, windowClass, title, points; wchar_t face[3]; } kDialog = {
    {WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 0, 300, 100}, 0, 0, 0, 9, L"宋体"};

// What the label does at the Win32 boundary, seen through a hook and its seams.
struct Seen
{
    HWND watched = nullptr;
    std::vector<HFONT> fonts; // WM_SETFONT sent to the watched window
    std::vector<UINT> beeps;
    int destroyedCursors = 0;
    std::vector<std::string> launched; // ShellExecuteA's file, if shown with SW_SHOW
    HINSTANCE shellResult = reinterpret_cast<HINSTANCE>(42);
    int fontsMissing = 0; // 1: no DEFAULT_GUI_FONT; 2: nor ANSI_VAR_FONT
} g;

LRESULT CALLBACK SentHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_SETFONT && m->hwnd == g.watched)
        g.fonts.push_back(reinterpret_cast<HFONT>(m->wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

HGDIOBJ FontOf(HWND window)
{
    return reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0));
}

LOGFONTA LogFontOf(HGDIOBJ font)
{
    LOGFONTA logFont = {};
    ::GetObjectA(font, sizeof logFont, &logFont);
    return logFont;
}

// The text's size in the underlined form of `model` (the DC's own font if none).
CSize UnderlinedExtent(HWND window, HGDIOBJ model, const std::string& text)
{
    HDC dc = ::GetDC(window);
    LOGFONTA logFont = LogFontOf(model);
    logFont.lfUnderline = 1;
    HFONT font = model ? ::CreateFontIndirectA(&logFont) : nullptr;
    HGDIOBJ previous = font ? ::SelectObject(dc, font) : nullptr;
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (font)
        ::DeleteObject(::SelectObject(dc, previous));
    ::ReleaseDC(window, dc);
    return size;
}

// Text in `colour` over the button face, smoothed or not: the pixel lies on the
// line from the face to the colour, at least 30% of the way.
bool IsStroke(COLORREF pixel, COLORREF colour)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const auto d = [&](COLORREF c, int k) { return double(int(c >> k & 255) - int(face >> k & 255)); };
    double along = 0, length = 0, off = 0;
    for (int k = 0; k < 24; k += 8)
        along += d(pixel, k) * d(colour, k), length += d(colour, k) * d(colour, k);
    for (int k = 0; k < 24; k += 8)
        off = std::max(off, std::fabs(d(pixel, k) - along / length * d(colour, k)));
    return along >= 0.3 * length && along <= 1.02 * length && off <= 4;
}

// Which of the three colours the label's text shows now.
std::string Shown(HWND label)
{
    ::UpdateWindow(label);
    CRect client;
    ::GetClientRect(label, client);
    HDC dc = ::GetDC(label);
    std::vector<COLORREF> pixels;
    for (int i = 0; i < client.Width() * client.Height(); ++i)
        pixels.push_back(::GetPixel(dc, i % client.Width(), i / client.Width()));
    ::ReleaseDC(label, dc);
    std::string shown;
    for (const auto& [colour, name] : {std::pair(RGB(0, 0, 238), "link"), std::pair(RGB(255, 0, 0), "hover"),
                                       std::pair(RGB(85, 26, 139), "visited")})
        if (std::count_if(pixels.begin(), pixels.end(), [&](COLORREF p) { return IsStroke(p, colour); }) >= 5)
            shown += std::string(shown.empty() ? "" : " ") + name;
    return shown;
}

class HyperLinkLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g = Seen{};
        m_hook = ::SetWindowsHookExA(WH_CALLWNDPROC, SentHook, nullptr, ::GetCurrentThreadId());
        HyperLinkLabelApi label;
        label.messageBeep = [](UINT type) -> BOOL { return g.beeps.push_back(type), TRUE; };
        label.destroyCursor = [](HCURSOR) -> BOOL { return ++g.destroyedCursors, TRUE; };
        label.getStockObject = [](int index) {
            const bool missing = g.fontsMissing >= (index == DEFAULT_GUI_FONT ? 1 : index == ANSI_VAR_FONT ? 2 : 3);
            return missing ? nullptr : ::GetStockObject(index);
        };
        m_labelApi = SetHyperLinkLabelApi(label);
        // No fallback command exists: a failed shell is a failed launch, and
        // no program is ever started.
        UrlLauncherApi launcher;
        launcher.shellExecute = [](HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT show) {
            g.launched.push_back(show == SW_SHOW ? file : "not shown");
            return g.shellResult;
        };
        launcher.regOpenKeyEx = [](HKEY, LPCSTR, DWORD, REGSAM, PHKEY) -> LSTATUS { return ERROR_FILE_NOT_FOUND; };
        m_launcherApi = SetUrlLauncherApi(launcher);
        ASSERT_TRUE(m_dialog.CreateIndirect(&kDialog.head));
        ::SetWindowPos(m_dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_dialog);
        ::SetCursorPos(5, 700);
        Pump(100);
    }

    void TearDown() override
    {
        m_dialog.DestroyWindow();
        ::UnhookWindowsHookEx(m_hook);
        SetUrlLauncherApi(m_launcherApi);
        SetHyperLinkLabelApi(m_labelApi);
        // Every label here took the system's hand, which the whole process shares.
        EXPECT_EQ(g.destroyedCursors, 0) << "a label destroyed the shared hand cursor";
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

    // Messages go through the label's pre-translation (the tooltip relay), as
    // in a modal loop; the label timer's ticks are counted, and those that
    // find the pointer outside the label.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeout)
    {
        for (const DWORD t0 = ::GetTickCount(); !done(); ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT))
        {
            if (::GetTickCount() - t0 >= timeout)
                return false;
            for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            {
                CRect r; // msg.pt: what GetMessagePos tells the label
                if (msg.message == WM_TIMER && msg.wParam == 100 && msg.hwnd == g.watched)
                    ++m_ticks, m_ticksOutside += !(::GetWindowRect(msg.hwnd, r) && r.PtInRect(msg.pt));
                if (!CWnd::WalkPreTranslateTree(m_dialog, &msg))
                    ::TranslateMessage(&msg), ::DispatchMessageA(&msg);
            }
        }
        return true;
    }
    void Pump(DWORD milliseconds) { PumpUntil([] { return false; }, milliseconds); }

    // In small steps, each one seen, as a hand moves it.
    void Glide(POINT to)
    {
        POINT from;
        ::GetCursorPos(&from);
        const long steps = std::max(1L, std::max(std::labs(to.x - from.x), std::labs(to.y - from.y)) / 6);
        for (long i = 1; i <= steps; ++i, Pump(8))
            ::SetCursorPos(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
        Pump(30);
    }

    // Near the top of the label, so that the tooltip opening below the
    // pointer leaves the text uncovered; a negative dx is left of the label.
    static POINT On(HWND label, int dx = 10)
    {
        CRect rect;
        ::GetWindowRect(label, rect);
        return {rect.left + dx, rect.top + 2};
    }
    void Leave(HWND label)
    {
        Glide(On(label, -20));
        Pump(150);
    }

    // Clicks land apart, so two never make a double-click.
    void ClickAt(POINT at)
    {
        Glide(at);
        ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        Pump(100);
    }

    HHOOK m_hook = nullptr;
    long m_ticks = 0, m_ticksOutside = 0;
    CDialog m_dialog;
    HyperLinkLabelApi m_labelApi;
    UrlLauncherApi m_launcherApi;
};

TEST_F(HyperLinkLabelTest, FitsItsWindowToTheTextInTheUnderlineFontForEachAlignment)
{
    struct Case
    {
        DWORD style;
        const char* text;
        const char* url; // set before attaching
        int font;        // the static's font: -1 the dialog's, else none and this many stock fonts missing
        SIZE over;       // the static's size before attaching, beyond the fitted size
        RECT move;       // how each edge moves
    };
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
        EXPECT_EQ(Shown(s), "link");
        label.DestroyWindow();
    }
}

TEST_F(HyperLinkLabelTest, ShowsItsStateInColourTheUrlAsTipAndBeepsOnAFailedLaunch)
{
    CHyperLinkLabel label;
    const HWND s = Make(SS_LEFT, kText);
    ASSERT_TRUE(label.SubclassWindow(s));
    label.SetURL(kUrl); // after attaching, as the About box does
    EXPECT_EQ(Shown(s), "link");
    Glide(On(s));
    EXPECT_EQ(Shown(s), "hover");
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
    HWND tip = nullptr;
    const auto tipShown = [&] {
        while ((tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && !::IsWindowVisible(tip)) {}
        return tip != nullptr;
    };
    ASSERT_TRUE(PumpUntil(tipShown, 3000)) << "the tooltip sees the pointer only through the label's relay";
    char text[128] = {};
    TOOLINFOA info = {TTTOOLINFOA_V2_SIZE, 0, nullptr, 0, {}, nullptr, text, 0, nullptr};
    ASSERT_TRUE(::SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.hwnd, s);
    EXPECT_STREQ(text, kUrl);
    Leave(s);
    EXPECT_EQ(Shown(s), "link");

    // A launch that succeeds shows the visited colour at once, and after leaving.
    ClickAt(On(s));
    EXPECT_EQ(g.launched, std::vector<std::string>{kUrl});
    EXPECT_EQ(Shown(s), "visited");
    Glide(On(s, 20));
    EXPECT_EQ(Shown(s), "hover");
    Leave(s);
    EXPECT_EQ(Shown(s), "visited");
    EXPECT_TRUE(g.beeps.empty());

    // One that fails beeps, and the link is no longer shown as visited.
    g.shellResult = reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    ClickAt(On(s, 30));
    EXPECT_EQ(g.beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
    Leave(s);
    EXPECT_EQ(Shown(s), "link");
}

TEST_F(HyperLinkLabelTest, EachEntrySetsTheFontOnceAndLeavingIsNoticedAtTheNextTick)
{
    CHyperLinkLabel label;
    const HWND s = Make(SS_LEFT, kText);
    ASSERT_TRUE(label.SubclassWindow(s));
    for (int entry = 1; entry <= 2; ++entry)
    {
        SCOPED_TRACE(entry);
        g.fonts.clear();
        for (int step = 0; step <= 6; ++step)
            Glide(On(s, 10 + 3 * step));
        ASSERT_EQ(g.fonts.size(), 1u) << "once per entry, however much the pointer moves";
        EXPECT_EQ(LogFontOf(g.fonts[0]).lfUnderline, 1);
        EXPECT_STREQ(LogFontOf(g.fonts[0]).lfFaceName, LogFontOf(FontOf(m_dialog)).lfFaceName);

        // Ticks while the pointer stays change nothing. Once it has left in
        // one jump, the first tick that finds it outside puts the standard
        // font back, and the timer stops. Under Wine the pointer may bounce
        // back to its last place after a jump: the jump is repeated until seen.
        Pump(250);
        EXPECT_EQ(g.fonts.size(), 1u);
        m_ticksOutside = 0;
        DWORD jumped = 0;
        const auto left = [&] {
            if (::GetTickCount() - jumped > 300)
                ::SetCursorPos(On(s, -20).x, On(s, -20).y), jumped = ::GetTickCount();
            return g.fonts.size() == 2;
        };
        ASSERT_TRUE(PumpUntil(left, 2000));
        EXPECT_EQ(m_ticksOutside, 1);
        EXPECT_EQ(LogFontOf(g.fonts[1]).lfUnderline, 0);
        m_ticks = 0;
        Pump(300);
        EXPECT_EQ(m_ticks, 0) << "the timer has stopped";
    }
}

} // namespace
