// The lower bound of any program built on Orvane's main window: its dialog
// template and nothing else; its system menu's About entry shows the About
// box's template, also with nothing else.
#include <windows.h>

#include "resource.h"

namespace
{

INT_PTR CALLBACK BareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    const int command = LOWORD(wParam);
    if (message == WM_COMMAND && (command == IDOK || command == IDCANCEL || command == IDC_EXIT))
    {
        ::EndDialog(dialog, 0);
        return TRUE;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == IDM_ABOUTBOX)
    {
        ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), dialog, BareDialogProc, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return static_cast<int>(::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ORVANE_DIALOG), nullptr,
                                              BareDialogProc, 0));
}
