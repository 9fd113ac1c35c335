#include "hyperlink_label.h"

#include "url_launcher.h"

namespace
{

constexpr UINT_PTR kToolId = 1;
constexpr UINT kTimerPeriod = 100;
constexpr WORD kHelpCursorId = 106;
constexpr COLORREF kSystemColour = 0xFFFFFFFF;

HyperLinkLabelApi g_api;

} // namespace

HyperLinkLabelApi SetHyperLinkLabelApi(const HyperLinkLabelApi& api)
{
    const HyperLinkLabelApi previous = g_api;
    g_api = api;
    return previous;
}

BEGIN_MESSAGE_MAP(CHyperLinkLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_CONTROL_REFLECT(STN_CLICKED, &CHyperLinkLabel::OnClicked)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CHyperLinkLabel::~CHyperLinkLabel()
{
    // Only the copied fallback is the label's own; the system's hand cursor
    // is shared by every window of the process.
    if (m_linkCursor != nullptr)
    {
        if (m_linkCursor != g_api.loadCursor(nullptr, IDC_HAND))
            g_api.destroyCursor(m_linkCursor);
        m_linkCursor = nullptr;
    }
    m_underlineFont.DeleteObject();
}

void CHyperLinkLabel::PreSubclassWindow()
{
    // A static reports clicks (and is hit by the pointer) only with SS_NOTIFY.
    ModifyStyle(0, SS_NOTIFY);

    if (m_url.IsEmpty())
        GetWindowText(m_url);
    CString text;
    GetWindowText(text);
    if (text.IsEmpty())
    {
        SetWindowText("");
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        SetWindowText(m_url);
    }

    CreateFonts();
    FitToText();
    LoadLinkCursor();

    CRect client;
    GetClientRect(client);
    m_toolTip.Create(this);
    m_toolTip.AddTool(this, m_url, client, kToolId);

    CStatic::PreSubclassWindow();
}

BOOL CHyperLinkLabel::DestroyWindow()
{
    if (m_hWnd != nullptr)
        KillTimer(m_timerId);
    return CStatic::DestroyWindow();
}

BOOL CHyperLinkLabel::PreTranslateMessage(MSG* msg)
{
    m_toolTip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

void CHyperLinkLabel::SetURL(CString url)
{
    m_url = url;
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return;
    FitToText();
    m_toolTip.UpdateTipText(m_url, this, kToolId);
}

void CHyperLinkLabel::CreateFonts()
{
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    if (font == nullptr)
        font = g_api.getStockObject(DEFAULT_GUI_FONT);
    if (font == nullptr)
        font = g_api.getStockObject(ANSI_VAR_FONT);
    // Without any font the label keeps drawing with whatever the control has.
    LOGFONTA logFont;
    if (font == nullptr || ::GetObjectA(font, sizeof logFont, &logFont) != sizeof logFont)
        return;

    // A label attached anew builds its fonts anew.
    m_standardFont.DeleteObject();
    m_underlineFont.DeleteObject();
    m_standardFont.CreateFontIndirect(&logFont);
    logFont.lfUnderline = 1;
    m_underlineFont.CreateFontIndirect(&logFont);
}

void CHyperLinkLabel::FitToText()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd))
        return;

    CRect window;
    GetWindowRect(window);
    CRect client;
    GetClientRect(client);
    ClientToScreen(client);
    if (CWnd* parent = GetParent())
    {
        parent->ScreenToClient(window);
        parent->ScreenToClient(client);
    }

    CString text;
    GetWindowText(text);
    CSize extent;
    {
        CClientDC dc(this); // gives the previous font back as it goes
        dc.SelectObject(&m_underlineFont);
        extent = dc.GetTextExtent(text);
    }

    // The borders keep their size.
    const int width = extent.cx + window.Width() - client.Width();
    const int height = extent.cy + window.Height() - client.Height();

    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE)
        window.InflateRect(0, -((window.Height() - height) / 2));
    else
        window.bottom = window.top + height;

    if (style & SS_CENTER)
        window.InflateRect(-((window.Width() - width) / 2), 0);
    else if (style & SS_RIGHT)
        window.left = window.right - width;
    else
        window.right = window.left + width;

    SetWindowPos(nullptr, window.left, window.top, window.Width(), window.Height(), SWP_NOZORDER);
}

void CHyperLinkLabel::LoadLinkCursor()
{
    if (m_linkCursor != nullptr)
        return;
    m_linkCursor = g_api.loadCursor(nullptr, IDC_HAND);
    if (m_linkCursor != nullptr)
        return;

    // Systems without a hand cursor have one in their help program.
    char path[MAX_PATH];
    const UINT length = ::GetWindowsDirectoryA(path, MAX_PATH);
    const char program[] = "\\winhlp32.exe";
    if (length == 0 || length + sizeof program > MAX_PATH)
        return;
    lstrcatA(path, program);
    HMODULE module = g_api.loadLibrary(path);
    if (module == nullptr)
        return;
    HCURSOR cursor = g_api.loadCursor(module, MAKEINTRESOURCEA(kHelpCursorId));
    if (cursor != nullptr)
        m_linkCursor = static_cast<HCURSOR>(::CopyIcon(cursor));
    g_api.freeLibrary(module);
}

HBRUSH CHyperLinkLabel::CtlColor(CDC* dc, UINT)
{
    if (m_hovering)
        dc->SetTextColor(m_hoverColour);
    else
        dc->SetTextColor(m_visited ? m_visitedColour : m_linkColour);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(g_api.getStockObject(NULL_BRUSH));
}

BOOL CHyperLinkLabel::OnSetCursor(CWnd*, UINT, UINT)
{
    if (m_linkCursor == nullptr)
        return FALSE;
    ::SetCursor(m_linkCursor);
    return TRUE;
}

void CHyperLinkLabel::OnMouseMove(UINT, CPoint)
{
    if (!m_hovering)
    {
        m_hovering = TRUE;
        if (m_underlineFont.GetSafeHandle() != nullptr)
            SetFont(&m_underlineFont, TRUE);
        Invalidate(TRUE);
        SetTimer(m_timerId, kTimerPeriod);
    }
    Default();
}

void CHyperLinkLabel::OnTimer(UINT_PTR)
{
    // The pointer's place when the tick was posted: leaving is noticed
    // within one timer period.
    const DWORD position = ::GetMessagePos();
    CPoint point(GET_X_LPARAM(position), GET_Y_LPARAM(position));
    ScreenToClient(&point);
    CRect client;
    GetClientRect(client);
    if (!client.PtInRect(point))
    {
        m_hovering = FALSE;
        KillTimer(m_timerId);
        if (m_standardFont.GetSafeHandle() != nullptr)
            SetFont(&m_standardFont, TRUE);
        client.bottom += 10;
        InvalidateRect(client, TRUE);
    }
    Default();
}

void CHyperLinkLabel::OnClicked()
{
    // The font stays underlined and the timer runs on: leaving is still noticed.
    m_hovering = FALSE;
    m_visited = OpenUrl(m_url, SW_SHOW) > 32;
    if (!m_visited)
    {
        g_api.messageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (::IsWindow(m_hWnd))
        Invalidate(TRUE);
}

BOOL CHyperLinkLabel::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(client);
    dc->FillSolidRect(client, m_backgroundColour == kSystemColour ? ::GetSysColor(COLOR_BTNFACE)
                                                                  : m_backgroundColour);
    return TRUE;
}
