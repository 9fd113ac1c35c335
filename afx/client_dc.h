#pragma once

#include "dc.h"

class CWnd;

// A window's client-area DC for the lifetime of the object.
class CClientDC : public CDC
{
    DECLARE_DYNAMIC(CClientDC)
public:
    explicit CClientDC(CWnd* window);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
