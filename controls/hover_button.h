#pragma once

#include "afxwin.h"

// A small owner-drawn push button that shows one of three round images from
// a strip: green while lit or pressed, light blue while the mouse rests on
// it, slate blue otherwise, with its caption centred on top. A left-button
// press flips the lit flag at once; the click itself is the standard
// button's BN_CLICKED on release. Create it with BS_OWNERDRAW, then call
// LoadBitmap and SetCaption before it is first painted.
class CHoverButton : public CBitmapButton
{
    DECLARE_DYNAMIC(CHoverButton)
public:
    CHoverButton() = default;

    // Loads the strip (three images side by side; only the ID's low 16 bits
    // count) and sizes the window to one image, keeping its position.
    BOOL LoadBitmap(UINT resourceId);
    // Takes effect at the next repaint.
    void SetCaption(CString caption);
    void SetLit(BOOL lit);

    // What the cell holds, read-only.
    const CString& GetCaption() const noexcept { return m_caption; }
    BOOL IsLit() const noexcept { return m_lit; }
    BOOL IsHovered() const noexcept { return m_hover; }
    BOOL IsTracking() const noexcept { return m_tracking; }
    CSize GetCellSize() const noexcept { return CSize(m_cellWidth, m_cellHeight); }

    BOOL PreTranslateMessage(MSG* msg) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

protected:
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* capturing);
    DECLARE_MESSAGE_MAP()

    CString m_caption;
    BOOL m_lit = FALSE;
    BOOL m_hover = FALSE;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    CBitmap m_strip;
    BOOL m_tracking = FALSE;
    // A press in progress and the lit flag from before it, which comes back
    // if the press ends without a click.
    BOOL m_pressOpen = FALSE;
    BOOL m_litBeforePress = FALSE;

private:
    void EndPressWithoutClick();
};
