#pragma once

// Test-only: bytes written as the dump tools print them, 16 to a line, for
// round trips through the dump reader.

#include <cstddef>
#include <string>
#include <string_view>

namespace dump_test
{

enum class Layout
{
    Xxd,       // 00000000: 3032 3030 ...  0200
    HexdumpC,  // 00000000  30 32 30 30 ...  |0200|, "*" for repeats, the total last
    Od,        // 000000 30 32 30 30 ...  >0200<, "*" for repeats, the total last
    Wireshark, // 0000   30 32 30 30 ...   0200
    Java,      // 0000: 30 32 30 30 ...  0200
    JavaBars,  // 0000: 30 32 30 30 ...  |0200|
};

inline std::string HexOf(unsigned long long value, int digits, bool upper)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string hex(static_cast<std::size_t>(digits), '0');
    for (std::size_t i = hex.size(); i-- > 0; value >>= 4)
        hex[i] = set[value & 0xF];
    return hex;
}

// One line's columns after the offset: the hex, padded to 16 bytes, then the characters.
inline std::string LineBody(std::string_view bytes, Layout layout, bool upper)
{
    std::string hex;
    std::string characters;
    for (std::size_t i = 0; i < 16; ++i)
    {
        const bool has = i < bytes.size();
        const auto byte = has ? static_cast<unsigned char>(bytes[i]) : 0U;
        const std::string pair = has ? HexOf(byte, 2, upper) : "  ";
        if (has)
            characters += byte >= 0x20 && byte < 0x7F ? static_cast<char>(byte) : '.';
        if (layout == Layout::Xxd)
            hex += pair + (i % 2 == 1 ? " " : "");
        else if (layout == Layout::Od || layout == Layout::Wireshark)
            hex += " " + pair;
        else
            hex += pair + " " + (layout == Layout::HexdumpC && i == 7 ? " " : "");
    }
    switch (layout)
    {
    case Layout::Xxd:
    case Layout::Java:
        return hex + " " + characters;
    case Layout::HexdumpC:
    case Layout::JavaBars:
        return hex + " |" + characters + "|";
    case Layout::Od:
        return hex + "  >" + characters + "<";
    case Layout::Wireshark:
        break;
    }
    return hex + "   " + characters;
}

inline std::string WriteDump(std::string_view bytes, Layout layout, bool upper)
{
    const bool elides = layout == Layout::HexdumpC || layout == Layout::Od;
    const bool java = layout == Layout::Java || layout == Layout::JavaBars;
    int digits = layout == Layout::Od ? 6 : java || layout == Layout::Wireshark ? 4 : 8;
    while (digits < 16 && (bytes.size() >> (4 * digits)) != 0) // offsets widen past their usual digits
        ++digits;
    const char* afterOffset = java || layout == Layout::Xxd ? ": " : layout == Layout::Od ? "" : "  ";
    std::string text;
    bool starred = false;
    for (std::size_t at = 0; at < bytes.size(); at += 16)
    {
        const std::string_view line = bytes.substr(at, 16);
        const bool repeat = elides && at >= 16 && line.size() == 16 && line == bytes.substr(at - 16, 16);
        if (!repeat)
            text += HexOf(at, digits, upper) + afterOffset + LineBody(line, layout, upper) + "\n";
        else if (!starred)
            text += "*\n";
        starred = repeat;
    }
    if (elides && !bytes.empty())
        text += HexOf(bytes.size(), digits, upper) + "\n";
    return text;
}

} // namespace dump_test
