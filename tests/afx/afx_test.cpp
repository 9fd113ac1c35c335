// The layer on real windows: the modal loop and its pre-translation; owned
// handles released, borrowed ones never.
#include "afx_test_ids.h"
#include "afxwin.h"
#include "gui_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

// Runs `action` once from whatever loop pumps after `ms` milliseconds.
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

// DoModal with a watchdog: a dialog still running at the deadline ends with -99.
INT_PTR RunModal(CDialog& dialog)
{
    const UINT_PTR watchdog = Later(ui::kDeadline, [&dialog] { dialog.EndDialog(-99); });
    const INT_PTR result = dialog.DoModal();
    ::KillTimer(nullptr, watchdog);
    g_later.erase(watchdog);
    return result;
}

CWinApp theApp; // AfxGetApp(), whose main window owns a dialog without a parent

BOOL CreateChild(CWnd& wnd, HWND parent, const char* cls = "STATIC")
{
    return wnd.CreateEx(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, parent, nullptr);
}

// Notes (and may swallow) the key-downs offered to it; counts PreSubclassWindow.
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

    std::string name;
    bool swallow;
    int presubclassed = 0;
};

// The dialog on template IDD_TEST, its edit box bound with DDX_Control; its
// PreTranslateMessage notes the key-downs; `onInit` runs in OnInitDialog.
class CTestDlg : public CDialog
{
public:
    CTestDlg() : CDialog(IDD_TEST) {}
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
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_EDIT, m_edit); }

    CProbe m_edit{"edit"};
    std::function<void(CTestDlg&)> onInit;
};

// Each test ends with as many window objects and GDI wrappers as it began
// with; notes and timers that a failed test left are cleared.
class Layer : public ::testing::Test
{
protected:
    void TearDown() override
    {
        TakeNotes();
        for (const auto& pending : g_later)
            ::KillTimer(nullptr, pending.first);
        g_later.clear();
        AfxDeleteTempObjects();
        EXPECT_EQ(m_windows, CWnd::PermanentCount()) << "window objects left in the permanent map";
        EXPECT_EQ(m_gdiHandles, CGdiObject::LiveHandles()) << "GDI wrappers still holding handles";
    }

    const std::size_t m_windows = (AfxDeleteTempObjects(), CWnd::PermanentCount());
    const long m_gdiHandles = CGdiObject::LiveHandles();
};

bool Alive(HGDIOBJ object) { return ::GetObjectType(object) != 0; }
const LOGFONTA kSmallFont = {12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, ""};

} // namespace

TEST_F(Layer, TheModalLoopEndsOnEndDialogCloseAndQuitWhichStaysQueued)
{
    struct Row { const char* name; std::function<void(CTestDlg&)> onInit; INT_PTR result; };
    const Row rows[] = {
        {"EndDialog", [](CTestDlg& d) { Later(10, [&d] { d.EndDialog(::IsWindowVisible(d) ? 1234 : 0); }); }, 1234},
        {"EndDialog in OnInitDialog", [](CTestDlg& d) { d.EndDialog(5); }, 5},
        {"title bar close", [](CTestDlg& d) { ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"quit", [](CTestDlg&) { Later(10, [] { ::PostQuitMessage(7); }); }, -1}, // last: the quit stays
    };
    CTestDlg dlg; // the same object runs each time
    for (const Row& row : rows)
    {
        HWND window = nullptr;
        dlg.onInit = [&](CTestDlg& d) { window = d, row.onInit(d); };
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

TEST_F(Layer, TheOwnerIsDisabledWhileADialogRuns)
{
    CTestDlg outer, inner;
    AfxGetApp()->m_pMainWnd = &outer; // the inner dialog has no parent: the main window owns it
    HWND outerWindow = nullptr, ownerMeanwhile = nullptr;
    BOOL outerEnabledMeanwhile = TRUE;
    INT_PTR innerResult = 0;
    inner.onInit = [&](CTestDlg& d) {
        Later(10, [&] {
            outerEnabledMeanwhile = ::IsWindowEnabled(outer);
            ownerMeanwhile = ::GetWindow(d, GW_OWNER);
            d.EndDialog(2);
        });
    };
    outer.onInit = [&](CTestDlg& d) {
        outerWindow = d;
        Later(10, [&] {
            innerResult = RunModal(inner);
            Later(10, [&d] { d.EndDialog(::IsWindowEnabled(d) ? 1 : 0); });
        });
    };
    EXPECT_EQ(1, RunModal(outer)) << "runs on afterwards";
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(2, innerResult);
    EXPECT_FALSE(outerEnabledMeanwhile);
    EXPECT_EQ(outerWindow, ownerMeanwhile);
}

// The loop drops the temporary wrappers made for a message once it is
// handled, but a dialog run from a message handler (here WM_INITDIALOG's)
// leaves those that the handler still holds.
TEST_F(Layer, TemporaryWrappersLastTheirMessageAndTheHandlerThatRunsADialog)
{
    const auto temporaries = [] { return CTempHandleMap<CWnd, HWND>::Count(); };
    CTestDlg outer, inner;
    inner.onInit = [](CTestDlg& d) { Later(100, [&d] { d.EndDialog(IDOK); }); }; // after handling other messages
    outer.onInit = [&](CTestDlg& d) {
        CWnd* check = CWnd::FromHandle(::GetDlgItem(d, IDC_CHECK)); // a temporary wrapper, for this handler
        ASSERT_EQ(nullptr, CWnd::FromHandlePermanent(*check));
        EXPECT_EQ(IDOK, RunModal(inner));
        EXPECT_GE(temporaries(), 1u) << "the inner loop deleted the handler's wrapper";
        CTestDlg* dialog = &d;
        Later(10, [dialog] { CWnd::FromHandle(::GetDlgItem(*dialog, IDC_CHECK)); }); // in the outer loop's message
        Later(50, [dialog, temporaries] {
            EXPECT_EQ(0u, temporaries()) << "kept after their message";
            dialog->EndDialog(IDOK);
        });
    };
    EXPECT_EQ(IDOK, RunModal(outer));
}

TEST_F(Layer, KeysArePreTranslatedByTheTargetThenEachParentThenTheDialog)
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
            ASSERT_TRUE(CreateChild(container, d));
            ASSERT_TRUE(CreateChild(inner, container, "EDIT"));
            ::PostMessageA(inner, WM_KEYDOWN, VK_ESCAPE, 1);
            ::PostMessageA(d, WM_COMMAND, IDOK, 0);
        };
        EXPECT_EQ(row.result, RunModal(dlg)) << row.notes;
        EXPECT_EQ(row.notes, TakeNotes());
    }
}

