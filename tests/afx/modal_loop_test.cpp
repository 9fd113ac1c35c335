// The modal loop of CDialog::DoModal: how it ends, what it does to the owner
// and to the dialog, and the order in which messages are pre-translated.
#include "afx_test_support.h"

namespace
{

// A container child of the dialog holding an edit box; a key-down is posted
// to the edit box.
struct Nested
{
    CProbe container{"container"};
    CProbe inner{"inner"};

    void Create(CTestDlg& dlg, WPARAM key)
    {
        ASSERT_TRUE(CreatePlain(container, &dlg));
        ASSERT_TRUE(inner.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, container, nullptr));
        inner.PostMessage(WM_KEYDOWN, key, 1);
    }
};

} // namespace

using ModalLoop = AfxTest;

TEST_F(ModalLoop, EndDialogEndsTheLoopWithItsCodeAndTheWindowGoes)
{
    CTestDlg dlg;
    HWND window = nullptr;
    dlg.onInit = [&](CTestDlg& d) {
        window = d;
        Later(10, [&d] {
            EXPECT_TRUE(d.IsWindowVisible());
            d.EndDialog(1234);
        });
    };
    EXPECT_EQ(1234, RunModal(dlg));
    EXPECT_NE(nullptr, window);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(window));
    EXPECT_EQ(nullptr, dlg.m_edit.m_hWnd);

    dlg.onInit = [](CTestDlg& d) { Later(10, [&d] { d.EndDialog(IDOK); }); };
    EXPECT_EQ(IDOK, RunModal(dlg)) << "the same object runs again";
    EXPECT_EQ(2, dlg.m_edit.presubclassed);
}

TEST_F(ModalLoop, EndDialogDuringOnInitDialog)
{
    CTestDlg dlg;
    dlg.onInit = [](CTestDlg& d) { d.EndDialog(5); };
    EXPECT_EQ(5, RunModal(dlg));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST_F(ModalLoop, QuitEndsTheLoopAndStaysQueuedWithItsExitCode)
{
    CTestDlg dlg;
    dlg.onInit = [](CTestDlg&) { Later(10, [] { ::PostQuitMessage(7); }); };
    EXPECT_EQ(-1, RunModal(dlg));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(ModalLoop, OwnerIsDisabledWhileTheDialogRuns)
{
    CWnd owner;
    ASSERT_TRUE(CreatePlain(owner));
    CTestDlg dlg(&owner);
    BOOL enabledMeanwhile = TRUE;
    HWND ownerMeanwhile = nullptr;
    dlg.onInit = [&](CTestDlg& d) {
        Later(10, [&] {
            enabledMeanwhile = owner.IsWindowEnabled();
            ownerMeanwhile = ::GetWindow(d, GW_OWNER);
            d.EndDialog(IDOK);
        });
    };
    EXPECT_EQ(IDOK, RunModal(dlg));
    EXPECT_FALSE(enabledMeanwhile);
    EXPECT_EQ(owner.m_hWnd, ownerMeanwhile);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST_F(ModalLoop, TitleBarCloseEndsItWithCancel)
{
    CTestDlg dlg;
    dlg.onInit = [](CTestDlg& d) { Later(10, [&d] { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); }); };
    EXPECT_EQ(IDCANCEL, RunModal(dlg));
}

TEST_F(ModalLoop, DialogRunFromARunningOneIsOwnedByTheMainWindowAndTheOuterRunsOn)
{
    CTestDlg outer, inner;
    AfxGetApp()->m_pMainWnd = &outer;
    BOOL outerEnabledMeanwhile = TRUE;
    INT_PTR innerResult = 0;
    inner.onInit = [&](CTestDlg& d) {
        Later(10, [&] {
            outerEnabledMeanwhile = outer.IsWindowEnabled();
            d.EndDialog(2);
        });
    };
    outer.onInit = [&](CTestDlg& d) {
        Later(10, [&] {
            innerResult = RunModal(inner);
            Later(10, [&] { d.EndDialog(d.IsWindowEnabled() ? 1 : 0); });
        });
    };
    EXPECT_EQ(1, RunModal(outer));
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_FALSE(outerEnabledMeanwhile);
    EXPECT_EQ(2, innerResult);
}

TEST_F(ModalLoop, DialogRunFromAHandlerLeavesTheHandlersTemporaryWrappersAlone)
{
    using TempWindows = CTempHandleMap<CWnd, HWND>;
    CTestDlg outer, inner;
    inner.onInit = [](CTestDlg& d) { WhenIdle([&d] { d.EndDialog(IDOK); }); };
    outer.inHandler = [&](CTestDlg& d) {
        CWnd* check = d.GetDlgItem(IDC_CHECK); // a temporary wrapper, for this handler
        ASSERT_EQ(nullptr, CWnd::FromHandlePermanent(*check));
        EXPECT_EQ(IDOK, RunModal(inner));
        EXPECT_GE(TempWindows::Count(), 1u) << "the inner loop deleted the handler's wrapper";
        d.EndDialog(IDOK);
    };
    outer.onInit = [](CTestDlg& d) { d.PostMessage(kRunInHandler); };
    EXPECT_EQ(IDOK, RunModal(outer));
}

TEST_F(ModalLoop, KeysGoToTheTargetThenEachParentThenTheDialogKeys)
{
    CTestDlg dlg;
    Nested nested;
    dlg.onInit = [&](CTestDlg& d) { nested.Create(d, VK_ESCAPE); };
    EXPECT_EQ(IDCANCEL, RunModal(dlg));
    EXPECT_EQ("inner container dialog", TakeNotes());
}

TEST_F(ModalLoop, APreTranslateMessageOnTheWaySwallowsEscape)
{
    CTestDlg dlg;
    Nested nested;
    nested.container.swallow = true;
    dlg.onInit = [&](CTestDlg& d) {
        nested.Create(d, VK_ESCAPE);
        d.PostMessage(WM_COMMAND, IDOK); // queued behind the key
    };
    EXPECT_EQ(IDOK, RunModal(dlg));
    EXPECT_EQ("inner container", TakeNotes());
}

TEST_F(ModalLoop, EscapeInTheEditBoxClosesAPlainDialogWithCancel)
{
    CDialog dlg(IDD_TEST);
    Later(10, [&] { ::PostMessageA(::GetDlgItem(dlg, IDC_EDIT), WM_KEYDOWN, VK_ESCAPE, 1); });
    EXPECT_EQ(IDCANCEL, RunModal(dlg));
}
