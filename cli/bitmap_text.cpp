#include "bitmap_text.h"

#include "display_text.h"
#include "element_names.h"
#include "field_codec.h"
#include "hex_codec.h"

#include <array>
#include <charconv>
#include <cstring>

namespace cli
{

namespace
{

const char kEmptyText[] = "the bitmap text is empty";

// Decimal texts of 0..128 as plain characters: the hot loop copies them
// instead of converting numbers.
struct NumberText
{
    char text[4];
    unsigned char length;
};

constexpr std::array<NumberText, 129> MakeNumberTexts()
{
    std::array<NumberText, 129> numbers{};
    for (unsigned n = 0; n <= 128; ++n)
    {
        NumberText& number = numbers[n];
        if (n >= 100)
            number.text[number.length++] = static_cast<char>('0' + n / 100);
        if (n >= 10)
            number.text[number.length++] = static_cast<char>('0' + n / 10 % 10);
        number.text[number.length++] = static_cast<char>('0' + n % 10);
    }
    return numbers;
}

constexpr std::array<NumberText, 129> kNumbers = MakeNumberTexts();

constexpr CDecoder::SeparatedNumbers MakeSeparatedNumbers(char separator)
{
    CDecoder::SeparatedNumbers numbers{};
    for (unsigned n = 0; n <= 128; ++n)
    {
        numbers[n].text[0] = separator;
        for (unsigned k = 0; k < kNumbers[n].length; ++k)
            numbers[n].text[1 + k] = kNumbers[n].text[k];
        numbers[n].length = static_cast<unsigned char>(1 + kNumbers[n].length);
    }
    return numbers;
}

constexpr CDecoder::SeparatedNumbers kCommaNumbers = MakeSeparatedNumbers(',');

const char* NameOf(Names names, std::uint32_t bit)
{
    return names == Names::Chinese ? DataElementNameZh(bit) : DataElementName(bit);
}

// Writes the fixed-size part of one line of output into a buffer on the
// stack: the longest, a text line with all 128 bits and their names, stays
// far below its size. Texts that JSON escapes or of unbounded length (file
// names, JSON names, warnings) go to the output string directly.
class CLineBuffer
{
public:
    void Put(char c) { *m_end++ = c; }

    void Put(const char* text, std::size_t length)
    {
        std::memcpy(m_end, text, length);
        m_end += length;
    }

    void Put(const char* text) { Put(text, std::strlen(text)); }

    void PutNumber(std::uint32_t n) { Put(kNumbers[n].text, kNumbers[n].length); }

    void PutDisplay(const char* hex, std::size_t length) { m_end = WriteHexForDisplay(hex, length, m_end); }

    void PutBits(const std::uint32_t* bits, std::size_t count, const std::string& separator)
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            if (i != 0)
                Put(separator.data(), separator.size());
            PutNumber(bits[i]);
        }
    }

    void PutBits(const std::uint32_t* bits, std::size_t count, const CDecoder::SeparatedNumbers& numbers)
    {
        // Separator and number stored together, four bytes at a time; the
        // separator before the first number is then taken back.
        char* end = m_end; // a local, so the stores need not reload it
        for (std::size_t i = 0; i < count; ++i)
        {
            const CDecoder::SeparatedNumber& number = numbers[bits[i]];
            std::memcpy(end, number.text, 4);
            end += number.length;
        }
        if (count != 0)
        {
            std::memmove(m_end, m_end + 1, static_cast<std::size_t>(end - m_end - 1));
            --end;
        }
        m_end = end;
    }

    void MoveTo(std::string& out)
    {
        out.append(m_data, static_cast<std::size_t>(m_end - m_data));
        m_end = m_data;
    }

private:
    char m_data[16384];
    char* m_end = m_data;
};

void AppendNumber(std::uint64_t value, std::string& out)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

} // namespace

std::string PlaceText(const InputPlace& place)
{
    static const char* const kKinds[] = {"line ", "argument ", "bitmap ", "message "};
    std::string text = place.file != nullptr ? *place.file + " " : std::string();
    text += kKinds[static_cast<int>(place.kind)];
    AppendNumber(place.number, text);
    return text;
}

