#include "data_exchange.h"

#include "wnd.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    return ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.GetSafeHwnd() != nullptr)
        return;
    HWND window = dx->PrepareCtrl(id);
    if (window != nullptr)
        control.SubclassWindow(window);
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND window = dx->PrepareCtrl(id);
    if (window == nullptr)
        return;
    if (dx->m_bSaveAndValidate)
        CWnd::FromHandle(window)->GetWindowText(value);
    else
        ::SetWindowTextA(window, value);
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    HWND window = dx->PrepareCtrl(id);
    if (window == nullptr)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(window, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(window, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}
