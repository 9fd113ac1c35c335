#include "iso_bitmap.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{

using Bits = std::vector<std::uint32_t>;
const std::string k16(16, '0');

// The set bits asked one by one, and the model's own list of them, which must agree.
Bits SetBits(const CIsoBitmap& bitmap)
{
    Bits bits;
    for (std::uint32_t n = 1; n <= 128; ++n)
    {
        if (bitmap.Test(n))
            bits.push_back(n);
    }
    std::uint32_t listed[128];
    EXPECT_EQ(bits, Bits(listed, listed + bitmap.SetBits(listed)));
    return bits;
}

TEST(IsoBitmapLoadTest, TextLoadsAndRendersBack)
{
    const struct
    {
        std::string text;
        bool autoFirst;
        int bitCount; // returned by the load
        Bits bits;    // after the load
        std::string hex;
    } cases[] = {
        {"00", false, 64, {}, k16},
        {"8", false, 128, {1}, "8000000000000000"}, // padded to 80; bit 1 alone renders 64 bits
        {"0x12 34", false, 64, {8, 11, 15, 16, 18}, "0123400000000000"},
        {"  ghij XYZ ", false, 64, {}, k16},
        {k16 + " 01" + std::string(14, '0'), false, 64, {72}, k16 + "01" + std::string(14, '0')},
        {k16 + " 01" + std::string(14, '0'), true, 128, {1, 72}, "8000000000000000" "0100000000000000"},
        {"0100000000000000", true, 64, {8}, "0100000000000000"},
        {"C0" + std::string(29, '0') + "1", false, 128, {1, 2, 128}, "C0000000000000000000000000000001"},
        {std::string(32, '0') + "FFFFFFFF", false, 64, {}, k16}, // digits past 32 are ignored
        {"a0Ff", false, 128, {1, 3, 9, 10, 11, 12, 13, 14, 15, 16}, "A0FF000000000000"},
        {"\x81\x41" "12", false, 64, {4, 7}, "1200000000000000"}, // GBK 0x81 0x41 is one character
        {"\xCE\xBB\xCD\xBC 80", false, 128, {1}, "8000000000000000"}, // "位图" before the digits
        {"12\x81", false, 64, {4, 7}, "1200000000000000"},           // a lead byte at the very end
        {"7FFFFFFFFFFFFFFF", false, 64, Bits(), "7FFFFFFFFFFFFFFF"},  // bits 2..64, filled in below
    };
    for (auto c : cases)
    {
        for (std::uint32_t n = 2; c.hex == "7FFFFFFFFFFFFFFF" && n <= 64; ++n)
            c.bits.push_back(n);
        CIsoBitmap bitmap;
        EXPECT_EQ(c.bitCount, bitmap.FromHex(c.text, c.autoFirst)) << c.text;
        EXPECT_EQ(c.bitCount == 128, bitmap.IsExtended()) << c.text;
        EXPECT_EQ(c.bits, SetBits(bitmap)) << c.text;
        EXPECT_EQ(c.hex, bitmap.ToHex()) << c.text;
        EXPECT_EQ(c.hex.size() * 4, static_cast<std::size_t>(bitmap.BitCount())) << c.text;
    }
}

TEST(IsoBitmapLoadTest, LoadReplacesEverythingAndAssignsAutoFirst)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", true);
    EXPECT_TRUE(bitmap.IsAutoFirst());
    EXPECT_EQ(64, bitmap.FromHex("01", false));
    EXPECT_TRUE(SetBits(bitmap) == Bits{8} && !bitmap.IsAutoFirst());
    EXPECT_EQ(64, bitmap.FromBytes("", true)); // empty counts as a first byte of 0
    EXPECT_TRUE(SetBits(bitmap).empty() && bitmap.IsAutoFirst());
    // Code page 932 leads with 0x81..0x9F and 0xE0..0xFC only: 0xA1 is a
    // single-byte character there, and the digit after it stays.
    const auto shiftJis = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    bitmap.FromHex("\xA1" "1\x81" "2F", false, shiftJis);
    EXPECT_EQ("1F00000000000000", bitmap.ToHex());
}

// The filtering rules read one byte at a time, the obvious way, to check the
// model's faster reading and what it reports against.
std::string FilterOneByOne(const std::string& text, std::size_t& firstOther)
{
    std::string digits;
    firstOther = std::string::npos;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!std::isxdigit(byte) && byte != ' ' && firstOther == std::string::npos)
            firstOther = i;
        if (CIsoBitmap::IsGbkLeadByte(byte))
            ++i;
        else if (std::isxdigit(byte))
            digits += text[i];
    }
    return digits;
}

