// Dialogs on real windows: message-map dispatch and reflection, data
// exchange, the modal loop and the order in which it pre-translates keys.
#include "afx_test_support.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

namespace
{

// What the test windows' handlers did, in order, as words separated by spaces.
std::string g_notes;
void Note(const std::string& what) { g_notes += (g_notes.empty() ? "" : " ") + what; }
std::string TakeNotes() { return std::exchange(g_notes, std::string()); }

// Runs `action` once from whatever loop pumps after `ms` milliseconds (a
// thread timer), so that modal loops run for real.
std::map<UINT_PTR, std::function<void()>> g_later;
UINT_PTR Later(UINT ms, std::function<void()> action)
{
    const UINT_PTR id = ::SetTimer(nullptr, 0, ms, [](HWND, UINT, UINT_PTR fired, DWORD) {
        ::KillTimer(nullptr, fired);
        const auto run = std::move(g_later[fired]);
        g_later.erase(fired);
        if (run)
            run();
    });
    g_later[id] = std::move(action);
    return id;
}

// DoModal with a watchdog: a dialog still running after 5 s ends with -99.
INT_PTR RunModal(CDialog& dialog)
{
    const UINT_PTR watchdog = Later(5000, [&dialog] { dialog.EndDialog(-99); });
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, watchdog);
    g_later.erase(watchdog);
    return result;
}

CWinApp theApp; // AfxGetApp(), whose main window owns a dialog without a parent

// Notes its name for every key-down offered to its PreTranslateMessage (and
// swallows it if told to), counts PreSubclassWindow calls, notes WM_APP.
class CProbe : public CWnd
{
public:
    explicit CProbe(std::string name, bool swallow = false) : name(std::move(name)), swallow(swallow) {}
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            Note(name);
        return msg->message == WM_KEYDOWN && swallow;
    }
    void PreSubclassWindow() override { ++presubclassed; }
    afx_msg LRESULT OnApp(WPARAM, LPARAM) { return Note(name + "-app"), 0; }

    std::string name;
    bool swallow;
    int presubclassed = 0;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbe, CWnd)
    ON_MESSAGE(WM_APP, &CProbe::OnApp)
END_MESSAGE_MAP()

class COwnerDrawn : public CButton
{
public:
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override { Note("draw-" + std::to_string(drawItem->CtlID)); }
};

// Handles its own colours and clicks by reflection.
class CLabel : public CStatic
{
public:
    afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor)
    {
        Note("ctlcolor-" + std::to_string(ctlColor) + (dc && dc->m_hDC ? "" : "-nodc"));
        return static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
    }
    afx_msg void OnClicked() { Note("label-clicked"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT(STN_CLICKED, &CLabel::OnClicked)
END_MESSAGE_MAP()

// Sent to a CTestDlg, runs its `inHandler` inside a message handler.
constexpr UINT kRunInHandler = WM_APP + 1;

// The dialog on template IDD_TEST: the edit box, owner-drawn button and
// label bound with DDX_Control, text and check with DDX_Text and DDX_Check;
// its map notes the commands it handles; `onInit` runs at the end of
// OnInitDialog; its PreTranslateMessage notes "dialog" for key-downs.
class CTestDlg : public CDialog
{
public:
    explicit CTestDlg(CWnd* parent = nullptr) : CDialog(IDD_TEST, parent) {}
    ~CTestDlg() override { DestroyWindow(); }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN)
            Note("dialog");
        return CDialog::PreTranslateMessage(msg);
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_EDIT, m_edit);
        DDX_Control(dx, IDC_OWNERDRAW, m_owner);
        DDX_Control(dx, IDC_LABEL, m_label);
        DDX_Text(dx, IDC_EDIT, m_text);
        DDX_Check(dx, IDC_CHECK, m_check);
    }

    afx_msg void OnSingle() { Note("single"); }
    afx_msg void OnRange(UINT id) { Note("range-" + std::to_string(id)); }
    afx_msg void OnLabelClicked() { Note("parent-clicked"); }
    afx_msg void OnLabelDoubleClicked() { Note("parent-dblclk"); }
    afx_msg LRESULT OnRunInHandler(WPARAM, LPARAM) { return inHandler(*this), 0; }

    CProbe m_edit{"edit"};
    COwnerDrawn m_owner;
    CLabel m_label;
    CString m_text = "hello";
    int m_check = BST_CHECKED;
    std::function<void(CTestDlg&)> onInit, inHandler;
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
    ON_COMMAND(IDC_SINGLE, &CTestDlg::OnSingle)
    ON_COMMAND_RANGE(IDC_RANGE_FIRST, IDC_RANGE_LAST, &CTestDlg::OnRange)
    ON_CONTROL(STN_CLICKED, IDC_LABEL, &CTestDlg::OnLabelClicked)
    ON_CONTROL(STN_DBLCLK, IDC_LABEL, &CTestDlg::OnLabelDoubleClicked)
    ON_MESSAGE(kRunInHandler, &CTestDlg::OnRunInHandler)
