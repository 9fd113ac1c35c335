#include "field_codec.h"

#include "hex_codec.h"

#include <cassert>

namespace message
{

namespace
{

std::string HexOf(std::string_view bytes)
{
    std::string hex;
    AppendHex(bytes, hex);
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

// Whether IsAllowed lets every character of text stand where it is. A
// switch, not a table of functions, so that each loop is inlined here.
inline bool IsClean(Content content, std::string_view text)
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

// The first character of a text that its content does not allow. Nearly
// every text is clean: only a doubtful one is looked at character by character.
#if defined(__GNUC__)
__attribute__((noinline, cold))
#endif
bool FindNotAllowed(Content content, std::string_view text, Problem& problem)
{
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (IsAllowed(content, static_cast<unsigned char>(text[i]), i))
            continue;
        problem.kind = ProblemKind::ContentNotAllowed;
        problem.found = std::string(text);
        problem.expected = ContentName(content);
        problem.at = i + 1;
        return true;
    }
    return false;
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


// A value refused while building: the format is named after the reason.
bool Refuse(const FieldFormat& format, ProblemKind kind, Problem& problem)
{
    problem.kind = kind;
    problem.building = true;
    problem.format = DescribeFormat(format);
    return false;
}

bool RefuseLength(const FieldFormat& format, ProblemKind kind, std::size_t units, Problem& problem)
{
    problem.left = units;
    problem.expected = ContentName(format.content);
    return Refuse(format, kind, problem);
}

// A short fixed value filled the ISO way: n right-justified with zeros
// (after the sign of x+n), b with zero bytes, text with spaces.
std::string Padded(const FieldFormat& format, std::string_view value, std::size_t missing)
{
    switch (format.content)
    {
    case Content::N:
    case Content::Z:
        return std::string(missing, '0') + std::string(value);
    case Content::XN:
        return std::string(value.substr(0, 1)) + std::string(missing, '0') + std::string(value.substr(1));
    case Content::B:
    case Content::Bitmap:
        return std::string(value) + std::string(missing, '\0');
    default:
        break;
    }
    return std::string(value) + std::string(missing, ' ');
}

// The value's digits, two a byte with the pad nibble where the format puts it.
bool PutBcd(const FieldFormat& format, std::string_view digits, std::string& out, Problem& problem)
{
    const bool odd = digits.size() % 2 != 0;
    int high = odd && format.pad == Pad::Left ? format.padNibble : -1;
    for (char c : digits)
    {
        const int nibble = BcdNibble(format.content, c);
        if (nibble < 0)
        {
            problem.found = std::string(1, c);
            return Refuse(format, ProblemKind::NotBcd, problem);
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
    return true;
}

bool PutValue(const FieldFormat& format, std::string_view value, std::string& out, Problem& problem)
{
    switch (format.encoding)
    {
    case Encoding::Ascii:
    case Encoding::Binary:
        out.append(value.data(), value.size());
        return true;
    case Encoding::Ebcdic:
        for (char c : value)
            out += static_cast<char>(Latin1ToEbcdic(static_cast<unsigned char>(c)));
        return true;
    case Encoding::Hex:
        AppendHex(value, out);
        return true;
    case Encoding::Bcd:
        break;
    }
    if (format.content == Content::XN)
    {
        out += value[0];
        value.remove_prefix(1);
    }
    return PutBcd(format, value, out, problem);
}

// Hex text into bytes; the first pair that is no hex is the problem.
bool DecodeHex(std::string_view wire, std::size_t units, std::string& value, Problem& problem)
{
    const std::size_t start = value.size();
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
    if (bad >= 0)
        return true;
    std::size_t i = 0;
    while (HexValue(wire[2 * i]) >= 0 && HexValue(wire[2 * i + 1]) >= 0)
        ++i;
    value.resize(start);
    problem.kind = ProblemKind::NotHexText;
    problem.found = std::string(wire.substr(2 * i, 2));
    problem.at = 2 * i + 1;
    return false;
}

// A doubt about a BCD value's nibbles: the pad nibble, then the first digit
// over 9 (a z field's D is its separator, read as '=').
bool BcdDoubt(const FieldFormat& format, std::string_view wire, std::string& value, std::size_t start,
              std::size_t digitsStart, char padNibble, Problem& problem)
{
    const auto padDoubt = [&] {
        if (padNibble == '0' || padNibble == 'F')
            return false;
        problem.kind = ProblemKind::PadNibble;
        problem.found = std::string(1, padNibble);
        return true;
    };
    bool doubtful = format.pad == Pad::Left && padDoubt();
    if (!IsClean(Content::N, std::string_view(value).substr(digitsStart)))
    {
        for (std::size_t i = digitsStart; i < value.size(); ++i)
        {
            if (value[i] <= '9')
                continue;
            if (format.content == Content::Z && value[i] == 'D')
                value[i] = '=';
            else if (!doubtful)
            {
                problem.kind = ProblemKind::BcdNibble;
                problem.expected = HexOf(wire);
                problem.found = std::string(1, value[i]);
                problem.at = i - start + 1;
                doubtful = true;
            }
        }
    }
    return doubtful || (format.pad == Pad::Right && padDoubt());
}

// Every nibble as a hex digit first, at two a byte; then the pad goes and
// the rare nibble over 9 is looked at.
bool DecodeBcd(const FieldFormat& format, std::string_view wire, std::size_t units, std::string& value,
               Problem& problem)
{
    const std::size_t start = value.size();
    const auto* p = reinterpret_cast<const unsigned char*>(wire.data());
    std::size_t at = 0;
    if (format.content == Content::XN)
        value += static_cast<char>(p[at++]);
    const std::size_t digitsStart = value.size();
    AppendHex(wire.substr(at), value);
    const bool padded = value.size() - digitsStart != units; // by one nibble
    const bool padLeft = format.pad == Pad::Left;
    const char padNibble = padded ? value[padLeft ? digitsStart : value.size() - 1] : '0';
    if (padded)
        value.erase(padLeft ? digitsStart : value.size() - 1, 1);
    return BcdDoubt(format, wire, value, start, digitsStart, padNibble, problem);
}

} // namespace

bool ReadLengthPrefix(const FieldFormat& format, std::string_view wire, std::size_t& units, Problem& problem)
{
    assert(wire.size() == PrefixBytes(format));
    units = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(wire.data());
    if (format.prefix == Encoding::Binary)
    {
        for (std::size_t i = 0; i < wire.size(); ++i)
            units = units << 8 | p[i];
        return true;
    }
    const bool bcd = format.prefix == Encoding::Bcd;
    const bool ebcdic = format.prefix == Encoding::Ebcdic;
    for (std::size_t i = 0; i < (bcd ? 2 : 1) * wire.size(); ++i)
    {
        const unsigned digit = bcd ? (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2]) & 0x0FU
                                   : static_cast<unsigned>((ebcdic ? EbcdicToLatin1(p[i]) : p[i]) - '0');
        if (digit > 9)
        {
            problem.kind = bcd ? ProblemKind::BcdLength : ebcdic ? ProblemKind::EbcdicLength : ProblemKind::AsciiLength;
            problem.needed = wire.size();
            problem.found = bcd || ebcdic ? HexOf(wire) : std::string(wire);
            return false;
        }
        units = units * 10 + digit;
    }
    return true;
}

void WriteLengthPrefix(const FieldFormat& format, std::size_t units, std::string& out)
{
    const std::size_t digits = PrefixDigits(format.length);
    if (digits == 0)
        return;
    if (format.prefix == Encoding::Binary)
    {
        if (PrefixBytes(format) == 2)
            out += static_cast<char>(units >> 8);
        out += static_cast<char>(units & 0xFFU);
        return;
    }
    std::string text;
    PutDigits(units, format.prefix == Encoding::Bcd ? 2 * PrefixBytes(format) : digits, text);
    if (format.prefix == Encoding::Bcd)
    {
        for (std::size_t i = 0; i < text.size(); i += 2)
            out += static_cast<char>((text[i] - '0') << 4 | (text[i + 1] - '0'));
        return;
    }
    for (char c : text)
        out += format.prefix == Encoding::Ebcdic ? static_cast<char>(Latin1ToEbcdic(static_cast<unsigned char>(c))) : c;
}

Decoded DecodeValue(const FieldFormat& format, std::string_view wire, std::size_t units, std::string& value,
                    Problem& problem)
{
    assert(wire.size() == ValueBytes(format, units));
    assert(!IsValueInWire(format.encoding) && "read in place, not decoded");
    const std::size_t start = value.size();
    bool doubtful = false;
    switch (format.encoding)
    {
    case Encoding::Ascii:
    case Encoding::Binary:
        break;
    case Encoding::Ebcdic:
        for (char c : wire)
            value += static_cast<char>(EbcdicToLatin1(static_cast<unsigned char>(c)));
        break;
    case Encoding::Hex:
        if (!DecodeHex(wire, units, value, problem))
            return Decoded::Failed;
        break;
    case Encoding::Bcd:
        doubtful = DecodeBcd(format, wire, units, value, problem);
        break;
    }
    doubtful = doubtful || ContentDoubt(format.content, std::string_view(value).substr(start), problem);
    return doubtful ? Decoded::Doubtful : Decoded::Clean;
}

bool ContentDoubt(Content content, std::string_view value, Problem& problem)
{
    return !IsClean(content, value) && FindNotAllowed(content, value, problem);
}

std::size_t ValueUnits(const FieldFormat& format, std::string_view value)
{
    if (format.content == Content::XN && !value.empty())
        return value.size() - 1;
    return value.size();
}

bool EncodeField(const FieldFormat& format, std::string_view value, bool pad, std::string& out, Problem& problem)
{
    std::string padded;
    std::size_t units = ValueUnits(format, value);
    if (format.length == LengthKind::Fixed && units != format.size)
    {
        if (!pad || units > format.size)
            return RefuseLength(format, ProblemKind::FixedLength, units, problem);
        padded = Padded(format, value, format.size - units);
        value = padded;
        units = format.size;
    }
    if (units > format.size)
        return RefuseLength(format, ProblemKind::OverGreatest, units, problem);
    if (format.content == Content::XN && value.empty())
        return Refuse(format, ProblemKind::NoSign, problem);
    if (ContentDoubt(format.content, value, problem))
        return Refuse(format, ProblemKind::ContentNotAllowed, problem);
    const std::size_t mark = out.size();
    if (format.length != LengthKind::Fixed)
        WriteLengthPrefix(format, units, out);
    if (PutValue(format, value, out, problem))
        return true;
    out.resize(mark);
    return false;
}

} // namespace message
