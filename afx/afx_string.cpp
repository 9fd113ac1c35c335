#include "afx_string.h"

#include "win_app.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <vector>

CString CString::Mid(int first, int count) const
{
    const int length = GetLength();
    first = std::clamp(first, 0, length);
    count = std::clamp(count, 0, length - first);
    return CString(m_text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

int CString::Find(const char* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const std::size_t at = m_text.find(sub, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int needed = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (needed < 0)
    {
        va_end(args);
        m_text.clear();
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    m_text.assign(buffer.data(), static_cast<std::size_t>(needed));
}

BOOL CString::LoadString(UINT id)
{
    // A string table entry holds at most 4095 UTF-16 units; converted to the
    // ANSI code page each may take two bytes.
    char buffer[8192];
    const int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    m_text.assign(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
    return length > 0;
}
