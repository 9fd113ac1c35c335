// The two core additions the command line rests on: the data element names
// and the display grouping.
#include "cli_test_support.h"
#include "display_text.h"
#include "element_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

TEST(ElementNamesTest, EveryBitHasAShortPrintableName)
{
    for (std::uint32_t bit = 1; bit <= 128; ++bit)
    {
        const char* name = DataElementName(bit);
        ASSERT_NE(nullptr, name) << bit;
        const std::string text(name);
        EXPECT_FALSE(text.empty()) << bit;
        EXPECT_LE(text.size(), 48u) << bit;
        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(text[0]))) << bit << " " << text;
        EXPECT_NE(' ', text.back()) << bit;
        for (const char c : text)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '\t') << bit << " " << text;
    }
}

TEST(ElementNamesTest, NumbersOutsideTheBitmapHaveNoName)
{
    EXPECT_EQ(nullptr, DataElementName(0));
    EXPECT_EQ(nullptr, DataElementName(129));
    EXPECT_EQ(nullptr, DataElementName(0xFFFFFFFFu));
}

TEST(ElementNamesTest, WellKnownElementsOfThe1987Edition)
{
    const std::map<std::uint32_t, std::string> known = {
        {1, "Secondary bitmap"},
        {2, "Primary account number"},
        {3, "Processing code"},
        {4, "Transaction amount"},
        {7, "Transmission date and time"},
        {11, "System trace audit number"},
        {35, "Track 2 data"},
        {37, "Retrieval reference number"},
        {39, "Response code"},
        {41, "Card acceptor terminal identification"},
        {49, "Transaction currency code"},
        {52, "PIN data"},
        {64, "Message authentication code"},
        {70, "Network management information code"},
        {90, "Original data elements"},
        {128, "Message authentication code"},
    };
    for (const auto& entry : known)
        EXPECT_EQ(entry.second, DataElementName(entry.first)) << entry.first;
}

TEST(ElementNamesTest, OnlyReservedRangesAndTheTwoCodesRepeat)
{
    std::map<std::string, std::set<std::uint32_t>> bitsByName;
    for (std::uint32_t bit = 1; bit <= 128; ++bit)
        bitsByName[DataElementName(bit)].insert(bit);
    for (const auto& entry : bitsByName)
    {
        if (entry.second.size() < 2)
            continue;
        if (entry.first == "Message authentication code")
            EXPECT_EQ((std::set<std::uint32_t>{64, 128}), entry.second);
        else
            EXPECT_EQ(0u, entry.first.find("Reserved for ")) << entry.first;
    }
    std::set<std::uint32_t> reserved;
    for (const auto& entry : bitsByName)
    {
        if (entry.first.find("Reserved for ") == 0)
            reserved.insert(entry.second.begin(), entry.second.end());
    }
    std::set<std::uint32_t> expected;
    for (const std::uint32_t bit : Range(55, 63))
        expected.insert(bit);
    for (const std::uint32_t bit : Range(105, 127))
        expected.insert(bit);
    EXPECT_EQ(expected, reserved);
    EXPECT_EQ("Reserved for ISO use", std::string(DataElementName(55)));
    EXPECT_EQ("Reserved for national use", std::string(DataElementName(112)));
    EXPECT_EQ("Reserved for private use", std::string(DataElementName(127)));
}

TEST(DisplayTextTest, PairsWithAWiderGapAfterTheEighth)
{
    EXPECT_EQ("80 00 00 00 00 00 00 00    ", FormatHexForDisplay("8000000000000000"));
    EXPECT_EQ("80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 ",
              FormatHexForDisplay("80000000000000000000000000000001"));
}

TEST(DisplayTextTest, ShortAndOddTexts)
{
    EXPECT_EQ("", FormatHexForDisplay(""));
    EXPECT_EQ("A ", FormatHexForDisplay("A"));
    EXPECT_EQ("AB C ", FormatHexForDisplay("ABC"));
    EXPECT_EQ("01 23 45 67 89 AB CD EF    0 ", FormatHexForDisplay("0123456789ABCDEF0"));
    // The wider gap follows the eighth pair even when it is a lone digit.
    EXPECT_EQ("01 23 45 67 89 AB CD E    ", FormatHexForDisplay("0123456789ABCDE"));
}

TEST(DisplayTextTest, BufferWriterMatchesTheRuleForEveryLength)
{
    const std::string digits = "0123456789ABCDEF0123456789ABCDEF01234567";
    for (std::size_t length = 0; length <= digits.size(); ++length)
    {
        const std::string hex = digits.substr(0, length);
        const std::string expected = Grouped(hex);
        EXPECT_EQ(expected, FormatHexForDisplay(hex)) << length;
        ASSERT_EQ(expected.size(), DisplayLength(length)) << length;
        // The writer stays inside its DisplayLength and leaves the rest alone.
        std::string buffer(expected.size() + 4, '#');
        char* end = WriteHexForDisplay(hex.data(), length, &buffer[0]);
        EXPECT_EQ(expected.size(), static_cast<std::size_t>(end - buffer.data())) << length;
        EXPECT_EQ(expected + "####", buffer) << length;
    }
}
