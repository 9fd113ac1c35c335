#include "bitmap_button.h"

IMPLEMENT_DYNAMIC(CBitmapButton, CButton)
