#include "bitmap_text.h"

#include "display_text.h"
#include "element_names.h"

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
    char text[3];
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

// The set bits that one hex digit of the rendering holds, as text: digit i
// holds bits 4i + 1 (its 8) to 4i + 4 (its 1). Each number comes after a
// separator, so a line's list is the texts of its digits one after another.
struct DigitBits
{
    char text[16]; // at most four numbers of up to three digits, each after a separator
    unsigned char length;
};

using DigitBitsTable = std::array<std::array<DigitBits, 16>, 32>;

constexpr DigitBitsTable MakeDigitBits(char separator)
{
    DigitBitsTable table{};
    for (unsigned position = 0; position < 32; ++position)
    {
        for (unsigned value = 0; value < 16; ++value)
        {
            DigitBits& entry = table[position][value];
            for (unsigned b = 0; b < 4; ++b)
            {
                if ((value & (8U >> b)) == 0)
                    continue;
                const NumberText& number = kNumbers[4 * position + b + 1];
                entry.text[entry.length++] = separator;
                for (unsigned k = 0; k < number.length; ++k)
                    entry.text[entry.length++] = number.text[k];
            }
        }
    }
    return table;
}

constexpr DigitBitsTable kSpacedBits = MakeDigitBits(' ');
constexpr DigitBitsTable kCommaBits = MakeDigitBits(',');

// The value of each upper-case digit the rendering can hold; a table
// rather than a comparison, which random bitmaps would mispredict.
constexpr std::array<unsigned char, 256> MakeDigitValues()
{
    std::array<unsigned char, 256> values{};
    for (unsigned c = '0'; c <= '9'; ++c)
        values[c] = static_cast<unsigned char>(c - '0');
    for (unsigned c = 'A'; c <= 'F'; ++c)
        values[c] = static_cast<unsigned char>(c - 'A' + 10);
    return values;
}

constexpr std::array<unsigned char, 256> kDigitValues = MakeDigitValues();

unsigned DigitValue(char digit)
{
    return kDigitValues[static_cast<unsigned char>(digit)];
}

// Writes one line of output into a fixed buffer: the longest line, a JSON
// object with all 128 bits and their names, stays far below its size.
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

    void PutBit(std::uint32_t bit) { Put(kNumbers[bit].text, kNumbers[bit].length); }

    void PutDisplay(const std::string& hex) { m_end = WriteHexForDisplay(hex.data(), hex.size(), m_end); }

    // The set bits of a rendered hex text, separated by the table's separator.
    void PutBitList(const std::string& hex, const DigitBitsTable& table)
    {
        char* const start = m_end;
        char* end = start; // a local, so the stores below need not reload it
        for (std::size_t i = 0; i < hex.size(); ++i)
        {
            // Whole 16-byte entries are copied, then only the used part kept.
            const DigitBits& entry = table[i][DigitValue(hex[i])];
            std::memcpy(end, entry.text, sizeof entry.text);
            end += entry.length;
        }
        // No separator before the first number.
        if (end != start)
        {
            std::memmove(start, start + 1, static_cast<std::size_t>(end - start - 1));
            --end;
        }
        m_end = end;
    }

    void AppendTo(std::string& out) const { out.append(m_data, static_cast<std::size_t>(m_end - m_data)); }

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

std::string PlaceText(const InputPlace& place)
{
    std::string text = place.kind == InputKind::Line ? "line " : "argument ";
    AppendNumber(place.number, text);
    return text;
}

// Every text this program puts into JSON is ASCII; escaping the few
// characters JSON reserves keeps any future text valid too.
void AppendJsonString(const char* text, std::string& out)
{
    static const char kHex[] = "0123456789abcdef";
    out += '"';
    for (const char* p = text; *p != '\0'; ++p)
    {
        const auto c = static_cast<unsigned char>(*p);
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
    }
    out += '"';
}

void AppendJsonError(const InputPlace& place, const char* reason, std::string& out)
{
    out += "{\"input\":";
    AppendNumber(place.number, out);
    out += ",\"error\":";
    AppendJsonString(reason, out);
    out += "}\n";
}

// The set bits of the rendered bitmap, read off its hex text.
std::size_t SetBitsOf(const std::string& hex, std::uint32_t* bits)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < hex.size(); ++i)
    {
        const unsigned value = DigitValue(hex[i]);
        for (unsigned b = 0; b < 4; ++b)
        {
            if (value & (8U >> b))
                bits[count++] = static_cast<std::uint32_t>(4 * i + b + 1);
        }
    }
    return count;
}

