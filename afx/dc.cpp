#include "dc.h"

#include <cassert>

IMPLEMENT_DYNAMIC(CDC, CObject)

namespace
{

int KindIndex(HGDIOBJ object)
{
    switch (::GetObjectType(object))
    {
    case OBJ_FONT: return 0;
    case OBJ_BITMAP: return 1;
    case OBJ_BRUSH: return 2;
    case OBJ_PEN: return 3;
    default: return -1;
    }
}

} // namespace

CDC::~CDC()
{
    DeleteDC();
}

CDC* CDC::FromHandle(HDC handle)
{
    return CTempHandleMap<CDC, HDC>::FromHandle(handle);
}

BOOL CDC::Attach(HDC handle)
{
    assert(handle != nullptr && m_hDC == nullptr && "a DC wrapper attaches one DC, once");
    if (handle == nullptr || m_hDC != nullptr)
        return FALSE;
    m_hDC = handle;
    m_owned = false;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC handle = m_hDC;
    m_hDC = nullptr;
    m_owned = false;
    for (HGDIOBJ& original : m_original)
        original = nullptr;
    return handle;
}

BOOL CDC::CreateCompatibleDC(CDC* reference)
{
    assert(m_hDC == nullptr && "a DC wrapper holds one DC");
    if (m_hDC != nullptr)
        return FALSE;
    m_hDC = ::CreateCompatibleDC(reference ? reference->m_hDC : nullptr);
    m_owned = m_hDC != nullptr;
    return m_owned;
}

BOOL CDC::DeleteDC()
{
    if (m_hDC == nullptr)
        return FALSE;
    RestoreSelections();
    const bool owned = m_owned;
    HDC handle = Detach();
    return owned ? ::DeleteDC(handle) : TRUE;
}

HGDIOBJ CDC::Select(HGDIOBJ object)
{
    if (m_hDC == nullptr || object == nullptr)
        return nullptr;
    HGDIOBJ previous = ::SelectObject(m_hDC, object);
    const int kind = KindIndex(object);
    if (previous != nullptr && previous != HGDI_ERROR && kind >= 0 && m_original[kind] == nullptr)
        m_original[kind] = previous;
    return previous == HGDI_ERROR ? nullptr : previous;
}

void CDC::RestoreSelections()
{
    for (HGDIOBJ& original : m_original)
    {
        if (original != nullptr && m_hDC != nullptr)
            ::SelectObject(m_hDC, original);
        original = nullptr;
    }
}

CFont* CDC::SelectObject(CFont* font)
{
    return CFont::FromHandle(static_cast<HFONT>(Select(font ? font->m_hObject : nullptr)));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(Select(bitmap ? bitmap->m_hObject : nullptr)));
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop)
{
    return ::BitBlt(m_hDC, x, y, width, height, source ? source->m_hDC : nullptr, sourceX, sourceY, rop);
}

int CDC::DrawText(const CString& text, LPRECT rect, UINT format)
{
    return ::DrawTextA(m_hDC, text, text.GetLength(), rect, format);
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    return ::TextOutA(m_hDC, x, y, text, text.GetLength());
}

CSize CDC::GetTextExtent(const CString& text) const
{
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(m_hDC, text, text.GetLength(), &size);
    return CSize(size);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    const COLORREF previous = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, previous);
}
