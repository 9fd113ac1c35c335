#include "hyperlink_label.h"
#include "url_launcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace
{

const COLORREF kLink = RGB(0, 0, 238);
const COLORREF kHover = RGB(255, 0, 0);
const COLORREF kVisited = RGB(85, 26, 139);

enum ControlId : WORD
{
    kLeftId = 1001,
    kCentreId,
    kRightId,
    kMiddleId,
    kBorderedId,
    kEmptyId,
    kBlankId,
    kRuntimeId,
};

const char kLeftText[] = "Send email to Orvane";

// ---------------------------------------------------------------------------
// A dialog template built in memory: DLGTEMPLATE, then DLGITEMTEMPLATEs.

class DialogTemplate
{
public:
    DialogTemplate(short width, short height)
    {
        PutDword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
        PutDword(0);
        m_countIndex = m_words.size();
        m_words.insert(m_words.end(), {0, 0, 0, static_cast<WORD>(width), static_cast<WORD>(height)});
        m_words.insert(m_words.end(), {0, 0}); // no menu, the standard class
        PutString(L"Hyperlink label");
        m_words.push_back(9);
        PutString(L"宋体");
    }

    void AddStatic(WORD id, DWORD style, short x, short y, short width, short height, const wchar_t* text)
    {
        if (m_words.size() % 2 != 0)
            m_words.push_back(0); // items start on a DWORD boundary
        PutDword(WS_CHILD | WS_VISIBLE | style);
        PutDword(0);
        m_words.insert(m_words.end(), {static_cast<WORD>(x), static_cast<WORD>(y), static_cast<WORD>(width),
                                       static_cast<WORD>(height), id, 0xFFFF, 0x0082});
        PutString(text);
        m_words.push_back(0); // no creation data
        ++m_words[m_countIndex];
    }

    LPCDLGTEMPLATEA Get() const { return reinterpret_cast<LPCDLGTEMPLATEA>(m_words.data()); }

private:
    void PutDword(DWORD value)
    {
        m_words.push_back(LOWORD(value));
        m_words.push_back(HIWORD(value));
    }

    void PutString(const wchar_t* text)
    {
        for (; *text; ++text)
            m_words.push_back(static_cast<WORD>(*text));
        m_words.push_back(0);
    }

    std::vector<WORD> m_words;
    std::size_t m_countIndex = 0;
};

DialogTemplate StandardTemplate()
{
    DialogTemplate dialog(230, 220);
    dialog.AddStatic(kLeftId, SS_LEFT, 10, 10, 150, 12, L"Send email to Orvane");
    dialog.AddStatic(kCentreId, SS_CENTER, 10, 30, 150, 12, L"Centred link");
    dialog.AddStatic(kRightId, SS_RIGHT, 10, 50, 150, 12, L"Right link");
    dialog.AddStatic(kMiddleId, SS_LEFT | SS_CENTERIMAGE, 10, 70, 150, 20, L"Middle link");
    dialog.AddStatic(kBorderedId, SS_LEFT | WS_BORDER, 10, 100, 150, 14, L"Bordered link");
    dialog.AddStatic(kEmptyId, SS_LEFT, 10, 125, 150, 12, L"");
    dialog.AddStatic(kBlankId, SS_LEFT, 10, 145, 150, 12, L"");
    return dialog;
}

// The dialog paints itself white, so that the label's own button-face
// background shows.
class CLabelTestDlg : public CDialog
{
public:
    CHyperLinkLabel* m_bound = nullptr;

protected:
    void DoDataExchange(CDataExchange* dx) override
    {
        if (m_bound != nullptr)
            DDX_Control(dx, kLeftId, *m_bound);
    }

    afx_msg LRESULT OnCtlColorDlg(WPARAM, LPARAM)
    {
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLabelTestDlg, CDialog)
    ON_MESSAGE(WM_CTLCOLORDLG, &CLabelTestDlg::OnCtlColorDlg)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------
// What the label does at the Win32 boundary, seen through hooks and seams.

// Events carry a sequence number, so that sent and posted ones can be put
// in order.
struct FontEvent
{
    HWND window;
    HFONT font;
    DWORD time;
    unsigned long sequence;
};

struct TimerEvent
{
    HWND window;
    UINT_PTR id;
    unsigned long sequence;
};

struct MoveEvent
{
    POINT point; // on the screen
    DWORD time;
    unsigned long sequence;
};

struct Observed
{
    std::vector<FontEvent> fonts;
    std::vector<TimerEvent> timers;
    std::vector<MoveEvent> moves;
    unsigned long sequence = 0;
    std::vector<HWND> paints;
    std::vector<UINT> beeps;
    std::vector<HCURSOR> destroyedCursors;
    std::set<int> missingStockObjects;
    bool handMissing = false;

    HINSTANCE shellResult = reinterpret_cast<HINSTANCE>(42);
    std::vector<std::string> launchedUrls;
    std::vector<INT> launchShows;

    HHOOK sentHook = nullptr;
    HHOOK postedHook = nullptr;
};

Observed* g_seen = nullptr;

LRESULT CALLBACK SentHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_SETFONT)
        g_seen->fonts.push_back({message->hwnd, reinterpret_cast<HFONT>(message->wParam), ::GetTickCount(), ++g_seen->sequence});
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK PostedHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE)
    {
        if (message->message == WM_TIMER)
            g_seen->timers.push_back({message->hwnd, message->wParam, ++g_seen->sequence});
        else if (message->message == WM_MOUSEMOVE)
            g_seen->moves.push_back({message->pt, ::GetTickCount(), ++g_seen->sequence});
        else if (message->message == WM_PAINT)
            g_seen->paints.push_back(message->hwnd);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI RecordBeep(UINT type)
{
    g_seen->beeps.push_back(type);
    return TRUE;
}

HCURSOR WINAPI LoadCursorSeen(HINSTANCE module, LPCSTR name)
{
    if (g_seen->handMissing && module == nullptr && name == IDC_HAND)
        return nullptr;
    return ::LoadCursorA(module, name);
}

BOOL WINAPI RecordDestroyCursor(HCURSOR cursor)
{
    g_seen->destroyedCursors.push_back(cursor);
    return ::DestroyCursor(cursor);
}

HGDIOBJ WINAPI StockObjectSeen(int index)
{
    return g_seen->missingStockObjects.count(index) != 0 ? nullptr : ::GetStockObject(index);
}

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT show)
{
    g_seen->launchedUrls.push_back(file ? file : "");
    g_seen->launchShows.push_back(show);
    return g_seen->shellResult;
}