TEST_F(Layer, OwningWrappersReleaseTheirHandlesUnlessDetached)
{
    HGDIOBJ font, bitmap, detached;
    HDC dc;
    {
        CFont f, d;
        ASSERT_TRUE(f.CreateFontIndirect(&kSmallFont) && d.CreateFontIndirect(&kSmallFont));
        CBitmap b;
        ASSERT_TRUE(b.Attach(::CreateBitmap(8, 8, 1, 1, nullptr)));
        EXPECT_EQ(m_gdiHandles + 3, CGdiObject::LiveHandles());
        detached = d.Detach();
        EXPECT_EQ(m_gdiHandles + 2, CGdiObject::LiveHandles());
        CDC c; // goes first, and must let go of the bitmap for it to go too
        ASSERT_TRUE(c.CreateCompatibleDC(nullptr));
        ASSERT_NE(nullptr, c.SelectObject(&b));
        font = f.m_hObject, bitmap = b.m_hObject, dc = c;
    }
    for (const HGDIOBJ gone : {font, bitmap, static_cast<HGDIOBJ>(dc)})
        EXPECT_FALSE(Alive(gone)) << "type " << ::GetObjectType(gone);
    EXPECT_TRUE(Alive(detached));
    ::DeleteObject(detached);
}

TEST_F(Layer, ABorrowedDcGetsItsObjectsBackAndStays)
{
    CFont font;
    CBitmap bitmap;
    ASSERT_TRUE(font.CreateFontIndirect(&kSmallFont) && bitmap.Attach(::CreateBitmap(8, 8, 1, 1, nullptr)));
    const HDC raw = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ originalFont = ::GetCurrentObject(raw, OBJ_FONT);
    const HGDIOBJ originalBitmap = ::GetCurrentObject(raw, OBJ_BITMAP);
    {
        CDC dc;
        ASSERT_TRUE(dc.Attach(raw));
        EXPECT_EQ(originalFont, dc.SelectObject(&font)->m_hObject);
        dc.SelectObject(&bitmap);
    }
    EXPECT_TRUE(Alive(raw));
    EXPECT_EQ(originalFont, ::GetCurrentObject(raw, OBJ_FONT));
    EXPECT_EQ(originalBitmap, ::GetCurrentObject(raw, OBJ_BITMAP));
    ::DeleteDC(raw);
}

TEST_F(Layer, TemporaryWrappersGoAtAfxDeleteTempObjectsAndLeaveTheirHandles)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 80, 20, nullptr, nullptr));
    const HWND raw = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    const HDC rawDc = ::GetDC(raw);
    CWnd* wnd = CWnd::FromHandle(raw);
    EXPECT_EQ(wnd, CWnd::FromHandle(raw));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(raw));
    EXPECT_EQ(rawDc, CDC::FromHandle(rawDc)->m_hDC);
    const HMENU systemMenu = *owner.GetSystemMenu(FALSE);
    const auto counts = [] {
        return std::to_string(CTempHandleMap<CWnd, HWND>::Count()) + std::to_string(CTempHandleMap<CDC, HDC>::Count())
               + std::to_string(CTempHandleMap<CMenu, HMENU>::Count());
    };
    EXPECT_EQ("111", counts());
    AfxDeleteTempObjects();
    EXPECT_EQ("000", counts());
    EXPECT_TRUE(::IsWindow(raw));
    EXPECT_EQ(static_cast<DWORD>(OBJ_DC), ::GetObjectType(rawDc));
    EXPECT_GT(::GetMenuItemCount(systemMenu), 0);
    ::ReleaseDC(raw, rawDc);
}

// Run in a child process by the next test: temporary wrappers of a font and
// a menu are left; once the maps have gone at exit, both handles must live.
TEST(DISABLED_ExitChild, LeavesTemporaryWrappers)
{
    static const HFONT font = ::CreateFontIndirectA(&kSmallFont);
    static const HMENU menu = ::CreateMenu();
    struct Check // constructed before the maps, so destroyed after them
    {
        ~Check() { std::_Exit(Alive(font) && ::IsMenu(menu) ? 0 : 3); }
    };
    static Check check;
    ASSERT_NE(nullptr, CFont::FromHandle(font));
    ASSERT_NE(nullptr, CMenu::FromHandle(menu));
}

// The maps of temporary wrappers once released the borrowed handles of the
// wrappers still in them when the program ended.
TEST_F(Layer, BorrowedHandlesOutliveTheTemporaryWrappersAtExit)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string command = std::string("\"") + path
                                + "\" --gtest_also_run_disabled_tests --gtest_filter=DISABLED_ExitChild.* >NUL 2>&1";
    EXPECT_EQ(0, std::system(command.c_str())) << "3: a borrowed handle was released at exit";
}
