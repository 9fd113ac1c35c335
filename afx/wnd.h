#pragma once

#include "afx_string.h"
#include "cmd_target.h"
#include "dc.h"
#include "message_map.h"
#include "rect.h"
#include "temp_handle_map.h"

class CDataExchange;
class CMenu;

// A window object. A window is attached (entered in the HWND-to-object map)
// when the layer creates it, from a CBT hook before its first message, or
// when an existing window is subclassed; it is detached again on its
// WM_NCDESTROY. Wrappers from FromHandle for windows nobody attached are
// temporary and borrow the handle.
class CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const noexcept { return m_hWnd; }
    HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    static CWnd* FromHandle(HWND handle);
    static CWnd* FromHandlePermanent(HWND handle);

    BOOL Attach(HWND handle);
    HWND Detach();
    BOOL SubclassWindow(HWND handle);

    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
    BOOL Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id);
    virtual BOOL DestroyWindow();

    // The framework's overridables.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void PreSubclassWindow();
    virtual void DoDataExchange(CDataExchange* dx);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Default processing of the message being handled.
    LRESULT Default();
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    // Offers a message to the PreTranslateMessage of its target window, then
    // of each parent, up to and including `stop`.
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // USER32 wrappers.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int width, int height, UINT flags);
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(LPRECT rect) const;
    void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC callback = nullptr);
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    HICON SetIcon(HICON icon, BOOL big);
    CMenu* GetSystemMenu(BOOL revert) const;
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

    // Handlers whose default is the window's default processing.
    afx_msg void OnPaint() { Default(); }
    afx_msg void OnSysCommand(UINT, LPARAM) { Default(); }
    afx_msg HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
    afx_msg void OnMouseMove(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonDown(UINT, CPoint) { Default(); }
    afx_msg void OnLButtonUp(UINT, CPoint) { Default(); }
    afx_msg void OnCaptureChanged(CWnd*) { Default(); }
    afx_msg void OnTimer(UINT_PTR) { Default(); }
    afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    afx_msg BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }

    // Live permanent window objects, for leak checks.
    static std::size_t PermanentCount();

protected:
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    WNDPROC m_pfnSuper = nullptr; // the window procedure that subclassing replaced

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    void OnNcDestroyed();
};

LRESULT CALLBACK AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// True while a window object of the layer handles a message: the temporary
// wrappers its handler holds must outlive any message loop it runs.
bool AfxIsHandlingMessage();

// Attaches the next window created on this thread to `wnd` (see CWnd::CreateEx).
void AfxHookWindowCreate(CWnd* wnd);
bool AfxUnhookWindowCreate();

// Keeps the creation hook installed while it lives, for code that creates
// many windows in a row: setting and removing a hook for each window costs
// two calls to the window server.
class CWndCreateHookHold
{
public:
    CWndCreateHookHold();
    ~CWndCreateHookHold();
    CWndCreateHookHold(const CWndCreateHookHold&) = delete;
    CWndCreateHookHold& operator=(const CWndCreateHookHold&) = delete;
};

// Temporary window wrappers only borrow m_hWnd: they never enter the map.
template <>
struct CTempHandleTraits<CWnd, HWND>
{
    static void Attach(CWnd& wnd, HWND handle) { wnd.m_hWnd = handle; }
    static void Detach(CWnd& wnd) { wnd.m_hWnd = nullptr; }
};
