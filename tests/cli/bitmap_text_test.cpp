#include "bitmap_text.h"
#include "cli_test_support.h"
#include "display_text.h"
#include "element_names.h"
#include "iso_bitmap.h"
#include "json_check.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using cli::DecodeOptions;
using cli::DecodeText;
using cli::InputKind;
using cli::InputPlace;

namespace
{

const InputPlace kLine1{InputKind::Line, 1};
const std::string kZeros16(16, '0');
const std::string kPrimaryClear = "00 00 00 00 00 00 00 00    ";

struct Decoded
{
    bool ok = false;
    std::string out;
    std::string error;
};

Decoded Decode(const std::string& text, DecodeOptions options = DecodeOptions(), InputPlace place = kLine1)
{
    Decoded result;
    result.ok = DecodeText(text, place, options, result.out, result.error);
    return result;
}

DecodeOptions AutoFirst()
{
    DecodeOptions options;
    options.autoFirst = true;
    return options;
}

DecodeOptions Json(bool names = false)
{
    DecodeOptions options;
    options.json = true;
    options.names = names;
    return options;
}

// The plain summary line of a decoded bitmap.
std::string Summary(const std::string& display, int length, const BitList& bits)
{
    return display + "\t" + std::to_string(length) + "\t" + JoinBits(bits, " ") + "\n";
}

JsonValue ParseLine(const std::string& out)
{
    JsonValue value;
    EXPECT_FALSE(out.empty());
    EXPECT_EQ('\n', out.back());
    EXPECT_EQ(out.size() - 1, out.find('\n')) << "one object, one line: " << out;
    EXPECT_TRUE(CJsonReader::Parse(out.substr(0, out.size() - 1), value)) << out;
    return value;
}

BitList NumbersOf(const JsonValue& array)
{
    BitList numbers;
    for (const JsonValue& item : array.items)
    {
        EXPECT_EQ(JsonValue::Type::Number, item.type);
        numbers.push_back(static_cast<std::uint32_t>(std::stoul(item.number)));
    }
    return numbers;
}

} // namespace

// ---- the bitmap button's documented cases, through the decoder --------------

TEST(DecodeWindowCasesTest, PrefixAndSpacesAreDroppedAndOddCountPadded)
{
    // "0x12 34": the x and the space go, the 0 before the x stays; 01234
    // is padded to 012340.
    const Decoded result = Decode("0x12 34");
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(Summary("01 23 40 00 00 00 00 00    ", 64, {8, 11, 15, 16, 18}), result.out);
    EXPECT_TRUE(result.error.empty());
}

TEST(DecodeWindowCasesTest, SecondaryBitmapShowsBothGroups)
{
    const Decoded result = Decode("80" + std::string(29, '0') + "1");
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(Summary("80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 ", 128, {1, 128}), result.out);
}

TEST(DecodeWindowCasesTest, SecondaryBitsWithoutBitOneFollowTheAutoFirstRule)
{
    const std::string text = kZeros16 + "FFFF";
    // Rendering normalises: the secondary bits come back, bit 1 stays clear.
    EXPECT_EQ(Summary(kPrimaryClear + "FF FF 00 00 00 00 00 00 ", 128, Range(65, 80)), Decode(text).out);

    BitList withFirst = Range(65, 80);
    withFirst.insert(withFirst.begin(), 1);
    EXPECT_EQ(Summary("80 00 00 00 00 00 00 00    FF FF 00 00 00 00 00 00 ", 128, withFirst),
              Decode(text, AutoFirst()).out);
}

TEST(DecodeWindowCasesTest, TextWithoutDigitsLoadsClearBitmap)
{
    for (const std::string text : {" ", "xyz !", "  GHIJ xyz ", "\t", "-"})
        EXPECT_EQ(Summary(kPrimaryClear, 64, {}), Decode(text).out) << text;
}

TEST(DecodeWindowCasesTest, EmptyTextIsRefusedLikeTheEmptyEditBox)
{
    const Decoded line = Decode("", DecodeOptions(), InputPlace{InputKind::Line, 7});
    EXPECT_FALSE(line.ok);
    EXPECT_TRUE(line.out.empty()) << "plain mode prints nothing for a bad input";
    EXPECT_NE(std::string::npos, line.error.find("line 7")) << line.error;
    EXPECT_NE(std::string::npos, line.error.find("empty")) << line.error;

    const Decoded argument = Decode("", DecodeOptions(), InputPlace{InputKind::Argument, 3});
    EXPECT_FALSE(argument.ok);
    EXPECT_EQ(0u, argument.error.find("argument 3:")) << argument.error;
}

