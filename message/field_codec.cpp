#include "field_codec.h"

#include <array>
#include <cassert>

namespace message
{

namespace
{

constexpr char kHexDigits[] = "0123456789ABCDEF";

const char* UnitName(Content content, std::size_t count)
{
    switch (content)
    {
    case Content::N:
    case Content::Z:
    case Content::XN:
        return count == 1 ? "digit" : "digits";
    case Content::B:
    case Content::Bitmap:
        return count == 1 ? "byte" : "bytes";
    default:
        break;
    }
    return count == 1 ? "character" : "characters";
}

std::string Count(Content content, std::size_t count)
{
    return std::to_string(count) + " " + UnitName(content, count);
}

std::string HexOf(std::string_view bytes)
{
    std::string hex;
    for (char c : bytes)
    {
        hex += HexDigit(static_cast<unsigned char>(c) >> 4);
        hex += HexDigit(static_cast<unsigned char>(c) & 0x0FU);
    }
    return hex;
}

// Whether every character after the first is one the content allows: the
// content is known outside the loop, which has no branch, so the compiler
// checks many characters at a time.
template <Content content>
bool RestAllowed(std::string_view text)
{
    unsigned char bad = 0;
    for (std::size_t i = 1; i < text.size(); ++i)
        bad |= static_cast<unsigned char>(!IsAllowedAfterFirst(content, static_cast<unsigned char>(text[i])));
    return bad == 0;
}

// Whether IsAllowed lets every character of text stand where it is.
bool IsClean(Content content, std::string_view text)
{
    if (!text.empty() && !IsAllowed(content, static_cast<unsigned char>(text[0]), 0))
        return false;
    switch (content)
    {
    case Content::N:
        return RestAllowed<Content::N>(text);
    case Content::A:
        return RestAllowed<Content::A>(text);
    case Content::An:
        return RestAllowed<Content::An>(text);
    case Content::Ans:
        return RestAllowed<Content::Ans>(text);
    case Content::Ns:
        return RestAllowed<Content::Ns>(text);
    case Content::Z:
        return RestAllowed<Content::Z>(text);
    case Content::XN:
        return RestAllowed<Content::XN>(text);
    case Content::B:
    case Content::Bitmap:
        break;
    }
    return true;
}

// The first character of a decoded text that its content does not allow, as
// a doubt. Nearly every text is clean: only a doubtful one is looked at
// character by character.
std::string CheckText(Content content, std::string_view text)
{
    if (IsClean(content, text))
        return std::string();
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (!IsAllowed(content, static_cast<unsigned char>(text[i]), i))
            return Printable(text) + " is not " + ContentName(content) + ": " + Printable(text.substr(i, 1)) +
                   " at character " + std::to_string(i + 1);
    }
    return std::string();
}

// The BCD nibble of a digit to write, or -1.
int BcdNibble(Content content, char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (content == Content::Z && (c == '=' || c == 'D'))
        return 0xD;
    return -1;
}

void PutDigits(std::size_t value, std::size_t digits, std::string& text)
{
    text.resize(digits, '0');
    for (std::size_t i = digits; i-- > 0; value /= 10)
        text[i] = static_cast<char>('0' + value % 10);
}

} // namespace

const signed char kHexValues[256] = {
#define X16 -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1
    X16, X16, X16,
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1,         // 0-9
    -1, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, // A-F
    X16,
    -1, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, // a-f
    X16, X16, X16, X16, X16, X16, X16, X16, X16,
#undef X16
};

char HexDigit(unsigned value)
{
    assert(value < 16);
    return kHexDigits[value];
}

std::string Printable(std::string_view text)
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
        quoted += HexDigit(c >> 4);
        quoted += HexDigit(c & 0x0FU);
    }
    if (text.size() > kShown)
        quoted += "...";
    quoted += '"';
    return quoted;
}