// No fallback command is ever found: a failed shell is a failed launch.
LSTATUS WINAPI NoRegistryKey(HKEY, LPCSTR, DWORD, REGSAM, PHKEY)
{
    return ERROR_FILE_NOT_FOUND;
}

UINT WINAPI RefuseWinExec(LPCSTR, UINT)
{
    ADD_FAILURE() << "a label test must never run a command";
    return 0;
}

// ---------------------------------------------------------------------------
// Screen, pointer and message helpers.

// What the window shows, read back from its surface.
std::vector<COLORREF> CaptureWindow(HWND window)
{
    ::UpdateWindow(window);
    ::GdiFlush();
    CRect area;
    ::GetWindowRect(window, area);
    const int width = area.Width();
    const int height = area.Height();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC source = ::GetWindowDC(window);
    HDC memory = ::CreateCompatibleDC(source);
    HBITMAP bitmap = ::CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<COLORREF> pixels;
    const auto* quad = static_cast<const RGBQUAD*>(bits);
    for (int i = 0; i < width * height; ++i)
        pixels.push_back(RGB(quad[i].rgbRed, quad[i].rgbGreen, quad[i].rgbBlue));
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, source);
    return pixels;
}

long CountColour(const std::vector<COLORREF>& pixels, COLORREF colour)
{
    return static_cast<long>(std::count(pixels.begin(), pixels.end(), colour));
}

// Text drawn in `colour` over the button face, smoothed or not: each channel
// lies the same share of the way from the background to the colour, and the
// share is large enough to be part of a stroke.
bool IsTextPixel(COLORREF pixel, COLORREF colour)
{
    const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    const int p[3] = {GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)};
    const int c[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    const int b[3] = {GetRValue(background), GetGValue(background), GetBValue(background)};
    int widest = 0;
    for (int i = 1; i < 3; ++i)
    {
        if (std::abs(c[i] - b[i]) > std::abs(c[widest] - b[widest]))
            widest = i;
    }
    const double share = double(p[widest] - b[widest]) / (c[widest] - b[widest]);
    if (share < 0.3 || share > 1.02)
        return false;
    for (int i = 0; i < 3; ++i)
    {
        if (std::abs(p[i] - (b[i] + share * (c[i] - b[i]))) > 4.0)
            return false;
    }
    return true;
}

long CountTextPixels(const std::vector<COLORREF>& pixels, COLORREF colour)
{
    return static_cast<long>(
        std::count_if(pixels.begin(), pixels.end(), [&](COLORREF pixel) { return IsTextPixel(pixel, colour); }));
}

CRect ScreenRect(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, rect);
    return rect;
}

CRect RectInParent(HWND window)
{
    CRect rect = ScreenRect(window);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<LPPOINT>(&rect), 2);
    return rect;
}

