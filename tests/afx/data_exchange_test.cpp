// Dialog data exchange: subclassing with DDX_Control, text and check state
// both ways.
#include "afx_test_support.h"

using DataExchange = AfxTest;

TEST_F(DataExchange, DdxControlSubclassesOnceAndMessagesThenReachTheObject)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    const HWND edit = ::GetDlgItem(dlg, IDC_EDIT);
    EXPECT_EQ(edit, dlg.m_edit.m_hWnd);
    EXPECT_EQ(&dlg.m_edit, CWnd::FromHandlePermanent(edit));
    dlg.UpdateData(FALSE);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(1, dlg.m_edit.presubclassed);
    ::SendMessageA(edit, WM_APP, 0, 0);
    EXPECT_EQ("edit-app", TakeNotes());
    ::SetWindowTextA(edit, "the control's own procedure still works");
    CString text;
    dlg.m_edit.GetWindowText(text);
    EXPECT_EQ("the control's own procedure still works", text);
}

TEST_F(DataExchange, UpdateDataMovesTextAndCheckBothWays)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST)); // OnInitDialog: UpdateData(FALSE)
    char text[32] = {};
    ::GetDlgItemTextA(dlg, IDC_EDIT, text, sizeof text);
    EXPECT_STREQ("hello", text);
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dlg, IDC_CHECK));

    ::SetDlgItemTextA(dlg, IDC_EDIT, "typed");
    ::CheckDlgButton(dlg, IDC_CHECK, BST_UNCHECKED);
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ("typed", dlg.m_text);
    EXPECT_EQ(BST_UNCHECKED, dlg.m_check);

    dlg.m_text = "set";
    dlg.m_check = BST_CHECKED;
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    ::GetDlgItemTextA(dlg, IDC_EDIT, text, sizeof text);
    EXPECT_STREQ("set", text);
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dlg, IDC_CHECK));
}
