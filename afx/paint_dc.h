#pragma once

#include "dc.h"

class CWnd;

// The DC of one WM_PAINT: BeginPaint in the constructor, EndPaint in the
// destructor.
class CPaintDC : public CDC
{
    DECLARE_DYNAMIC(CPaintDC)
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
