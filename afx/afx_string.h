#pragma once

#include "afx_types.h"

#include <string>

// Narrow string in the ANSI code page, with MFC's CString interface. Lengths
// count bytes, as in MFC's multibyte build.
class CString
{
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const std::string& text) : m_text(text) {}

    operator const char*() const noexcept { return m_text.c_str(); }
    const std::string& str() const noexcept { return m_text; }

    int GetLength() const noexcept { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const noexcept { return m_text.empty(); }

    void Format(const char* format, ...);
    BOOL LoadString(UINT id);

    CString& operator=(const char* text) { m_text = text ? text : ""; return *this; }

private:
    std::string m_text;
};
