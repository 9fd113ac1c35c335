#include "bitmap_printer.h"

#include "display_text.h"
#include "dump.h"
#include "element_names.h"
#include "field_view.h"
#include "message_json.h"

#include <array>
#include <cassert>
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

void AppendJsonList(const char* member, const std::vector<std::string>& items, std::string& out);

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

    // A tab, then BIT=NAME for each bit, separated by "; ".
    void PutNames(const std::uint32_t* bits, std::size_t count, Names names)
    {
        Put('\t');
        for (std::size_t i = 0; i < count; ++i)
        {
            if (i != 0)
                Put("; ");
            PutNumber(bits[i]);
            Put('=');
            Put(NameOf(names, bits[i]));
        }
    }

    // The JSON member "names", whose strings go to out directly.
    void PutJsonNames(const std::uint32_t* bits, std::size_t count, Names names, std::string& out)
    {
        Put(",\"names\":[");
        MoveTo(out);
        for (std::size_t i = 0; i < count; ++i)
        {
            const char* name = NameOf(names, bits[i]);
            out += i == 0 ? "" : ",";
            message::AppendJsonString(name, out);
        }
        Put(']');
    }

    // The JSON member "warnings", the object's end and its line's.
    void EndJson(const std::vector<std::string>& warnings, std::string& out)
    {
        if (warnings.empty())
        {
            Put(",\"warnings\":[]}\n");
            MoveTo(out);
            return;
        }
        MoveTo(out);
        AppendJsonList("warnings", warnings, out);
        out += "}\n";
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


void AppendJsonList(const char* member, const std::vector<std::string>& items, std::string& out)
{
    out += ",\"";
    out += member;
    out += "\":[";
    for (std::size_t i = 0; i < items.size(); ++i)
    {
        if (i != 0)
            out += ',';
        message::AppendJsonString(items[i], out);
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

} // namespace

CDecoder::CDecoder(const DecodeOptions& options)
    : m_options(options), m_numbers(MakeSeparatedNumbers(options.separator.empty() ? ' ' : options.separator[0]))
{
    m_textOptions.form = options.from == Encoding::AsciiHex    ? BitmapTextForm::AsciiHex
                         : options.from == Encoding::EbcdicHex ? BitmapTextForm::EbcdicHex
                                                               : BitmapTextForm::Hex;
    if (options.header != 0)
        m_headFraming.header.push_back(message::HeaderPart{"header", options.header});
    m_textOptions.autoFirst = options.autoFirst;
    m_textOptions.leadByte = options.leadByte;
}

Verdict CDecoder::Decode(const std::string& text, const InputPlace& place, std::string& out, std::string& diagnostic)
{
    m_warnings.swap(m_notes);
    m_notes.clear();
    // The window refuses an empty edit box before any filtering; a text of
    // spaces or other non-digits goes on and loads as an all-clear bitmap.
    if (text.empty())
        return Fail(place, kEmptyText, out, diagnostic);
    if (m_options.from == Encoding::Dump)
    {
        message::Problem problem;
        if (!message::DumpToBytes(text, m_messageBytes, problem))
            return Fail(place, problem.Text(), out, diagnostic);
        return FinishMessage(place, out, diagnostic);
    }

    // A clean text holds no terminal code, whose ESC is no hex digit: only a
    // text with warnings is looked at again, and read again without them.
    ReadText(text);
    if (!m_textWarnings.empty())
    {
        std::string colourless = text;
        if (RemoveTerminalCodes(colourless))
        {
            m_warnings.push_back("terminal colour codes removed");
            m_textWarnings.clear();
            ReadText(colourless);
        }
        for (const BitmapTextWarning& warning : m_textWarnings)
            m_warnings.push_back(WarningText(warning));
        m_textWarnings.clear();
    }
    if (!m_options.message)
        return Finish(place, nullptr, out, diagnostic);
    return FinishMessage(place, out, diagnostic);
}

Verdict CDecoder::DecodeMessage(std::string_view bytes, const InputPlace& place, std::string& out,
                                std::string& diagnostic)
{
    m_warnings.swap(m_notes);
    m_notes.clear();
    m_messageBytes.assign(bytes.data(), bytes.size());
    return FinishMessage(place, out, diagnostic);
}

Verdict CDecoder::FinishMessage(const InputPlace& place, std::string& out, std::string& diagnostic)
{
    std::string mti;
    std::string error;
    if (!ReadMessage(mti, error))
        return Fail(place, error, out, diagnostic);
    return Finish(place, mti.c_str(), out, diagnostic);
}

void CDecoder::ReadText(const std::string& text)
{
    assert(m_textWarnings.empty());
    if (!m_options.message)
        ReadBitmapText(text, m_textOptions, m_bitmap, m_textWarnings);
    else
        MessageBytesFromText(text, m_textOptions, m_messageBytes, m_textWarnings);
}

Verdict CDecoder::DecodeBytes(const std::string& bytes, const InputPlace& place, std::string& out,
                              std::string& diagnostic)
{
    m_warnings.swap(m_notes);
    m_notes.clear();
    m_bitmap.Clear();
    m_bitmap.FromBytes(bytes, m_options.autoFirst);
    return Finish(place, nullptr, out, diagnostic);
}

bool CDecoder::ReadMessage(std::string& mti, std::string& error)
{
    message::Problem problem;
    if (!message::ReadHexTypedHead(m_messageBytes, m_headFraming, m_head, problem))
    {
        error = problem.Text();
        return false;
    }
    for (const message::Problem& warning : m_head.warnings)
        m_warnings.push_back(warning.Text());
    mti.assign(m_head.mti, 4);
    m_bitmap.Clear();
    m_bitmap.FromBytes(std::string(message::BitmapBytes(m_head)), m_options.autoFirst);
    return true;
}

Verdict CDecoder::Finish(const InputPlace& place, const char* mti, std::string& out, std::string& diagnostic)
{
    if (m_options.strict && !m_warnings.empty())
        return Fail(place, "not a clean bitmap: " + Join(m_warnings), out, diagnostic);

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
            line.PutJsonNames(bits, count, m_options.names, out);
        line.EndJson(m_warnings, out);
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
            line.PutNames(bits, count, m_options.names);
        line.Put('\n');
        line.MoveTo(out);
    }
    if (m_warnings.empty())
        return Verdict::Clean;
    diagnostic = "warning: " + PlaceText(place) + ": " + Join(m_warnings);
    return Verdict::Warned;
}

Verdict CDecoder::Fail(const InputPlace& place, const std::string& reason, std::string& out, std::string& diagnostic)
{
    if (m_options.json)
    {
        AppendJsonStart(place, out);
        out += ",\"error\":";
        message::AppendJsonString(reason, out);
        if (!m_warnings.empty())
            AppendJsonList("warnings", m_warnings, out);
        out += "}\n";
    }
    else
    {
        out += "error: " + reason + "\n";
    }
    diagnostic = PlaceText(place) + ": " + reason;
    return Verdict::Bad;
}

void CDecoder::Reject(const InputPlace& place, const std::string& reason, std::string& out, std::string& diagnostic)
{
    m_warnings.clear();
    m_notes.clear();
    Fail(place, reason, out, diagnostic);
}

bool EncodeBits(const std::vector<std::string>& numbers, const EncodeOptions& options, std::string& out,
                std::vector<std::string>& errors)
{
    CIsoBitmap bitmap;
    std::vector<BitNumberError> bad;
    if (!BitmapFromNumbers(numbers, options.autoFirst, bitmap, bad))
    {
        for (const BitNumberError& error : bad)
            errors.push_back(BitNumberErrorText(error));
        return false;
    }
    const std::string hex = bitmap.ToHex();
    out += options.display ? FormatHexForDisplay(hex) : hex;
    out += '\n';
    return true;
}



} // namespace cli