// The borders' share of a window's size.
CSize Borders(HWND window)
{
    CRect client;
    ::GetClientRect(window, client);
    const CRect outer = ScreenRect(window);
    return CSize(outer.Width() - client.Width(), outer.Height() - client.Height());
}

LOGFONTA LogFontOf(HGDIOBJ font)
{
    LOGFONTA logFont = {};
    ::GetObjectA(font, sizeof logFont, &logFont);
    return logFont;
}

// The text's size in the given font with underlining, as measured here.
CSize UnderlinedExtent(HWND window, HGDIOBJ model, const std::string& text)
{
    HDC dc = ::GetDC(window);
    HFONT underline = nullptr;
    HGDIOBJ previous = nullptr;
    if (model != nullptr)
    {
        LOGFONTA logFont = LogFontOf(model);
        logFont.lfUnderline = 1;
        underline = ::CreateFontIndirectA(&logFont);
        previous = ::SelectObject(dc, underline);
    }
    SIZE size = {};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (previous != nullptr)
        ::SelectObject(dc, previous);
    ::ReleaseDC(window, dc);
    if (underline != nullptr)
        ::DeleteObject(underline);
    return CSize(size);
}

// The same font but for underlining.
bool SameFace(const LOGFONTA& a, const LOGFONTA& b)
{
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfWeight == b.lfWeight
        && a.lfItalic == b.lfItalic && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet
        && a.lfPitchAndFamily == b.lfPitchAndFamily && std::strcmp(a.lfFaceName, b.lfFaceName) == 0;
}

HGDIOBJ FontOf(HWND window)
{
    return reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0));
}

std::string TextOf(HWND window)
{
    char text[512] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

struct ToolTipSearch
{
    HWND tool;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectToolTips(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ToolTipSearch*>(lParam);
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = search->tool;
    info.uId = 1;
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0
        && ::SendMessageA(window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)))
        search->found.push_back(window);
    return TRUE;
}

