#include "hex_codec.h"

#include <array>
#include <cstring>

namespace
{

// The value of each byte as a digit: toupper in the C locale (the locale of
// this program, which never calls setlocale), then code - 48 up to '@' and
// code - 55 above, so "A".."F" and "a".."f" give 10..15. Other bytes give
// some value; looking it up in a table is what keeps them well defined.
constexpr std::array<unsigned char, 256> MakeDigitValues()
{
    std::array<unsigned char, 256> values{};
    for (unsigned code = 0; code < 256; ++code)
    {
        const unsigned upper = code >= 'a' && code <= 'z' ? code - ('a' - 'A') : code;
        values[code] = static_cast<unsigned char>((upper <= 64 ? upper - 48 : upper - 55) & 0xFFU);
    }
    return values;
}

constexpr std::array<unsigned char, 256> kDigitValue = MakeDigitValues();

// The two upper-case digits of every byte value.
constexpr std::array<std::array<char, 2>, 256> MakePairs()
{
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::array<std::array<char, 2>, 256> pairs{};
    for (unsigned b = 0; b < 256; ++b)
        pairs[b] = {kDigits[b >> 4], kDigits[b & 15]};
    return pairs;
}

constexpr std::array<std::array<char, 2>, 256> kPairs = MakePairs();

unsigned DigitValue(char digit)
{
    return kDigitValue[static_cast<unsigned char>(digit)];
}

} // namespace

std::size_t CHexCodec::DecodeInto(const char* hex, std::size_t length, unsigned char* bytes)
{
    const std::size_t pairs = length / 2;
    for (std::size_t j = 0; j < pairs; ++j)
        bytes[j] = static_cast<unsigned char>((DigitValue(hex[2 * j]) << 4) | DigitValue(hex[2 * j + 1]));
    if (length % 2 != 0)
        bytes[pairs] = static_cast<unsigned char>(DigitValue(hex[length - 1]) << 4);
    return (length + 1) / 2;
}

void CHexCodec::EncodeInto(const unsigned char* bytes, std::size_t count, char* hex)
{
    // One two-byte copy per pair, not two single stores.
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(hex + 2 * i, kPairs[bytes[i]].data(), 2);
}

std::string CHexCodec::HexToBytes(std::string hex)
{
    std::string bytes((hex.size() + 1) / 2, '\0');
    DecodeInto(hex.data(), hex.size(), reinterpret_cast<unsigned char*>(&bytes[0]));
    return bytes;
}

std::string CHexCodec::BytesToHex(std::string bytes)
{
    std::string hex(bytes.size() * 2, '\0');
    EncodeInto(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &hex[0]);
    return hex;
}
