#include "hex_codec.h"

namespace
{

// The value of each byte as a digit: a hex digit's own value; any other byte
// as toupper in the C locale (the locale of this program, which never calls
// setlocale), then code - 48 up to '@' and code - 55 above. Looking it up in
// a table is what keeps those bytes well defined.
constexpr std::array<unsigned char, 256> MakeLenientValues()
{
    std::array<unsigned char, 256> values{};
    for (unsigned code = 0; code < 256; ++code)
    {
        const int digit = HexValue(static_cast<char>(code));
        const unsigned upper = code >= 'a' && code <= 'z' ? code - ('a' - 'A') : code;
        const unsigned other = (upper <= 64 ? upper - 48 : upper - 55) & 0xFFU;
        values[code] = static_cast<unsigned char>(digit >= 0 ? static_cast<unsigned>(digit) : other);
    }
    return values;
}

constexpr std::array<unsigned char, 256> kLenientValue = MakeLenientValues();

unsigned LenientValue(char digit)
{
    return kLenientValue[static_cast<unsigned char>(digit)];
}

} // namespace

std::size_t CHexCodec::DecodeInto(const char* hex, std::size_t length, unsigned char* bytes)
{
    const std::size_t pairs = length / 2;
    for (std::size_t j = 0; j < pairs; ++j)
        bytes[j] = static_cast<unsigned char>((LenientValue(hex[2 * j]) << 4) | LenientValue(hex[2 * j + 1]));
    if (length % 2 != 0)
        bytes[pairs] = static_cast<unsigned char>(LenientValue(hex[length - 1]) << 4);
    return (length + 1) / 2;
}

void CHexCodec::EncodeInto(const unsigned char* bytes, std::size_t count, char* hex)
{
    // One two-byte copy per pair, not two single stores.
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(hex + 2 * i, hex_tables::kPairs[bytes[i]].data(), 2);
}

std::string CHexCodec::HexToBytes(std::string hex)
{
    std::string bytes((hex.size() + 1) / 2, '\0');
    DecodeInto(hex.data(), hex.size(), reinterpret_cast<unsigned char*>(&bytes[0]));
    return bytes;
}

std::string CHexCodec::BytesToHex(std::string bytes)
{
    std::string hex;
    AppendHex(bytes, hex);
    return hex;
}
