#include "app_test_support.h"

TEST_F(MainDlgTest, EachCellsTipNamesItsDataElementInTheCodePage)
{
    const CToolTipCtrl& tips = m_dlg.GetCellTips();
    EXPECT_EQ(128, tips.GetToolCount());
    const struct { int bit; const char* text; } samples[] = {
        {1, "1 第二位图 Secondary bitmap"}, {37, "37 检索参考号 Retrieval reference number"},
        {55, "55 IC卡数据域 Reserved for ISO use (ICC data)"}, {128, "128 报文鉴别码 Message authentication code"}};
    CString text;
    for (const auto& s : samples)
    {
        tips.GetText(text, m_dlg.GetCell(s.bit));
        EXPECT_EQ(s.text, text.str()) << s.bit;
    }
}

TEST_F(MainDlgTest, TheTipOfACellGoesWhenTheCellIsHidden)
{
    m_dlg.ShowSecondary(1);
    CHoverButton* cell = m_dlg.GetCell(70);
    CRect rect;
    cell->GetWindowRect(&rect);
    ::SetCursorPos(rect.CenterPoint().x, rect.CenterPoint().y);
    cell->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(15, 15)); // one move: each further one restarts the delay
    TOOLINFOA shown = {};
    for (const DWORD start = ::GetTickCount(); !m_dlg.GetCellTips().GetCurrentTool(shown) && ::GetTickCount() - start < 5000;)
        Pump(20);
    ASSERT_EQ(reinterpret_cast<UINT_PTR>(cell->GetSafeHwnd()), shown.uId) << "no tip within 5 s";
    m_dlg.ShowSecondary(0);
    EXPECT_FALSE(m_dlg.GetCellTips().GetCurrentTool(shown));
    EXPECT_FALSE(m_dlg.GetCellTips().IsWindowVisible());
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1); // off later dialogs
}
