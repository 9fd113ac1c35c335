#include "bitmap_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Beside the type, where the comparison of two lists finds it.
static bool operator==(const BitmapTextWarning& a, const BitmapTextWarning& b)
{
    return a.kind == b.kind && a.layer == b.layer && a.column == b.column && a.count == b.count &&
           a.found == b.found && a.word == b.word && a.wordColumn == b.wordColumn;
}

namespace
{

using Kind = BitmapTextWarningKind;
using Layer = BitmapTextLayer;

std::string Describe(const BitmapTextWarnings& warnings)
{
    std::string text;
    for (const BitmapTextWarning& warning : warnings)
        text += "[" + WarningText(warning) + "]";
    return text;
}

BitmapTextWarning Other(Layer layer, std::size_t column, std::string found, std::string word = "",
                        std::size_t wordColumn = 0)
{
    return BitmapTextWarning{Kind::OtherCharacters, layer, column, 0, std::move(found), std::move(word), wordColumn};
}

BitmapTextWarning Count(std::size_t count)
{
    return BitmapTextWarning{Kind::DigitCount, Layer::Given, 0, count, "", "", 0};
}

BitmapTextWarning Plain(Kind kind, std::string found = "")
{
    return BitmapTextWarning{kind, Layer::Given, 0, 0, std::move(found), "", 0};
}

const struct
{
    BitmapTextForm form;
    std::string text;
    std::string hex; // as the bitmap renders after the load
    BitmapTextWarnings warnings;
} kTexts[] = {
    {BitmapTextForm::Hex, "7238000108C18000", "7238000108C18000", {}},
    {BitmapTextForm::Hex, " F238000108C18000 0000000000000001 ", "F238000108C180000000000000000001", {}},
    {BitmapTextForm::Hex, "7238 0001 08c1 8000", "7238000108C18000", {}},
    {BitmapTextForm::Hex, "", "0000000000000000", {Count(0)}},
    {BitmapTextForm::Hex, "7", "7000000000000000", {Count(1)}},
    {BitmapTextForm::Hex, "  0x7238000108C18000", "07238000108C1800", {Plain(Kind::ZeroXPrefix), Count(17)}},
    {BitmapTextForm::Hex, "0X7238000108C1800-", "07238000108C1800",
     {Plain(Kind::ZeroXPrefix), Other(Layer::Given, 18, "-")}},
    {BitmapTextForm::Hex, "bitmap=7238000108C18000;", "BA7238000108C180",
     {Other(Layer::Given, 2, "i", "7238000108C18000", 8), Count(18)}},
    {BitmapTextForm::Hex, "bitmap=F238000108C180000000000000000001 x", "BAF238000108C180",
     {Other(Layer::Given, 2, "i", "F238000108C180000000000000000001", 8), Count(34)}},
    {BitmapTextForm::Hex, "\t7238000108C18000", "7238000108C18000", {Other(Layer::Given, 1, "\t", "7238000108C18000", 2)}},
    {BitmapTextForm::Hex, "F238000108C18000", "F238000108C18000", {Plain(Kind::SecondaryMissing)}},
    {BitmapTextForm::Hex, "7238000108C180000000000000000001", "7238000108C180000000000000000001",
     {Plain(Kind::SecondaryNotAnnounced)}},
    {BitmapTextForm::Hex, "12345678901234567890", "12345678901234567890000000000000", {Count(20)}},
    {BitmapTextForm::Hex, "ABCDEF0123456789abcdef0123456789ABCD", "ABCDEF0123456789ABCDEF0123456789", {Count(36)}},
    {BitmapTextForm::AsciiHex, "37323338303030313038433138303030", "7238000108C18000", {}},
    {BitmapTextForm::AsciiHex, "373233383030303130384331383030303", "7238000108C18000",
     {Plain(Kind::OddEncodedDigits)}},
    {BitmapTextForm::AsciiHex, "zz37323338303030313038433138303030", "7238000108C18000",
     {Other(Layer::Encoded, 1, "z")}},
    {BitmapTextForm::AsciiHex, "3778", "7000000000000000", {Other(Layer::Decoded, 2, "x"), Count(1)}},
    {BitmapTextForm::EbcdicHex, "F7F2F3F8 F0F0F0F1 F0F8C3F1 F8F0F0F0", "7238000108C18000", {}},
    {BitmapTextForm::EbcdicHex, "f7f240f3f8f0f0f0f1f0f8c3f1f8f0f0f0", "7238000108C18000", {}},
    // Only the first byte that is no digit is named, as written.
    {BitmapTextForm::EbcdicHex, "F7F24bF3F8F0F0F0F1F0F8C3F1F8F0F0F04B", "7238000108C18000",
     {Plain(Kind::NotEbcdicDigit, "4b")}},
    {BitmapTextForm::EbcdicHex, "G0FF7F", "7000000000000000",
     {Other(Layer::Encoded, 1, "G"), Plain(Kind::OddEncodedDigits), Plain(Kind::NotEbcdicDigit, "0F"), Count(1)}},
};

TEST(BitmapText, Read)
{
    for (const auto& c : kTexts)
    {
        CIsoBitmap bitmap;
        bitmap.Set(100); // a load clears what was there
        BitmapTextWarnings warnings;
        BitmapTextOptions options;
        options.form = c.form;
        ReadBitmapText(c.text, options, bitmap, warnings);
        EXPECT_EQ(c.hex, bitmap.ToHex()) << c.text;
        EXPECT_TRUE(warnings == c.warnings) << c.text << ": " << Describe(warnings);
    }
}

TEST(BitmapText, LeadByteAndAutoFirst)
{
    // A GBK lead byte takes its trail byte "A" with it; without the rule the
    // "A" is a digit.
    const std::string text = "\xB5" "A7238000108C18000";
    BitmapTextOptions options;
    options.leadByte = CIsoBitmap::IsGbkLeadByte;
    CIsoBitmap bitmap;
    BitmapTextWarnings warnings;
    ReadBitmapText(text, options, bitmap, warnings);
    EXPECT_EQ("7238000108C18000", bitmap.ToHex());
    EXPECT_TRUE(warnings == BitmapTextWarnings{Other(Layer::Given, 1, "\xB5")}) << Describe(warnings);

    warnings.clear();
    options.leadByte = CIsoBitmap::NoLeadByte;
    options.autoFirst = true;
    ReadBitmapText(text, options, bitmap, warnings);
    EXPECT_EQ("A7238000108C1800", bitmap.ToHex());
    ReadBitmapText("7238000108C18000 0000000000000001", options, bitmap, warnings);
    EXPECT_EQ("F238000108C180000000000000000001", bitmap.ToHex());
}

TEST(BitmapText, Wording)
{
    const struct
    {
        BitmapTextWarning warning;
        std::string english;
        std::vector<std::string> inChinese; // figures the Chinese must carry
    } cases[] = {
        {Other(Layer::Given, 2, "i", "7238000108C18000", 8),
         "characters other than hex digits and spaces, the first \"i\" at column 2 (\"7238000108C18000\" at column 8 "
         "may be the bitmap alone)",
         {"\"i\"", "2", "\"7238000108C18000\"", "8"}},
        {Other(Layer::Encoded, 12, "\x1B"),
         "characters other than hex digits and spaces in the encoded text, the first \"\\x1B\" at column 12",
         {"\"\\x1B\"", "12"}},
        {Other(Layer::Decoded, 3, "\""), "characters other than hex digits and spaces in the decoded text, the first "
                                         "\"\\x22\" at column 3",
         {"\"\\x22\"", "3"}},
        {Count(1), "1 hex digit, not 16 or 32", {"1 "}},
        {Count(36), "36 hex digits, not 16 or 32: only the first 32 count (a message type in front? --message reads it)",
         {"36", "32"}},
        {Plain(Kind::NotEbcdicDigit, "c9"), "byte c9 is no EBCDIC hex digit or space: dropped", {"c9", "EBCDIC"}},
        {Plain(Kind::ZeroXPrefix), "a 0x prefix: its 0 is read as a digit and shifts every bit; leave the prefix out",
         {"0x"}},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.english, WarningText(c.warning));
        const std::string chinese = WarningTextZh(c.warning);
        EXPECT_NE(chinese, WarningText(c.warning));
        for (const std::string& figure : c.inChinese)
            EXPECT_NE(std::string::npos, chinese.find(figure)) << chinese << " lacks " << figure;
    }
    // Every kind is worded in both languages.
    for (int kind = 0; kind <= static_cast<int>(Kind::NotEbcdicDigit); ++kind)
    {
        const BitmapTextWarning warning = Plain(static_cast<Kind>(kind), "F0");
        EXPECT_FALSE(WarningText(warning).empty() || WarningTextZh(warning).empty()) << kind;
    }
}