// The tooltips that have a tool with ID 1 on the label.
std::vector<HWND> ToolTipsOf(HWND label)
{
    ToolTipSearch search{label, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectToolTips, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TipText(HWND label)
{
    const std::vector<HWND> tips = ToolTipsOf(label);
    if (tips.size() != 1)
        return "(" + std::to_string(tips.size()) + " tooltips)";
    char text[512] = {};
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = label;
    info.uId = 1;
    info.lpszText = text;
    ::SendMessageA(tips[0], TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
    return text;
}

class HyperLinkLabelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_seen = &m_seen;
        m_seen.sentHook = ::SetWindowsHookExA(WH_CALLWNDPROC, SentHook, nullptr, ::GetCurrentThreadId());
        m_seen.postedHook = ::SetWindowsHookExA(WH_GETMESSAGE, PostedHook, nullptr, ::GetCurrentThreadId());

        HyperLinkLabelApi label;
        label.messageBeep = RecordBeep;
        label.loadCursor = LoadCursorSeen;
        label.destroyCursor = RecordDestroyCursor;
        label.getStockObject = StockObjectSeen;
        m_previousLabelApi = SetHyperLinkLabelApi(label);

        UrlLauncherApi launcher;
        launcher.shellExecute = RecordShellExecute;
        launcher.regOpenKeyEx = NoRegistryKey;
        launcher.winExec = RefuseWinExec;
        m_previousLauncherApi = SetUrlLauncherApi(launcher);
    }

    void TearDown() override
    {
        if (m_dialog.GetSafeHwnd() != nullptr)
            m_dialog.DestroyWindow();
        Pump(50);
        ::UnhookWindowsHookEx(m_seen.sentHook);
        ::UnhookWindowsHookEx(m_seen.postedHook);
        SetUrlLauncherApi(m_previousLauncherApi);
        SetHyperLinkLabelApi(m_previousLabelApi);
        g_seen = nullptr;
    }

    void OpenDialog(const DialogTemplate& dialogTemplate, CHyperLinkLabel* bound = nullptr)
    {
        m_dialog.m_bound = bound;
        ASSERT_TRUE(m_dialog.CreateIndirect(dialogTemplate.Get()));
        ::SetWindowPos(m_dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_dialog);
        MovePointer(kParking); // only once a window of the program exists
        Pump(200);
    }

    HWND Item(int id) const { return ::GetDlgItem(m_dialog.GetSafeHwnd(), id); }

    // Messages go through the label's pre-translation, as in a modal loop.
    void Pump(DWORD milliseconds)
    {
        PumpUntil([] { return false; }, milliseconds);
    }

    bool PumpUntil(const std::function<bool()>& done, DWORD timeout)
    {
        const DWORD start = ::GetTickCount();
        for (;;)
        {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                if (!CWnd::WalkPreTranslateTree(m_dialog.GetSafeHwnd(), &msg))
                {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
            }
            if (done())
                return true;
            if (::GetTickCount() - start >= timeout)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }

    static void MovePointer(POINT to)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        const int width = ::GetSystemMetrics(SM_CXSCREEN);
        const int height = ::GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = (to.x * 65536 + width - 1) / width;
        input.mi.dy = (to.y * 65536 + height - 1) / height;
        ::SendInput(1, &input, sizeof input);
    }

    // The pointer moves like a hand: in small steps, each one seen.
    void Glide(POINT to)
    {
        POINT from;
        ::GetCursorPos(&from);
        const int steps = std::max(1L, std::max(std::labs(to.x - from.x), std::labs(to.y - from.y)) / 6);
        for (int i = 1; i <= steps; ++i)
        {
            MovePointer({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
            Pump(8);
        }
        ASSERT_TRUE(PumpUntil(
            [&] {
                POINT now;
                ::GetCursorPos(&now);
                return now.x == to.x && now.y == to.y;
            },
            1000));
        Pump(30);
    }

    // A click of its own, never the second half of a double-click (the
    // static class takes double-clicks).
    void Click()
    {
        const DWORD apart = ::GetDoubleClickTime() + 50;
        const DWORD since = ::GetTickCount() - m_lastClick;
        if (since < apart)
            Pump(apart - since);
        INPUT input[2] = {};
        input[0].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].type = INPUT_MOUSE;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        ::SendInput(2, input, sizeof(INPUT));
        m_lastClick = ::GetTickCount();
        Pump(100);
    }

    // A point on the label's text, near its top so that the tooltip, which
    // opens below the pointer, leaves the label uncovered.
    static POINT OnLabel(HWND label)
    {
        const CRect rect = ScreenRect(label);
        return {rect.left + rect.Width() / 3, rect.top + 2};
    }

    // A point of the dialog to the right of the label, in the same row.
    static POINT BesideLabel(HWND label)
    {
        const CRect rect = ScreenRect(label);
        return {rect.right + 40, rect.top + 2};
    }

    int FontsSentTo(HWND window) const
    {
        return static_cast<int>(std::count_if(m_seen.fonts.begin(), m_seen.fonts.end(),
                                              [&](const FontEvent& e) { return e.window == window; }));
    }

    // Ticks of the label's timer.
    long TicksOf(HWND window) const
    {
        return static_cast<long>(std::count_if(m_seen.timers.begin(), m_seen.timers.end(), [&](const TimerEvent& e) {
            return e.window == window && e.id == 100;
        }));
    }

    HFONT LastFontSentTo(HWND window) const
    {
        for (auto e = m_seen.fonts.rbegin(); e != m_seen.fonts.rend(); ++e)
        {
            if (e->window == window)
                return e->font;
        }
        return nullptr;
    }

    // Which of the three colours the label's text shows now.
    static std::string ShownColour(HWND label)
    {
        const std::vector<COLORREF> pixels = CaptureWindow(label);
        std::string shown;
        for (const auto& named : {std::make_pair(kLink, "link"), std::make_pair(kHover, "hover"),
                                  std::make_pair(kVisited, "visited")})
        {
            if (CountTextPixels(pixels, named.first) >= 5)
                shown += std::string(shown.empty() ? "" : " ") + named.second;
        }
        return shown.empty() ? "none" : shown;
    }

    static constexpr POINT kParking = {5, 700};

    Observed m_seen;
    DWORD m_lastClick = 0;
    CLabelTestDlg m_dialog;
    HyperLinkLabelApi m_previousLabelApi;
    UrlLauncherApi m_previousLauncherApi;
};

// ---------------------------------------------------------------------------

TEST_F(HyperLinkLabelTest, AttachingMakesTheStaticALinkFittedToItsText)
{
    OpenDialog(StandardTemplate());
    const HWND control = Item(kLeftId);
    const CRect before = RectInParent(control);
    const HGDIOBJ dialogFont = FontOf(control);
    ASSERT_NE(dialogFont, nullptr);
    const CSize text = UnderlinedExtent(control, dialogFont, kLeftText);
    ASSERT_GT(before.Width(), text.cx + 10) << "the template leaves room to shrink";

    CHyperLinkLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(kLeftId, &m_dialog));

    EXPECT_TRUE(::GetWindowLongA(control, GWL_STYLE) & SS_NOTIFY);
    EXPECT_EQ(label.GetRuntimeClass(), RUNTIME_CLASS(CStatic));
    EXPECT_EQ(TextOf(control), kLeftText);
    EXPECT_EQ(TipText(control), kLeftText) << "the text is the URL while none is given";
    EXPECT_EQ(FontOf(control), dialogFont) << "the dialog's font until the pointer enters";
    EXPECT_EQ(RectInParent(control), CRect(before.TopLeft(), text));

    // The tool covers the fitted client area.
    const std::vector<HWND> tips = ToolTipsOf(control);
    ASSERT_EQ(tips.size(), 1u);
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = control;
    info.uId = 1;
    ASSERT_TRUE(::SendMessageA(tips[0], TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)));
    CRect client;
    ::GetClientRect(control, client);
    EXPECT_EQ(CRect(info.rect), client);
}

