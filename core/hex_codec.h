#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// The one hex table of the product and the one bytes-to-hex writer. They are
// inline because hex dumps, hex fields and bitmap texts ask them of every
// character.
namespace hex_tables
{

constexpr char kDigits[] = "0123456789ABCDEF";

constexpr std::array<signed char, 256> MakeValues()
{
    std::array<signed char, 256> values{};
    for (unsigned code = 0; code < 256; ++code)
        values[code] = -1;
    for (unsigned value = 0; value < 16; ++value)
    {
        const auto digit = static_cast<unsigned char>(kDigits[value]);
        values[digit] = static_cast<signed char>(value);
        values[digit | 0x20U] = static_cast<signed char>(value); // the lower-case letter; a decimal digit stays
    }
    return values;
}

inline constexpr std::array<signed char, 256> kValues = MakeValues();

// The two upper-case digits of every byte value, copied as one pair.
constexpr std::array<std::array<char, 2>, 256> MakePairs()
{
    std::array<std::array<char, 2>, 256> pairs{};
    for (unsigned b = 0; b < 256; ++b)
        pairs[b] = {kDigits[b >> 4], kDigits[b & 15]};
    return pairs;
}

inline constexpr std::array<std::array<char, 2>, 256> kPairs = MakePairs();

} // namespace hex_tables

// 0-15 for a hex digit of either case, -1 for any other character.
constexpr int HexValue(char c)
{
    return hex_tables::kValues[static_cast<unsigned char>(c)];
}

// The upper-case hex digit of 0-15.
inline char HexDigit(unsigned value)
{
    assert(value < 16);
    return hex_tables::kDigits[value];
}

// Two upper-case digits for every byte, appended to out.
inline void AppendHex(std::string_view bytes, std::string& out)
{
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* hex = &out[0] + start;
    for (const char byte : bytes)
    {
        std::memcpy(hex, hex_tables::kPairs[static_cast<unsigned char>(byte)].data(), 2);
        hex += 2;
    }
}

// Converts between pairs of hexadecimal digits and raw bytes. It validates
// nothing: the caller filters its input down to digits and evens the length.
class CHexCodec
{
public:
    CHexCodec() = default;
    virtual ~CHexCodec() = default;

    // Two digits make one byte. An odd trailing digit counts as its high
    // nibble; a character that is not a digit yields some byte, but nothing
    // beyond the input is ever read.
    std::string HexToBytes(std::string hex);

    // Every byte (zero bytes included) becomes two upper-case digits.
    std::string BytesToHex(std::string bytes);

    // The same conversions over caller-owned buffers, for callers on a hot
    // path that keep their data on the stack. DecodeInto writes
    // (length + 1) / 2 bytes and returns that count; EncodeInto writes
    // 2 * count characters.
    static std::size_t DecodeInto(const char* hex, std::size_t length, unsigned char* bytes);
    static void EncodeInto(const unsigned char* bytes, std::size_t count, char* hex);
};