TEST(BitmapText, MessageBytes)
{
    const struct
    {
        BitmapTextForm form;
        std::string text;
        std::string bytes;
        BitmapTextWarnings warnings;
    } cases[] = {
        {BitmapTextForm::Hex, "0200 7238000108c18000", std::string("\x02\x00\x72\x38\x00\x01\x08\xC1\x80\x00", 10), {}},
        {BitmapTextForm::Hex, "0200-F", std::string("\x02\x00", 2), {Other(Layer::Given, 5, "-")}},
        {BitmapTextForm::Hex, "", "", {}},
        {BitmapTextForm::AsciiHex, "3032304", "\x02", {Plain(Kind::OddEncodedDigits)}},
        {BitmapTextForm::EbcdicHex, "F0F2F0F04E", std::string("\x02\x00", 2),
         {Plain(Kind::NotEbcdicDigit, "4E")}},
        {BitmapTextForm::AsciiHex, "30322E3030", std::string("\x02\x00", 2), {Other(Layer::Decoded, 3, ".")}},
    };
    for (const auto& c : cases)
    {
        BitmapTextOptions options;
        options.form = c.form;
        std::string bytes = "stale";
        BitmapTextWarnings warnings;
        MessageBytesFromText(c.text, options, bytes, warnings);
        EXPECT_EQ(c.bytes, bytes) << c.text;
        EXPECT_TRUE(warnings == c.warnings) << c.text << ": " << Describe(warnings);
    }
}