namespace
{

// The length of the UTF-8 sequence at p, or 0 if there is none.
std::size_t Utf8Length(const unsigned char* p, const unsigned char* end)
{
    const unsigned c = p[0];
    const std::size_t length = c < 0xC2 ? 0 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 0;
    if (length == 0 || static_cast<std::size_t>(end - p) < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i)
    {
        if ((p[i] & 0xC0U) != 0x80U)
            return 0;
    }
    // No overlong forms, no surrogates, nothing past U+10FFFF.
    if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0) || (c == 0xF0 && p[1] < 0x90) ||
        (c == 0xF4 && p[1] >= 0x90))
        return 0;
    return length;
}

void AppendJson(const char* text, std::size_t size, bool utf8Passes, std::string& out)
{
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const auto* const end = p + size;
    while (p < end)
    {
        const unsigned c = *p;
        const std::size_t utf8 = c >= 0x80 && utf8Passes ? Utf8Length(p, end) : 0;
        if (utf8 != 0)
        {
            out.append(reinterpret_cast<const char*>(p), utf8);
            p += utf8;
            continue;
        }
        if (c == '"' || c == '\\')
        {
            out += '\\';
            out += static_cast<char>(c);
        }
        else if (c < 0x20 || c >= 0x7F)
        {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
        else
        {
            out += static_cast<char>(c);
        }
        ++p;
    }
    out += '"';
}

} // namespace

void AppendJsonString(const char* text, std::size_t size, std::string& out)
{
    AppendJson(text, size, true, out);
}

void AppendJsonString(const std::string& text, std::string& out)
{
    AppendJsonString(text.data(), text.size(), out);
}

void AppendJsonBytes(std::string_view bytes, std::string& out)
{
    AppendJson(bytes.data(), bytes.size(), false, out);
}

void AppendJsonStart(const InputPlace& place, std::string& out)
{
    out += "{\"input\":";
    AppendNumber(place.number, out);
    if (place.file != nullptr)
    {
        out += ",\"source\":\"file\",\"file\":";
        AppendJsonString(*place.file, out);
    }
    else
    {
        out += place.kind == InputKind::Argument ? ",\"source\":\"argument\"" : ",\"source\":\"stdin\"";
    }
}

namespace
{

void AppendJsonList(const char* member, const std::vector<std::string>& items, std::string& out)
{
    out += ",\"";
    out += member;
    out += "\":[";
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        if (i != 0)
            out += ',';
        AppendJsonString(items[i], out);
    }
    out += ']';
}

std::string Join(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : "; ") + item;
    return text;
}

std::size_t FindOther(const std::string& text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i)
    {
        if (!CIsoBitmap::IsHexDigit(text[i]) && text[i] != ' ')
            return i;
    }
    return std::string::npos;
}

std::string OtherWarning(const std::string& text, std::size_t at, const char* whose)
{
    std::string warning = "characters other than hex digits and spaces";
    warning += whose;
    warning += ", the first " + Quote(text.substr(at, 1)) + " at column ";
    AppendNumber(at + 1, warning);
    return warning;
}

// The printable ASCII character of each EBCDIC hex digit and the space; 0
// for the bytes that are none of these.
char FromEbcdic(unsigned char byte)
{
    if (byte >= 0xF0 && byte <= 0xF9)
        return static_cast<char>('0' + (byte - 0xF0));
    if (byte >= 0xC1 && byte <= 0xC6)
        return static_cast<char>('A' + (byte - 0xC1));
    if (byte >= 0x81 && byte <= 0x86)
        return static_cast<char>('a' + (byte - 0x81));
    return byte == 0x40 ? ' ' : '\0';
}

// A word of exactly 16 or 32 hex digits among other characters, such as the
// value of "bitmap=...": likely the bitmap itself. Its offset, or npos.
std::size_t FindBitmapWord(const std::string& text, std::size_t& length)
{
    for (std::size_t start = 0; start < text.size();)
    {
        std::size_t end = start;
        while (end < text.size() && CIsoBitmap::IsHexDigit(text[end]))
            ++end;
        length = end - start;
        if (length == 16 || length == 32)
            return start;
        start = end + 1;
    }
    return std::string::npos;
}

} // namespace

CDecoder::CDecoder(const DecodeOptions& options)
    : m_options(options), m_numbers(MakeSeparatedNumbers(options.separator.empty() ? ' ' : options.separator[0]))
{
}

