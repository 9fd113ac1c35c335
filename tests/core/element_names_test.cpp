#include "element_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{

TEST(ElementNamesTest, SampleNamesInBothLanguages)
{
    const struct { std::uint32_t bit; const char* english; const char* chinese; } samples[] = {
        {1, "Secondary bitmap", "第二位图"},
        {2, "Primary account number", "主账号"},
        {3, "Processing code", "交易处理码"},
        {4, "Transaction amount", "交易金额"},
        {11, "System trace audit number", "系统跟踪号"},
        {37, "Retrieval reference number", "检索参考号"},
        {39, "Response code", "应答码"},
        {41, "Card acceptor terminal identification", "受卡机终端标识码"},
        {42, "Card acceptor identification code", "受卡方标识码"},
        {55, "Reserved for ISO use (ICC data)", "IC卡数据域"},
        {60, "Reserved for private use", "私有保留"},
        {64, "Message authentication code", "报文鉴别码"},
        {65, "Tertiary bitmap", "第三位图"},
        {90, "Original data elements", "原始数据元"},
        {128, "Message authentication code", "报文鉴别码"},
    };
    EXPECT_STREQ("\xE4\xB8\xBB\xE8\xB4\xA6\xE5\x8F\xB7", DataElementNameZh(2)); // UTF-8, whatever the build's charset
    for (const auto& s : samples)
    {
        EXPECT_STREQ(s.english, DataElementName(s.bit)) << s.bit;
        EXPECT_STREQ(s.chinese, DataElementNameZh(s.bit)) << s.bit;
    }
}

TEST(ElementNamesTest, EveryBitHasBothNamesAndNoOtherNumberHasAny)
{
    for (std::uint32_t bit = 1; bit <= 128; ++bit)
    {
        ASSERT_NE(nullptr, DataElementName(bit)) << bit;
        ASSERT_NE(nullptr, DataElementNameZh(bit)) << bit;
        const std::string zh = DataElementNameZh(bit);
        EXPECT_TRUE(std::any_of(zh.begin(), zh.end(), [](char c) { return c & 0x80; })) << bit;
    }
    for (const std::uint32_t bit : {0u, 129u, 0xFFFFFFFFu})
    {
        EXPECT_EQ(nullptr, DataElementName(bit)) << bit;
        EXPECT_EQ(nullptr, DataElementNameZh(bit)) << bit;
    }
}

} // namespace
