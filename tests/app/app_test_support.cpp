#include "app_test_support.h"

// The tests run the dialog classes inside their own program, which needs the
// one application object the classes expect.
CWinApp theTestApp("Orvane");

void MainDlgTest::SetUp()
{
    ASSERT_TRUE(m_dlg.Create(IDD_ORVANE_DIALOG));
    m_dlg.ShowWindow(SW_SHOW);
    Pump();
}

void MainDlgTest::TearDown()
{
    m_dlg.DestroyWindow();
    Pump();
}

void MainDlgTest::Pump(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    do
    {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
                continue;
            if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        ::Sleep(1);
    } while (::GetTickCount() - start < ms);
}

void MainDlgTest::SetText(const char* text)
{
    ::SetDlgItemTextA(m_dlg.GetSafeHwnd(), IDC_HEX_EDIT, text);
}

std::string MainDlgTest::EditText() const
{
    CString text;
    m_dlg.GetDlgItem(IDC_HEX_EDIT)->GetWindowText(text);
    return text.str();
}

void MainDlgTest::Command(int id, int code)
{
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, code),
                      reinterpret_cast<LPARAM>(::GetDlgItem(m_dlg.GetSafeHwnd(), id)));
}

void MainDlgTest::ClickCell(int bit)
{
    CHoverButton* cell = m_dlg.GetCell(bit);
    cell->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
    cell->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
}

bool MainDlgTest::CellLit(int bit) const
{
    return m_dlg.GetCell(bit)->IsLit() != FALSE;
}

bool MainDlgTest::CellVisible(int bit) const
{
    return (m_dlg.GetCell(bit)->GetStyle() & WS_VISIBLE) != 0;
}

std::string MainDlgTest::ModelText() const
{
    CIsoBitmap copy = m_dlg.GetBitmapModel();
    return FormatHexForDisplay(copy.ToHex());
}

::testing::AssertionResult MainDlgTest::Consistent() const
{
    const CIsoBitmap& model = m_dlg.GetBitmapModel();
    bool clear = true;
    for (std::uint32_t bit = 1; bit <= 128; ++bit)
        clear = clear && !model.Test(bit);
    // "清空" leaves the text empty rather than showing the zeros.
    if (EditText() != ModelText() && !(EditText().empty() && clear))
        return ::testing::AssertionFailure() << "text \"" << EditText() << "\" but model \"" << ModelText() << "\"";
    const bool secondary = model.Test(1);
    for (int bit = 65; bit <= 128; ++bit)
    {
        if (CellVisible(bit) != secondary)
            return ::testing::AssertionFailure() << "cell " << bit << " visible=" << CellVisible(bit);
    }
    for (int bit = 1; bit <= (secondary ? 128 : 64); ++bit)
    {
        if (CellLit(bit) != model.Test(static_cast<std::uint32_t>(bit)))
            return ::testing::AssertionFailure() << "cell " << bit << " lit=" << CellLit(bit) << " bit="
                                                 << model.Test(static_cast<std::uint32_t>(bit));
    }
    return ::testing::AssertionSuccess();
}

void MainDlgTest::Run(const std::vector<Step>& steps)
{
    for (std::size_t i = 0; i < steps.size(); ++i)
    {
        const Step& s = steps[i];
        if (s.text)
            SetText(s.text);
        if (s.check >= 0)
            ::CheckDlgButton(m_dlg.GetSafeHwnd(), IDC_AUTO_FIRST, static_cast<UINT>(s.check));
        if (s.command >= kClick)
            ClickCell(s.command - kClick);
        else
            Command(s.command);
        SCOPED_TRACE(testing::Message() << "step " << i);
        EXPECT_EQ(s.display, EditText());
        std::vector<int> lit;
        for (int bit = 1; bit <= 128; ++bit)
        {
            if (CellLit(bit))
                lit.push_back(bit);
        }
        EXPECT_EQ(s.lit, lit);
        EXPECT_EQ(s.secondary, CellVisible(65));
        EXPECT_EQ(s.secondary, CellVisible(128));
        EXPECT_TRUE(CellVisible(64));
        EXPECT_TRUE(Consistent());
    }
}
