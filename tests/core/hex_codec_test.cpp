#include "hex_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

TEST(HexCodecTest, ConvertsBothWaysWithZeroAndHighBytes)
{
    CHexCodec codec;
    EXPECT_EQ("", codec.HexToBytes(""));
    EXPECT_EQ("", codec.BytesToHex(""));
    EXPECT_EQ(std::string("\xA0\xFF", 2), codec.HexToBytes("a0Ff"));
    EXPECT_EQ("A0FF", codec.BytesToHex(std::string("\xA0\xFF", 2)));
    const std::string zeros("\x12\x00\x80\x00", 4);
    EXPECT_EQ("12008000", codec.BytesToHex(zeros));
    EXPECT_EQ(zeros, codec.HexToBytes("12008000"));

    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string hex = codec.BytesToHex(all);
    EXPECT_EQ("FDFEFF", hex.substr(506));
    EXPECT_EQ(all, codec.HexToBytes(hex));
}

// Input outside the caller's guarantee yields some bytes but stays inside the
// input; the sanitizer builds would flag a read past the end.
TEST(HexCodecTest, MalformedInputStaysInsideItsBuffer)
{
    CHexCodec codec;
    EXPECT_EQ(std::string("\xAB\xC0", 2), codec.HexToBytes("ABC"));
    EXPECT_EQ(1u, codec.HexToBytes("\xff").size());
    EXPECT_EQ(2u, codec.HexToBytes(std::string("\x00\x80\xC1!", 4)).size());
}

} // namespace
