#pragma once

#include "afx_types.h"

class CSize : public tagSIZE
{
public:
    CSize() noexcept { cx = 0; cy = 0; }
    CSize(int initCX, int initCY) noexcept { cx = initCX; cy = initCY; }
    CSize(SIZE size) noexcept { cx = size.cx; cy = size.cy; }
};
