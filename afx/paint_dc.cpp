#include "paint_dc.h"

#include "wnd.h"

IMPLEMENT_DYNAMIC(CPaintDC, CDC)

CPaintDC::CPaintDC(CWnd* window) : m_ps(), m_hWnd(window->GetSafeHwnd())
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    RestoreSelections();
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}
