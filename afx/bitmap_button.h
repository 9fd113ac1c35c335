#pragma once

#include "bitmap.h"
#include "button.h"

// An owner-drawn button showing one of up to four bitmaps: normal, selected
// (pressed), focused and disabled.
class CBitmapButton : public CButton
{
    DECLARE_DYNAMIC(CBitmapButton)
public:
    CBitmapButton() = default;

    BOOL LoadBitmaps(UINT normalId, UINT selectedId = 0, UINT focusId = 0, UINT disabledId = 0);
    void SizeToContent();
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;

protected:
    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