TEST(IsoBitmapLoadTest, AnyTextLoadsAsItsDigitsReadOneByOne)
{
    std::mt19937 random(8583);
    const char pieces[] = "0123456789abcdefABCDEF gxZ-:\x81\x41\xCE\xBB\xFE\x30\x80\xFF";
    for (int round = 0; round < 20000; ++round)
    {
        // Runs of plain digits and spaces too, so every way through the filter is taken.
        std::string text(random() % 90, ' ');
        const std::size_t kinds = round % 3 == 0 ? 16 : round % 3 == 1 ? 23 : sizeof pieces - 1;
        for (char& c : text)
            c = pieces[random() % kinds];
        std::size_t firstOther = 0;
        const std::string digits = FilterOneByOne(text, firstOther);
        CIsoBitmap fast;
        CIsoBitmap::TextShape shape;
        fast.FromHex(text, false, CIsoBitmap::IsGbkLeadByte, &shape);
        CIsoBitmap reference;
        reference.FromHex((digits + (digits.size() % 2 ? "0" : "")).substr(0, 32), false, CIsoBitmap::NoLeadByte);
        ASSERT_EQ(reference.ToHex(), fast.ToHex()) << "text of " << text.size() << " bytes, round " << round;
        const bool firstBit = !digits.empty() && std::string("89ABCDEFabcdef").find(digits[0]) != std::string::npos;
        ASSERT_TRUE(digits == CIsoBitmap::HexDigits(text) && digits.size() == shape.digits && firstOther == shape.firstOther &&
                    firstBit == shape.firstBit) << "what the filter met, round " << round;
    }
}

TEST(IsoBitmapRenderTest, EverySingleBitRoundTripsAndSetsTheLength)
{
    for (std::uint32_t n = 1; n <= 128; ++n)
    {
        CIsoBitmap bitmap;
        bitmap.Set(n);
        EXPECT_EQ(64, bitmap.BitCount()) << "Set alone changes no length, bit " << n;
        const std::string bytes = bitmap.ToBytes();
        ASSERT_EQ(n > 64 ? 16u : 8u, bytes.size());
        EXPECT_EQ(static_cast<char>(0x80 >> ((n - 1) % 8)), bytes[(n - 1) / 8]) << "bit " << n;
        CIsoBitmap reloaded;
        reloaded.FromHex(bitmap.ToHex(), false);
        EXPECT_EQ(Bits{n}, SetBits(reloaded)) << "bit " << n;
    }
}

// Out-of-range bit numbers, then the flags' lifecycle: Reset of bit 1,
// Clear, ClearSecondary and Normalize.
TEST(IsoBitmapFlagsTest, EachOperationKeepsOrDropsWhatItShould)
{
    CIsoBitmap bitmap;
    bitmap.FromHex("C0000000000000010000000000000001", true);
    for (std::uint32_t bad : {0u, 129u, 0xFFFFFFFFu})
    {
        EXPECT_THROW(bitmap.Set(bad), std::out_of_range);
        EXPECT_THROW(bitmap.Test(bad), std::out_of_range);
        EXPECT_THROW(bitmap.Reset(bad), std::out_of_range);
    }
    try
    {
        bitmap.Set(129);
    }
    catch (const std::out_of_range& e)
    {
        EXPECT_STREQ("invalid bitset<N> position", e.what());
    }
    EXPECT_EQ((Bits{1, 2, 64, 128}), SetBits(bitmap)); // nothing changed
    bitmap.Reset(2);
    EXPECT_TRUE(bitmap.IsExtended() && bitmap.IsAutoFirst()); // other bits leave the length alone
    bitmap.Reset(1);
    EXPECT_EQ(Bits{64}, SetBits(bitmap));
    EXPECT_TRUE(!bitmap.IsExtended() && bitmap.BitCount() == 64 && !bitmap.IsAutoFirst());

    bitmap.FromHex("8000000000000000FF", true);
    bitmap.Clear();
    EXPECT_TRUE(SetBits(bitmap).empty() && bitmap.BitCount() == 64);
    bitmap.Set(70);
    EXPECT_EQ("80000000000000000400000000000000", bitmap.ToHex()); // Clear keeps auto-first

    bitmap.FromHex("FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", true);
    bitmap.ClearSecondary();
    EXPECT_TRUE(SetBits(bitmap).size() == 64u && !bitmap.IsExtended());
    bitmap.Reset(1);
    bitmap.Set(66);
    EXPECT_EQ("7FFFFFFFFFFFFFFF4000000000000000", bitmap.ToHex()); // and ClearSecondary drops it

    bitmap.Set(100);
    bitmap.Normalize();
    EXPECT_TRUE(bitmap.BitCount() == 128 && !bitmap.Test(1));
    bitmap.ClearSecondary();
    bitmap.Set(1);
    bitmap.Normalize();
    EXPECT_TRUE(bitmap.BitCount() == 64 && bitmap.Test(1)); // only bits 65..128 make it 128
}

} // namespace
