#include "element_names.h"

#include <gtest/gtest.h>

TEST(ElementNamesTest, BothLanguagesForEveryBitAndNoneOutside)
{
    const struct { std::uint32_t bit; const char* english; const char* chinese; } samples[] = {
        {1, "Secondary bitmap", "第二位图"}, {3, "Processing code", "交易处理码"},
        {11, "System trace audit number", "系统跟踪号"}, {39, "Response code", "应答码"},
        {42, "Card acceptor identification code", "受卡方标识码"}, {55, "Reserved for ISO use (ICC data)", "IC卡数据域"},
        {60, "Reserved for private use", "私有保留"}, {65, "Tertiary bitmap", "第三位图"},
        {90, "Original data elements", "原始数据元"}, {128, "Message authentication code", "报文鉴别码"}};
    for (const auto& s : samples)
    {
        EXPECT_STREQ(s.english, DataElementName(s.bit)) << s.bit;
        EXPECT_STREQ(s.chinese, DataElementNameZh(s.bit)) << s.bit;
    }
    EXPECT_STREQ("\xE4\xB8\xBB\xE8\xB4\xA6\xE5\x8F\xB7", DataElementNameZh(2)); // 主账号, UTF-8 whatever the build's charset
    for (std::uint32_t bit = 0; bit <= 129; ++bit) // named exactly 1..128, in both languages
        EXPECT_EQ(bit >= 1 && bit <= 128, DataElementName(bit) && *DataElementName(bit) && DataElementNameZh(bit) && *DataElementNameZh(bit)) << bit;
    EXPECT_FALSE(DataElementName(0xFFFFFFFFu) || DataElementNameZh(0xFFFFFFFFu));
}
