#include "afx_test_support.h"

#include <map>

namespace
{

std::string g_notes;

std::map<UINT_PTR, std::function<void()>>& Pending()
{
    static std::map<UINT_PTR, std::function<void()>> pending;
    return pending;
}

void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    const auto found = Pending().find(id);
    if (found == Pending().end())
        return;
    const auto action = std::move(found->second);
    Pending().erase(found);
    action();
}

} // namespace

void Note(const std::string& what)
{
    g_notes += (g_notes.empty() ? "" : " ") + what;
}

std::string TakeNotes()
{
    return std::exchange(g_notes, std::string());
}

UINT_PTR Later(UINT ms, std::function<void()> action)
{
    const UINT_PTR id = ::SetTimer(nullptr, 0, ms, Fire);
    Pending()[id] = std::move(action);
    return id;
}

void Cancel(UINT_PTR later)
{
    ::KillTimer(nullptr, later);
    Pending().erase(later);
}

void WhenIdle(std::function<void()> action)
{
    Later(10, [action] {
        MSG msg;
        if (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            WhenIdle(action);
        else
            Later(10, action); // the loop finds the queue empty meanwhile
    });
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

INT_PTR RunModal(CDialog& dialog)
{
    const UINT_PTR watchdog = Later(5000, [&dialog] { dialog.EndDialog(kHung); });
    const INT_PTR result = dialog.DoModal();
    Cancel(watchdog);
    return result;
}

void AfxTest::SetUp()
{
    AfxDeleteTempObjects();
    TakeNotes();
    m_windows = CWnd::PermanentCount();
    m_gdiHandles = CGdiObject::LiveHandles();
}

void AfxTest::TearDown()
{
    while (!Pending().empty())
        Cancel(Pending().begin()->first);
    Pump();
    AfxDeleteTempObjects();
    EXPECT_EQ(m_windows, CWnd::PermanentCount()) << "window objects left in the permanent map";
    EXPECT_EQ(m_gdiHandles, CGdiObject::LiveHandles()) << "GDI wrappers still holding handles";
}

BOOL CreatePlain(CWnd& wnd, CWnd* parent)
{
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
    return wnd.CreateEx(0, AfxRegisterWndClass(0), "plain", style, 0, 0, 120, 60,
                        parent ? parent->GetSafeHwnd() : nullptr, nullptr);
}

BEGIN_MESSAGE_MAP(CProbe, CWnd)
    ON_MESSAGE(WM_APP, &CProbe::OnApp)
END_MESSAGE_MAP()

BOOL CProbe::PreTranslateMessage(MSG* msg)
{
    if (msg->message != WM_KEYDOWN)
        return FALSE;
    Note(name);
    return swallow;
}

LRESULT CProbe::OnApp(WPARAM, LPARAM)
{
    Note(name + "-app");
    return 0;
}

void COwnerDrawn::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    Note("draw-" + std::to_string(drawItem->CtlID));
}

BEGIN_MESSAGE_MAP(CLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT(STN_CLICKED, &CLabel::OnClicked)
END_MESSAGE_MAP()

HBRUSH CLabel::CtlColor(CDC* dc, UINT ctlColor)
{
    Note("ctlcolor-" + std::to_string(ctlColor) + (dc && dc->m_hDC ? "" : "-nodc"));
    return Brush();
}

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_COMMAND(IDC_SINGLE, &CTestDlg::OnSingle)
    ON_COMMAND_RANGE(IDC_RANGE_FIRST, IDC_RANGE_LAST, &CTestDlg::OnRange)
    ON_CONTROL(STN_CLICKED, IDC_LABEL, &CTestDlg::OnLabelClicked)
    ON_CONTROL(STN_DBLCLK, IDC_LABEL, &CTestDlg::OnLabelDoubleClicked)
    ON_MESSAGE(WM_APP, &CTestDlg::OnApp)
    ON_MESSAGE(kRunInHandler, &CTestDlg::OnRunInHandler)
END_MESSAGE_MAP()

BOOL CTestDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (onInit)
        onInit(*this);
    return TRUE;
}

BOOL CTestDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN)
        Note("dialog");
    return CDialog::PreTranslateMessage(msg);
}

void CTestDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_EDIT, m_edit);
    DDX_Control(dx, IDC_OWNERDRAW, m_owner);
    DDX_Control(dx, IDC_LABEL, m_label);
    DDX_Text(dx, IDC_EDIT, m_text);
    DDX_Check(dx, IDC_CHECK, m_check);
}