void PutNames(const std::string& hex, bool json, CLineBuffer& line)
{
    std::uint32_t bits[128];
    const std::size_t count = SetBitsOf(hex, bits);
    for (std::size_t i = 0; i < count; ++i)
    {
        if (json)
        {
            // The names hold no character that JSON escapes (the tests see to that).
            if (i != 0)
                line.Put(',');
            line.Put('"');
            line.Put(DataElementName(bits[i]));
            line.Put('"');
        }
        else
        {
            line.Put('\t');
            line.PutBit(bits[i]);
            line.Put('\t');
            line.Put(DataElementName(bits[i]));
            line.Put('\n');
        }
    }
}

void WritePlain(const std::string& hex, std::int32_t length, bool names, CLineBuffer& line)
{
    line.PutDisplay(hex);
    line.Put('\t');
    line.PutBit(static_cast<std::uint32_t>(length));
    line.Put('\t');
    line.PutBitList(hex, kSpacedBits);
    line.Put('\n');
    if (names)
        PutNames(hex, false, line);
}

void WriteJson(const InputPlace& place, const std::string& hex, std::int32_t length, bool names, CLineBuffer& line)
{
    char digits[24];
    line.Put("{\"input\":");
    line.Put(digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, place.number).ptr - digits));
    line.Put(",\"display\":\"");
    line.PutDisplay(hex);
    line.Put("\",\"hex\":\"");
    line.Put(hex.data(), hex.size());
    line.Put("\",\"length\":");
    line.PutBit(static_cast<std::uint32_t>(length));
    line.Put(",\"bits\":[");
    line.PutBitList(hex, kCommaBits);
    line.Put(']');
    if (names)
    {
        line.Put(",\"names\":[");
        PutNames(hex, true, line);
        line.Put(']');
    }
    line.Put("}\n");
}

} // namespace

bool CDecoder::Decode(const std::string& text, const InputPlace& place, std::string& out, std::string& error)
{
    // The window refuses an empty edit box before any filtering; a text of
    // spaces or other non-digits goes on and loads as an all-clear bitmap.
    if (text.empty())
    {
        error = PlaceText(place) + ": " + kEmptyText + "; enter the bitmap as hex digits";
        if (m_options.json)
            AppendJsonError(place, kEmptyText, out);
        return false;
    }

    // The bitmap button's road: clear, load, render, group for display.
    m_bitmap.Clear();
    m_bitmap.FromHex(text, m_options.autoFirst, m_options.leadByte);
    const std::string hex = m_bitmap.ToHex();

    CLineBuffer line;
    if (m_options.json)
        WriteJson(place, hex, m_bitmap.BitCount(), m_options.names, line);
    else
        WritePlain(hex, m_bitmap.BitCount(), m_options.names, line);
    line.AppendTo(out);
    return true;
}

bool DecodeText(const std::string& text, const InputPlace& place, const DecodeOptions& options,
                std::string& out, std::string& error)
{
    CDecoder decoder(options);
    return decoder.Decode(text, place, out, error);
}

std::string RejectInput(const InputPlace& place, const std::string& reason, const DecodeOptions& options,
                        std::string& out)
{
    if (options.json)
        AppendJsonError(place, reason.c_str(), out);
    return PlaceText(place) + ": " + reason;
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

bool EncodeBits(const std::vector<std::string>& numbers, const EncodeOptions& options,
                std::string& out, std::vector<std::string>& errors)
{
    // An empty load stores the auto-first rule in the model; the rendering
    // then applies it, exactly as after a load in the window.
    CIsoBitmap bitmap;
    bitmap.FromBytes(std::string(), options.autoFirst);

    bool good = true;
    for (std::size_t i = 0; i < numbers.size(); ++i)
    {
        std::uint32_t bit = 0;
        const BitNumberStatus status = ParseBitNumber(numbers[i], bit);
        if (status == BitNumberStatus::Ok)
        {
            bitmap.Set(bit);
            continue;
        }
        good = false;
        std::string message = "argument ";
        AppendNumber(i + 1, message);
        message += " (" + Quote(numbers[i]) + "): ";
        message += status == BitNumberStatus::OutOfRange ? "bit number outside 1..128" : "not a bit number";
        errors.push_back(message);
    }

    const std::string hex = bitmap.ToHex();
    if (options.display)
        out += FormatHexForDisplay(hex);
    else
        out += hex;
    out += '\n';
    return good;
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

} // namespace cli
