#include "hover_button.h"

#include <memory>
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

BOOL CHoverButton::LoadBitmap(UINT resourceId)
{
    m_strip.DeleteObject();
    m_strip.Attach(::LoadImageA(AfxGetModuleState()->m_hCurrentInstanceHandle,
                                MAKEINTRESOURCEA(LOWORD(resourceId)), IMAGE_BITMAP, 0, 0,
                                LR_LOADMAP3DCOLORS));
    BITMAP info = {};
    if (m_strip.GetObject(sizeof info, &info) != 0)
    {
        m_cellWidth = info.bmWidth / 3;
        m_cellHeight = info.bmHeight;
    }
    else
    {
        // Without a strip there is nothing to size from: the cell keeps the
        // size it was created with and DrawItem paints a plain face there.
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
}

void CHoverButton::SetLit(BOOL lit)
{
    m_lit = lit;
    InvalidateRect(nullptr, TRUE);
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CDC* dc = CDC::FromHandle(drawItem->hDC);
    const bool pressed = (drawItem->itemState & ODS_SELECTED) != 0;
    if (m_strip.GetSafeHandle() != nullptr)
    {
        auto memory = std::make_unique<CDC>();
        memory->CreateCompatibleDC(dc);
        CBitmap* kept = memory->SelectObject(&m_strip);
        int image = kImageNormal;
        if (pressed)
            image = kImageLit;
        else if (m_hover)
            image = kImageHover;
        dc->BitBlt(0, 0, m_cellWidth, m_cellHeight, memory.get(), image * m_cellWidth, 0, SRCCOPY);
        if (m_lit)
            dc->BitBlt(0, 0, m_cellWidth, m_cellHeight, memory.get(), kImageLit * m_cellWidth, 0, SRCCOPY);
        memory->SelectObject(kept);
    }
    else
    {
        // A plain push-button face that still tells lit from unlit.
        CRect face(0, 0, m_cellWidth, m_cellHeight);
        ::DrawFrameControl(*dc, face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed || m_lit ? DFCS_PUSHED : 0));
    }

    dc->SetBkMode(TRANSPARENT);
    CRect text(0, 0, 0, 0);
    dc->DrawText(m_caption, &text, DT_CALCRECT);
    dc->TextOut((m_cellWidth - text.Width()) / 2, (m_cellHeight - text.Height()) / 2, m_caption);
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
    Default();
    InvalidateRect(nullptr, TRUE);
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
