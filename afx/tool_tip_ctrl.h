#pragma once

#include "wnd.h"

// A tooltip control. Its window belongs to the wrapper and goes with it.
class CToolTipCtrl : public CWnd
{
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() = default;

    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL AddTool(CWnd* window, LPCSTR text, LPCRECT rect, UINT_PTR toolId);
    void UpdateTipText(LPCSTR text, CWnd* window, UINT_PTR toolId);
    void GetText(CString& text, CWnd* window, UINT_PTR toolId) const;
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void RelayEvent(LPMSG msg);
};
