#include "bitmap.h"

#include "module_state.h"

IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)

CBitmap* CBitmap::FromHandle(HBITMAP handle)
{
    return CTempHandleMap<CBitmap, HBITMAP>::FromHandle(handle);
}

BOOL CBitmap::LoadBitmap(UINT resourceId)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId)));
}
