#pragma once

#include "wnd.h"

// A tooltip control. Its window belongs to the wrapper and goes with it.
class CToolTipCtrl : public CWnd
{
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() = default;

    BOOL Create(CWnd* parent, DWORD style = 0);
    // Tool 0 of a window is the whole window, whose parent hears the tool's
    // notifications (TTF_IDISHWND); other IDs are areas of the window. `flags`
    // adds TTF_ flags such as TTF_CENTERTIP.
    BOOL AddTool(CWnd* window, LPCSTR text, LPCRECT rect = nullptr, UINT_PTR toolId = 0, UINT flags = 0);
    void UpdateTipText(LPCSTR text, CWnd* window, UINT_PTR toolId);
    void GetText(CString& text, CWnd* window, UINT_PTR toolId = 0) const;
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void RelayEvent(LPMSG msg);
    // The tool whose tip is showing: FALSE, and `info` untouched, when none.
    BOOL GetCurrentTool(TOOLINFOA& info) const;
    void Pop() { SendMessage(TTM_POP); }
};
