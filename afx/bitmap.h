#pragma once

#include "gdi_object.h"

class CBitmap : public CGdiObject
{
    DECLARE_DYNAMIC(CBitmap)
public:
    static CBitmap* FromHandle(HBITMAP handle);

    operator HBITMAP() const noexcept { return static_cast<HBITMAP>(m_hObject); }

    BOOL LoadBitmap(UINT resourceId);
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof(BITMAP), info); }
};