END_MESSAGE_MAP()

// Clears what a test that failed half-way may have left: notes and actions.
struct Dialog : AfxTest
{
    void TearDown() override
    {
        TakeNotes();
        for (const auto& pending : g_later)
            ::KillTimer(nullptr, pending.first);
        g_later.clear();
        AfxTest::TearDown();
    }
};

} // namespace

TEST_F(Dialog, CommandsReachSingleAndRangeEntriesWithCodeZeroOnlyAndReflectedOnesStayWithTheChild)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    struct Row { int id; WORD code; const char* notes; };
    const Row rows[] = {
        {IDC_SINGLE, BN_CLICKED, "single"},
        {IDC_RANGE_FIRST, BN_CLICKED, "range-1010"}, // the range's handler gets the ID
        {IDC_RANGE_FIRST + 1, BN_CLICKED, "range-1011"},
        {IDC_RANGE_LAST, BN_CLICKED, "range-1012"},
        {IDC_SINGLE, BN_DOUBLECLICKED, ""},
        {IDC_RANGE_FIRST + 1, BN_DOUBLECLICKED, ""},
        {IDC_RANGE_LAST + 1, BN_CLICKED, ""},
        {IDC_LABEL, STN_CLICKED, "label-clicked"}, // reflected: the parent's entry never sees it
        {IDC_LABEL, STN_DBLCLK, "parent-dblclk"},  // not reflected
    };
    for (const Row& row : rows)
    {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(row.id, row.code), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, row.id)));
        EXPECT_EQ(row.notes, TakeNotes()) << "ID " << row.id << ", code " << row.code;
    }
    // A real control's click takes the same way.
    ::SendMessageA(::GetDlgItem(dlg, IDC_RANGE_FIRST + 2), BM_CLICK, 0, 0);
    EXPECT_EQ("range-1012", TakeNotes());
}

TEST_F(Dialog, DrawItemAndCtlColorOfARealPaintAreReflectedToTheChildObjects)
{
    CTestDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST));
    dlg.ShowWindow(SW_SHOWNA);
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const std::string notes = TakeNotes();
    EXPECT_NE(notes.find("draw-1003"), std::string::npos) << notes;
    EXPECT_NE(notes.find("ctlcolor-6"), std::string::npos) << notes;

    // The parent answers with the brush its child chose.
    CClientDC dc(&dlg.m_label);
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(LTGRAY_BRUSH)),
              dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                              reinterpret_cast<LPARAM>(dlg.m_label.m_hWnd)));
}

TEST_F(Dialog, DataExchangeSubclassesOnceAndMovesTextAndCheckBothWays)
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
    EXPECT_EQ("typed", dlg.m_text.str());
    EXPECT_EQ(BST_UNCHECKED, dlg.m_check);

    dlg.m_text = "set";
    dlg.m_check = BST_CHECKED;
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    ::GetDlgItemTextA(dlg, IDC_EDIT, text, sizeof text);
    EXPECT_STREQ("set", text);
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dlg, IDC_CHECK));

    // DDX_Control: the object took the control over once, whatever the
    // number of exchanges, and the control's own procedure still works.
    const HWND edit = ::GetDlgItem(dlg, IDC_EDIT);
    EXPECT_EQ(&dlg.m_edit, CWnd::FromHandlePermanent(edit));
    EXPECT_EQ(1, dlg.m_edit.presubclassed);
    ::SendMessageA(edit, WM_APP, 0, 0);
    EXPECT_EQ("edit-app", TakeNotes());
}

