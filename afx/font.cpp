#include "font.h"

IMPLEMENT_DYNAMIC(CFont, CGdiObject)

CFont* CFont::FromHandle(HFONT handle)
{
    return CTempHandleMap<CFont, HFONT>::FromHandle(handle);
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont)
{
    return Attach(::CreateFontIndirectA(logFont));
}
