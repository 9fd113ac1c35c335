#include "hex_codec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace
{

// Input outside the caller's guarantee (an odd length, other characters)
// yields some bytes but stays inside the input, which the sanitizer builds check.
TEST(HexCodecTest, ConvertsBothWaysAndStaysInsideMalformedInput)
{
    CHexCodec codec;
    EXPECT_EQ("", codec.HexToBytes(""));
    EXPECT_EQ("", codec.BytesToHex(""));
    EXPECT_EQ(std::string("\xA0\xFF", 2), codec.HexToBytes("a0Ff"));
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string hex = codec.BytesToHex(all);
    EXPECT_EQ("7F8081", hex.substr(254, 6));
    EXPECT_EQ(all, codec.HexToBytes(hex));
    EXPECT_EQ(std::string("\xAB\xC0", 2), codec.HexToBytes("ABC"));
    EXPECT_EQ(1u, codec.HexToBytes("\xff").size());
    EXPECT_EQ(2u, codec.HexToBytes(std::string("\x00\x80\xC1!", 4)).size());
}

TEST(HexTable, EveryByteRoundTrips)
{
    std::string hex = "x"; // AppendHex appends
    for (int b = 0; b < 256; ++b)
        AppendHex(std::string(1, static_cast<char>(b)), hex);
    ASSERT_EQ(513u, hex.size());
    for (int b = 0; b < 256; ++b)
    {
        const char high = hex[1 + 2 * b];
        const char low = hex[2 + 2 * b];
        EXPECT_EQ(b, HexValue(high) * 16 + HexValue(low)) << b;
        EXPECT_TRUE(HexDigit(static_cast<unsigned>(HexValue(high))) == high && !std::islower(high)) << b;
        EXPECT_TRUE(HexDigit(static_cast<unsigned>(HexValue(low))) == low && !std::islower(low)) << b;
    }
    std::string none;
    AppendHex("", none);
    EXPECT_EQ("", none);
}

TEST(HexTable, ValueOfEveryCharacter)
{
    // The C library's digit test is the witness; both cases give one value.
    for (int c = 0; c < 256; ++c)
    {
        const int value = HexValue(static_cast<char>(c));
        EXPECT_EQ(std::isxdigit(c) != 0, value >= 0) << c;
        EXPECT_TRUE(value < 0 || value == HexValue(static_cast<char>(std::toupper(c)))) << c;
        EXPECT_TRUE(value < 16) << c;
    }
    EXPECT_EQ(10, HexValue('a'));
    EXPECT_EQ(15, HexValue('F'));
    EXPECT_EQ(9, HexValue('9'));
}

} // namespace
