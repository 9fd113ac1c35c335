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
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }

    BOOL IsRectEmpty() const noexcept { return ::IsRectEmpty(this); }
    BOOL PtInRect(POINT point) const noexcept { return ::PtInRect(this, point); }
    void SetRect(int l, int t, int r, int b) noexcept { ::SetRect(this, l, t, r, b); }
    void InflateRect(int dx, int dy) noexcept { ::InflateRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) noexcept { ::InflateRect(this, -dx, -dy); }
    void OffsetRect(int dx, int dy) noexcept { ::OffsetRect(this, dx, dy); }

    bool operator==(const RECT& other) const noexcept { return ::EqualRect(this, &other) != FALSE; }
    bool operator!=(const RECT& other) const noexcept { return !(*this == other); }
};
