#include "iso_bitmap.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

std::vector<std::uint32_t> SetBits(const CIsoBitmap& bitmap)
{
    std::vector<std::uint32_t> bits;
    for (std::uint32_t n = 1; n <= 128; ++n)
    {
        if (bitmap.Test(n))
            bits.push_back(n);
    }
    return bits;
}

void ExpectLength(const CIsoBitmap& bitmap, bool extended)
{
    EXPECT_EQ(extended, bitmap.IsExtended());
    EXPECT_EQ(extended ? 128 : 64, bitmap.BitCount());
}

using Bits = std::vector<std::uint32_t>;
const std::string kSixteenZeros(16, '0');

// ---- loading and filtering ------------------------------------------------

TEST(IsoBitmapLoadTest, NewBitmapIsClearAndPrimary)
{
    CIsoBitmap bitmap;
    EXPECT_TRUE(SetBits(bitmap).empty());
    ExpectLength(bitmap, false);
    EXPECT_FALSE(bitmap.IsAutoFirst());
    EXPECT_EQ(kSixteenZeros, bitmap.ToHex());
}

TEST(IsoBitmapLoadTest, ZeroPairLoadsClearPrimary)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(64, bitmap.FromHex("00", false));
    EXPECT_TRUE(SetBits(bitmap).empty());
    EXPECT_EQ(kSixteenZeros, bitmap.ToHex());
}

TEST(IsoBitmapLoadTest, OddDigitIsPaddedWithZero)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(128, bitmap.FromHex("8", false));
    EXPECT_EQ(Bits{1}, SetBits(bitmap));
    EXPECT_EQ("8000000000000000", bitmap.ToHex());
    ExpectLength(bitmap, false);
    EXPECT_TRUE(bitmap.Test(1));
}

TEST(IsoBitmapLoadTest, FiltersEverythingButHexDigits)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("0x12 34", false);
    EXPECT_EQ((Bits{8, 11, 15, 16, 18}), SetBits(bitmap));
    EXPECT_EQ("0123400000000000", bitmap.ToHex());

    EXPECT_EQ(64, bitmap.FromHex("  ghij XYZ ", false));
    EXPECT_TRUE(SetBits(bitmap).empty());
    EXPECT_EQ(kSixteenZeros, bitmap.ToHex());
}

TEST(IsoBitmapLoadTest, PrimaryBitsTwoToSixtyFour)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(64, bitmap.FromHex("7FFFFFFFFFFFFFFF", false));
    const Bits bits = SetBits(bitmap);
    ASSERT_EQ(63u, bits.size());
    EXPECT_EQ(2u, bits.front());
    EXPECT_EQ(64u, bits.back());
}

TEST(IsoBitmapLoadTest, SecondaryBitsLoadEvenWithoutBitOne)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(64, bitmap.FromHex(kSixteenZeros + " 01" + std::string(14, '0'), false));
    ExpectLength(bitmap, false);
    EXPECT_EQ(Bits{72}, SetBits(bitmap));
    EXPECT_EQ(kSixteenZeros + "01" + std::string(14, '0'), bitmap.ToHex());
    EXPECT_FALSE(bitmap.Test(1));
}

TEST(IsoBitmapLoadTest, AutoFirstSetsBitOneForSecondaryBits)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(128, bitmap.FromHex(kSixteenZeros + " 01" + std::string(14, '0'), true));
    ExpectLength(bitmap, true);
    EXPECT_EQ((Bits{1, 72}), SetBits(bitmap));
    EXPECT_EQ("80000000000000000100000000000000", bitmap.ToHex());
}

TEST(IsoBitmapLoadTest, AutoFirstLeavesPrimaryOnlyTextAlone)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(64, bitmap.FromHex("0100000000000000", true));
    EXPECT_EQ(Bits{8}, SetBits(bitmap));
}

TEST(IsoBitmapLoadTest, FullSecondaryBitmap)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(128, bitmap.FromHex("C0" + std::string(29, '0') + "1", false));
    EXPECT_EQ((Bits{1, 2, 128}), SetBits(bitmap));
    EXPECT_EQ("C0000000000000000000000000000001", bitmap.ToHex());
}

TEST(IsoBitmapLoadTest, DigitsBeyondThirtyTwoAreIgnored)
{
    CIsoBitmap bitmap;
    bitmap.FromHex(std::string(32, '0') + "FFFFFFFF", false);
    EXPECT_TRUE(SetBits(bitmap).empty());
    bitmap.FromHex("80" + std::string(30, '0') + "FFFFFFFF", false);
    EXPECT_EQ(Bits{1}, SetBits(bitmap));
}

TEST(IsoBitmapLoadTest, LoadReplacesEarlierBits)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", false);
    bitmap.FromHex("01", false);
    EXPECT_EQ(Bits{8}, SetBits(bitmap));
    ExpectLength(bitmap, false);
}