TEST_F(Dialog, TheModalLoopEndsOnEndDialogOnCloseAndOnQuitWhichStaysQueued)
{
    struct Row { const char* name; std::function<void(CTestDlg&)> onInit; INT_PTR result; };
    const Row rows[] = {
        {"EndDialog", [](CTestDlg& d) { Later(10, [&d] { d.EndDialog(d.IsWindowVisible() ? 1234 : 0); }); }, 1234},
        {"EndDialog in OnInitDialog", [](CTestDlg& d) { d.EndDialog(5); }, 5},
        {"title bar close", [](CTestDlg& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); }, IDCANCEL},
        {"quit", [](CTestDlg&) { Later(10, [] { ::PostQuitMessage(7); }); }, -1}, // last: the quit stays
    };
    CTestDlg dlg; // the same object runs each time
    for (const Row& row : rows)
    {
        HWND window = nullptr;
        dlg.onInit = [&](CTestDlg& d) {
            window = d;
            row.onInit(d);
        };
        EXPECT_EQ(row.result, RunModal(dlg)) << row.name;
        EXPECT_FALSE(::IsWindow(window)) << row.name;
        EXPECT_EQ(nullptr, dlg.m_hWnd) << row.name;
        EXPECT_EQ(nullptr, dlg.m_edit.m_hWnd) << row.name;
    }
    EXPECT_EQ(4, dlg.m_edit.presubclassed);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST_F(Dialog, TheOwnerIsDisabledWhileADialogRunsAndRunsOnAfterIt)
{
    CTestDlg outer, inner;
    AfxGetApp()->m_pMainWnd = &outer; // the inner dialog has no parent: the main window owns it
    HWND outerWindow = nullptr, ownerMeanwhile = nullptr;
    BOOL outerEnabledMeanwhile = TRUE;
    INT_PTR innerResult = 0;
    inner.onInit = [&](CTestDlg& d) {
        Later(10, [&] {
            outerEnabledMeanwhile = outer.IsWindowEnabled();
            ownerMeanwhile = ::GetWindow(d, GW_OWNER);
            d.EndDialog(2);
        });
    };
    outer.onInit = [&](CTestDlg& d) {
        outerWindow = d;
        Later(10, [&] {
            innerResult = RunModal(inner);
            Later(10, [&d] { d.EndDialog(d.IsWindowEnabled() ? 1 : 0); });
        });
    };
    EXPECT_EQ(1, RunModal(outer));
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(2, innerResult);
    EXPECT_FALSE(outerEnabledMeanwhile);
    EXPECT_EQ(outerWindow, ownerMeanwhile);
}

// A dialog run from a message handler once dropped the temporary wrappers
// that the handler still held, when its loop went idle.
TEST_F(Dialog, ADialogRunFromAHandlerLeavesTheHandlersTemporaryWrappersAlone)
{
    CTestDlg outer, inner;
    inner.onInit = [](CTestDlg& d) { Later(100, [&d] { d.EndDialog(IDOK); }); }; // after idling
    outer.inHandler = [&](CTestDlg& d) {
        CWnd* check = d.GetDlgItem(IDC_CHECK); // a temporary wrapper, for this handler
        ASSERT_EQ(nullptr, CWnd::FromHandlePermanent(*check));
        EXPECT_EQ(IDOK, RunModal(inner));
        EXPECT_GE((CTempHandleMap<CWnd, HWND>::Count()), 1u) << "the inner loop deleted the handler's wrapper";
        d.EndDialog(IDOK);
    };
    outer.onInit = [](CTestDlg& d) { d.PostMessage(kRunInHandler); };
    EXPECT_EQ(IDOK, RunModal(outer));
}

TEST_F(Dialog, KeysArePreTranslatedByTheTargetThenEachParentThenTheDialog)
{
    struct Row { bool innerSwallows, containerSwallows; const char* notes; INT_PTR result; };
    const Row rows[] = {
        {false, false, "inner container dialog", IDCANCEL}, // the dialog's keys: Escape cancels
        {false, true, "inner container", IDOK},
        {true, false, "inner", IDOK},
    };
    for (const Row& row : rows)
    {
        // An edit box in a container child of the dialog gets an Escape,
        // and an IDOK command queued behind it ends a run that swallows it.
        CTestDlg dlg;
        CProbe container("container", row.containerSwallows), inner("inner", row.innerSwallows);
        dlg.onInit = [&](CTestDlg& d) {
            ASSERT_TRUE(CreatePlain(container, &d));
            ASSERT_TRUE(inner.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, container, nullptr));
            inner.PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
            d.PostMessage(WM_COMMAND, IDOK);
        };
        EXPECT_EQ(row.result, RunModal(dlg)) << row.notes;
        EXPECT_EQ(row.notes, TakeNotes());
    }
}
