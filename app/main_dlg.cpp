#include "main_dlg.h"

#include "about_dlg.h"
#include "display_text.h"
#include "hover_button.h"
#include "resource.h"
#include "field_view.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{

const int kCellCount = 128;
const int kFirstSecondaryCell = 64; // index of the cell of bit 65
const DWORD kCellStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

// The grid as designed for 96 DPI (100 %), in pixels of the client area.
// Every length scales with the display on its own.
const int kDesignDpi = 96;
const int kCellSize = 30;
const int kGridLeft = 10;
const int kFirstRowTop = 61;
const int kColumnPitch = 30;
const int kByteGap = 5;          // more between the two bytes of a row
const int kRowPitch = 31;
const int kSecondaryGap = 4;     // more above the secondary bitmap's rows
const int kBelowControls = 4;    // the least room between the controls and the first row
const int kRightMargin = 7;      // room right of and below the grid
const int kBottomMargin = 12;
const int kCaptionHeight = 16;   // the system font's, in which the captions show at 100 %

// The cell strips drawn for the display scales, smallest first.
const struct
{
    int cellSize;
    UINT id;
} kStrips[] = {{30, IDB_CELLS}, {38, IDB_CELLS_125}, {45, IDB_CELLS_150}, {53, IDB_CELLS_175}, {60, IDB_CELLS_200}};

// The DPI of the monitor the window is on. GetDpiForWindow is Windows 10's:
// looked up at run time, so that the program still starts on Windows 7 and
// 8, where every window has the system's DPI.
int WindowDpi(CWnd* window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr)
    {
        if (const UINT dpi = getDpiForWindow(window->GetSafeHwnd()))
            return static_cast<int>(dpi);
    }
    CClientDC dc(window);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    return dpi > 0 ? dpi : kDesignDpi;
}

// The text is in the ANSI code page; its double-byte characters are dropped
// whole when the text is filtered.
bool IsAnsiLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}

// Converts UTF-8 to the ANSI code page through UTF-16; empty when some
// character has no place in the code page.
std::string Utf8ToAnsi(const std::string& utf8)
{
    const int wideLength = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], wideLength);
    BOOL lossy = FALSE;
    const int ansiLength = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (lossy || ansiLength <= 0)
        return std::string();
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], ansiLength, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(ansiLength - 1));
    return ansi;
}

// "37 检索参考号 Retrieval reference number · an 12", with the element's
// ISO 8583:1987 format; where the code page has no Chinese characters,
// "37 Retrieval reference number - an 12" rather than question marks.
CString CellTipText(int bit)
{
    const std::uint32_t n = static_cast<std::uint32_t>(bit);
    const message::MessageSpec& spec = *message::FindBuiltinSpec("iso87ascii");
    const std::string number = std::to_string(bit) + " ";
    const std::string format = message::DescribeFormat(*spec.FormatOf(n));
    const std::string english = message::FieldName(spec, message::Language::English, n);
    const std::string both = Utf8ToAnsi(number + message::FieldName(spec, message::Language::Chinese, n) + " " +
                                        english + " \xC2\xB7 " + format);
    return CString(both.empty() ? number + english + " - " + format : both);
}

} // namespace

BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BITMAP, &CMainDlg::OnBitmap)
    ON_BN_CLICKED(IDC_CLEAR, &CMainDlg::OnClear)
    ON_BN_CLICKED(IDC_EXIT, &CMainDlg::OnExit)
    ON_COMMAND_RANGE(IDC_FIRST_CELL, IDC_LAST_CELL, &CMainDlg::OnCellClicked)
    ON_MESSAGE(WM_DPICHANGED, &CMainDlg::OnDpiChanged)
END_MESSAGE_MAP()

CMainDlg::CMainDlg(CWnd* parent)
    : CDialog(IDD_ORVANE_DIALOG, parent), m_checkState(0), m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)),
      m_stripId(IDB_CELLS)
{
}

CMainDlg::~CMainDlg()
{
    for (INT_PTR i = 0; i < m_cells.GetSize(); ++i)
        delete static_cast<CHoverButton*>(m_cells[i]);
}

void CMainDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HEX_EDIT, m_edit);
    DDX_Text(dx, IDC_HEX_EDIT, m_text);
    DDX_Check(dx, IDC_AUTO_FIRST, m_checkState);
}

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE))
    {
        CString aboutMenu;
        aboutMenu.LoadString(IDS_ABOUTBOX);
        if (!aboutMenu.IsEmpty())
        {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    ScaleGrid(WindowDpi(this));
    CreateCells();
    GrowToHoldGrid();
    CreateCellTips();

    m_edit.SetFocus();
    return FALSE;
}

void CMainDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX)
    {
        CAboutDlg about;
        about.DoModal();
    }
    else
    {
        CDialog::OnSysCommand(id, lParam);
    }
}

void CMainDlg::OnPaint()
{
    if (!IsIconic())
    {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - iconWidth + 1) / 2;
    const int y = (client.Height() - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

BOOL CMainDlg::PreTranslateMessage(MSG* msg)
{
    RelayToCellTips(msg);
    // Enter must not press a button and Escape must not close the window.
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE))
        return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CMainDlg::OnExit()
{
    ::PostQuitMessage(0);
}

// ---- the grid of cells ----------------------------------------------------

void CMainDlg::CreateCells()
{
    m_bitmap.Clear();
    const CSize size = LoadCellStrip();

    CRect rects[kCellCount];
    CRect rect(0, 0, 0, 0);
    for (int i = 0; i < kCellCount; ++i)
    {
        GetCellRect(i, rect);
        rects[i] = CRect(rect.TopLeft(), size);
    }

    // A new child window goes to the bottom of its siblings. Created last to
    // first, the cells lie with cell 128 on top down to cell 1; the
    // template's controls then go below them in their own order. That is the
    // order the grid has always had: each cell lifted to the top once made.
    std::vector<HWND> controls;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        controls.push_back(child);

    m_cells.SetSize(kCellCount);
    {
        const CWndCreateHookHold hook;
        for (int i = kCellCount - 1; i >= 0; --i)
        {
            CHoverButton* cell = new CHoverButton;
            m_cells[i] = cell;
            CString caption;
            caption.Format("%d", i + 1);
            // The secondary cells start hidden, as ShowSecondary would leave them.
            const DWORD style = i < kFirstSecondaryCell ? kCellStyle : kCellStyle & ~WS_VISIBLE;
            cell->Create(caption, style, rects[i], this, IDC_FIRST_CELL + i);
            if (m_strip.IsLoaded())
                cell->SetStrip(&m_strip);
            cell->SetCaption(caption);
            if (CFont* font = CaptionFont())
                cell->SetFont(font, FALSE);
        }
    }
    for (HWND control : controls)
        ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CMainDlg::GetCellRect(int index, CRect& rect)
{
    if (index == 0)
    {
        rect.top = m_firstRowTop - Scale(kRowPitch);
        rect.left = Scale(kGridLeft);
    }
    if (index % 16 == 0)
    {
        // A row starts; the secondary bitmap's rows keep a wider gap above.
        rect.left = Scale(kGridLeft);
        rect.top += Scale(kRowPitch) + (index == kFirstSecondaryCell ? Scale(kSecondaryGap) : 0);
    }
    else
    {
        // The two bytes of a row sit further apart.
        rect.left += Scale(kColumnPitch) + (index % 8 == 0 ? Scale(kByteGap) : 0);
    }
}

int CMainDlg::Scale(int pixelsAt96) const
{
    return ::MulDiv(pixelsAt96, m_dpi, kDesignDpi);
}

void CMainDlg::ScaleGrid(int dpi)
{
    m_dpi = std::max(dpi, kDesignDpi); // Windows scales no lower than 100 %

    // The strip made for the scale. Between the scales that have strips,
    // and above 200 %, the largest that fits: crisp cells, a little smaller
    // than their places.
    m_cellSize = kStrips[0].cellSize;
    m_stripId = kStrips[0].id;
    for (const auto& strip : kStrips)
    {
        if (strip.cellSize <= Scale(kCellSize))
        {
            m_cellSize = strip.cellSize;
            m_stripId = strip.id;
        }
    }

    // The controls grow with the dialog's font, not exactly with the DPI:
    // the first row keeps clear of them.
    int controlsBottom = 0;
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        const int id = ::GetDlgCtrlID(child);
        if (id >= IDC_FIRST_CELL && id <= IDC_LAST_CELL)
            continue;
        CRect rect;
        ::GetWindowRect(child, &rect);
        ScreenToClient(&rect);
        controlsBottom = std::max(controlsBottom, static_cast<int>(rect.bottom));
    }
    m_firstRowTop = std::max(Scale(kFirstRowTop), controlsBottom + Scale(kBelowControls));

    m_captionFont.DeleteObject();
    if (m_dpi != kDesignDpi)
    {
        // Away from 100 % the captions take the bold face of the user
        // interface, as high for the cell as the design's system font is.
        NONCLIENTMETRICSA metrics = {};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        LOGFONTA font = metrics.lfMessageFont;
        font.lfHeight = ::MulDiv(kCaptionHeight, m_cellSize, kCellSize);
        font.lfWidth = 0;
        font.lfWeight = FW_BOLD;
        m_captionFont.CreateFontIndirect(&font);
    }
}

CSize CMainDlg::LoadCellStrip()
{
    m_strip.Load(m_stripId);
    // Without the strip a cell keeps the size it is created with.
    return m_strip.IsLoaded() ? m_strip.GetCellSize() : CSize(m_cellSize, m_cellSize);
}

CFont* CMainDlg::CaptionFont()
{
    return m_captionFont.GetSafeHandle() != nullptr ? &m_captionFont : nullptr;
}

void CMainDlg::LayOutCells()
{
    // The cells show the one strip, reloaded for the scale, at its size.
    const CSize size = LoadCellStrip();
    CRect rect(0, 0, 0, 0);
    for (int i = 0; i < m_cells.GetSize(); ++i)
    {
        CHoverButton* cell = static_cast<CHoverButton*>(m_cells[i]);
        GetCellRect(i, rect);
        if (m_strip.IsLoaded())
            cell->SetStrip(&m_strip);
        cell->SetWindowPos(nullptr, rect.left, rect.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        cell->SetFont(CaptionFont(), FALSE);
    }
}

void CMainDlg::GrowToHoldGrid()
{
    CRect last(0, 0, 0, 0);
    for (int i = 0; i < kCellCount; ++i)
        GetCellRect(i, last);
    CRect client;
    GetClientRect(&client);
    const int wider = last.left + m_cellSize + Scale(kRightMargin) - client.right;
    const int taller = last.top + m_cellSize + Scale(kBottomMargin) - client.bottom;
    if (wider <= 0 && taller <= 0)
        return;
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, window.Width() + std::max(wider, 0), window.Height() + std::max(taller, 0),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CMainDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    // Per-monitor v2 dialogs have their controls and fonts scaled by the
    // default handling; the cells are the program's own to lay out.
    Default();
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);

    // The cells' tooltip shows in the dialog's font, which the default handling may have replaced.
    if (m_cellTips.GetSafeHwnd() != nullptr)
        m_cellTips.SetFont(GetFont(), FALSE);

    CFont previous; // the cells keep drawing with it until they have the new one
    previous.Attach(m_captionFont.Detach());
    ScaleGrid(HIWORD(wParam));
    LayOutCells();
    GrowToHoldGrid();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 0;
}

// Cells already in the state asked for are left alone: showing, hiding or
// repainting them again would change nothing on the screen.
void CMainDlg::ShowSecondary(int flag)
{
    const bool show = flag == 1;
    for (int i = kFirstSecondaryCell; i < kCellCount; ++i)
    {
        CHoverButton* cell = static_cast<CHoverButton*>(m_cells[i]);
        if (((cell->GetStyle() & WS_VISIBLE) != 0) != show)
            cell->ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
    HideTipOfHiddenCell();
}

void CMainDlg::LightCell(int index, bool lit)
{
    CHoverButton* cell = static_cast<CHoverButton*>(m_cells[index]);
    if ((cell->IsLit() != FALSE) != lit)
        cell->SetLit(lit ? 1 : 0);
}

void CMainDlg::ResetAllCells()
{
    for (int i = 0; i < kCellCount; ++i)
        LightCell(i, false);
}

void CMainDlg::ResetSecondaryCells()
{
    for (int i = kFirstSecondaryCell; i < kCellCount; ++i)
        LightCell(i, false);
}

void CMainDlg::LightSecondaryCells()
{
    for (int i = kFirstSecondaryCell; i < kCellCount; ++i)
        LightCell(i, m_bitmap.Test(static_cast<std::uint32_t>(i + 1)));
}

CHoverButton* CMainDlg::GetCell(int bit) const
{
    return bit >= 1 && bit <= m_cells.GetSize() ? static_cast<CHoverButton*>(m_cells[bit - 1]) : nullptr;
}

// ---- the cells' tooltip ------------------------------------------------------

void CMainDlg::CreateCellTips()
{
    m_cellTips.Create(this, TTS_ALWAYSTIP | TTS_NOPREFIX);
    m_cellTips.SetFont(GetFont(), FALSE);
    // TTF_CENTERTIP puts the tip below its cell (above it at the bottom of
    // the screen), never over it.
    for (int bit = 1; bit <= kCellCount; ++bit)
        m_cellTips.AddTool(GetCell(bit), CellTipText(bit), nullptr, 0, TTF_CENTERTIP);
}

void CMainDlg::RelayToCellTips(MSG* msg)
{
    if (msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST || m_cellTips.GetSafeHwnd() == nullptr)
        return;
    if (msg->hwnd == m_tiplessCell)
        return;
    m_tiplessCell = nullptr;
    m_cellTips.RelayEvent(msg);
    const int id = ::GetDlgCtrlID(msg->hwnd);
    const bool onCell = ::GetParent(msg->hwnd) == m_hWnd && id >= IDC_FIRST_CELL && id <= IDC_LAST_CELL;
    if (onCell && (msg->message == WM_LBUTTONDOWN || msg->message == WM_LBUTTONDBLCLK))
    {
        // The press hid the tip; one still waiting for its delay would come up
        // during the press all the same, unless the pointer seems to leave
        // every tool.
        MSG away = *msg;
        away.hwnd = m_hWnd;
        away.message = WM_MOUSEMOVE;
        away.wParam = 0;
        away.lParam = 0;
        m_cellTips.RelayEvent(&away);
        m_tiplessCell = msg->hwnd;
    }
}

void CMainDlg::HideTipOfHiddenCell()
{
    TOOLINFOA shown = {};
    if (m_cellTips.GetCurrentTool(shown) && !::IsWindowVisible(reinterpret_cast<HWND>(shown.uId)))
        m_cellTips.Pop();
}

// ---- the commands -----------------------------------------------------------

void CMainDlg::OnBitmap()
{
    UpdateData(TRUE);
    if (m_text.IsEmpty())
    {
        MessageBox("位图串为空，请正确输入", "参数错误", MB_ICONSTOP);
        m_edit.SetFocus();
        return;
    }

    m_bitmap.Clear();
    m_bitmap.FromHex(m_text.str(), m_checkState == 1, IsAnsiLeadByte);

    // Every cell ends unlit but for the set bits below the bit count. Cells
    // change while hidden where they can, so that only what shows repaints.
    const bool secondary = m_bitmap.Test(1);
    if (!secondary)
        ShowSecondary(0);
    for (int i = 0; i < kCellCount; ++i)
        LightCell(i, i < m_bitmap.BitCount() && m_bitmap.Test(static_cast<std::uint32_t>(i + 1)));
    if (secondary)
        ShowSecondary(1);

    m_text = FormatHexForDisplay(CString(m_bitmap.ToHex()));
    UpdateData(FALSE);
}

void CMainDlg::OnCellClicked(UINT id)
{
    const std::uint32_t bit = id - (IDC_FIRST_CELL - 1);
    if (m_bitmap.Test(bit))
        m_bitmap.Reset(bit);
    else
        m_bitmap.Set(bit);

    if (m_bitmap.Test(1))
    {
        // Bits 65..128 may have been loaded while bit 1 was clear: their cells
        // come into view showing them.
        if (bit == 1)
            LightSecondaryCells();
        ShowSecondary(1);
    }
    else
    {
        ShowSecondary(0);
        ResetSecondaryCells();
    }

    m_text = FormatHexForDisplay(CString(m_bitmap.ToHex()));
    UpdateData(FALSE);
}

void CMainDlg::OnClear()
{
    m_text = "";
    m_bitmap.Clear();
    ShowSecondary(0);
    ResetAllCells();
    UpdateData(FALSE);
    m_edit.SetFocus();
}

CString CMainDlg::FormatHexForDisplay(CString hex)
{
    return ::FormatHexForDisplay(hex.str());
}
