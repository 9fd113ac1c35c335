#pragma once

#include "point.h"
#include "size.h"

class CRect : public tagRECT
{
public:
    CRect() noexcept { ::SetRectEmpty(this); }
    CRect(int l, int t, int r, int b) noexcept { ::SetRect(this, l, t, r, b); }
    CRect(const RECT& rect) noexcept { ::CopyRect(this, &rect); }
    CRect(POINT topLeft, SIZE size) noexcept
    {
        ::SetRect(this, topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy);
    }

    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }

    BOOL PtInRect(POINT point) const noexcept { return ::PtInRect(this, point); }
    void InflateRect(int dx, int dy) noexcept { ::InflateRect(this, dx, dy); }

    bool operator==(const RECT& other) const noexcept { return ::EqualRect(this, &other) != FALSE; }
    bool operator!=(const RECT& other) const noexcept { return !(*this == other); }
};