TEST(IsoBitmapLoadTest, FromBytesCountsEmptyAsClearPrimary)
{
    CIsoBitmap bitmap;
    EXPECT_EQ(64, bitmap.FromBytes("", true));
    EXPECT_TRUE(SetBits(bitmap).empty());
    EXPECT_TRUE(bitmap.IsAutoFirst());
    EXPECT_EQ(128, bitmap.FromBytes(std::string("\x80\x00\x00\x00\x00\x00\x00\x01", 8), false));
    EXPECT_EQ((Bits{1, 64}), SetBits(bitmap));
}

// A GBK character is two bytes; its trail byte may be an ASCII letter.
TEST(IsoBitmapLoadTest, DoubleByteCharactersAreDroppedWhole)
{
    CIsoBitmap bitmap;
    // 0x81 0x41 is one character; the 0x41 ("A") is not a digit of the text.
    bitmap.FromHex("\x81\x41" "12", false);
    EXPECT_EQ("1200000000000000", bitmap.ToHex());
    // "位图" is 0xCE 0xBB 0xCD 0xBC in GBK.
    bitmap.FromHex("\xCE\xBB\xCD\xBC 80 00 00 00 00 00 00 00", false);
    EXPECT_EQ("8000000000000000", bitmap.ToHex());
    // A lead byte at the very end takes nothing with it.
    bitmap.FromHex("12\x81", false);
    EXPECT_EQ("1200000000000000", bitmap.ToHex());
}

TEST(IsoBitmapLoadTest, LeadByteRuleIsTheCallers)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("\x81\x41" "2", false, CIsoBitmap::NoLeadByte);
    EXPECT_EQ("A200000000000000", bitmap.ToHex());
    // Code page 932 leads with 0x81..0x9F and 0xE0..0xFC only: 0xA1 is a
    // single-byte character there, and the digit after it stays.
    const auto shiftJis = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    bitmap.FromHex("\xA1" "1\x81" "2F", false, shiftJis);
    EXPECT_EQ("1F00000000000000", bitmap.ToHex());
}

// ---- normalising and rendering ---------------------------------------------

TEST(IsoBitmapRenderTest, LengthFollowsSecondaryBitsNotBitOne)
{
    CIsoBitmap bitmap;
    bitmap.Set(1);
    EXPECT_EQ(8u, bitmap.ToBytes().size());
    ExpectLength(bitmap, false);
    bitmap.Set(65);
    EXPECT_EQ(16u, bitmap.ToBytes().size());
    ExpectLength(bitmap, true);
    EXPECT_EQ("80000000000000008000000000000000", bitmap.ToHex());
}

TEST(IsoBitmapRenderTest, RenderingKeepsZeroBytesAndHighBits)
{
    CIsoBitmap bitmap;
    bitmap.Set(9);
    bitmap.Set(128);
    const std::string bytes = bitmap.ToBytes();
    ASSERT_EQ(16u, bytes.size());
    EXPECT_EQ('\0', bytes[0]);
    EXPECT_EQ('\x80', bytes[1]);
    EXPECT_EQ('\x01', bytes[15]);
}

TEST(IsoBitmapRenderTest, NormalizeWithoutAutoFirstLeavesBitOne)
{
    CIsoBitmap bitmap;
    bitmap.Set(100);
    bitmap.Normalize();
    ExpectLength(bitmap, true);
    EXPECT_FALSE(bitmap.Test(1));
    bitmap.Reset(100);
    bitmap.Normalize();
    ExpectLength(bitmap, false);
}

TEST(IsoBitmapRenderTest, BitCountDoesNotNormalize)
{
    CIsoBitmap bitmap;
    bitmap.Set(70);
    EXPECT_EQ(64, bitmap.BitCount());
    bitmap.Normalize();
    EXPECT_EQ(128, bitmap.BitCount());
}

TEST(IsoBitmapRenderTest, EverySingleBitRoundTrips)
{
    for (std::uint32_t n = 1; n <= 128; ++n)
    {
        CIsoBitmap bitmap;
        bitmap.Set(n);
        const std::string hex = bitmap.ToHex();
        CIsoBitmap reloaded;
        reloaded.FromHex(hex, false);
        EXPECT_EQ(Bits{n}, SetBits(reloaded)) << "bit " << n << " as " << hex;
        EXPECT_EQ(hex, reloaded.ToHex());
        EXPECT_EQ(n > 64 ? 32u : 16u, hex.size());
    }
}

// ---- single bits -------------------------------------------------------------

