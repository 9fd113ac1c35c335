#pragma once

#include "afxwin.h"

#include <memory>

// An image strip of three cell images side by side, shared by any number of
// cells: loaded once and kept selected into a memory DC of its own while it
// lives, so that painting a cell creates nothing. Its owner keeps it alive
// longer than the cells that show it.
class CCellStrip
{
public:
    // Loads bitmap resource `resourceId` (only its low 16 bits count) from
    // the program's module, replacing any strip loaded before.
    BOOL Load(UINT resourceId);
    BOOL IsLoaded() const noexcept { return m_bitmap.GetSafeHandle() != nullptr; }
    // One image: a third of the strip's width (rounded down), its full height.
    CSize GetCellSize() const noexcept { return m_cellSize; }
    // The memory DC that holds the strip, the source of the cells' images.
    CDC* GetDC() noexcept { return &m_memory; }

private:
    CBitmap m_bitmap;
    CDC m_memory; // after the bitmap: it lets go of the bitmap before the bitmap goes
    CSize m_cellSize;
};

// A small owner-drawn push button that shows one of three round images from
// a strip: green while lit or pressed, light blue while the mouse rests on
// it, slate blue otherwise, with its caption centred on top. A left-button
// press flips the lit flag at once; the click itself is the standard
// button's BN_CLICKED on release. Create it with BS_OWNERDRAW, then call
// LoadBitmap (or SetStrip) and SetCaption before it is first painted.
class CHoverButton : public CBitmapButton
{
    DECLARE_DYNAMIC(CHoverButton)
public:
    CHoverButton() = default;

    // Loads the strip (three images side by side; only the ID's low 16 bits
    // count) and sizes the window to one image, keeping its position.
    BOOL LoadBitmap(UINT resourceId);
    // Shows a strip its owner loaded (one for many cells) instead, taking its
    // image size; the window keeps its size, so create it at that size.
    void SetStrip(CCellStrip* strip);
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
    CCellStrip* m_strip = nullptr; // the strip shown: the owner's or m_ownStrip
    std::unique_ptr<CCellStrip> m_ownStrip; // what LoadBitmap loaded
    BOOL m_tracking = FALSE;
    // A press in progress and the lit flag from before it, which comes back
    // if the press ends without a click.
    BOOL m_pressOpen = FALSE;
    BOOL m_litBeforePress = FALSE;

private:
    void EndPressWithoutClick();
    CSize CaptionExtent(CDC& dc);

    // The caption's size as last measured, and the font it was measured in.
    CSize m_captionExtent;
    HGDIOBJ m_measuredFont = nullptr;
};
