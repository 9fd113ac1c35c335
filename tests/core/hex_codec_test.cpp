#include "hex_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string Bytes(std::initializer_list<unsigned char> values)
{
    return std::string(values.begin(), values.end());
}

TEST(HexCodecTest, EmptyInputsGiveEmptyOutputs)
{
    CHexCodec codec;
    EXPECT_EQ("", codec.HexToBytes(""));
    EXPECT_EQ("", codec.BytesToHex(""));
}

TEST(HexCodecTest, AcceptsEitherCaseAndRendersUpperCase)
{
    CHexCodec codec;
    EXPECT_EQ(Bytes({0xA0, 0xFF}), codec.HexToBytes("a0Ff"));
    EXPECT_EQ("A0FF", codec.BytesToHex(Bytes({0xA0, 0xFF})));
    EXPECT_EQ(Bytes({0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}),
              codec.HexToBytes("0123456789abcdef"));
}

TEST(HexCodecTest, HighBytesHaveNoSignEffects)
{
    CHexCodec codec;
    EXPECT_EQ("80FE7F", codec.BytesToHex(Bytes({0x80, 0xFE, 0x7F})));
    EXPECT_EQ(Bytes({0x80, 0xFE}), codec.HexToBytes("80FE"));
}

TEST(HexCodecTest, ZeroBytesAreOrdinaryBytes)
{
    CHexCodec codec;
    const std::string bytes = Bytes({0x12, 0x00, 0x34, 0x00});
    EXPECT_EQ("12003400", codec.BytesToHex(bytes));
    EXPECT_EQ(bytes, codec.HexToBytes("12003400"));
    EXPECT_EQ(4u, codec.HexToBytes("12003400").size());
}

TEST(HexCodecTest, EveryByteRoundTrips)
{
    CHexCodec codec;
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string hex = codec.BytesToHex(all);
    ASSERT_EQ(512u, hex.size());
    EXPECT_EQ("000102", hex.substr(0, 6));
    EXPECT_EQ("FDFEFF", hex.substr(506));
    EXPECT_EQ(all, codec.HexToBytes(hex));
}

// Input outside the caller's guarantee yields some bytes but stays inside the
// input; the sanitizer builds would flag a read past the end.
TEST(HexCodecTest, MalformedInputStaysInsideItsBuffer)
{
    CHexCodec codec;
    EXPECT_EQ(Bytes({0xAB, 0xC0}), codec.HexToBytes("ABC"));
    EXPECT_EQ(1u, codec.HexToBytes("\xff").size());
    EXPECT_EQ(2u, codec.HexToBytes(std::string("\x00\x80\xC1!", 4)).size());
}

} // namespace