bool ReadLengthPrefix(const FieldFormat& format, std::string_view wire, std::size_t& units, std::string& error)
{
    assert(wire.size() == PrefixBytes(format));
    units = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(wire.data());
    switch (format.prefix)
    {
    case Encoding::Binary:
        for (std::size_t i = 0; i < wire.size(); ++i)
            units = units << 8 | p[i];
        return true;
    case Encoding::Bcd:
        for (std::size_t i = 0; i < 2 * wire.size(); ++i)
        {
            const unsigned nibble = (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2]) & 0x0FU;
            if (nibble > 9)
            {
                error = "expected a BCD length, found " + HexOf(wire);
                return false;
            }
            units = units * 10 + nibble;
        }
        return true;
    case Encoding::Ascii:
    case Encoding::Ebcdic:
    case Encoding::Hex:
        break;
    }
    const bool ebcdic = format.prefix == Encoding::Ebcdic;
    for (std::size_t i = 0; i < wire.size(); ++i)
    {
        const unsigned char c = ebcdic ? EbcdicToLatin1(p[i]) : p[i];
        if (c < '0' || c > '9')
        {
            error = "expected " + std::to_string(wire.size()) + (ebcdic ? " EBCDIC digits" : " ASCII digits") +
                    " of length, found " + (ebcdic ? HexOf(wire) + " (hex)" : Printable(wire));
            return false;
        }
        units = units * 10 + (c - '0');
    }
    return true;
}

bool DecodeValue(const FieldFormat& format, std::string_view wire, std::size_t units, std::string& value,
                 std::string& doubt, std::string& error)
{
    assert(wire.size() == ValueBytes(format, units));
    assert(!IsValueInWire(format.encoding) && "read in place, not decoded");
    const std::size_t start = value.size();
    const auto* p = reinterpret_cast<const unsigned char*>(wire.data());
    switch (format.encoding)
    {
    case Encoding::Ascii:
    case Encoding::Binary:
        break;
    case Encoding::Ebcdic:
        for (std::size_t i = 0; i < wire.size(); ++i)
            value += static_cast<char>(EbcdicToLatin1(p[i]));
        break;
    case Encoding::Hex:
    {
        value.resize(start + units);
        char* out = &value[start];
        int bad = 0;
        for (std::size_t i = 0; i < units; ++i)
        {
            const int high = HexValue(wire[2 * i]);
            const int low = HexValue(wire[2 * i + 1]);
            bad |= high | low; // negative once any is no digit
            out[i] = static_cast<char>((high & 0x0F) << 4 | (low & 0x0F));
        }
        if (bad < 0)
        {
            std::size_t i = 0;
            while (HexValue(wire[2 * i]) >= 0 && HexValue(wire[2 * i + 1]) >= 0)
                ++i;
            value.resize(start);
            error = "expected hex text, found " + Printable(wire.substr(2 * i, 2)) + " at character " +
                    std::to_string(2 * i + 1);
            return false;
        }
        break;
    }
    case Encoding::Bcd:
    {
        std::size_t at = 0;
        if (format.content == Content::XN)
            value += static_cast<char>(p[at++]);
        // Every nibble as a hex digit first, at two a byte; then the pad goes
        // and the rare nibble over 9 is looked at.
        const std::size_t digitsStart = value.size();
        const std::size_t nibbles = 2 * (wire.size() - at);
        value.resize(digitsStart + nibbles);
        char* out = &value[digitsStart];
        for (std::size_t i = at; i < wire.size(); ++i, out += 2)
        {
            out[0] = kHexDigits[p[i] >> 4];
            out[1] = kHexDigits[p[i] & 0x0FU];
        }
        const bool padded = nibbles != units; // by one nibble
        const bool padLeft = padded && format.pad == Pad::Left;
        const char padNibble = padded ? value[padLeft ? digitsStart : value.size() - 1] : '0';
        if (padded)
            value.erase(padLeft ? digitsStart : value.size() - 1, 1);
        const auto padDoubt = [&] {
            if (padNibble != '0' && padNibble != 'F' && doubt.empty())
                doubt = std::string("pad nibble ") + padNibble + ", not 0 or F";
        };
        if (padLeft)
            padDoubt();
        const std::string_view digits = std::string_view(value).substr(digitsStart);
        if (!IsClean(Content::N, digits))
        {
            for (std::size_t i = digitsStart; i < value.size(); ++i)
            {
                if (value[i] <= '9')
                    continue;
                if (format.content == Content::Z && value[i] == 'D')
                    value[i] = '=';
                else if (doubt.empty())
                    doubt = "BCD " + HexOf(wire) + " holds the nibble " + value[i] + " at digit " +
                            std::to_string(i - start + 1);
            }
        }
        padDoubt();
        break;
    }
    }
    if (doubt.empty())
        doubt = ContentDoubt(format.content, std::string_view(value).substr(start));
    return true;
}