TEST(IsoBitmapBitTest, SetTestResetEachBit)
{
    CIsoBitmap bitmap;
    for (std::uint32_t n = 2; n <= 128; ++n)
    {
        bitmap.Set(n);
        EXPECT_TRUE(bitmap.Test(n));
        bitmap.Reset(n);
        EXPECT_FALSE(bitmap.Test(n));
    }
    ExpectLength(bitmap, false);
}

TEST(IsoBitmapBitTest, OutOfRangeNumbersThrowAndChangeNothing)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("80000000000000000000000000000001", true);
    for (std::uint32_t bad : {0u, 129u, 0xFFFFFFFFu})
    {
        try
        {
            bitmap.Set(bad);
            FAIL() << "Set(" << bad << ") did not throw";
        }
        catch (const std::out_of_range& e)
        {
            EXPECT_STREQ("invalid bitset<N> position", e.what());
        }
        EXPECT_THROW(bitmap.Test(bad), std::out_of_range);
        EXPECT_THROW(bitmap.Reset(bad), std::out_of_range);
    }
    EXPECT_EQ((Bits{1, 128}), SetBits(bitmap));
    ExpectLength(bitmap, true);
    EXPECT_TRUE(bitmap.IsAutoFirst());
}

TEST(IsoBitmapBitTest, SetDoesNotChangeLength)
{
    CIsoBitmap bitmap;
    bitmap.Set(1);
    ExpectLength(bitmap, false);
    bitmap.Set(65);
    ExpectLength(bitmap, false);
}

// ---- the flags' lifecycle ------------------------------------------------------

TEST(IsoBitmapFlagsTest, ResetOfBitOneDropsSecondaryAndFlags)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("C0000000000000010000000000000001", true);
    ExpectLength(bitmap, true);
    bitmap.Reset(1);
    EXPECT_EQ((Bits{2, 64}), SetBits(bitmap));
    ExpectLength(bitmap, false);
    EXPECT_FALSE(bitmap.IsAutoFirst());
}

TEST(IsoBitmapFlagsTest, ClearKeepsAutoFirst)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("8000000000000000FF", true);
    bitmap.Clear();
    EXPECT_TRUE(SetBits(bitmap).empty());
    ExpectLength(bitmap, false);
    EXPECT_TRUE(bitmap.IsAutoFirst());
    bitmap.Set(70);
    EXPECT_EQ("80000000000000000400000000000000", bitmap.ToHex());
    EXPECT_TRUE(bitmap.Test(1));
}

TEST(IsoBitmapFlagsTest, ClearSecondaryKeepsPrimaryBits)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", true);
    bitmap.ClearSecondary();
    EXPECT_EQ(64u, SetBits(bitmap).size());
    EXPECT_TRUE(bitmap.Test(1));
    ExpectLength(bitmap, false);
    EXPECT_FALSE(bitmap.IsAutoFirst());
    bitmap.Set(66);
    EXPECT_EQ("FFFFFFFFFFFFFFFF4000000000000000", bitmap.ToHex());
}

TEST(IsoBitmapFlagsTest, EveryLoadAssignsAutoFirst)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("01", true);
    EXPECT_TRUE(bitmap.IsAutoFirst());
    bitmap.FromHex("01", false);
    EXPECT_FALSE(bitmap.IsAutoFirst());
    bitmap.Set(90);
    EXPECT_EQ("0100000000000000" "0000004000000000", bitmap.ToHex());
}

TEST(IsoBitmapFlagsTest, AutoFirstStoredByLoadActsOnLaterRendering)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("00", true);
    bitmap.Set(65);
    EXPECT_EQ("80000000000000008000000000000000", bitmap.ToHex());
}

} // namespace

namespace
{

// The filtering rules read one byte at a time, the obvious way, to check the
// model's faster reading against.
std::string FilterOneByOne(const std::string& text)
{
    std::string digits;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (CIsoBitmap::IsGbkLeadByte(byte))
            ++i;
        else if (std::isxdigit(byte))
            digits += text[i];
    }
    if (digits.size() % 2 != 0)
        digits += '0';
    return digits.substr(0, 32);
}

TEST(IsoBitmapLoadTest, AnyTextLoadsAsItsDigitsReadOneByOne)
{
    std::mt19937 random(8583);
    const char pieces[] = "0123456789abcdefABCDEF gxZ-:\x81\x41\xCE\xBB\xFE\x30\x80\xFF";
    for (int round = 0; round < 20000; ++round)
    {
        std::string text(random() % 90, ' ');
        for (char& c : text)
            c = pieces[random() % (sizeof pieces - 1)];
        CIsoBitmap fast;
        fast.FromHex(text, false);
        CIsoBitmap reference;
        reference.FromHex(FilterOneByOne(text), false, CIsoBitmap::NoLeadByte);
        ASSERT_EQ(reference.ToHex(), fast.ToHex()) << "text of " << text.size() << " bytes, round " << round;
    }
}

} // namespace
