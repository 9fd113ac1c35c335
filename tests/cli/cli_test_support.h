#pragma once

// Helpers shared by the orvane-cli tests: an oracle for the bits of a hex
// text that does not go through the core, and line splitting.

#include <cstdint>
#include <string>
#include <vector>

using BitList = std::vector<std::uint32_t>;

// Bit n is the (n-1)th bit of the digits read from the left, most
// significant bit of each digit first.
inline BitList BitsOfHex(const std::string& hex)
{
    BitList bits;
    for (std::size_t i = 0; i < hex.size(); ++i)
    {
        const char c = hex[i];
        const unsigned value = c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0')
                               : c >= 'A' && c <= 'F' ? static_cast<unsigned>(c - 'A' + 10)
                                                      : static_cast<unsigned>(c - 'a' + 10);
        for (unsigned b = 0; b < 4; ++b)
        {
            if (value & (8U >> b))
                bits.push_back(static_cast<std::uint32_t>(4 * i + b + 1));
        }
    }
    return bits;
}

inline std::string JoinBits(const BitList& bits, const char* separator)
{
    std::string text;
    for (std::size_t i = 0; i < bits.size(); ++i)
    {
        if (i != 0)
            text += separator;
        text += std::to_string(bits[i]);
    }
    return text;
}

inline BitList Range(std::uint32_t first, std::uint32_t last)
{
    BitList bits;
    for (std::uint32_t n = first; n <= last; ++n)
        bits.push_back(n);
    return bits;
}

// Lines without their "\n"; a text that does not end in "\n" has a last
// line all the same.
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
        {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::vector<std::string> SplitFields(const std::string& line, char separator)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return fields;
        start = end + 1;
    }
}

// The display text of a hex text, built from the grouping rule alone:
// pairs, one space after each, three more after the eighth.
inline std::string Grouped(const std::string& hex)
{
    std::string text;
    for (std::size_t i = 0; i < hex.size(); i += 2)
    {
        text += hex.substr(i, 2) + " ";
        if (i / 2 == 7)
            text += "   ";
    }
    return text;
}
