// Message-map dispatch, message reflection and command routing to the
// application, on real windows.
#include "afx_test_support.h"

namespace
{

// The application object of the test program: ID_HELP reaches its map.
class CTestApp : public CWinApp
{
public:
    afx_msg void OnTestHelp() { Note("app-help"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, &CTestApp::OnTestHelp)
END_MESSAGE_MAP()

CTestApp theApp;

class CBaseWnd : public CWnd
{
public:
    afx_msg LRESULT OnFirst(WPARAM wParam, LPARAM) { Note("base-first"); return static_cast<LRESULT>(wParam); }
    afx_msg LRESULT OnSecond(WPARAM, LPARAM) { Note("base-second"); return 0; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_APP + 1, &CBaseWnd::OnFirst)
    ON_MESSAGE(WM_APP + 2, &CBaseWnd::OnSecond)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd
{
public:
    afx_msg LRESULT OnSecond(WPARAM, LPARAM) { Note("derived-second"); return 0; }
    afx_msg LRESULT OnSetText(WPARAM, LPARAM) { Note("settext"); return Default(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_APP + 2, &CDerivedWnd::OnSecond)
    ON_MESSAGE(WM_SETTEXT, &CDerivedWnd::OnSetText)
END_MESSAGE_MAP()

WPARAM Command(int id, int code) { return MAKEWPARAM(id, code); }

} // namespace

using MessageMap = AfxTest;
using Reflection = AfxTest;

TEST_F(MessageMap, OwnEntriesFirstThenTheBaseMapThenDefaultProcessing)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(CreatePlain(wnd));
    EXPECT_EQ(5, wnd.SendMessage(WM_APP + 1, 5));
    wnd.SendMessage(WM_APP + 2);
    EXPECT_EQ(0, wnd.SendMessage(WM_APP + 3, 1, 1));
    wnd.SetWindowText("kept by default processing");
    CString text;
    wnd.GetWindowText(text);
    EXPECT_EQ("kept by default processing", text);
    EXPECT_EQ("base-first derived-second settext", TakeNotes());
}

TEST_F(MessageMap, SingleAndRangeEntriesOnRealClicks)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    for (int id : {IDC_SINGLE, IDC_RANGE_FIRST, IDC_RANGE_FIRST + 1, IDC_RANGE_LAST})
        ::SendMessageA(::GetDlgItem(dlg, id), BM_CLICK, 0, 0);
    EXPECT_EQ("single range-1010 range-1011 range-1012", TakeNotes());
}

TEST_F(MessageMap, EntriesTakeOnlyNotificationCodeZero)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    for (int id : {IDC_SINGLE, IDC_RANGE_FIRST + 1})
        dlg.SendMessage(WM_COMMAND, Command(id, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
    dlg.SendMessage(WM_COMMAND, Command(IDC_RANGE_LAST + 1, BN_CLICKED));
    EXPECT_EQ("", TakeNotes());
    EXPECT_TRUE(::IsWindow(dlg));
}

TEST_F(MessageMap, OnMessagePassesAndReturnsTheRawValues)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    EXPECT_EQ(7, dlg.SendMessage(WM_APP, 3, 4));
}

TEST_F(MessageMap, CommandsTheDialogLeavesAloneGoToTheApplication)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    dlg.SendMessage(WM_COMMAND, Command(ID_HELP, 0));
    EXPECT_EQ("app-help", TakeNotes());
}

TEST_F(MessageMap, BaseDialogMapHandlesCancel)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    const HWND window = dlg;
    dlg.SendMessage(WM_COMMAND, Command(IDCANCEL, 0));
    EXPECT_FALSE(::IsWindow(window)) << "a modeless dialog's OnCancel destroys it";
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST_F(Reflection, DrawItemAndCtlColorOfARealPaintReachTheChildObjects)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    dlg.ShowWindow(SW_SHOWNA);
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const std::string notes = TakeNotes();
    EXPECT_TRUE(Contains(notes, "draw-1003")) << notes;
    EXPECT_TRUE(Contains(notes, "ctlcolor-6")) << notes;
}

TEST_F(Reflection, ParentAnswersCtlColorWithTheChildsBrush)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    CClientDC dc(&dlg.m_label);
    EXPECT_EQ(reinterpret_cast<LRESULT>(CLabel::Brush()),
              dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                              reinterpret_cast<LPARAM>(dlg.m_label.m_hWnd)));
    EXPECT_EQ("ctlcolor-6", TakeNotes());
}

TEST_F(Reflection, ReflectedNotificationStaysWithTheChildOthersReachTheParent)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    dlg.m_label.SendMessage(WM_LBUTTONDOWN);
    dlg.m_label.SendMessage(WM_LBUTTONUP);
    dlg.m_label.SendMessage(WM_LBUTTONDBLCLK);
    EXPECT_EQ("label-clicked parent-dblclk", TakeNotes());
}
