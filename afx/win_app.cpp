#include "win_app.h"

#include "temp_handle_map.h"
#include "wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

AFX_MODULE_STATE* AfxGetModuleState()
{
    static AFX_MODULE_STATE state = {::GetModuleHandleA(nullptr), ::GetModuleHandleA(nullptr), nullptr};
    return &state;
}

HINSTANCE AfxGetInstanceHandle()
{
    return AfxGetModuleState()->m_hCurrentInstanceHandle;
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetModuleState()->m_hCurrentResourceHandle;
}

CWinApp* AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

CWnd* AfxGetMainWnd()
{
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

LPCSTR AfxGetAppName()
{
    CWinApp* app = AfxGetApp();
    return app && app->m_pszAppName ? app->m_pszAppName : "";
}

void AfxEnableControlContainer()
{
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    AFX_MODULE_STATE* state = AfxGetModuleState();
    state->m_hCurrentInstanceHandle = instance;
    state->m_hCurrentResourceHandle = instance;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = showCommand;

    if (!app->InitApplication() || !app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}

CWinApp::CWinApp(LPCSTR appName)
{
    m_pszAppName = appName;
    if (m_pszAppName == nullptr)
    {
        // Without a name of its own the application is called after its
        // module file, as the title of its message boxes.
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        const char* base = path;
        for (const char* p = path; *p; ++p)
        {
            if (*p == '\\' || *p == '/')
                base = p + 1;
        }
        std::size_t i = 0;
        for (; base[i] && base[i] != '.' && i + 1 < sizeof m_moduleName; ++i)
            m_moduleName[i] = base[i];
        m_moduleName[i] = '\0';
        m_pszAppName = m_moduleName;
    }
    AfxGetModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp()
{
    if (AfxGetModuleState()->m_pCurrentWinApp == this)
        AfxGetModuleState()->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
    {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            AfxDeleteTempObjects();
    }
    ::PostQuitMessage(static_cast<int>(msg.wParam));
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    // A quit message left in the queue by the modal loop carries the exit code.
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