Verdict CDecoder::Decode(const std::string& text, const InputPlace& place, std::string& out, std::string& message)
{
    m_warnings.swap(m_notes);
    m_notes.clear();
    // The window refuses an empty edit box before any filtering; a text of
    // spaces or other non-digits goes on and loads as an all-clear bitmap.
    if (text.empty())
        return Fail(place, kEmptyText, out, message);

    CIsoBitmap::TextShape shape;
    m_bitmap.Clear();
    if (m_options.from == Encoding::Hex && !m_options.message)
    {
        // The bitmap button's road; a text that is not a clean bitmap is
        // looked at again to say why.
        m_bitmap.FromHex(text, m_options.autoFirst, m_options.leadByte, &shape);
        const bool clean = shape.firstOther == std::string::npos &&
                           (shape.digits == 16 || shape.digits == 32) && shape.firstBit == (shape.digits == 32);
        if (!clean)
        {
            std::string work = text;
            if (RemoveTerminalCodes(work))
            {
                m_warnings.push_back("terminal colour codes removed");
                m_bitmap.Clear();
                m_bitmap.FromHex(work, m_options.autoFirst, m_options.leadByte, &shape);
            }
            CheckBitmapText(work, shape);
        }
        return Finish(place, nullptr, out, message);
    }

    std::string work = text;
    if (RemoveTerminalCodes(work))
        m_warnings.push_back("terminal colour codes removed");
    if (m_options.from != Encoding::Hex)
    {
        // The digits of the encoded text make one character per pair.
        std::string digits = CIsoBitmap::HexDigits(work, m_options.leadByte);
        const std::size_t other = FindOther(work, 0);
        if (other != std::string::npos)
            m_warnings.push_back(OtherWarning(work, other, " in the encoded text"));
        if (digits.size() % 2 != 0)
        {
            m_warnings.push_back("an odd number of encoded digits: the last one is dropped");
            digits.pop_back();
        }
        work = CHexCodec().HexToBytes(digits);
        if (m_options.from == Encoding::EbcdicHex)
        {
            std::string decoded;
            for (std::size_t i = 0; i < work.size(); ++i)
            {
                const char c = FromEbcdic(static_cast<unsigned char>(work[i]));
                if (c != '\0')
                    decoded += c;
                else if (decoded.size() == i) // the first byte of its kind
                    m_warnings.push_back("byte " + digits.substr(2 * i, 2) + " is no EBCDIC hex digit or space: dropped");
            }
            work = decoded;
        }
    }

    std::string mti;
    if (m_options.message)
    {
        std::string error;
        if (!ReadMessage(work, mti, error))
            return Fail(place, error, out, message);
        return Finish(place, mti.c_str(), out, message);
    }
    m_bitmap.FromHex(work, m_options.autoFirst, m_options.leadByte, &shape);
    CheckBitmapText(work, shape);
    return Finish(place, nullptr, out, message);
}

Verdict CDecoder::DecodeBytes(const std::string& bytes, const InputPlace& place, std::string& out,
                              std::string& message)
{
    m_warnings.swap(m_notes);
    m_notes.clear();
    m_bitmap.Clear();
    m_bitmap.FromBytes(bytes, m_options.autoFirst);
    return Finish(place, nullptr, out, message);
}

void CDecoder::CheckBitmapText(const std::string& text, const CIsoBitmap::TextShape& shape)
{
    const char* const whose = m_options.from == Encoding::Hex ? "" : " in the decoded text";
    const std::size_t first = text.find_first_not_of(' ');
    std::size_t other = shape.firstOther;
    if (first != std::string::npos && (text.compare(first, 2, "0x") == 0 || text.compare(first, 2, "0X") == 0))
    {
        m_warnings.push_back("a 0x prefix: its 0 is read as a digit and shifts every bit; leave the prefix out");
        other = FindOther(text, first + 2);
    }
    if (other != std::string::npos)
    {
        std::size_t length = 0;
        const std::size_t word = FindBitmapWord(text, length);
        m_warnings.push_back(OtherWarning(text, other, whose));
        if (word != std::string::npos)
            m_warnings.back() += " (" + Quote(text.substr(word, length)) + " at column " + std::to_string(word + 1) +
                                 " may be the bitmap alone)";
    }

    std::string count;
    AppendNumber(shape.digits, count);
    if (shape.digits != 16 && shape.digits != 32)
    {
        std::string warning = count + (shape.digits == 1 ? " hex digit" : " hex digits") + ", not 16 or 32";
        if (shape.digits > 32)
            warning += ": only the first 32 count";
        if (shape.digits == 20 || shape.digits == 36)
            warning += " (a message type in front? --message reads it)";
        m_warnings.push_back(warning);
    }
    else if (shape.digits == 32 && !shape.firstBit)
    {
        m_warnings.push_back("32 digits but bit 1 is clear: no secondary bitmap is announced");
    }
    else if (shape.digits == 16 && shape.firstBit)
    {
        m_warnings.push_back("bit 1 announces a secondary bitmap, but there are only 16 digits");
    }
}

