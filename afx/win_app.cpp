#include "win_app.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

CWnd* AfxGetMainWnd()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

void AfxEnableControlContainer()
{
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_hCurrentInstanceHandle = instance;
    state->m_hCurrentResourceHandle = instance;
    app->InitInstance();
    return app->ExitInstance();
}

CWinApp::CWinApp()
{
    AfxGetModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    if (AfxGetModuleState()->m_pCurrentWinApp == this)
        AfxGetModuleState()->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    MSG msg;
    if (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        return static_cast<int>(msg.wParam);
    return 0;
}

HICON CWinApp::LoadIcon(UINT resourceId) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId));
}

void CWinApp::OnHelp()
{
}
