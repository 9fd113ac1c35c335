#include "main_app.h"

#include "main_dlg.h"

BEGIN_MESSAGE_MAP(CMainApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CMainApp::CMainApp()
{
}

CMainApp theApp;

BOOL CMainApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    CMainDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // No message loop of our own: the program ends with the dialog.
    return FALSE;
}
