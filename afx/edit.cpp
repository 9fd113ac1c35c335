#include "edit.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
