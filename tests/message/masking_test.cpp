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

// Fields by number, tags (kind 't') by their hex value: the PAN and all after
// its separator hidden, the separators kept.
TEST(MaskingTest, FieldsAndTagsHideCardData)
{
    const struct { char kind; std::uint32_t number; const char* text; const char* masked; } cases[] = {
        {'f', 2, "6228480402564890018", "622848*********0018"},
        {'f', 35, "6228480402564890018=28122201234567890", "622848*********0018=*****************"},
        {'f', 35, "6222021234567890D2812220123456789", "622202******7890D****************"},
        {'f', 35, ";6222021234567890=2812?", ";622202******7890=*****"},
        {'f', 35, "6222021234567890", "****************"},
        {'f', 35, "1=", "*="},
        {'f', 35, "=", "="},
        {'f', 35, "", ""},
        {'f', 45, "B6222021234567890^ZHANG/SAN^2812220000123000000", "B622202******7890^*********^*******************"},
        {'f', 45, "%B6222021234567890^^2812?", "%B622202******7890^^*****"},
        {'f', 45, "B", "*"},
        {'f', 45, "^^", "^^"},
        {'f', 36, "996222021234567890=1561560000000000000003000000214", "**************************************************"},
        {'f', 52, "A1B2C3D4E5F60718", "****************"},
        {'f', 52, "****", "****"},
        {'f', 3, "000000", "000000"},
        {'t', 0x5A, "6228480402564890018F", "622848*********0018F"},
        {'t', 0x5A, "FF", "FF"},
        {'t', 0x57, "6228480402564890018D28122201234567890F", "622848*********0018D******************"},
        {'t', 0x9F6B, "5413330089010434D2512201", "541333******0434D*******"},
        {'t', 0x9F1F, "3132333435", "**********"},
        {'t', 0x9F26, "8B2F7A1D04E65C39", "8B2F7A1D04E65C39"},
    };
    for (const auto& c : cases)
    {
        std::string text = c.text;
        const bool changes = text != c.masked;
        EXPECT_EQ(changes, c.kind == 'f' ? MaskFieldText(c.number, text) : MaskTagText(c.number, text)) << c.text;
        EXPECT_EQ(c.masked, text);
        if (c.kind == 't')
        {
            EXPECT_EQ(c.number != 0x9F26, IsSensitiveTag(c.number)) << c.text;
        }
    }
}

} // namespace
