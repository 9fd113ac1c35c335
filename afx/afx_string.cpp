#include "afx_string.h"

#include "module_state.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

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