TEST(DecodeWindowCasesTest, ModelEdgeCases)
{
    EXPECT_EQ(Summary(kPrimaryClear, 64, {}), Decode("00").out);
    // "8" pads to 80: bit 1 alone renders 16 digits.
    EXPECT_EQ(Summary("80 00 00 00 00 00 00 00    ", 64, {1}), Decode("8").out);
    EXPECT_EQ(Summary("7F FF FF FF FF FF FF FF    ", 64, Range(2, 64)), Decode("7FFFFFFFFFFFFFFF").out);
    EXPECT_EQ(Summary("C0 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 ", 128, {1, 2, 128}),
              Decode("C0" + std::string(29, '0') + "1").out);
    // Lower case in, upper case out.
    EXPECT_EQ(Summary("AB CD EF 00 00 00 00 00    ", 64, {1, 3, 5, 7, 8, 9, 10, 13, 14, 16, 17, 18, 19, 21, 22, 23, 24}),
              Decode("abcdef").out);
}

TEST(DecodeWindowCasesTest, SecondaryBitAfterASpaceWithAndWithoutAutoFirst)
{
    const std::string text = kZeros16 + " 01" + std::string(14, '0');
    EXPECT_EQ(Summary(kPrimaryClear + "01 00 00 00 00 00 00 00 ", 128, {72}), Decode(text).out);
    EXPECT_EQ(Summary("80 00 00 00 00 00 00 00    01 00 00 00 00 00 00 00 ", 128, {1, 72}),
              Decode(text, AutoFirst()).out);
}

TEST(DecodeWindowCasesTest, OnlyTheFirst32DigitsCount)
{
    const std::string digits32 = "0123456789ABCDEF0123456789ABCDEF";
    EXPECT_EQ(Decode(digits32).out, Decode(digits32 + "FFFFFFFF").out);
    EXPECT_EQ(Summary(Grouped(digits32), 128, BitsOfHex(digits32)), Decode(digits32 + "FFFFFFFF").out);
}

// ---- multibyte text ---------------------------------------------------------

TEST(DecodeMultibyteTest, Utf8CharactersAreDroppedByteByByte)
{
    // "位图" in UTF-8 is E4 BD 8D E5 9B BE.
    EXPECT_EQ(Summary("80 00 00 00 00 00 00 00    ", 64, {1}),
              Decode("\xE4\xBD\x8D\xE5\x9B\xBE 80 00 00 00 00 00 00 00").out);
    // A three-byte character right before a digit: the digit stays.
    EXPECT_EQ(Summary("10 00 00 00 00 00 00 00    ", 64, {4}), Decode("\xE4\xBD\x8D" "1").out);
    // Two- and four-byte characters between digits.
    EXPECT_EQ(Summary("12 34 00 00 00 00 00 00    ", 64, {4, 7, 11, 12, 14}),
              Decode("1\xC3\xA9" "2\xF0\x9F\x98\x80" "3\xE5\x9B\xBE" "4").out);
}

TEST(DecodeMultibyteTest, TheGbkRuleWouldSwallowTheDigitAfterAUtf8Character)
{
    // Why the command line must not keep the core's default rule for UTF-8:
    // E4 BD is taken as one character, then 8D takes the "1" along.
    DecodeOptions gbk;
    gbk.leadByte = CIsoBitmap::IsGbkLeadByte;
    EXPECT_EQ(Summary(kPrimaryClear, 64, {}), Decode("\xE4\xBD\x8D" "1", gbk).out);
    EXPECT_EQ(Summary("10 00 00 00 00 00 00 00    ", 64, {4}), Decode("\xE4\xBD\x8D" "1").out);
}

