#include "display_text.h"

std::size_t DisplayLength(std::size_t length)
{
    const std::size_t pairs = (length + 1) / 2;
    return length + pairs + (pairs >= 8 ? 3 : 0);
}

char* WriteHexForDisplay(const char* hex, std::size_t length, char* out)
{
    for (std::size_t i = 0; i < length; i += 2)
    {
        *out++ = hex[i];
        if (i + 1 < length)
            *out++ = hex[i + 1];
        *out++ = ' ';
        if (i == 14)
        {
            *out++ = ' ';
            *out++ = ' ';
            *out++ = ' ';
        }
    }
    return out;
}

std::string FormatHexForDisplay(const std::string& hex)
{
    std::string display(DisplayLength(hex.size()), ' ');
    WriteHexForDisplay(hex.data(), hex.size(), &display[0]);
    return display;
}
