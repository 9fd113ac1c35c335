#include "display_text.h"

#include "hex_codec.h"

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

std::string QuoteText(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
        {
            quoted += static_cast<char>(c);
            continue;
        }
        quoted += "\\x";
        AppendHex(text.substr(i, 1), quoted);
    }
    if (text.size() > kShown)
        quoted += "...";
    quoted += '"';
    return quoted;
}
