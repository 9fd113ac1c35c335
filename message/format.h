#pragma once

// How one data element sits in a message: what it holds, how its length is
// told, and how its value is written on the wire.

// EBCDIC texts convert by the core's code page 037 tables.
#include "ebcdic.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace message
{

// The ISO 8583 content letters.
enum class Content : std::uint8_t
{
    N,      // digits
    A,      // letters
    An,     // letters and digits
    Ans,    // letters, digits and special characters: printable ASCII
    Ns,     // digits and special characters
    B,      // binary
    Z,      // track 2 and 3 data: digits and the separators
    XN,     // C (credit) or D (debit), then digits
    Bitmap, // 8 bytes announcing the next 64 fields
};

// A fixed length, or a length prefix of 2, 3 or 4 decimal digits before the value.
enum class LengthKind : std::uint8_t
{
    Fixed,
    LL,
    LLL,
    LLLL,
};

enum class Encoding : std::uint8_t
{
    Ascii,
    Ebcdic, // code page 037
    Bcd,    // two digits a byte
    Binary, // raw bytes; for a length prefix, a big-endian number
    Hex,    // hex text in ASCII, two characters a byte
};

enum class Pad : std::uint8_t
{
    Left,  // an odd BCD value is right-justified: the pad nibble comes first
    Right, // left-justified: the pad nibble comes last
};

struct FieldFormat
{
    Content content = Content::Ans;
    LengthKind length = LengthKind::Fixed;
    Encoding prefix = Encoding::Ascii;   // of the length prefix: Ascii, Ebcdic, Bcd or Binary
    Encoding encoding = Encoding::Ascii; // of the value
    // The fixed or greatest length, in the unit of the content: digits for
    // n, z and x+n (the sign not counted), characters for a, an, ans and ns,
    // bytes for b and bitmaps. A length prefix counts the same unit.
    std::uint32_t size = 0;
    Pad pad = Pad::Left;
    std::uint8_t padNibble = 0; // written as the pad of an odd BCD value: 0x0 or 0xF; either is read
    bool tlv = false;           // the value is BER-TLV
};

// Digits of the length prefix: 0, 2, 3 or 4.
inline std::size_t PrefixDigits(LengthKind kind)
{
    return static_cast<std::size_t>(kind) + (kind == LengthKind::Fixed ? 0 : 1);
}

// Bytes the length prefix takes on the wire.
inline std::size_t PrefixBytes(const FieldFormat& format)
{
    const std::size_t digits = PrefixDigits(format.length);
    if (digits == 0)
        return 0;
    // A BCD or binary prefix of 2 digits fits one byte; of 3 or 4, two.
    if (format.prefix == Encoding::Bcd || format.prefix == Encoding::Binary)
        return digits == 2 ? 1 : 2;
    return digits;
}

// Bytes a value of length units takes on the wire, the prefix not counted.
inline std::size_t ValueBytes(const FieldFormat& format, std::size_t units)
{
    const std::size_t sign = format.content == Content::XN ? 1 : 0;
    switch (format.encoding)
    {
    case Encoding::Bcd:
        return sign + (units + 1) / 2;
    case Encoding::Hex:
        return 2 * units;
    case Encoding::Ascii:
    case Encoding::Ebcdic:
    case Encoding::Binary:
        break;
    }
    return sign + units;
}

// The format as ISO 8583 writes it: "n 6", "n..19 LLVAR", "ans...999 LLLVAR",
// "b 8" (b lengths in bytes, a bitmap too), "b...255 LLLVAR TLV".
std::string DescribeFormat(const FieldFormat& format);
const char* ContentName(Content content);
const char* EncodingName(Encoding encoding);
const char* LengthName(LengthKind kind);

// The characters of the contents. Branch-free (| rather than ||) and inline,
// so that a loop over a text checks many characters at a time.
inline bool IsDigit(unsigned char c)
{
    return static_cast<unsigned char>(c - '0') < 10;
}
inline bool IsLetter(unsigned char c)
{
    return static_cast<unsigned char>((c | 0x20U) - 'a') < 26;
}
inline bool IsPrintable(unsigned char c)
{
    return static_cast<unsigned char>(c - 0x20) < 0x5F;
}

// Whether a decoded character is allowed in the content after a text's
// first character (the first of x+n is its sign): the checks that are
// warnings when reading and errors when building.
inline bool IsAllowedAfterFirst(Content content, unsigned char c)
{
    switch (content)
    {
    case Content::N:
    case Content::XN:
        return IsDigit(c);
    case Content::A:
        return (unsigned{IsLetter(c)} | unsigned{c == ' '}) != 0;
    case Content::An:
        return (unsigned{IsLetter(c)} | unsigned{IsDigit(c)} | unsigned{c == ' '}) != 0;
    case Content::Ans:
        return IsPrintable(c);
    case Content::Ns:
        return (unsigned{IsPrintable(c)} & unsigned{!IsLetter(c)}) != 0;
    case Content::Z:
        // Track data: digits, the field separator (= or D), the start and
        // end sentinels.
        return (unsigned{IsDigit(c)} | unsigned{c == '='} | unsigned{c == 'D'} | unsigned{c == ';'} | unsigned{c == '?'}) != 0;
    case Content::B:
    case Content::Bitmap:
        break;
    }
    return true;
}

// As above, for the character at index of a text.
inline bool IsAllowed(Content content, unsigned char c, std::size_t index)
{
    if (index == 0 && content == Content::XN)
        return c == 'C' || c == 'D';
    return IsAllowedAfterFirst(content, c);
}

} // namespace message