TEST(DecodeMultibyteTest, GbkTextUnderTheGbkRuleDropsWholeCharacters)
{
    // Under a GBK console: 0x81 0x41 is one character, the 0x41 ("A") is not a digit.
    DecodeOptions gbk;
    gbk.leadByte = CIsoBitmap::IsGbkLeadByte;
    EXPECT_EQ(Summary("20 00 00 00 00 00 00 00    ", 64, {3}), Decode("\x81\x41" "2", gbk).out);
    // "位图" in GBK is CE BB CD BC.
    EXPECT_EQ(Summary("80 00 00 00 00 00 00 00    ", 64, {1}), Decode("\xCE\xBB\xCD\xBC" "80", gbk).out);
    // Without a lead-byte rule the same bytes keep their "A".
    EXPECT_EQ(Summary("A2 00 00 00 00 00 00 00    ", 64, {1, 3, 7}), Decode("\x81\x41" "2").out);
}

// ---- names ------------------------------------------------------------------

TEST(DecodeNamesTest, OneLinePerSetBitAfterTheSummary)
{
    DecodeOptions options;
    options.names = true;
    const Decoded result = Decode("7238000108C18000", options);
    ASSERT_TRUE(result.ok);
    const std::vector<std::string> lines = SplitLines(result.out);
    const BitList bits = BitsOfHex("7238000108C18000");
    ASSERT_EQ(1 + bits.size(), lines.size());
    EXPECT_EQ(Summary("72 38 00 01 08 C1 80 00    ", 64, bits), lines[0] + "\n");
    for (std::size_t i = 0; i < bits.size(); ++i)
        EXPECT_EQ("\t" + std::to_string(bits[i]) + "\t" + DataElementName(bits[i]), lines[i + 1]);
    // Spot checks against the standard's table.
    EXPECT_EQ("\t2\tPrimary account number", lines[1]);
    EXPECT_EQ("\t11\tSystem trace audit number", lines[5]);
    EXPECT_EQ("\t41\tCard acceptor terminal identification", lines[10]);
}

TEST(DecodeNamesTest, NoSetBitMeansNoNameLines)
{
    DecodeOptions options;
    options.names = true;
    EXPECT_EQ(Summary(kPrimaryClear, 64, {}), Decode("0000", options).out);
}

// ---- JSON -------------------------------------------------------------------

TEST(DecodeJsonTest, ObjectHasTheDocumentedMembersInOrder)
{
    const Decoded result = Decode("0x12 34", Json(), InputPlace{InputKind::Line, 42});
    ASSERT_TRUE(result.ok);
    const JsonValue value = ParseLine(result.out);
    ASSERT_EQ(JsonValue::Type::Object, value.type);
    EXPECT_EQ((std::vector<std::string>{"input", "display", "hex", "length", "bits"}), value.Names());
    EXPECT_EQ("42", value.Find("input")->number);
    EXPECT_EQ("01 23 40 00 00 00 00 00    ", value.Find("display")->text);
    EXPECT_EQ("0123400000000000", value.Find("hex")->text);
    EXPECT_EQ("64", value.Find("length")->number);
    ASSERT_EQ(JsonValue::Type::Array, value.Find("bits")->type);
    EXPECT_EQ((BitList{8, 11, 15, 16, 18}), NumbersOf(*value.Find("bits")));
}

TEST(DecodeJsonTest, NamesRunParallelToBits)
{
    const std::string hex = "F23A448128E1801A00000000140000C0";
    const Decoded result = Decode(hex, Json(true));
    const JsonValue value = ParseLine(result.out);
    EXPECT_EQ((std::vector<std::string>{"input", "display", "hex", "length", "bits", "names"}), value.Names());
    EXPECT_EQ("128", value.Find("length")->number);
    const BitList bits = NumbersOf(*value.Find("bits"));
    EXPECT_EQ(BitsOfHex(hex), bits);
    const JsonValue& names = *value.Find("names");
    ASSERT_EQ(bits.size(), names.items.size());
    for (std::size_t i = 0; i < bits.size(); ++i)
    {
        EXPECT_EQ(JsonValue::Type::String, names.items[i].type);
        EXPECT_EQ(DataElementName(bits[i]), names.items[i].text);
    }
}

TEST(DecodeJsonTest, EmptyBitmapHasEmptyArrays)
{
    const JsonValue value = ParseLine(Decode("zz", Json(true)).out);
    EXPECT_TRUE(value.Find("bits")->items.empty());
    EXPECT_EQ(JsonValue::Type::Array, value.Find("names")->type);
    EXPECT_TRUE(value.Find("names")->items.empty());
}

