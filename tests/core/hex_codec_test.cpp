#include "hex_codec.h"

#include <gtest/gtest.h>

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

} // namespace
