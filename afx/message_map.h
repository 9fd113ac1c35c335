#pragma once

// Message maps that the compiler checks. Each entry expands to code that
// tests the message and calls its handler with the message's arguments
// unpacked. The handler is first bound to a member-function pointer of the
// exact type the entry expects, so a handler of another signature does not
// compile; there are no casts of member-function pointers anywhere.
//
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_PAINT()
//       ON_BN_CLICKED(IDC_GO, &CMyDlg::OnGo)
//   END_MESSAGE_MAP()

#include "afx_types.h"
#include "point.h"

class CDC;
class CWnd;

template <class TClass, class TFunction>
using AfxHandler = TFunction TClass::*;

#define DECLARE_MESSAGE_MAP()                                                                  \
public:                                                                                        \
    BOOL ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                 \
    BOOL theClass::ProcessWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lResult) \
    {                                                                                          \
        using ThisClass [[maybe_unused]] = theClass;                                           \
        using TheBaseClass = baseClass;

#define END_MESSAGE_MAP()                                                                      \
        return TheBaseClass::ProcessWindowMessage(message, wParam, lParam, lResult);           \
    }


#define AFX_MAP_ENTRY(condition, type, memberFn, resultExpression, ...)                        \
    if (condition)                                                                             \
    {                                                                                          \
        AfxHandler<ThisClass, type> const afxHandler = memberFn;                               \
        lResult = (resultExpression((this->*afxHandler)(__VA_ARGS__)));                        \
        return TRUE;                                                                           \
    }

// Result adaptors: handlers that return nothing answer 0.
#define AFX_RESULT_VOID(call) (call, LRESULT(0))
#define AFX_RESULT_VALUE(call) static_cast<LRESULT>(call)
#define AFX_RESULT_HANDLE(call) reinterpret_cast<LRESULT>(call)

#define AFX_POINT_OF(lParam) CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))

#define ON_WM_PAINT()                                                                          \
    AFX_MAP_ENTRY(message == WM_PAINT, void(), &ThisClass::OnPaint, AFX_RESULT_VOID)
#define ON_WM_SYSCOMMAND()                                                                     \
    AFX_MAP_ENTRY(message == WM_SYSCOMMAND, void(UINT, LPARAM), &ThisClass::OnSysCommand,      \
                  AFX_RESULT_VOID, static_cast<UINT>(wParam), lParam)
#define ON_WM_QUERYDRAGICON()                                                                  \
    AFX_MAP_ENTRY(message == WM_QUERYDRAGICON, HCURSOR(), &ThisClass::OnQueryDragIcon,          \
                  AFX_RESULT_HANDLE)
#define ON_WM_MOUSEMOVE()                                                                      \
    AFX_MAP_ENTRY(message == WM_MOUSEMOVE, void(UINT, CPoint), &ThisClass::OnMouseMove,        \
                  AFX_RESULT_VOID, static_cast<UINT>(wParam), AFX_POINT_OF(lParam))
#define ON_WM_LBUTTONDOWN()                                                                    \
    AFX_MAP_ENTRY(message == WM_LBUTTONDOWN, void(UINT, CPoint), &ThisClass::OnLButtonDown,    \
                  AFX_RESULT_VOID, static_cast<UINT>(wParam), AFX_POINT_OF(lParam))
#define ON_WM_LBUTTONUP()                                                                      \
    AFX_MAP_ENTRY(message == WM_LBUTTONUP, void(UINT, CPoint), &ThisClass::OnLButtonUp,        \
                  AFX_RESULT_VOID, static_cast<UINT>(wParam), AFX_POINT_OF(lParam))
#define ON_WM_CAPTURECHANGED()                                                                 \
    AFX_MAP_ENTRY(message == WM_CAPTURECHANGED, void(CWnd*), &ThisClass::OnCaptureChanged,     \
                  AFX_RESULT_VOID, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)))
#define ON_WM_TIMER()                                                                          \
    AFX_MAP_ENTRY(message == WM_TIMER, void(UINT_PTR), &ThisClass::OnTimer, AFX_RESULT_VOID,   \
                  static_cast<UINT_PTR>(wParam))
#define ON_WM_SETCURSOR()                                                                      \
    AFX_MAP_ENTRY(message == WM_SETCURSOR, BOOL(CWnd*, UINT, UINT), &ThisClass::OnSetCursor,   \
                  AFX_RESULT_VALUE, CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),          \
                  LOWORD(lParam), HIWORD(lParam))
#define ON_WM_ERASEBKGND()                                                                     \
    AFX_MAP_ENTRY(message == WM_ERASEBKGND, BOOL(CDC*), &ThisClass::OnEraseBkgnd,              \
                  AFX_RESULT_VALUE, CDC::FromHandle(reinterpret_cast<HDC>(wParam)))
#define ON_WM_DESTROY()                                                                        \
    AFX_MAP_ENTRY(message == WM_DESTROY, void(), &ThisClass::OnDestroy, AFX_RESULT_VOID)

// A message without a dedicated entry: the handler takes and returns the raw values.
#define ON_MESSAGE(msg, memberFn)                                                              \
    AFX_MAP_ENTRY(message == (msg), LRESULT(WPARAM, LPARAM), memberFn, AFX_RESULT_VALUE,       \
                  wParam, lParam)

// Commands: a menu item, accelerator-free command or a control's notification.
#define ON_COMMAND(id, memberFn)                                                               \
    AFX_MAP_ENTRY(message == WM_COMMAND && HIWORD(wParam) == 0 && LOWORD(wParam) == (id),      \
                  void(), memberFn, AFX_RESULT_VOID)
#define ON_CONTROL(code, id, memberFn)                                                         \
    AFX_MAP_ENTRY(message == WM_COMMAND && HIWORD(wParam) == (code) && LOWORD(wParam) == (id), \
                  void(), memberFn, AFX_RESULT_VOID)
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
// A range of command IDs, notification code 0 only; the handler gets the ID.
#define ON_COMMAND_RANGE(firstId, lastId, memberFn)                                            \
    AFX_MAP_ENTRY(message == WM_COMMAND && HIWORD(wParam) == 0 && LOWORD(wParam) >= (firstId)  \
                      && LOWORD(wParam) <= (lastId),                                           \
                  void(UINT), memberFn, AFX_RESULT_VOID, static_cast<UINT>(LOWORD(wParam)))

// Notifications the parent hands back to the child that sent them.
#define ON_CONTROL_REFLECT(code, memberFn)                                                     \
    AFX_MAP_ENTRY(message == AFX_REFLECTED(WM_COMMAND) && HIWORD(wParam) == (code), void(),    \
                  memberFn, AFX_RESULT_VOID)
// CtlColor answers with a brush; a null brush leaves the colours to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                               \
    if (message >= AFX_REFLECTED(WM_CTLCOLORMSGBOX) && message <= AFX_REFLECTED(WM_CTLCOLORSTATIC)) \
    {                                                                                          \
        AfxHandler<ThisClass, HBRUSH(CDC*, UINT)> const afxHandler = &ThisClass::CtlColor;     \
        HBRUSH afxBrush = (this->*afxHandler)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),  \
                                              message - AFX_REFLECTED(WM_CTLCOLORMSGBOX));     \
        if (afxBrush != nullptr)                                                               \
        {                                                                                      \
            lResult = reinterpret_cast<LRESULT>(afxBrush);                                     \
            return TRUE;                                                                       \
        }                                                                                      \
    }
