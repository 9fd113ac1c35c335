#pragma once

// Shared pieces of the layer's tests: a log of what handlers did, actions run
// from inside a message loop, the fixture's leak checks, and the test windows.

#include "afx_test_ids.h"
#include "afxwin.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

inline void PrintTo(const CString& text, std::ostream* out)
{
    *out << '"' << text.str() << '"';
}

// What the test windows' handlers did, in order, as words separated by spaces.
void Note(const std::string& what);
std::string TakeNotes();
inline bool Contains(const std::string& notes, const std::string& what)
{
    return notes.find(what) != std::string::npos;
}

// Runs `action` once from whatever message loop pumps after `ms` milliseconds
// (a thread timer), so that modal loops run for real.
UINT_PTR Later(UINT ms, std::function<void()> action);
void Cancel(UINT_PTR later);
// Runs `action` once the message loop has found its queue empty (gone idle).
void WhenIdle(std::function<void()> action);
// Dispatches every message already queued.
void Pump();

// DoModal with a watchdog: a dialog still running after 5 s ends with kHung.
constexpr int kHung = -99;
INT_PTR RunModal(CDialog& dialog);

// Each test ends with as many permanent window objects and live GDI wrappers
// as it started with, once the temporary wrappers are gone.
class AfxTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::size_t m_windows = 0;
    long m_gdiHandles = 0;
};

// A hidden top-level window of the layer's own class, or a visible child.
BOOL CreatePlain(CWnd& wnd, CWnd* parent = nullptr);

// Notes its name for every key-down offered to its PreTranslateMessage (and
// swallows it if told to), counts PreSubclassWindow calls, notes WM_APP.
class CProbe : public CWnd
{
public:
    explicit CProbe(std::string name, bool swallow = false) : name(std::move(name)), swallow(swallow) {}

    BOOL PreTranslateMessage(MSG* msg) override;
    void PreSubclassWindow() override { ++presubclassed; }
    afx_msg LRESULT OnApp(WPARAM, LPARAM);

    std::string name;
    bool swallow;
    int presubclassed = 0;

    DECLARE_MESSAGE_MAP()
};

// Owner-drawn button: notes "draw <control id>".
class COwnerDrawn : public CButton
{
public:
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
};

// Label handling its own colours and clicks by reflection.
class CLabel : public CStatic
{
public:
    static HBRUSH Brush() { return static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH)); }
    afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    afx_msg void OnClicked() { Note("label-clicked"); }

    DECLARE_MESSAGE_MAP()
};

// Sent to a CTestDlg, runs its `inHandler` inside a message handler.
constexpr UINT kRunInHandler = WM_APP + 1;

// The test dialog on template IDD_TEST: its edit box, owner-drawn button and
// label bound with DDX_Control, text and check with DDX_Text/DDX_Check; its
// map notes every command it handles; `onInit` runs at the end of
// OnInitDialog; its PreTranslateMessage notes "dialog" for key-downs.
class CTestDlg : public CDialog
{
public:
    explicit CTestDlg(CWnd* parent = nullptr) : CDialog(IDD_TEST, parent) {}
    ~CTestDlg() override { DestroyWindow(); }

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DoDataExchange(CDataExchange* dx) override;

    afx_msg void OnSingle() { Note("single"); }
    afx_msg void OnRange(UINT id) { Note("range-" + std::to_string(id)); }
    afx_msg void OnLabelClicked() { Note("parent-clicked"); }
    afx_msg void OnLabelDoubleClicked() { Note("parent-dblclk"); }
    afx_msg LRESULT OnApp(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) + lParam; }
    afx_msg LRESULT OnRunInHandler(WPARAM, LPARAM) { inHandler(*this); return 0; }

    CProbe m_edit{"edit"};
    COwnerDrawn m_owner;
    CLabel m_label;
    CString m_text = "hello";
    int m_check = BST_CHECKED;
    std::function<void(CTestDlg&)> onInit;
    std::function<void(CTestDlg&)> inHandler;

    DECLARE_MESSAGE_MAP()
};