TEST(DecodeJsonTest, BadInputStillGetsItsObject)
{
    const Decoded result = Decode("", Json(), InputPlace{InputKind::Argument, 5});
    EXPECT_FALSE(result.ok);
    const JsonValue value = ParseLine(result.out);
    EXPECT_EQ((std::vector<std::string>{"input", "error"}), value.Names());
    EXPECT_EQ("5", value.Find("input")->number);
    EXPECT_NE(std::string::npos, value.Find("error")->text.find("empty"));
    EXPECT_NE(std::string::npos, result.error.find("argument 5"));

    std::string out;
    const std::string message = cli::RejectInput(InputPlace{InputKind::Line, 9}, "a \"quoted\\ reason\"", Json(), out);
    const JsonValue rejected = ParseLine(out);
    EXPECT_EQ("a \"quoted\\ reason\"", rejected.Find("error")->text);
    EXPECT_EQ("line 9: a \"quoted\\ reason\"", message);
}

TEST(DecodeJsonTest, AnyBytesGiveOneValidAsciiLine)
{
    std::mt19937 random(8583);
    for (int round = 0; round < 500; ++round)
    {
        std::string text(random() % 60, '\0');
        for (char& c : text)
            c = static_cast<char>(random() % 256);
        for (const bool names : {false, true})
        {
            const Decoded result = Decode(text, Json(names));
            for (const char c : result.out)
                ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80) << "JSON output stays ASCII";
            const JsonValue value = ParseLine(result.out);
            EXPECT_EQ(text.empty(), value.Find("error") != nullptr);
        }
    }
}

// ---- the decoder against the window's road through the core -----------------