bool CDecoder::ReadMessage(const std::string& text, std::string& mti, std::string& error)
{
    const std::size_t other = FindOther(text, 0);
    if (other != std::string::npos)
        m_warnings.push_back(OtherWarning(text, other, m_options.from == Encoding::Hex ? "" : " in the decoded text"));

    // The header, message type and bitmaps are read as parse reads them: the
    // hex digits are the message's bytes, a last odd digit belongs to no byte.
    const std::string digits = CIsoBitmap::HexDigits(text, m_options.leadByte);
    std::string bytes(digits.size() / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(message::HexValue(digits[2 * i]) << 4 | message::HexValue(digits[2 * i + 1]));
    static const message::MessageSpec kHead = [] {
        message::MessageSpec spec;
        spec.name = "decode";
        spec.mti = message::Encoding::Bcd;
        spec.bitmap = message::Encoding::Binary;
        return spec;
    }();
    message::Framing framing;
    if (m_options.header != 0)
        framing.header.push_back(message::HeaderPart{"header", m_options.header});
    message::Problem problem;
    std::size_t fieldsStart = 0;
    if (!message::ReadHead(kHead, framing, bytes, message::ReadOptions{}, m_head, problem, fieldsStart))
    {
        error = problem.Text();
        return false;
    }
    for (const message::Problem& warning : m_head.warnings)
        m_warnings.push_back(warning.Text());
    mti.assign(m_head.mti, 4);
    m_bitmap.FromBytes(std::string(reinterpret_cast<const char*>(m_head.bitmap), m_head.bitmapBytes),
                       m_options.autoFirst);
    return true;
}

Verdict CDecoder::Finish(const InputPlace& place, const char* mti, std::string& out, std::string& message)
{
    if (m_options.strict && !m_warnings.empty())
        return Fail(place, "not a clean bitmap: " + Join(m_warnings), out, message);

    char hex[32];
    const std::size_t digits = m_bitmap.ToHexInto(hex);
    std::uint32_t bits[128];
    const std::size_t count = m_bitmap.SetBits(bits);
    const auto length = static_cast<std::uint32_t>(m_bitmap.BitCount());

    CLineBuffer line;
    if (m_options.json)
    {
        AppendJsonStart(place, out);
        if (mti != nullptr)
        {
            line.Put(",\"mti\":\"");
            line.Put(mti);
            line.Put('"');
        }
        line.Put(",\"display\":\"");
        line.PutDisplay(hex, digits);
        line.Put("\",\"hex\":\"");
        line.Put(hex, digits);
        line.Put("\",\"length\":");
        line.PutNumber(length);
        line.Put(",\"bits\":[");
        line.PutBits(bits, count, kCommaNumbers);
        line.Put(']');
        if (m_options.names != Names::None)
        {
            line.Put(",\"names\":[");
            line.MoveTo(out);
            for (std::size_t i = 0; i < count; ++i)
            {
                const char* name = NameOf(m_options.names, bits[i]);
                out += i == 0 ? "" : ",";
                AppendJsonString(name, std::strlen(name), out);
            }
            line.Put(']');
        }
        if (m_warnings.empty())
        {
            line.Put(",\"warnings\":[]}\n");
            line.MoveTo(out);
        }
        else
        {
            line.MoveTo(out);
            AppendJsonList("warnings", m_warnings, out);
            out += "}\n";
        }
    }
    else
    {
        if (mti != nullptr)
        {
            line.Put(mti);
            line.Put('\t');
        }
        line.PutDisplay(hex, digits);
        line.Put('\t');
        line.PutNumber(length);
        line.Put('\t');
        if (m_options.separator.size() == 1)
            line.PutBits(bits, count, m_numbers);
        else
            line.PutBits(bits, count, m_options.separator);
        if (m_options.names != Names::None)
        {
            line.Put('\t');
            for (std::size_t i = 0; i < count; ++i)
            {
                if (i != 0)
                    line.Put("; ");
                line.PutNumber(bits[i]);
                line.Put('=');
                line.Put(NameOf(m_options.names, bits[i]));
            }
        }
        line.Put('\n');
        line.MoveTo(out);
    }
    if (m_warnings.empty())
        return Verdict::Clean;
    message = "warning: " + PlaceText(place) + ": " + Join(m_warnings);
    return Verdict::Warned;
}

Verdict CDecoder::Fail(const InputPlace& place, const std::string& reason, std::string& out, std::string& message)
{
    if (m_options.json)
    {
        AppendJsonStart(place, out);
        out += ",\"error\":";
        AppendJsonString(reason, out);
        if (!m_warnings.empty())
            AppendJsonList("warnings", m_warnings, out);
        out += "}\n";
    }
    else
    {
        out += "error: " + reason + "\n";
    }
    message = PlaceText(place) + ": " + reason;
    return Verdict::Bad;
}

void CDecoder::Reject(const InputPlace& place, const std::string& reason, std::string& out, std::string& message)
{
    m_warnings.clear();
    m_notes.clear();
    Fail(place, reason, out, message);
}

BitNumberStatus ParseBitNumber(const std::string& text, std::uint32_t& bit)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++i;
    if (i == text.size())
        return BitNumberStatus::NotANumber;
    // Saturates well above 128, so no count of digits can overflow.
    std::uint32_t value = 0;
    for (; i < text.size(); ++i)
    {
        if (text[i] < '0' || text[i] > '9')
            return BitNumberStatus::NotANumber;
        value = value > 1000 ? value : value * 10 + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative || value < 1 || value > 128)
        return BitNumberStatus::OutOfRange;
    bit = value;
    return BitNumberStatus::Ok;
}

