#include "hover_button.h"

#include <cassert>
#include <utility>

IMPLEMENT_DYNAMIC(CHoverButton, CBitmapButton)

BEGIN_MESSAGE_MAP(CHoverButton, CBitmapButton)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, &CHoverButton::OnMouseLeave)
    ON_MESSAGE(WM_MOUSEHOVER, &CHoverButton::OnMouseHover)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

namespace
{

// Images of the strip, left to right.
constexpr int kImageNormal = 0;
constexpr int kImageLit = 1;
constexpr int kImageHover = 2;

} // namespace

BOOL CCellStrip::Load(UINT resourceId)
{
    m_memory.DeleteDC();
    m_bitmap.DeleteObject();
    m_cellSize = CSize(0, 0);
    m_bitmap.Attach(::LoadImageA(AfxGetModuleState()->m_hCurrentInstanceHandle,
                                 MAKEINTRESOURCEA(LOWORD(resourceId)), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    BITMAP info = {};
    if (m_bitmap.GetObject(sizeof info, &info) == 0)
        return FALSE;
    m_cellSize = CSize(info.bmWidth / 3, info.bmHeight);
    m_memory.CreateCompatibleDC(nullptr);
    m_memory.SelectObject(&m_bitmap);
    return TRUE;
}

void CHoverButton::SetStrip(CCellStrip* strip)
{
    assert(strip != nullptr && strip->IsLoaded());
    m_strip = strip;
    m_cellWidth = strip->GetCellSize().cx;
    m_cellHeight = strip->GetCellSize().cy;
}

BOOL CHoverButton::LoadBitmap(UINT resourceId)
{
    if (!m_ownStrip)
        m_ownStrip = std::make_unique<CCellStrip>();
    if (m_ownStrip->Load(resourceId))
    {
        SetStrip(m_ownStrip.get());
    }
    else
    {
        // Without a strip there is nothing to size from: the cell keeps the
        // size it was created with and DrawItem paints a plain face there.
        m_strip = nullptr;
        CRect client;
        GetClientRect(&client);
        m_cellWidth = client.Width();
        m_cellHeight = client.Height();
    }
    // No SWP_NOZORDER: the cell loaded last lies on top of its siblings.
    SetWindowPos(nullptr, 0, 0, m_cellWidth, m_cellHeight, SWP_NOMOVE | SWP_NOOWNERZORDER);
    return TRUE;
}

void CHoverButton::SetCaption(CString caption)
{
    m_caption = std::move(caption);
    m_measuredFont = nullptr;
}

void CHoverButton::SetLit(BOOL lit)
{
    m_lit = lit;
    // A hidden cell is painted whole when it shows again.
    if (IsWindowVisible())
        InvalidateRect(nullptr, TRUE);
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC dc; // borrows the item's DC
    dc.Attach(drawItem->hDC);
    const bool pressed = (drawItem->itemState & ODS_SELECTED) != 0;
    if (m_strip != nullptr)
    {
        // The images are opaque: the lit image, shown whenever the cell is
        // lit or pressed, is the only one drawn then.
        int image = kImageNormal;
        if (pressed || m_lit)
            image = kImageLit;
        else if (m_hover)
            image = kImageHover;
        dc.BitBlt(0, 0, m_cellWidth, m_cellHeight, m_strip->GetDC(), image * m_cellWidth, 0, SRCCOPY);
    }
    else
    {
        // A plain push-button face that still tells lit from unlit.
        CRect face(0, 0, m_cellWidth, m_cellHeight);
        ::DrawFrameControl(dc, face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed || m_lit ? DFCS_PUSHED : 0));
    }

    dc.SetBkMode(TRANSPARENT);
    // A font given to the cell (WM_SETFONT) is the caption's; without one the
    // caption takes whatever the context carries.
    if (CFont* font = GetFont())
        dc.SelectObject(font);
    const CSize text = CaptionExtent(dc);
    dc.TextOut((m_cellWidth - text.cx) / 2, (m_cellHeight - text.cy) / 2, m_caption);
    dc.RestoreSelections();
}

CSize CHoverButton::CaptionExtent(CDC& dc)
{
    // The caption's size depends only on the text and the font it is drawn
    // in: measured again only when either changes.
    const HGDIOBJ font = ::GetCurrentObject(dc, OBJ_FONT);
    if (font != m_measuredFont || m_measuredFont == nullptr)
    {
        CRect text(0, 0, 0, 0);
        dc.DrawText(m_caption, &text, DT_CALCRECT);
        m_captionExtent = CSize(text.Width(), text.Height());
        m_measuredFont = font;
    }
    return m_captionExtent;
}

void CHoverButton::OnMouseMove(UINT, CPoint)
{
    if (!m_tracking)
    {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_HOVER | TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 1;
        // Only a request in force counts. When the pointer has already left
        // by the time this move is handled, Windows answers with an
        // immediate leave, but Wine accepts the request, tracks nothing and
        // never sends one; the cell would wait for a hover that cannot come.
        TRACKMOUSEEVENT query = {};
        query.cbSize = sizeof query;
        query.dwFlags = TME_QUERY;
        m_tracking = ::_TrackMouseEvent(&track) && ::_TrackMouseEvent(&query) && query.hwndTrack == m_hWnd;
    }
    Default();
}

LRESULT CHoverButton::OnMouseHover(WPARAM, LPARAM)
{
    m_hover = TRUE;
    InvalidateRect(nullptr, TRUE);
    return 0;
}

LRESULT CHoverButton::OnMouseLeave(WPARAM, LPARAM)
{
    m_tracking = FALSE;
    m_hover = FALSE;
    InvalidateRect(nullptr, TRUE);
    return 0;
}

void CHoverButton::OnLButtonDown(UINT, CPoint)
{
    m_litBeforePress = m_lit;
    m_lit = m_lit ? FALSE : TRUE;
    m_pressOpen = TRUE;
    // Pushed, the button repaints itself showing the lit image whatever the
    // flag says: invalidating it again would only cost a round trip to the
    // window server.
    Default();
}

void CHoverButton::OnLButtonUp(UINT, CPoint point)
{
    if (m_pressOpen)
    {
        // The standard button clicks on this release only if it still shows
        // itself pushed, which it does while the pointer is over it, and the
        // release point lies inside it.
        CRect client;
        GetClientRect(&client);
        const bool clicks = (GetState() & BST_PUSHED) != 0 && client.PtInRect(point);
        if (clicks)
            m_pressOpen = FALSE;
        else
            EndPressWithoutClick();
    }
    Default();
}

void CHoverButton::OnCaptureChanged(CWnd*)
{
    // Losing the capture before the release ends the press with no click.
    if (m_pressOpen)
        EndPressWithoutClick();
    Default();
}

void CHoverButton::EndPressWithoutClick()
{
    m_pressOpen = FALSE;
    m_lit = m_litBeforePress;
    InvalidateRect(nullptr, TRUE);
}

BOOL CHoverButton::PreTranslateMessage(MSG* msg)
{
    // The space bar would press and click the button: the mouse is the only
    // way to toggle a cell.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_SPACE)
        return TRUE;
    return CBitmapButton::PreTranslateMessage(msg);
}