std::string ContentDoubt(Content content, std::string_view value)
{
    return IsClean(content, value) ? std::string() : CheckText(content, value);
}

std::size_t ValueUnits(const FieldFormat& format, std::string_view value)
{
    if (format.content == Content::XN && !value.empty())
        return value.size() - 1;
    return value.size();
}

bool EncodeField(const FieldFormat& format, std::string_view value, bool pad, std::string& out, std::string& error)
{
    std::string padded;
    std::size_t units = ValueUnits(format, value);
    if (format.length == LengthKind::Fixed && units != format.size)
    {
        if (!pad || units > format.size)
        {
            error = Count(format.content, units) + ", the format is " + DescribeFormat(format);
            return false;
        }
        const std::size_t missing = format.size - units;
        switch (format.content)
        {
        case Content::N:
        case Content::Z:
            padded = std::string(missing, '0') + std::string(value);
            break;
        case Content::XN:
            padded = std::string(value.substr(0, 1)) + std::string(missing, '0') + std::string(value.substr(1));
            break;
        case Content::B:
        case Content::Bitmap:
            padded = std::string(value) + std::string(missing, '\0');
            break;
        default:
            padded = std::string(value) + std::string(missing, ' ');
            break;
        }
        value = padded;
        units = format.size;
    }
    if (units > format.size)
    {
        error = Count(format.content, units) + ", over the greatest of " + DescribeFormat(format);
        return false;
    }
    if (format.content == Content::XN && value.empty())
    {
        error = "no sign, the format is " + DescribeFormat(format);
        return false;
    }
    const std::string bad = CheckText(format.content, value);
    if (!bad.empty())
    {
        error = bad + ", the format is " + DescribeFormat(format);
        return false;
    }

    const std::size_t mark = out.size();
    const std::size_t digits = PrefixDigits(format.length);
    if (digits != 0)
    {
        switch (format.prefix)
        {
        case Encoding::Binary:
            if (PrefixBytes(format) == 2)
                out += static_cast<char>(units >> 8);
            out += static_cast<char>(units & 0xFFU);
            break;
        case Encoding::Bcd:
        {
            std::string text;
            PutDigits(units, 2 * PrefixBytes(format), text);
            for (std::size_t i = 0; i < text.size(); i += 2)
                out += static_cast<char>((text[i] - '0') << 4 | (text[i + 1] - '0'));
            break;
        }
        default:
        {
            std::string text;
            PutDigits(units, digits, text);
            for (char c : text)
                out += format.prefix == Encoding::Ebcdic ? static_cast<char>(Latin1ToEbcdic(static_cast<unsigned char>(c))) : c;
            break;
        }
        }
    }
    switch (format.encoding)
    {
    case Encoding::Ascii:
    case Encoding::Binary:
        out.append(value.data(), value.size());
        break;
    case Encoding::Ebcdic:
        for (char c : value)
            out += static_cast<char>(Latin1ToEbcdic(static_cast<unsigned char>(c)));
        break;
    case Encoding::Hex:
        out += HexOf(value);
        break;
    case Encoding::Bcd:
    {
        std::string_view digitsText = value;
        if (format.content == Content::XN)
        {
            out += value[0];
            digitsText.remove_prefix(1);
        }
        const bool odd = digitsText.size() % 2 != 0;
        int high = odd && format.pad == Pad::Left ? format.padNibble : -1;
        for (char c : digitsText)
        {
            const int nibble = BcdNibble(format.content, c);
            if (nibble < 0)
            {
                out.resize(mark);
                error = Printable(std::string_view(&c, 1)) + " cannot be written in BCD, the format is " +
                        DescribeFormat(format);
                return false;
            }
            if (high < 0)
            {
                high = nibble;
                continue;
            }
            out += static_cast<char>(high << 4 | nibble);
            high = -1;
        }
        if (high >= 0)
            out += static_cast<char>(high << 4 | format.padNibble);
        break;
    }
    }
    return true;
}

} // namespace message
