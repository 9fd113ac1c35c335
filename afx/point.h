#pragma once

#include "afx_types.h"

class CPoint : public tagPOINT
{
public:
    CPoint() noexcept { x = 0; y = 0; }
    CPoint(int initX, int initY) noexcept { x = initX; y = initY; }
    CPoint(POINT point) noexcept { x = point.x; y = point.y; }

    bool operator==(POINT other) const noexcept { return x == other.x && y == other.y; }
    bool operator!=(POINT other) const noexcept { return !(*this == other); }
    void Offset(int dx, int dy) noexcept { x += dx; y += dy; }
};
