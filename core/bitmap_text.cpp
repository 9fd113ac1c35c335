#include "bitmap_text.h"

#include "display_text.h"
#include "ebcdic.h"
#include "hex_codec.h"

#include <cassert>

namespace
{

constexpr std::size_t kNone = std::string::npos;

bool IsClean(const CIsoBitmap::TextShape& shape)
{
    return shape.firstOther == kNone && (shape.digits == 16 || shape.digits == 32) &&
           shape.firstBit == (shape.digits == 32);
}

std::size_t FindOther(const std::string& text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i)
    {
        if (!CIsoBitmap::IsHexDigit(text[i]) && text[i] != ' ')
            return i;
    }
    return kNone;
}

BitmapTextWarning Warning(BitmapTextWarningKind kind)
{
    BitmapTextWarning warning;
    warning.kind = kind;
    return warning;
}

BitmapTextWarning OtherCharacters(const std::string& text, std::size_t at, BitmapTextLayer layer)
{
    BitmapTextWarning warning = Warning(BitmapTextWarningKind::OtherCharacters);
    warning.layer = layer;
    warning.found = text.substr(at, 1);
    warning.column = at + 1;
    return warning;
}

// A word of exactly 16 or 32 hex digits among other characters, such as the
// value of "bitmap=...", is likely the bitmap itself.
void FindBitmapWord(const std::string& text, BitmapTextWarning& warning)
{
    for (std::size_t start = 0; start < text.size();)
    {
        std::size_t end = start;
        while (end < text.size() && CIsoBitmap::IsHexDigit(text[end]))
            ++end;
        if (end - start == 16 || end - start == 32)
        {
            warning.word = text.substr(start, end - start);
            warning.wordColumn = start + 1;
            return;
        }
        start = end + 1;
    }
}

void CheckDigits(const CIsoBitmap::TextShape& shape, BitmapTextWarnings& warnings)
{
    if (shape.digits != 16 && shape.digits != 32)
    {
        warnings.push_back(Warning(BitmapTextWarningKind::DigitCount));
        warnings.back().count = shape.digits;
    }
    else if (shape.digits == 32 && !shape.firstBit)
    {
        warnings.push_back(Warning(BitmapTextWarningKind::SecondaryNotAnnounced));
    }
    else if (shape.digits == 16 && shape.firstBit)
    {
        warnings.push_back(Warning(BitmapTextWarningKind::SecondaryMissing));
    }
}

// Says why a text that FromHex has read is not a clean bitmap.
void CheckShape(const std::string& text, const CIsoBitmap::TextShape& shape, BitmapTextLayer layer,
                BitmapTextWarnings& warnings)
{
    const std::size_t first = text.find_first_not_of(' ');
    std::size_t other = shape.firstOther;
    if (first != kNone && (text.compare(first, 2, "0x") == 0 || text.compare(first, 2, "0X") == 0))
    {
        warnings.push_back(Warning(BitmapTextWarningKind::ZeroXPrefix));
        other = FindOther(text, first + 2);
    }
    if (other != kNone)
    {
        warnings.push_back(OtherCharacters(text, other, layer));
        FindBitmapWord(text, warnings.back());
    }
    CheckDigits(shape, warnings);
}

// The characters of EBCDIC codes that are hex digits or the space; the
// first byte that is none of these is named, by its digits in the text.
std::string FromEbcdic(const std::string& bytes, const std::string& digits, BitmapTextWarnings& warnings)
{
    std::string decoded;
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        const auto c = static_cast<char>(EbcdicToLatin1(static_cast<unsigned char>(bytes[i])));
        if (CIsoBitmap::IsHexDigit(c) || c == ' ')
        {
            decoded += c;
        }
        else if (decoded.size() == i)
        {
            warnings.push_back(Warning(BitmapTextWarningKind::NotEbcdicDigit));
            warnings.back().found = digits.substr(2 * i, 2);
        }
    }
    return decoded;
}

