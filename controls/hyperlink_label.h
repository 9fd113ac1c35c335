#pragma once

#include "afxwin.h"

// The Win32 calls of the label that tests need to steer or hear: the
// warning beep, the cursors, the help program's module and the stock
// objects. The real ones by default.
struct HyperLinkLabelApi
{
    decltype(&::MessageBeep) messageBeep = ::MessageBeep;
    decltype(&::LoadCursorA) loadCursor = ::LoadCursorA;
    decltype(&::DestroyCursor) destroyCursor = ::DestroyCursor;
    decltype(&::LoadLibraryA) loadLibrary = ::LoadLibraryA;
    decltype(&::FreeLibrary) freeLibrary = ::FreeLibrary;
    decltype(&::GetStockObject) getStockObject = ::GetStockObject;
};

// Replaces the calls the labels make from now on; returns the previous set.
HyperLinkLabelApi SetHyperLinkLabelApi(const HyperLinkLabelApi& api);

// A static text control on an MFC dialog turned into a link: link colour,
// red and underlined under the pointer, a hand cursor and a tooltip with the
// URL, its window fitted to its text; a click opens the URL, and a successful
// launch shows the text in the visited colour. Attached by subclassing
// (DDX_Control), never created.
class CHyperLinkLabel : public CStatic
{
public:
    CHyperLinkLabel() = default;
    ~CHyperLinkLabel() override;

    void PreSubclassWindow() override;
    BOOL DestroyWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void SetURL(CString url);

protected:
    void FitToText();

    afx_msg HBRUSH CtlColor(CDC* dc, UINT ctlColor);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnClicked();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);

    DECLARE_MESSAGE_MAP()

private:
    void CreateFonts();
    void LoadLinkCursor();

    const COLORREF m_linkColour = RGB(0, 0, 238);
    const COLORREF m_visitedColour = RGB(85, 26, 139);
    const COLORREF m_hoverColour = RGB(255, 0, 0);
    // 0xFFFFFFFF: the system's button-face colour.
    const COLORREF m_backgroundColour = 0xFFFFFFFF;
    BOOL m_hovering = FALSE;
    BOOL m_visited = FALSE;
    CString m_url;
    CFont m_underlineFont;
    CFont m_standardFont;
    HCURSOR m_linkCursor = nullptr;
    CToolTipCtrl m_toolTip;
    const UINT m_timerId = 100;
};