bool EncodeBits(const std::vector<std::string>& numbers, const EncodeOptions& options, std::string& out,
                std::vector<std::string>& errors)
{
    // An empty load stores the auto-first rule in the model; the rendering
    // then applies it, exactly as after a load in the window.
    CIsoBitmap bitmap;
    bitmap.FromBytes(std::string(), options.autoFirst);
    for (std::size_t i = 0; i < numbers.size(); ++i)
    {
        std::uint32_t bit = 0;
        const BitNumberStatus status = ParseBitNumber(numbers[i], bit);
        if (status == BitNumberStatus::Ok)
        {
            bitmap.Set(bit);
            continue;
        }
        std::string message = "argument ";
        AppendNumber(i + 1, message);
        message += " (" + Quote(numbers[i]) + "): ";
        message += status == BitNumberStatus::OutOfRange ? "bit number outside 1..128" : "not a bit number";
        errors.push_back(message);
    }
    if (!errors.empty())
        return false;
    const std::string hex = bitmap.ToHex();
    out += options.display ? FormatHexForDisplay(hex) : hex;
    out += '\n';
    return true;
}

std::string Quote(const std::string& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    constexpr std::size_t kShown = 40;
    std::string quoted = "\"";
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i)
    {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
        {
            quoted += static_cast<char>(c);
        }
        else
        {
            quoted += "\\x";
            quoted += kHex[c >> 4];
            quoted += kHex[c & 15];
        }
    }
    if (text.size() > kShown)
        quoted += "...";
    quoted += '"';
    return quoted;
}

bool RemoveTerminalCodes(std::string& text)
{
    // ESC [, parameter bytes 0x30-0x3F, intermediate bytes 0x20-0x2F, one
    // final byte 0x40-0x7E. An unfinished sequence stays as it is.
    bool found = false;
    std::size_t at = 0;
    while ((at = text.find("\x1B[", at)) != std::string::npos)
    {
        std::size_t end = at + 2;
        while (end < text.size() && text[end] >= 0x30 && text[end] <= 0x3F)
            ++end;
        while (end < text.size() && text[end] >= 0x20 && text[end] <= 0x2F)
            ++end;
        if (end < text.size() && text[end] >= 0x40 && text[end] <= 0x7E)
        {
            text.erase(at, end + 1 - at);
            found = true;
        }
        else
        {
            at += 2;
        }
    }
    return found;
}

} // namespace cli