// The characters that an ASCII or EBCDIC hex text encodes, one per pair of
// its digits.
std::string Decode(const std::string& text, const BitmapTextOptions& options, BitmapTextWarnings& warnings)
{
    assert(options.form != BitmapTextForm::Hex);
    std::string digits = CIsoBitmap::HexDigits(text, options.leadByte);
    const std::size_t other = FindOther(text, 0);
    if (other != kNone)
        warnings.push_back(OtherCharacters(text, other, BitmapTextLayer::Encoded));
    if (digits.size() % 2 != 0)
    {
        warnings.push_back(Warning(BitmapTextWarningKind::OddEncodedDigits));
        digits.pop_back();
    }
    std::string bytes = CHexCodec().HexToBytes(digits);
    return options.form == BitmapTextForm::EbcdicHex ? FromEbcdic(bytes, digits, warnings) : bytes;
}

std::string DigitCountText(std::size_t count)
{
    std::string text = std::to_string(count) + (count == 1 ? " hex digit" : " hex digits") + ", not 16 or 32";
    if (count > 32)
        text += ": only the first 32 count";
    if (count == 20 || count == 36)
        text += " (a message type in front? --message reads it)";
    return text;
}

std::string DigitCountTextZh(std::size_t count)
{
    std::string text = "有 " + std::to_string(count) + " 个十六进制数字，不是 16 或 32 个";
    if (count > 32)
        text += "：只取前 32 个";
    if (count == 20 || count == 36)
        text += "（前面是否带了报文类型？）";
    return text;
}

std::string OtherCharactersText(const BitmapTextWarning& warning)
{
    static const char* const kWhose[] = {"", " in the encoded text", " in the decoded text"};
    std::string text = "characters other than hex digits and spaces";
    text += kWhose[static_cast<int>(warning.layer)];
    text += ", the first " + QuoteText(warning.found) + " at column " + std::to_string(warning.column);
    if (!warning.word.empty())
        text += " (" + QuoteText(warning.word) + " at column " + std::to_string(warning.wordColumn) +
                " may be the bitmap alone)";
    return text;
}

std::string OtherCharactersTextZh(const BitmapTextWarning& warning)
{
    static const char* const kWhose[] = {"位图文本", "编码文本", "解码后的文本"};
    std::string text = kWhose[static_cast<int>(warning.layer)];
    text += "中有十六进制数字和空格以外的字符，第一个是 " + QuoteText(warning.found) + "，在第 " +
            std::to_string(warning.column) + " 列";
    if (!warning.word.empty())
        text += "（第 " + std::to_string(warning.wordColumn) + " 列的 " + QuoteText(warning.word) +
                " 可能就是位图本身）";
    return text;
}

// The words of each kind, in English and in Chinese; the kinds with
// figures are worded by the functions above.
std::string Worded(const BitmapTextWarning& warning, bool chinese)
{
    switch (warning.kind)
    {
    case BitmapTextWarningKind::OtherCharacters:
        return chinese ? OtherCharactersTextZh(warning) : OtherCharactersText(warning);
    case BitmapTextWarningKind::DigitCount:
        return chinese ? DigitCountTextZh(warning.count) : DigitCountText(warning.count);
    case BitmapTextWarningKind::NotEbcdicDigit:
        return chinese ? "字节 " + warning.found + " 不是 EBCDIC 的十六进制数字或空格：已舍弃"
                       : "byte " + warning.found + " is no EBCDIC hex digit or space: dropped";
    default:
        break;
    }
    static const char* const kFixed[][2] = {
        {"", ""},
        {"a 0x prefix: its 0 is read as a digit and shifts every bit; leave the prefix out",
         "带有 0x 前缀：其中的 0 会被当作数字读入，所有位都随之错位；请去掉前缀"},
        {"", ""},
        {"32 digits but bit 1 is clear: no secondary bitmap is announced",
         "有 32 个数字，但第 1 位未置位：没有声明第二位图"},
        {"bit 1 announces a secondary bitmap, but there are only 16 digits", "第 1 位声明有第二位图，但只有 16 个数字"},
        {"an odd number of encoded digits: the last one is dropped", "编码数字的个数是奇数：最后一个已舍弃"},
    };
    static_assert(sizeof kFixed / sizeof kFixed[0] == static_cast<int>(BitmapTextWarningKind::NotEbcdicDigit),
                  "one row for each kind before the last, in the order of the kinds");
    return kFixed[static_cast<int>(warning.kind)][chinese ? 1 : 0];
}

} // namespace