TEST_F(HyperLinkLabelTest, FittingKeepsTheEdgeOrMiddleOfEachAlignment)
{
    OpenDialog(StandardTemplate());
    const HGDIOBJ font = FontOf(Item(kLeftId));

    struct Case
    {
        int id;
        const char* text;
        int widthChange;  // the static's width before attaching, against its fitted width
        int heightChange; // the same for the height
    };
    const Case cases[] = {
        {kCentreId, "Centred link", 31, 4},   // shrinks about the middle, odd difference
        {kCentreId, "Centred link", -17, 0},  // grows about the middle, odd difference
        {kCentreId, "Centred link", 40, 0},
        {kRightId, "Right link", 55, 3},
        {kMiddleId, "Middle link", 25, 9},    // SS_CENTERIMAGE, odd difference
        {kMiddleId, "Middle link", 25, 10},
        {kMiddleId, "Middle link", 25, -7},   // grows vertically
        {kLeftId, kLeftText, 60, 5},
        {kBorderedId, "Bordered link", 30, 6},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.widthChange) + " "
                     + std::to_string(c.heightChange));
        const HWND control = Item(c.id);
        const CSize text = UnderlinedExtent(control, font, c.text);
        const CSize borders = Borders(control);
        const CSize fitted(text.cx + borders.cx, text.cy + borders.cy);
        const CRect start = RectInParent(control);
        ::SetWindowPos(control, nullptr, start.left, start.top, fitted.cx + c.widthChange,
                       fitted.cy + c.heightChange, SWP_NOZORDER);
        const CRect before = RectInParent(control);

        CHyperLinkLabel label;
        ASSERT_TRUE(label.SubclassDlgItem(c.id, &m_dialog));
        const CRect after = RectInParent(control);

        // Each side gives up (or gains) half the difference, the half cut
        // toward zero; an odd difference leaves one pixel over.
        const int halfWidth = c.widthChange / 2;
        const int halfHeight = c.heightChange / 2;
        const DWORD style = ::GetWindowLongA(control, GWL_STYLE);
        if (style & SS_CENTER)
            EXPECT_EQ(after, CRect(before.left + halfWidth, after.top, before.right - halfWidth, after.bottom));
        else if (style & SS_RIGHT)
            EXPECT_EQ(after, CRect(before.right - fitted.cx, after.top, before.right, after.bottom));
        else
            EXPECT_EQ(after, CRect(before.left, after.top, before.left + fitted.cx, after.bottom));
        if (style & SS_CENTERIMAGE)
            EXPECT_EQ(after, CRect(after.left, before.top + halfHeight, after.right, before.bottom - halfHeight));
        else
            EXPECT_EQ(after, CRect(after.left, before.top, after.right, before.top + fitted.cy));

        EXPECT_LE(std::abs(after.Width() - fitted.cx), 1);
        EXPECT_LE(std::abs(after.Height() - fitted.cy), 1);
        label.UnsubclassWindow();
    }
}

TEST_F(HyperLinkLabelTest, UrlAndTextStandInForEachOther)
{
    OpenDialog(StandardTemplate());
    const HGDIOBJ font = FontOf(Item(kLeftId));
    const std::string url = "mailto:orvane-dev@example.org";

    // An empty static given a URL shows the URL, fitted to it.
    const HWND empty = Item(kEmptyId);
    const CRect emptyBefore = RectInParent(empty);
    CHyperLinkLabel withUrl;
    withUrl.SetURL(url.c_str());
    ASSERT_TRUE(withUrl.SubclassDlgItem(kEmptyId, &m_dialog));
    EXPECT_EQ(TextOf(empty), url);
    EXPECT_EQ(TipText(empty), url);
    EXPECT_EQ(RectInParent(empty), CRect(emptyBefore.TopLeft(), UnderlinedExtent(empty, font, url)));

    // With neither text nor URL it stays empty, and as narrow as its text.
    const HWND blank = Item(kBlankId);
    CHyperLinkLabel neither;
    ASSERT_TRUE(neither.SubclassDlgItem(kBlankId, &m_dialog));
    EXPECT_EQ(TextOf(blank), "");
    EXPECT_EQ(TipText(blank), "");
    EXPECT_EQ(RectInParent(blank).Width(), 0);

    // A URL given before attaching keeps the text and goes into the tooltip.
    const HWND left = Item(kLeftId);
    CHyperLinkLabel early;
    early.SetURL(url.c_str());
    ASSERT_TRUE(early.SubclassDlgItem(kLeftId, &m_dialog));
    EXPECT_EQ(TextOf(left), kLeftText);
    EXPECT_EQ(TipText(left), url);
}

