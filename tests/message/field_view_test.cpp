// Fields as a person sees them: shown values, card data masked in fields
// and in the TLV tags of field 55, the way back to the value, and names.
#include "field_view.h"
#include "writer.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

namespace
{

using namespace message;

// Field 55: a cryptogram, the PAN (5A), and a template holding track 2 (57)
// and the counter 9F36, which comes again after it.
const std::string kChipData = "9F2608 1122334455667788" "5A08 6228480402564890" "700D 5706 622848D28121 9F3602 0001"
                              "9F3602 0002";

// A cup request whose terminal id holds a control byte: the reader doubts it
// but keeps it.
struct CupMessage
{
    CupMessage()
    {
        const MessageSpec& cup = *FindBuiltinSpec("cup");
        const BuildInput input{"0200",
                               {Bytes("6000030000"), Bytes("603100000000")},
                               {{2, "6228480402564890018"},
                                {35, "6228480402564890018=2812220"},
                                {41, "TERM0001"},
                                {52, Bytes("0102030405060708")},
                                {55, Bytes(kChipData)}}};
        Problem problem;
        EXPECT_TRUE(BuildMessage(cup, cup.framing, input, BuildOptions{}, wire, problem)) << problem.Text();
        wire.replace(wire.find("TERM0"), 5, "TERM\x01");
        EXPECT_TRUE(ReadMessage(cup, cup.framing, wire, ReadOptions{}, message, problem)) << problem.Text();
    }

    std::string wire;
    Message message;
};

TEST(FieldView, Shown)
{
    const MessageSpec& cup = *FindBuiltinSpec("cup");
    const CupMessage cupMessage;
    const Message& message = cupMessage.message;
    const struct
    {
        std::uint32_t field;
        ViewOptions options;
        const char* shown;
        bool masked;
    } cases[] = {
        {2, {}, "622848*********0018", true},
        {2, {true, false}, "6228480402564890018", false},
        {35, {}, "622848*********0018=*******", true},
        {35, {true, false}, "6228480402564890018=2812220", false},
        {41, {}, "TERM\x01" "001", false},
        {41, {false, true}, "TERM\\x01001", false},
        {52, {}, "****************", true},
        {52, {true, false}, "0102030405060708", false},
        {55, {}, "9F26081122334455667788" "5A08****************" "700D5706************9F36020001" "9F36020002", true},
        {55, {true, false}, "9F26081122334455667788" "5A086228480402564890" "700D5706622848D281219F36020001"
                            "9F36020002", false},
    };
    for (const auto& c : cases)
    {
        const FieldValue* field = message.Find(c.field);
        ASSERT_NE(field, nullptr) << c.field;
        std::string out = "kept ";
        EXPECT_EQ(c.masked, AppendShownValue(cup, message, *field, c.options, out)) << c.field;
        EXPECT_EQ("kept " + std::string(c.shown), out) << c.field;
    }
    std::string text;
    AppendShownText("a\\b\x7F\n\xE4", text);
    EXPECT_EQ("a\\x5Cb\\x7F\\x0A\xE4", text);
}

TEST(FieldView, Tags)
{
    const CupMessage cupMessage;
    const Message& message = cupMessage.message;
    const FieldValue& chip = *message.Find(55);
    const struct
    {
        std::uint32_t tag;
        const char* masked; // "" when FindTag finds no primitive object
        const char* unmasked;
    } cases[] = {
        {0x9F26, "1122334455667788", "1122334455667788"},
        {0x5A, "****************", "6228480402564890"},
        {0x57, "************", "622848D28121"},
        {0x9F36, "0001", "0001"}, // the first, inside the template
        {0x70, "", ""},           // constructed
        {0x9F27, "", ""},
    };
    for (const auto& c : cases)
    {
        const TlvNode* node = FindTag(message, chip, c.tag);
        ASSERT_EQ(*c.masked == '\0', node == nullptr) << std::hex << c.tag;
        if (node == nullptr)
            continue;
        std::string masked, unmasked;
        AppendShownTag(message, chip, *node, false, masked);
        AppendShownTag(message, chip, *node, true, unmasked);
        EXPECT_EQ(c.masked, masked) << std::hex << c.tag;
        EXPECT_EQ(c.unmasked, unmasked) << std::hex << c.tag;
    }
    EXPECT_EQ(FindTag(message, *message.Find(2), 0x5A), nullptr); // not a TLV field
}

// Every shown value, unmasked, gives the value back; hex that is not hex is
// refused as a value given to build.
TEST(FieldView, ValueFromShown)
{
    const MessageSpec& cup = *FindBuiltinSpec("cup");
    const CupMessage cupMessage;
    const Message& message = cupMessage.message;
    for (const FieldValue& field : message.fields)
    {
        std::string shown, value;
        Problem problem;
        AppendShownValue(cup, message, field, ViewOptions{true, false}, shown);
        ASSERT_TRUE(ValueFromShown(cup.FormatOf(field.number), shown, value, problem)) << problem.Text();
        EXPECT_EQ(message.Value(field), value) << field.number;
    }
    const struct
    {
        const FieldFormat* format;
        const char* shown;
        const char* value; // null: refused
        const char* english;
    } cases[] = {
        {&*cup.fields[52], "01 02\t0A", "\x01\x02\x0A", ""},
        {&*cup.fields[52], "0G", nullptr,
         "a character other than hex digits and spaces, \"G\" at column 2: the value is written in hex, 2 digits a "
         "byte"},
        {&*cup.fields[52], "ABC", nullptr,
         "an odd number of hex digits (3): the value is written in hex, 2 digits a byte"},
        {&*cup.fields[41], "0G", "0G", ""},
        {nullptr, "0G", "0G", ""},
    };
    for (const auto& c : cases)
    {
        std::string value;
        Problem problem;
        EXPECT_EQ(c.value != nullptr, ValueFromShown(c.format, c.shown, value, problem)) << c.shown;
        EXPECT_EQ(c.value != nullptr ? c.value : c.english, c.value != nullptr ? value : English(problem)) << c.shown;
    }
}

TEST(FieldView, Names)
{
    const MessageSpec& cup = *FindBuiltinSpec("cup");
    const MessageSpec& ascii = *FindBuiltinSpec("iso87ascii");
    const struct
    {
        const MessageSpec& spec;
        std::uint32_t field;
        const char* english;
        const char* chinese;
    } cases[] = {
        {cup, 54, "Balance", "余额"},
        {cup, 11, "System trace audit number", "受卡方系统跟踪号"},
        {cup, 60, "Reserved for private use", "自定义域"},
        {ascii, 54, "Additional amounts", "附加金额"},
        {ascii, 11, "System trace audit number", "系统跟踪号"},
        {ascii, 130, "", ""},
    };
    for (const auto& c : cases)
    {
        EXPECT_STREQ(c.english, FieldName(c.spec, Language::English, c.field)) << c.field;
        EXPECT_STREQ(c.chinese, FieldName(c.spec, Language::Chinese, c.field)) << c.field;
    }
    EXPECT_STREQ("Application Cryptogram", TagName(Language::English, 0x9F26));
    EXPECT_STREQ("应用密文", TagName(Language::Chinese, 0x9F26));
    EXPECT_STREQ("", TagName(Language::English, 0xDF7F));
    EXPECT_STREQ("", TagName(Language::Chinese, 0xDF7F));
}

} // namespace
