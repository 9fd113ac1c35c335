#pragma once

#include "afx_types.h"

#include <shellapi.h>

// ShellExecuteA from SHELL32, which is loaded on the first call and kept:
// only the About box's link needs the shell, and loading it at start-up
// costs time. Without SHELL32 it answers SE_ERR_DLLNOTFOUND.
HINSTANCE WINAPI ShellExecuteOnFirstUse(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                        LPCSTR directory, INT showCommand);

// The Win32 calls the launcher makes. The real ones by default; tests put in
// their own to steer the shell and the registry and to see what would run.
struct UrlLauncherApi
{
    decltype(&::ShellExecuteA) shellExecute = ShellExecuteOnFirstUse;
    decltype(&::WinExec) winExec = ::WinExec;
    decltype(&::RegOpenKeyExA) regOpenKeyEx = ::RegOpenKeyExA;
    decltype(&::RegQueryValueA) regQueryValue = ::RegQueryValueA;
    decltype(&::RegCloseKey) regCloseKey = ::RegCloseKey;
};

// Replaces the calls the launcher makes from now on; returns the previous set.
UrlLauncherApi SetUrlLauncherApi(const UrlLauncherApi& api);

// Reads the default value of root\subKey into value (at least MAX_PATH bytes),
// which may be the very buffer that holds subKey. Returns a registry status;
// on any failure value is left as it was.
LONG ReadKeyDefault(HKEY root, LPCSTR subKey, LPSTR value);

// Opens url for the user: through the shell, or else with the command
// registered for ".htm" files. Returns the shell's convention: above 32 is
// success (36 for an absent url, where nothing is launched).
int OpenUrl(LPCSTR url, int showCommand);