TEST_F(HyperLinkLabelTest, SetUrlRefitsTheWindowAndChangesTheTooltip)
{
    OpenDialog(StandardTemplate());
    const HWND control = Item(kLeftId);
    CHyperLinkLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(kLeftId, &m_dialog));
    const CRect fitted = RectInParent(control);

    ::SetWindowPos(control, nullptr, fitted.left, fitted.top, fitted.Width() + 50, fitted.Height() + 7,
                   SWP_NOZORDER);
    ASSERT_NE(RectInParent(control), fitted);
    label.SetURL("mailto:somebody-else@example.org");
    EXPECT_EQ(RectInParent(control), fitted);
    EXPECT_EQ(TextOf(control), kLeftText);
    EXPECT_EQ(TipText(control), "mailto:somebody-else@example.org");
    EXPECT_EQ(ToolTipsOf(control).size(), 1u);
}

TEST_F(HyperLinkLabelTest, ColoursFollowTheStateOnTheScreen)
{
    CHyperLinkLabel label;
    OpenDialog(StandardTemplate(), &label); // attached by data exchange, as on the About box
    const HWND control = label.GetSafeHwnd();
    ASSERT_EQ(control, Item(kLeftId));
    label.SetURL("mailto:orvane-dev@example.org");
    Pump(50);

    EXPECT_EQ(ShownColour(control), "link");
    // The label erases its own background with the button face; the dialog
    // around it is white.
    const std::vector<COLORREF> pixels = CaptureWindow(control);
    EXPECT_GT(CountColour(pixels, ::GetSysColor(COLOR_BTNFACE)), static_cast<long>(pixels.size() / 2));
    EXPECT_EQ(CountColour(pixels, RGB(255, 255, 255)), 0);

    Glide(OnLabel(control));
    EXPECT_EQ(ShownColour(control), "hover");
    EXPECT_EQ(LogFontOf(FontOf(control)).lfUnderline, 1);

    Glide(BesideLabel(control));
    Pump(150);
    EXPECT_EQ(ShownColour(control), "link");
    EXPECT_EQ(LogFontOf(FontOf(control)).lfUnderline, 0);

    // A successful launch turns the text purple at once, pointer or not.
    Glide(OnLabel(control));
    ASSERT_EQ(ShownColour(control), "hover");
    Click();
    ASSERT_EQ(m_seen.launchedUrls.size(), 1u);
    EXPECT_EQ(ShownColour(control), "visited");
    EXPECT_EQ(LogFontOf(FontOf(control)).lfUnderline, 1) << "a click leaves the font alone";

    // The first movement makes it red again; leaving shows purple.
    Glide({OnLabel(control).x + 4, OnLabel(control).y + 1});
    EXPECT_EQ(ShownColour(control), "hover");
    Glide(BesideLabel(control));
    Pump(150);
    EXPECT_EQ(ShownColour(control), "visited");
    EXPECT_TRUE(m_seen.beeps.empty());
}

