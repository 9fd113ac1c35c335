#include "masking.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using namespace message;

TEST(MaskingTest, PanShowsSixAndFourOrAtMostHalf)
{
    const struct { const char* pan; const char* masked; } cases[] = {
        {"6228480402564890018", "622848*********0018"}, {"622848040256489001", "622848********9001"},
        {"62284804025648900", "622848*******8900"},     {"6228480402564890", "622848******4890"},
        {"622848040256489", "622848*****6489"},         {"62284804025648", "622848****5648"},
        {"6228480402564", "622848***2564"},             {"622848040256", "622848**0256"},
        {"62284804025", "622******25"},                 {"6228480402", "622*****02"},
        {"622", "6**"},                                 {"62", "6*"},
        {"6", "*"},                                     {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.masked, MaskPan(c.pan)) << c.pan;
}

// The PAN and all after its separator hidden, the separators kept; the
// tags of card data are hidden whole wherever they are shown.
TEST(MaskingTest, FieldsAndTagsHideCardData)
{
    const struct { std::uint32_t number; const char* text; const char* masked; } cases[] = {
        {2, "6228480402564890018", "622848*********0018"},
        {35, "6228480402564890018=28122201234567890", "622848*********0018=*****************"},
        {35, "6222021234567890D2812220123456789", "622202******7890D****************"},
        {35, ";6222021234567890=2812?", ";622202******7890=*****"},
        {35, "6222021234567890", "****************"},
        {35, "1=", "*="},
        {35, "=", "="},
        {35, "", ""},
        {45, "B6222021234567890^ZHANG/SAN^2812220000123000000", "B622202******7890^*********^*******************"},
        {45, "%B6222021234567890^^2812?", "%B622202******7890^^*****"},
        {45, "B", "*"},
        {45, "^^", "^^"},
        {36, "996222021234567890=1561560000000000000003000000214", "**************************************************"},
        {52, "A1B2C3D4E5F60718", "****************"},
        {52, "****", "****"},
        {3, "000000", "000000"},
    };
    for (const auto& c : cases)
    {
        std::string text = c.text;
        const bool changes = text != c.masked;
        EXPECT_EQ(changes, MaskFieldText(c.number, text)) << c.text;
        EXPECT_EQ(c.masked, text);
    }
    for (const std::uint32_t tag : {0x56U, 0x57U, 0x5AU, 0x9F1FU, 0x9F20U, 0x9F6BU})
        EXPECT_TRUE(IsSensitiveTag(tag)) << std::hex << tag;
    for (const std::uint32_t tag : {0x5F20U, 0x9F26U, 0x9F02U, 0x5F24U})
        EXPECT_FALSE(IsSensitiveTag(tag)) << std::hex << tag;
}

} // namespace
