#pragma once

#include "button.h"

// An owner-drawn button of bitmaps. Its own images and drawing are left
// out: the program's cells load and draw their images themselves.
class CBitmapButton : public CButton
{
    DECLARE_DYNAMIC(CBitmapButton)
public:
    CBitmapButton() = default;
};