TEST_F(HyperLinkLabelTest, EachEntrySendsOneSetFontAndLeavingIsNoticedWithinOneTick)
{
    OpenDialog(StandardTemplate());
    CHyperLinkLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(kLeftId, &m_dialog));
    const HWND control = label.GetSafeHwnd();
    const LOGFONTA dialogFont = LogFontOf(FontOf(control));
    m_seen.fonts.clear();

    for (int entry = 1; entry <= 2; ++entry)
    {
        SCOPED_TRACE(entry);
        const POINT on = OnLabel(control);
        Glide(on);
        for (int step = 1; step <= 6; ++step)
            Glide({on.x + 3 * step, on.y + (step % 2)});
        ASSERT_EQ(FontsSentTo(control), 2 * entry - 1) << "once per entry, however much the pointer moves";
        EXPECT_EQ(LogFontOf(LastFontSentTo(control)).lfUnderline, 1);
        EXPECT_TRUE(SameFace(LogFontOf(LastFontSentTo(control)), dialogFont)) << "the dialog's font, underlined";

        // Ticks come while the pointer stays inside; the first one after it
        // left ends the hovering.
        const long ticksBefore = TicksOf(control);
        Pump(250);
        EXPECT_GE(TicksOf(control) - ticksBefore, 1);
        EXPECT_EQ(FontsSentTo(control), 2 * entry - 1);

        // From the label's last column, the next step is outside.
        const CRect rect = ScreenRect(control);
        Glide({rect.right - 1, on.y});
        ASSERT_EQ(FontsSentTo(control), 2 * entry - 1);
        Glide(BesideLabel(control));
        ASSERT_TRUE(PumpUntil([&] { return FontsSentTo(control) == 2 * entry; }, 1000));

        // The pointer left with the first of the mouse messages outside the
        // label that the thread saw last before the font went back.
        const FontEvent& leaving = *std::find_if(m_seen.fonts.rbegin(), m_seen.fonts.rend(),
                                                 [&](const FontEvent& e) { return e.window == control; });
        auto move = std::find_if(m_seen.moves.rbegin(), m_seen.moves.rend(),
                                 [&](const MoveEvent& e) { return e.sequence < leaving.sequence; });
        ASSERT_NE(move, m_seen.moves.rend());
        ASSERT_FALSE(rect.PtInRect(move->point));
        while (std::next(move) != m_seen.moves.rend() && !rect.PtInRect(std::next(move)->point))
            ++move;
        const auto ticks = std::count_if(m_seen.timers.begin(), m_seen.timers.end(), [&](const TimerEvent& e) {
            return e.window == control && e.id == 100 && e.sequence > move->sequence && e.sequence < leaving.sequence;
        });
        EXPECT_EQ(ticks, 1) << "noticed at the first tick";
        EXPECT_LE(leaving.time - move->time, 100u + 40u);

        EXPECT_NE(LastFontSentTo(control), FontOf(m_dialog));
        EXPECT_EQ(LogFontOf(LastFontSentTo(control)).lfUnderline, 0);
        EXPECT_TRUE(SameFace(LogFontOf(LastFontSentTo(control)), dialogFont)) << "a copy of the dialog's font";

        // The timer has stopped.
        const long ticksAfter = TicksOf(control);
        Pump(300);
        EXPECT_EQ(TicksOf(control), ticksAfter);
    }
}

TEST_F(HyperLinkLabelTest, TheTooltipShowsTheUrlThroughTheRelay)
{
    OpenDialog(StandardTemplate());
    CHyperLinkLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(kLeftId, &m_dialog));
    label.SetURL("mailto:orvane-dev@example.org");
    const std::vector<HWND> tips = ToolTipsOf(label.GetSafeHwnd());
    ASSERT_EQ(tips.size(), 1u);
    const HWND tip = tips[0];
    EXPECT_FALSE(::IsWindowVisible(tip));

    Glide(OnLabel(label.GetSafeHwnd()));
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(tip) != FALSE; }, 3000))
        << "the tooltip sees the pointer only through the label's relay";
    char text[256] = {};
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.lpszText = text;
    ASSERT_TRUE(::SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(info.uId, 1u);
    EXPECT_EQ(info.hwnd, label.GetSafeHwnd());
    EXPECT_STREQ(text, "mailto:orvane-dev@example.org");
}

TEST_F(HyperLinkLabelTest, AClickLaunchesTheUrlAndAFailureBeepsAndClearsVisited)
{
    OpenDialog(StandardTemplate());
    CHyperLinkLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(kLeftId, &m_dialog));
    const HWND control = label.GetSafeHwnd();
    label.SetURL("mailto:orvane-dev@example.org");

    Glide(OnLabel(control));
    Click();
    ASSERT_EQ(m_seen.launchedUrls, (std::vector<std::string>{"mailto:orvane-dev@example.org"}));
    EXPECT_EQ(m_seen.launchShows, (std::vector<INT>{SW_SHOW}));
    EXPECT_TRUE(m_seen.beeps.empty());
    Glide(BesideLabel(control));
    Pump(150);
    ASSERT_EQ(ShownColour(control), "visited");

    // The shell fails and no fallback exists: a beep, and no repaint; the
    // next repaint shows the link colour, the visited state gone.
    m_seen.shellResult = reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    Glide(OnLabel(control));
    ASSERT_EQ(ShownColour(control), "hover");
    m_seen.paints.clear();
    Click();
    EXPECT_EQ(m_seen.launchedUrls.size(), 2u);
    EXPECT_EQ(m_seen.beeps, (std::vector<UINT>{MB_ICONEXCLAMATION}));
    EXPECT_EQ(std::count(m_seen.paints.begin(), m_seen.paints.end(), control), 0);
    EXPECT_EQ(ShownColour(control), "hover");
    Glide(BesideLabel(control));
    Pump(150);
    EXPECT_EQ(ShownColour(control), "link");

    // A shell result above 32 only as an unsigned number is a failure here.
    m_seen.shellResult = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(-2));
    Glide(OnLabel(control));
    Click();
    EXPECT_EQ(m_seen.beeps.size(), 2u);
}

