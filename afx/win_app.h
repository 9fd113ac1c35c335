#pragma once

#include "cmd_target.h"
#include "message_map.h"
#include "module_state.h"

class CWnd;

CWnd* AfxGetMainWnd();
// ActiveX containment: the program hosts no controls, so there is nothing to set up.
void AfxEnableControlContainer();
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// The application: exactly one global object, constructed before WinMain,
// which then runs InitInstance. The program's dialog runs its own modal
// loop, so the application has none.
class CWinApp : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinApp)
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance();
    // The exit code: that of a quit message the modal loop left in the queue.
    virtual int ExitInstance();

    HICON LoadIcon(UINT resourceId) const;
    // The 3-D look is the system's own since Windows 95; kept for old callers.
    BOOL Enable3dControls() { return TRUE; }

    // The standard help command. No help file ships with the program, so there
    // is nothing to open.
    afx_msg void OnHelp();

    CWnd* m_pMainWnd = nullptr;
};
