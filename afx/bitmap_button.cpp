#include "bitmap_button.h"

IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

BOOL CBitmapButton::LoadBitmaps(UINT normalId, UINT selectedId, UINT focusId, UINT disabledId)
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    BOOL loaded = m_bitmap.LoadBitmap(normalId);
    if (selectedId != 0)
        loaded = m_bitmapSel.LoadBitmap(selectedId) && loaded;
    if (focusId != 0)
        m_bitmapFocus.LoadBitmap(focusId);
    if (disabledId != 0)
        m_bitmapDisabled.LoadBitmap(disabledId);
    return loaded;
}

void CBitmapButton::SizeToContent()
{
    BITMAP info = {};
    if (m_bitmap.GetBitmap(&info))
        SetWindowPos(nullptr, 0, 0, info.bmWidth, info.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    CBitmap* bitmap = &m_bitmap;
    if ((drawItem->itemState & ODS_SELECTED) && m_bitmapSel.m_hObject)
        bitmap = &m_bitmapSel;
    else if ((drawItem->itemState & ODS_FOCUS) && m_bitmapFocus.m_hObject)
        bitmap = &m_bitmapFocus;
    else if ((drawItem->itemState & ODS_DISABLED) && m_bitmapDisabled.m_hObject)
        bitmap = &m_bitmapDisabled;
    if (bitmap->m_hObject == nullptr)
        return;

    CDC* dc = CDC::FromHandle(drawItem->hDC);
    CDC memory;
    memory.CreateCompatibleDC(dc);
    memory.SelectObject(bitmap);
    const CRect item(drawItem->rcItem);
    dc->BitBlt(item.left, item.top, item.Width(), item.Height(), &memory, 0, 0, SRCCOPY);
}
