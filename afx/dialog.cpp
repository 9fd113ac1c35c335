#include "dialog.h"

#include "win_app.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace
{

// The dialog procedure behind the window procedure of the layer: everything
// it does not handle goes to the dialog manager's defaults.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

LPCDLGTEMPLATEA LoadDialogTemplate(UINT templateId)
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    return loaded ? static_cast<LPCDLGTEMPLATEA>(::LockResource(loaded)) : nullptr;
}

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent)
{
}

HWND CDialog::OwnerWindow() const
{
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (owner == nullptr || owner == this || owner->GetSafeHwnd() == nullptr)
        return nullptr;
    // A dialog is owned by a top-level window, never by a child.
    return ::GetAncestor(owner->GetSafeHwnd(), GA_ROOT);
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATEA dialogTemplate, HWND owner)
{
    if (dialogTemplate == nullptr || m_hWnd != nullptr)
        return FALSE;
    AfxHookWindowCreate(this);
    HWND window = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialogTemplate, owner, AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    if (window != nullptr && m_hWnd != window)
    {
        ::DestroyWindow(window);
        return FALSE;
    }
    return window != nullptr;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    return CreateFromTemplate(LoadDialogTemplate(templateId), parent ? parent->GetSafeHwnd() : nullptr);
}

INT_PTR CDialog::DoModal()
{
    const HWND owner = OwnerWindow();
    const bool disabledOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disabledOwner)
        ::EnableWindow(owner, FALSE);

    m_nModalResult = -1;
    m_continueModal = true;
    if (CreateFromTemplate(LoadDialogTemplate(m_nIDTemplate), owner))
    {
        if (m_continueModal && !::IsWindowVisible(m_hWnd))
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }
    m_continueModal = false;

    // Give the activation back to the owner before this window goes.
    if (disabledOwner)
        ::EnableWindow(owner, TRUE);
    if (owner != nullptr && m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(owner);
    if (m_hWnd != nullptr)
    {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    MSG msg;
    while (m_continueModal)
    {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
        {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (got < 0)
            break;
        if (!CWnd::WalkPreTranslateTree(m_hWnd, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (m_hWnd == nullptr)
            break; // destroyed from under the loop
        // Once a message is handled nothing holds the temporary wrappers made
        // for it, unless this loop runs inside a handler (a dialog opened
        // from a message handler) that may still use those it took before.
        // Dropping them here rather than when the queue is empty spares a
        // look into the queue, a round trip to the window server, per message.
        if (!AfxIsHandlingMessage())
            AfxDeleteTempObjects();
    }
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_continueModal)
    {
        m_continueModal = false;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0); // wake the loop if it is waiting
    }
    else if (m_hWnd != nullptr)
    {
        DestroyWindow(); // a modeless dialog just goes
    }
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    Default();
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    const bool keyboard = msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST;
    const bool mouse = msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST;
    if (!keyboard && !mouse)
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, msg);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    // Commands the dialog leaves alone go on to the application.
    CWinApp* app = AfxGetApp();
    LRESULT ignored = 0;
    return app != nullptr && app->ProcessWindowMessage(WM_COMMAND, wParam, lParam, ignored);
}
