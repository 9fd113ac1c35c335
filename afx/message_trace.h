#pragma once

#include "afx_types.h"

// The name of a window message ("WM_PAINT"), or null for one the table lacks.
LPCSTR AfxGetMessageName(UINT message);

// With ORVANE_TRACE_MESSAGES set in the environment, every message that
// reaches a window object is written with OutputDebugString (under Wine:
// WINEDEBUG=+debugstr).
void AfxTraceMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