TEST_F(HyperLinkLabelTest, TheHandCursorIsSharedAndNeverDestroyed)
{
    OpenDialog(StandardTemplate());
    const HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    ASSERT_NE(hand, nullptr);
    {
        CHyperLinkLabel label;
        ASSERT_TRUE(label.SubclassDlgItem(kLeftId, &m_dialog));
        Glide(OnLabel(label.GetSafeHwnd()));
        EXPECT_EQ(::GetCursor(), hand);
    }
    EXPECT_TRUE(m_seen.destroyedCursors.empty());

    // Without a system hand cursor the help program's cursor is copied, and
    // that copy is the label's own; without either the label sets none.
    m_seen.handMissing = true;
    char path[MAX_PATH];
    ::GetWindowsDirectoryA(path, MAX_PATH);
    lstrcatA(path, "\\winhlp32.exe");
    HMODULE help = ::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const bool helpCursor = help != nullptr && ::FindResourceA(help, MAKEINTRESOURCEA(106), RT_GROUP_CURSOR) != nullptr;
    if (help != nullptr)
        ::FreeLibrary(help);

    Glide(kParking);
    HCURSOR shown = nullptr;
    {
        CHyperLinkLabel label;
        ASSERT_TRUE(label.SubclassDlgItem(kRightId, &m_dialog));
        ::SetCursor(nullptr);
        const LRESULT set = ::SendMessageA(label.GetSafeHwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label.GetSafeHwnd()),
                                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        shown = ::GetCursor();
        EXPECT_EQ(set != 0, helpCursor);
        EXPECT_EQ(shown != nullptr, helpCursor);
        EXPECT_NE(shown, hand);
    }
    if (helpCursor)
        EXPECT_EQ(m_seen.destroyedCursors, (std::vector<HCURSOR>{shown}));
    else
        EXPECT_TRUE(m_seen.destroyedCursors.empty());
}

TEST_F(HyperLinkLabelTest, AControlWithoutAFontTakesAStockFontOrNone)
{
    OpenDialog(StandardTemplate());
    struct Case
    {
        const char* what;
        std::set<int> missing;
        int model; // the stock font the label's fonts copy, or -1
    };
    const Case cases[] = {
        {"the GUI font", {}, DEFAULT_GUI_FONT},
        {"the variable ANSI font", {DEFAULT_GUI_FONT}, ANSI_VAR_FONT},
        {"no font at all", {DEFAULT_GUI_FONT, ANSI_VAR_FONT}, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        m_seen.missingStockObjects = c.missing;
        const HWND control = ::CreateWindowExA(0, "STATIC", "Fontless link", WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 270,
                                               300, 30, m_dialog, reinterpret_cast<HMENU>(kRuntimeId), nullptr, nullptr);
        ASSERT_NE(control, nullptr);
        ASSERT_EQ(FontOf(control), nullptr);
        const HGDIOBJ model = c.model >= 0 ? ::GetStockObject(c.model) : nullptr;
        const CSize text = UnderlinedExtent(control, model, "Fontless link");

        CHyperLinkLabel label;
        ASSERT_TRUE(label.SubclassWindow(control));
        EXPECT_EQ(RectInParent(control), CRect(20, 270, 20 + text.cx, 270 + text.cy));
        m_seen.fonts.clear();

        Glide(OnLabel(control));
        EXPECT_EQ(ShownColour(control), "hover");
        if (model != nullptr)
        {
            ASSERT_EQ(FontsSentTo(control), 1);
            EXPECT_EQ(LogFontOf(LastFontSentTo(control)).lfUnderline, 1);
            EXPECT_TRUE(SameFace(LogFontOf(LastFontSentTo(control)), LogFontOf(model)));
        }
        else
        {
            EXPECT_EQ(FontsSentTo(control), 0);
        }
        Glide(BesideLabel(control));
        Pump(200);
        EXPECT_EQ(ShownColour(control), "link");
        EXPECT_EQ(FontsSentTo(control), model != nullptr ? 2 : 0);
        label.DestroyWindow();
        EXPECT_FALSE(::IsWindow(control));
        Glide(kParking);
    }
}

} // namespace
