#pragma once

// Win32 headers as the layer and its users see them: narrow (ANSI) entry
// points, no min/max macros.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#undef UNICODE
#undef _UNICODE
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

// windowsx.h names a macro after the member function CWnd::SubclassWindow.
#undef SubclassWindow

#define afx_msg

// The standard command IDs that programs map (afxres.h's numbers).
#define ID_HELP 0xE146

// Reflected notifications arrive in the child's own message map under these
// numbers, as the controls' OLE convention has them (0x2000 + message).
#define AFX_REFLECT_BASE 0x2000
#define AFX_REFLECTED(message) (AFX_REFLECT_BASE + (message))
