#include "wnd.h"

#include "data_exchange.h"
#include "menu.h"
#include "module_state.h"

#include <cassert>

#include <unordered_map>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

namespace
{

// One user-interface thread: the maps and the creation hook are its own.
std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

struct CurrentMessage
{
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
CurrentMessage g_current = {};

CWnd* g_windowBeingCreated = nullptr;
HHOOK g_creationHook = nullptr;
int g_creationHookHolds = 0;

WNDPROC SwapWindowProc(HWND window, WNDPROC proc)
{
    return reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

WNDPROC CurrentWindowProc(HWND window)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC));
}

// WM_CTLCOLORMSGBOX..WM_CTLCOLORSTATIC: a child asks its parent for colours.
bool IsCtlColor(UINT message)
{
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// The child window a notification concerns, if the message is one that the
// parent reflects back to the child's object.
HWND ReflectedChild(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM)
        return wParam != 0 ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    return IsCtlColor(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
}

} // namespace

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(window);
    if (wnd == nullptr)
        return ::DefWindowProcA(window, message, wParam, lParam);

    const CurrentMessage saved = g_current;
    g_current = {window, message, wParam, lParam};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY)
        wnd->OnNcDestroyed();
    g_current = saved;
    return result;
}

bool AfxIsHandlingMessage()
{
    return g_current.window != nullptr;
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && g_windowBeingCreated != nullptr)
    {
        CWnd* wnd = g_windowBeingCreated;
        g_windowBeingCreated = nullptr; // the window's children are not ours
        const HWND window = reinterpret_cast<HWND>(wParam);
        if (wnd->Attach(window))
        {
            wnd->PreSubclassWindow();
            wnd->m_pfnSuper = SwapWindowProc(window, AfxWndProc);
        }
    }
    return ::CallNextHookEx(g_creationHook, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* wnd)
{
    if (g_creationHook == nullptr)
        g_creationHook = ::SetWindowsHookExA(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    g_windowBeingCreated = wnd;
}

bool AfxUnhookWindowCreate()
{
    const bool attached = g_windowBeingCreated == nullptr;
    g_windowBeingCreated = nullptr;
    if (g_creationHook != nullptr && g_creationHookHolds == 0)
    {
        ::UnhookWindowsHookEx(g_creationHook);
        g_creationHook = nullptr;
    }
    return attached;
}

CWndCreateHookHold::CWndCreateHookHold()
{
    ++g_creationHookHolds;
}

CWndCreateHookHold::~CWndCreateHookHold()
{
    if (--g_creationHookHolds == 0)
        AfxUnhookWindowCreate();
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        CWnd::DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND handle)
{
    const auto& map = PermanentMap();
    const auto found = map.find(handle);
    return found == map.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND handle)
{
    if (CWnd* wnd = FromHandlePermanent(handle))
        return wnd;
    return CTempHandleMap<CWnd, HWND>::FromHandle(handle);
}

std::size_t CWnd::PermanentCount()
{
    return PermanentMap().size();
}

BOOL CWnd::Attach(HWND handle)
{
    assert(handle != nullptr && m_hWnd == nullptr && "a window object attaches one window, once");
    if (handle == nullptr || m_hWnd != nullptr || FromHandlePermanent(handle) != nullptr)
        return FALSE;
    CTempHandleMap<CWnd, HWND>::Remove(handle);
    PermanentMap()[handle] = this;
    m_hWnd = handle;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND handle = m_hWnd;
    if (handle != nullptr)
        PermanentMap().erase(handle);
    m_hWnd = nullptr;
    return handle;
}

BOOL CWnd::SubclassWindow(HWND handle)
{
    if (!Attach(handle))
        return FALSE;
    PreSubclassWindow();
    m_pfnSuper = SwapWindowProc(handle, AfxWndProc);
    return TRUE;
}

void CWnd::OnNcDestroyed()
{
    if (m_pfnSuper != nullptr && CurrentWindowProc(m_hWnd) == AfxWndProc)
        SwapWindowProc(m_hWnd, m_pfnSuper);
    m_pfnSuper = nullptr;
    Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    assert(m_hWnd == nullptr && "a window object creates one window, once");
    if (m_hWnd != nullptr)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND window = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                    parent, menuOrId, AfxGetInstanceHandle(), param);
    AfxUnhookWindowCreate();
    return window != nullptr && m_hWnd == window;
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    parent ? parent->m_hWnd : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

BOOL CWnd::DestroyWindow()
{
    HWND handle = m_hWnd;
    if (handle == nullptr)
        return FALSE;
    const bool permanent = FromHandlePermanent(handle) == this;
    const BOOL destroyed = ::DestroyWindow(handle);
    // A window attached without subclassing never shows us its WM_NCDESTROY.
    if (permanent && m_hWnd == handle && !::IsWindow(handle))
        Detach();
    return destroyed;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::PreSubclassWindow()
{
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND)
    {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *result = 0;
        return TRUE;
    }
    if (HWND child = ReflectedChild(message, wParam, lParam))
    {
        CWnd* childWnd = FromHandlePermanent(child);
        if (childWnd != nullptr && childWnd != this && childWnd->OnChildNotify(message, wParam, lParam, result))
            return TRUE;
    }
    return ProcessWindowMessage(message, wParam, lParam, *result);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A control's notification goes to the control's own object first.
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control != nullptr)
    {
        CWnd* controlWnd = FromHandlePermanent(control);
        if (controlWnd != nullptr && controlWnd != this
            && controlWnd->OnChildNotify(WM_COMMAND, wParam, lParam, nullptr))
            return TRUE;
    }
    LRESULT ignored = 0;
    return ProcessWindowMessage(WM_COMMAND, wParam, lParam, ignored);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_COMMAND && message != WM_DRAWITEM && !IsCtlColor(message))
        return FALSE;
    LRESULT reflected = 0;
    if (!ProcessWindowMessage(AFX_REFLECTED(message), wParam, lParam, reflected))
        return FALSE;
    if (result != nullptr)
        *result = reflected;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(g_current.message, g_current.wParam, g_current.lParam);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND window = msg->hwnd; window != nullptr; window = ::GetParent(window))
    {
        CWnd* wnd = FromHandlePermanent(window);
        if (wnd != nullptr && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (window == stop)
            break;
    }
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::ShowWindow(int command)
{
    return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::RedrawWindow(LPCRECT rect, HRGN region, UINT flags)
{
    return ::RedrawWindow(m_hWnd, rect, region, flags);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, width, height, flags);
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::GetWindowText(CString& text) const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, &buffer[0], length + 1);
    buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    text = CString(buffer);
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font ? font->m_hObject : nullptr), redraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (style == changed)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    if (flags != 0)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC callback)
{
    return ::SetTimer(m_hWnd, id, elapse, callback);
}

HICON CWnd::SetIcon(HICON icon, BOOL big)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type)
{
    return ::MessageBoxA(m_hWnd, text, caption, type);
}