TEST(BitNumbers, Parse)
{
    const struct
    {
        std::string text;
        BitNumberStatus status;
        std::uint32_t bit;
    } cases[] = {
        {"1", BitNumberStatus::Ok, 1},
        {"128", BitNumberStatus::Ok, 128},
        {"007", BitNumberStatus::Ok, 7},
        {"0", BitNumberStatus::OutOfRange, 0},
        {"129", BitNumberStatus::OutOfRange, 0},
        {"-5", BitNumberStatus::OutOfRange, 0},
        {"-0", BitNumberStatus::OutOfRange, 0},
        {"99999999999999999999999", BitNumberStatus::OutOfRange, 0},
        {"", BitNumberStatus::NotANumber, 0},
        {"-", BitNumberStatus::NotANumber, 0},
        {"+3", BitNumberStatus::NotANumber, 0},
        {" 3", BitNumberStatus::NotANumber, 0},
        {"1e2", BitNumberStatus::NotANumber, 0},
        {"--1", BitNumberStatus::NotANumber, 0},
    };
    for (const auto& c : cases)
    {
        std::uint32_t bit = 0;
        EXPECT_EQ(c.status, ParseBitNumber(c.text, bit)) << c.text;
        EXPECT_EQ(c.bit, bit) << c.text;
    }
}

TEST(BitNumbers, Bitmap)
{
    const struct
    {
        std::vector<std::string> numbers;
        bool autoFirst;
        std::string hex;                 // when every number is good
        std::vector<std::string> errors; // in English
    } cases[] = {
        {{}, false, "0000000000000000", {}},
        {{"2", "3", "70"}, false, "60000000000000000400000000000000", {}},
        {{"2", "3", "70"}, true, "E0000000000000000400000000000000", {}},
        {{"64", "64", "1"}, true, "8000000000000001", {}},
        {{"0", "x", "5", "-1"},
         false,
         "",
         {"argument 1 (\"0\"): bit number outside 1..128", "argument 2 (\"x\"): not a bit number",
          "argument 4 (\"-1\"): bit number outside 1..128"}},
        {{std::string(45, '1')}, false, "", {"argument 1 (\"" + std::string(40, '1') + "...\"): bit number outside 1..128"}},
    };
    for (const auto& c : cases)
    {
        CIsoBitmap bitmap;
        bitmap.Set(9);
        std::vector<BitNumberError> errors;
        const bool good = BitmapFromNumbers(c.numbers, c.autoFirst, bitmap, errors);
        EXPECT_EQ(c.errors.empty(), good);
        std::vector<std::string> english;
        for (const BitNumberError& error : errors)
        {
            english.push_back(BitNumberErrorText(error));
            const std::string chinese = BitNumberErrorTextZh(error);
            EXPECT_NE(std::string::npos, chinese.find(std::to_string(error.position) + " ")) << chinese;
        }
        EXPECT_EQ(c.errors, english);
        EXPECT_EQ(c.hex, good ? bitmap.ToHex() : "");
    }
}

} // namespace
