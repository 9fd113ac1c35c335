#pragma once

#include "afx_types.h"

#include <string>

// Narrow string in the ANSI code page, with MFC's CString interface. Lengths
// and positions count bytes, as in MFC's multibyte build.
class CString
{
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text, static_cast<std::size_t>(length)) {}
    CString(char ch, int repeat = 1) : m_text(static_cast<std::size_t>(repeat), ch) {}
    CString(const std::string& text) : m_text(text) {}

    operator const char*() const noexcept { return m_text.c_str(); }
    const std::string& str() const noexcept { return m_text; }

    int GetLength() const noexcept { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const noexcept { return m_text.empty(); }
    void Empty() noexcept { m_text.clear(); }
    char GetAt(int index) const { return m_text.at(static_cast<std::size_t>(index)); }

    CString Mid(int first, int count) const;
    CString Mid(int first) const;
    CString Left(int count) const;
    CString Right(int count) const;
    int Find(const char* sub, int start = 0) const;
    int Compare(const char* other) const { return m_text.compare(other ? other : ""); }

    void Format(const char* format, ...);
    BOOL LoadString(UINT id);

    CString& operator=(const char* text) { m_text = text ? text : ""; return *this; }
    CString& operator+=(const CString& other) { m_text += other.m_text; return *this; }
    CString& operator+=(const char* text) { m_text += text ? text : ""; return *this; }
    CString& operator+=(char ch) { m_text += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char* b) { return a + CString(b); }
    friend CString operator+(const char* a, const CString& b) { return CString(a) + b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

private:
    std::string m_text;
};
