#pragma once

#include "afxwin.h"

// The application: runs the main dialog modally and ends with it.
class CMainApp : public CWinApp
{
public:
    CMainApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CMainApp theApp;
