#include "module_state.h"

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