TEST(DecodeAgreementTest, RandomTextsDecodeAsTheCoreRendersThem)
{
    std::mt19937 random(20240607);
    const std::string alphabet = "0123456789abcdefABCDEFxX :-\t\x81\xCE\xE4\xBD";
    for (int round = 0; round < 2000; ++round)
    {
        std::string text(1 + random() % 48, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        const bool autoFirst = (round & 1) != 0;

        // What the window does on its bitmap button.
        CIsoBitmap window;
        window.Clear();
        window.FromHex(text, autoFirst, CIsoBitmap::NoLeadByte);
        const std::string hex = window.ToHex();

        DecodeOptions options;
        options.autoFirst = autoFirst;
        const Decoded result = Decode(text, options);
        ASSERT_TRUE(result.ok);
        const BitList bits = BitsOfHex(hex);
        ASSERT_EQ(Summary(Grouped(hex), static_cast<int>(hex.size() * 4), bits), result.out) << text;
        EXPECT_EQ(FormatHexForDisplay(hex), Grouped(hex));
        if (autoFirst && hex.size() == 32)
        {
            EXPECT_EQ(1u, bits.front());
        }
    }
}

// ---- bit numbers and encode -------------------------------------------------

TEST(EncodeParseTest, AcceptsDecimalBitNumbersOnly)
{
    using cli::BitNumberStatus;
    std::uint32_t bit = 0;
    EXPECT_EQ(BitNumberStatus::Ok, cli::ParseBitNumber("1", bit));
    EXPECT_EQ(1u, bit);
    EXPECT_EQ(BitNumberStatus::Ok, cli::ParseBitNumber("128", bit));
    EXPECT_EQ(128u, bit);
    EXPECT_EQ(BitNumberStatus::Ok, cli::ParseBitNumber("007", bit));
    EXPECT_EQ(7u, bit);

    for (const char* text : {"0", "129", "-1", "-0", "1000", "4294967297", "99999999999999999999999"})
    {
        bit = 55;
        EXPECT_EQ(BitNumberStatus::OutOfRange, cli::ParseBitNumber(text, bit)) << text;
        EXPECT_EQ(55u, bit) << "unchanged on failure";
    }
    for (const char* text : {"", "-", "abc", "1.5", "+3", " 3", "3 ", "0x10", "12a", "\xE4\xBD\x8D"})
        EXPECT_EQ(BitNumberStatus::NotANumber, cli::ParseBitNumber(text, bit)) << text;
}

TEST(EncodeTest, RendersTheGivenBits)
{
    std::string out;
    std::vector<std::string> errors;
    ASSERT_TRUE(cli::EncodeBits({"2", "3", "4", "11"}, cli::EncodeOptions(), out, errors));
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(17u, out.size());
    EXPECT_EQ('\n', out.back());
    EXPECT_EQ((BitList{2, 3, 4, 11}), BitsOfHex(out.substr(0, 16)));
    EXPECT_EQ("7020000000000000\n", out);
}

TEST(EncodeTest, LengthFollowsTheSecondaryBitsAndAutoFirstSetsBitOne)
{
    std::string out;
    std::vector<std::string> errors;
    // Bit 1 alone does not make a secondary bitmap.
    cli::EncodeBits({"1"}, cli::EncodeOptions(), out, errors);
    EXPECT_EQ("8000000000000000\n", out);

    out.clear();
    cli::EncodeBits({"70"}, cli::EncodeOptions(), out, errors);
    EXPECT_EQ("00000000000000000400000000000000\n", out);

    cli::EncodeOptions autoFirst;
    autoFirst.autoFirst = true;
    out.clear();
    cli::EncodeBits({"70"}, autoFirst, out, errors);
    EXPECT_EQ("80000000000000000400000000000000\n", out);
    out.clear();
    cli::EncodeBits({"64"}, autoFirst, out, errors);
    EXPECT_EQ("0000000000000001\n", out) << "no secondary bit, no bit 1";
    EXPECT_TRUE(errors.empty());
}

TEST(EncodeTest, DisplayGroupsLikeTheWindow)
{
    cli::EncodeOptions options;
    options.display = true;
    std::string out;
    std::vector<std::string> errors;
    cli::EncodeBits({"1", "128"}, options, out, errors);
    EXPECT_EQ("80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 \n", out);
    out.clear();
    cli::EncodeBits({"8"}, options, out, errors);
    EXPECT_EQ("01 00 00 00 00 00 00 00    \n", out);
}

TEST(EncodeTest, BadNumbersAreNamedAndTheRestStillEncoded)
{
    std::string out;
    std::vector<std::string> errors;
    EXPECT_FALSE(cli::EncodeBits({"2", "0", "x7", "129", "3", "", "-4"}, cli::EncodeOptions(), out, errors));
    EXPECT_EQ("6000000000000000\n", out);
    ASSERT_EQ(5u, errors.size());
    EXPECT_EQ("argument 2 (\"0\"): bit number outside 1..128", errors[0]);
    EXPECT_EQ("argument 3 (\"x7\"): not a bit number", errors[1]);
    EXPECT_EQ("argument 4 (\"129\"): bit number outside 1..128", errors[2]);
    EXPECT_EQ("argument 6 (\"\"): not a bit number", errors[3]);
    EXPECT_EQ("argument 7 (\"-4\"): bit number outside 1..128", errors[4]);
}

TEST(EncodeTest, EncodeThenDecodeGivesTheSameBits)
{
    std::mt19937 random(65);
    for (int round = 0; round < 500; ++round)
    {
        std::vector<std::string> numbers;
        BitList expected;
        for (std::uint32_t n = 1; n <= 128; ++n)
        {
            if (random() % 9 == 0)
            {
                numbers.push_back(std::to_string(n));
                expected.push_back(n);
            }
        }
        const bool autoFirst = (round & 1) != 0;
        const bool secondary = !expected.empty() && expected.back() > 64;
        if (autoFirst && secondary && expected.front() != 1)
            expected.insert(expected.begin(), 1);

        cli::EncodeOptions options;
        options.autoFirst = autoFirst;
        std::string out;
        std::vector<std::string> errors;
        ASSERT_TRUE(cli::EncodeBits(numbers, options, out, errors));
        const std::string hex = out.substr(0, out.size() - 1);
        ASSERT_EQ(secondary ? 32u : 16u, hex.size());
        EXPECT_EQ(expected, BitsOfHex(hex));

        const Decoded decoded = Decode(hex);
        EXPECT_EQ(Summary(Grouped(hex), static_cast<int>(hex.size() * 4), expected), decoded.out);
    }
}

TEST(QuoteTest, ShowsBytesThatWouldNotPrint)
{
    EXPECT_EQ("\"abc\"", cli::Quote("abc"));
    EXPECT_EQ("\"a\\x0Ab\\x22\\x5C\\xE4\"", cli::Quote("a\nb\"\\\xE4"));
    EXPECT_EQ("\"" + std::string(40, 'x') + "...\"", cli::Quote(std::string(100, 'x')));
}
