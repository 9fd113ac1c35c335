#pragma once

#include "cmd_target.h"
#include "message_map.h"

class CWinApp;
class CWnd;

// What the program's module is: its instance and resource handles and its
// one application object.
struct AFX_MODULE_STATE
{
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    CWinApp* m_pCurrentWinApp;
};

AFX_MODULE_STATE* AfxGetModuleState();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
LPCSTR AfxGetAppName();
// ActiveX containment: the program hosts no controls, so there is nothing to set up.
void AfxEnableControlContainer();
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// The application: exactly one global object, constructed before WinMain,
// which then runs InitInstance (and the message loop if it returns TRUE).
class CWinApp : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitApplication();
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    HICON LoadIcon(UINT resourceId) const;
    // The 3-D look is the system's own since Windows 95; kept for old callers.
    BOOL Enable3dControls() { return TRUE; }

    // The standard help command. No help file ships with the program, so there
    // is nothing to open.
    afx_msg void OnHelp();

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszAppName = nullptr;

private:
    char m_moduleName[MAX_PATH] = {};
};