void ReadBitmapText(const std::string& text, const BitmapTextOptions& options, CIsoBitmap& bitmap,
                    BitmapTextWarnings& warnings)
{
    // A clean hex text, the hot road, meets no call but Clear and FromHex.
    CIsoBitmap::TextShape shape;
    bitmap.Clear();
    if (options.form == BitmapTextForm::Hex)
    {
        bitmap.FromHex(text, options.autoFirst, options.leadByte, &shape);
        if (!IsClean(shape))
            CheckShape(text, shape, BitmapTextLayer::Given, warnings);
        return;
    }
    const std::string decoded = Decode(text, options, warnings);
    bitmap.FromHex(decoded, options.autoFirst, options.leadByte, &shape);
    if (!IsClean(shape))
        CheckShape(decoded, shape, BitmapTextLayer::Decoded, warnings);
}

void MessageBytesFromText(const std::string& text, const BitmapTextOptions& options, std::string& bytes,
                          BitmapTextWarnings& warnings)
{
    const bool encoded = options.form != BitmapTextForm::Hex;
    const std::string decoded = encoded ? Decode(text, options, warnings) : std::string();
    const std::string& hex = encoded ? decoded : text;
    const std::size_t other = FindOther(hex, 0);
    if (other != kNone)
        warnings.push_back(OtherCharacters(hex, other, encoded ? BitmapTextLayer::Decoded : BitmapTextLayer::Given));
    const std::string digits = CIsoBitmap::HexDigits(hex, options.leadByte);
    bytes.assign(digits.size() / 2, '\0');
    CHexCodec::DecodeInto(digits.data(), 2 * bytes.size(), reinterpret_cast<unsigned char*>(&bytes[0]));
}

std::string WarningText(const BitmapTextWarning& warning)
{
    return Worded(warning, false);
}

std::string WarningTextZh(const BitmapTextWarning& warning)
{
    return Worded(warning, true);
}

BitNumberStatus ParseBitNumber(std::string_view text, std::uint32_t& bit)
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

bool BitmapFromNumbers(const std::vector<std::string>& numbers, bool autoFirst, CIsoBitmap& bitmap,
                       std::vector<BitNumberError>& errors)
{
    // An empty load stores the auto-first rule in the model; the rendering
    // then applies it, exactly as after a load in the window.
    bitmap.Clear();
    bitmap.FromBytes(std::string(), autoFirst);
    bool good = true;
    for (std::size_t i = 0; i < numbers.size(); ++i)
    {
        std::uint32_t bit = 0;
        const BitNumberStatus status = ParseBitNumber(numbers[i], bit);
        if (status == BitNumberStatus::Ok)
            bitmap.Set(bit);
        else
            errors.push_back(BitNumberError{i + 1, status, numbers[i]});
        good = good && status == BitNumberStatus::Ok;
    }
    return good;
}

std::string BitNumberErrorText(const BitNumberError& error)
{
    assert(error.status != BitNumberStatus::Ok);
    return "argument " + std::to_string(error.position) + " (" + QuoteText(error.text) +
           "): " + (error.status == BitNumberStatus::OutOfRange ? "bit number outside 1..128" : "not a bit number");
}

std::string BitNumberErrorTextZh(const BitNumberError& error)
{
    assert(error.status != BitNumberStatus::Ok);
    return "第 " + std::to_string(error.position) + " 个位号 " + QuoteText(error.text) +
           (error.status == BitNumberStatus::OutOfRange ? " 不在 1 到 128 之间" : " 不是数字");
}
