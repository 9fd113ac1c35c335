#include "static_ctrl.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
