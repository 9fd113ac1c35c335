#include "tool_tip_ctrl.h"

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

namespace
{

// The original tool structure, understood by every version of the common
// controls.
TOOLINFOA MakeToolInfo(CWnd* window, UINT_PTR toolId)
{
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    const HWND handle = window ? window->GetSafeHwnd() : nullptr;
    if (toolId == 0)
    {
        info.uFlags = TTF_IDISHWND;
        info.hwnd = ::GetParent(handle);
        info.uId = reinterpret_cast<UINT_PTR>(handle);
    }
    else
    {
        info.hwnd = handle;
        info.uId = toolId;
    }
    return info;
}

} // namespace

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->GetSafeHwnd() : nullptr, nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* window, LPCSTR text, LPCRECT rect, UINT_PTR toolId, UINT flags)
{
    TOOLINFOA info = MakeToolInfo(window, toolId);
    info.uFlags |= flags;
    if (rect != nullptr)
        info.rect = *rect;
    info.lpszText = const_cast<LPSTR>(text);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* window, UINT_PTR toolId)
{
    TOOLINFOA info = MakeToolInfo(window, toolId);
    info.lpszText = const_cast<LPSTR>(text);
    SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::GetText(CString& text, CWnd* window, UINT_PTR toolId) const
{
    // The control copies at most 80 characters: its own limit for this call.
    char buffer[256] = {};
    TOOLINFOA info = MakeToolInfo(window, toolId);
    info.lpszText = buffer;
    SendMessage(TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&info));
    text = buffer;
}

void CToolTipCtrl::RelayEvent(LPMSG msg)
{
    SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

BOOL CToolTipCtrl::GetCurrentTool(TOOLINFOA& info) const
{
    // The control copies the tip's text too, up to its own limit of 1024.
    char text[1024] = {};
    TOOLINFOA current = {};
    current.cbSize = TTTOOLINFOA_V2_SIZE;
    current.lpszText = text;
    if (!SendMessage(TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&current)))
        return FALSE;
    info = current;
    info.lpszText = nullptr;
    return TRUE;
}
