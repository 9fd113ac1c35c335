#pragma once

#include "afx_string.h"
#include "bitmap.h"
#include "font.h"
#include "rect.h"

// A device context. A CDC made with CreateCompatibleDC owns its DC and deletes
// it; one from FromHandle or Attach only borrows it. Objects selected through
// the wrapper are swapped back out before the wrapper lets go of an owned DC,
// so no GDI object stays selected into a DC that goes away.
class CDC : public CObject
{
    DECLARE_DYNAMIC(CDC)
public:
    CDC() = default;
    ~CDC() override;

    static CDC* FromHandle(HDC handle);

    HDC m_hDC = nullptr;

    operator HDC() const noexcept { return m_hDC; }
    HDC GetSafeHdc() const noexcept { return m_hDC; }

    BOOL Attach(HDC handle);
    HDC Detach();
    BOOL CreateCompatibleDC(CDC* reference);
    BOOL DeleteDC();

    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    // Puts back every object that this wrapper's selections replaced.
    void RestoreSelections();

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sourceX, int sourceY, DWORD rop);
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
    int DrawText(const CString& text, LPRECT rect, UINT format);
    BOOL TextOut(int x, int y, const CString& text);
    CSize GetTextExtent(const CString& text) const;
    void FillSolidRect(LPCRECT rect, COLORREF color);
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

private:
    HGDIOBJ Select(HGDIOBJ object);

    bool m_owned = false;
    // The objects that were selected before this wrapper's first selection of
    // each kind: font, bitmap, brush, pen.
    HGDIOBJ m_original[4] = {};
};
