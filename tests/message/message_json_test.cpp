// Messages as JSON objects both ways: what parse writes unmasked, build
// reads back to the same bytes; every other object is refused with its place.
#include "message_json.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

namespace
{

using namespace message;

std::string AllBytes()
{
    std::string bytes;
    for (int c = 255; c >= 0; --c)
        bytes += static_cast<char>(c);
    return bytes;
}

// The JSON object parse --json --unmask writes for a message.
std::string JsonOf(const MessageSpec& spec, const Message& message)
{
    std::string json = "{\"input\":1";
    AppendMessageJson(spec, message, nullptr, true, json);
    return json + "}";
}

// A message built from input, as a source of wire bytes to read.
std::string Wire(const MessageSpec& spec, const BuildInput& input)
{
    std::string wire;
    Problem problem;
    EXPECT_TRUE(BuildMessage(spec, spec.framing, input, BuildOptions{}, wire, problem)) << problem.Text();
    return wire;
}

// Field 55 with templates two deep, a tag repeated at the top and inside a
// template, padding between objects and a length in a longer form than needed.
const std::string kChipData = Bytes("9F2608 8B2F7A1D04E65C39" "00 FF" "9F10 81 03 0A0B0C" "5A08 6228480402564890"
                                    "7013 9F1804 00112233 860A 8408 00000000 00000000" "7009 9F1804 44556677 8600"
                                    "9F3602 0001" "9F3602 0002");

TEST(MessageJson, RoundTrips)
{
    const MessageSpec& cup = *FindBuiltinSpec("cup");
    const MessageSpec& ascii = *FindBuiltinSpec("iso87ascii");
    const MessageSpec& ebcdic = *FindBuiltinSpec("iso87ebcdic");
    const struct
    {
        const MessageSpec& spec;
        std::string wire;
    } cases[] = {
        {cup, Wire(cup, {"0200",
                         {Bytes("60FFEE0000"), Bytes("6031800000FF")},
                         {{2, "6228480402564890018"}, {35, "6228480402564890018=2812220"},
                          {52, AllBytes().substr(0, 8)}, {55, kChipData}, {62, AllBytes()}}})},
        {cup, Wire(cup, {"0810", {Bytes("6000000000"), Bytes("000000000000")}, {{55, ""}}})},
        {ascii, Wire(ascii, {"0100",
                             {},
                             {{4, "000000001000"}, {55, "Caf\"e \\ 12/{}"}, {52, AllBytes().substr(248)},
                              {70, "301"}, {128, AllBytes().substr(100, 8)}}})},
        {ebcdic,
         Wire(ebcdic, {"0420", {}, {{2, "4761739001010119"}, {41, "TERM 001"}, {64, AllBytes().substr(8, 8)}}})},
    };
    for (const auto& c : cases)
    {
        Message message;
        Problem problem;
        ASSERT_TRUE(ReadMessage(c.spec, c.spec.framing, c.wire, ReadOptions{true}, message, problem)) << problem.Text();
        ASSERT_TRUE(message.warnings.empty()) << message.warnings[0].Text();
        const std::string json = JsonOf(c.spec, message);
        CBuildValues values(c.spec, c.spec.framing);
        ASSERT_TRUE(ReadMessageJson(json, values, problem)) << problem.Text() << "\n" << json;
        Framing framing;
        BuildInput* input = nullptr;
        ASSERT_TRUE(values.Finish(nullptr, framing, input, problem)) << problem.Text();
        std::string built;
        ASSERT_TRUE(BuildMessage(c.spec, framing, *input, BuildOptions{}, built, problem)) << problem.Text();
        EXPECT_EQ(c.wire, built) << json;
    }
}

// A byte over 7F in a text is written as its code point and read back as the byte.
TEST(MessageJson, BytesOver7F)
{
    const MessageSpec& ascii = *FindBuiltinSpec("iso87ascii");
    const std::string wire = "0200" "0000000000800000" "Caf\xE9\x80\xFF" "\x7F" "1";
    Message message;
    Problem problem;
    ASSERT_TRUE(ReadMessage(ascii, ascii.framing, wire, ReadOptions{}, message, problem)) << problem.Text();
    const std::string json = JsonOf(ascii, message);
    EXPECT_NE(json.find("\"41\":\"Caf\\u00e9\\u0080\\u00ff\\u007f1\""), std::string::npos) << json;
    CBuildValues values(ascii, ascii.framing);
    ASSERT_TRUE(ReadMessageJson(json, values, problem)) << problem.Text();
    ASSERT_EQ(1u, values.Fields().size());
    EXPECT_EQ("Caf\xE9\x80\xFF\x7F" "1", values.Fields()[0].value);
}

// Templates 70 nested one deeper than the reader of TLV goes, and the refusal.
std::string NestedTags(int depth)
{
    std::string tags = "{}";
    for (int level = 0; level < depth; ++level)
        tags = "{\"70\":" + tags + "}";
    return tags;
}

std::string TooDeepText()
{
    std::string text = "field 55: ";
    for (int level = 0; level < kMaxTlvDepth; ++level)
        text += "tag 70: ";
    return text + "templates nested deeper than 16";
}

TEST(MessageJson, Refusals)
{
    const MessageSpec& cup = *FindBuiltinSpec("cup");
    const std::string hexText = ": the value is written in hex, 2 digits a byte";
    const struct
    {
        std::string line;
        std::string text;
    } cases[] = {
        {"", "an empty line, where a JSON object was expected"},
        {" \t", "an empty line, where a JSON object was expected"},
        {"{\"mti\":", "not JSON: parse error at line 1, column 8: syntax error while parsing value - unexpected end "
                      "of input; expected '[', '{', or a literal"},
        {"[{}]", "not a JSON object: build reads the objects parse --json --unmask writes"},
        {R"({"mti":"0200","error":"the input at byte 0: the message is empty"})",
         "parse could not read this message: the input at byte 0: the message is empty"},
        {R"({"error":{"at":1}})", "parse could not read this message: {\"at\":1}"},
        {R"({"mti":"0200","masked":true})",
         "its card data is masked: parse the message with --unmask to build it again"},
        {R"({"fields":[]})", "member \"fields\": expected an object"},
        {R"({"tlv":"9F3600"})", "member \"tlv\": expected an object"},
        {R"({"fields":{"x1":"0"}})", "member \"fields\": \"x1\" is not a field number"},
        {R"({"fields":{"3":0}})", "field 3: expected a string"},
        {R"({"fields":{"193":"0"}})", "field 193: there are fields 1 to 192"},
        {R"({"fields":{"52":"0G"}})",
         "field 52: a character other than hex digits and spaces, \"G\" at column 2" + hexText},
        {R"({"mti":200})", "member \"mti\": expected a string"},
        {R"({"mtii":"0200"})", "unknown member \"mtii\": mti, fields, tlv or tpdu, header"},
        {R"({"tpdu":"6G"})",
         "the header's tpdu: a character other than hex digits and spaces, \"G\" at column 2" + hexText},
        {R"({"tlv":{"48":{}}})", "member \"tlv\": \"48\" is not a TLV field of the message specification cup"},
        {R"({"tlv":{"x":{}}})", "member \"tlv\": \"x\" is not a TLV field of the message specification cup"},
        {R"({"tlv":{"55":[]}})", "field 55: expected an object of tags"},
        {R"({"tlv":{"55":{"9F":"00"}}})", "field 55: \"9F\" is not a BER-TLV tag"},
        {R"({"tlv":{"55":{"70":{"9F8":"00"}}}})", "field 55: tag 70: \"9F8\" is not a BER-TLV tag"},
        {R"({"tlv":{"55":{"70":{"9F36":{}}}}})",
         "field 55: tag 70: tag 9F36: primitive: its value is hex, not an object"},
        {R"({"tlv":{"55":{"70":[{},{"9F36":["00",{}]}]}}})",
         "field 55: tag 70: tag 9F36: primitive: its value is hex, not an object"},
        {R"({"tlv":{"55":{"9F36":1}}})", "field 55: tag 9F36: expected hex, an object or an array of them"},
        {R"({"tlv":{"55":{"9F36":"0G"}}})",
         "field 55: tag 9F36: a character other than hex digits and spaces, \"G\" at column 2" + hexText},
        {R"({"tlv":{"55":)" + NestedTags(kMaxTlvDepth + 1) + "}}", TooDeepText()},
        {R"({"fields":{"55":"9F360100"},"tlv":{"55":{"9F36":"02"}}})",
         "field 55: its value in \"fields\" and its tags in \"tlv\" differ: leave one of them out"},
        {R"({"fields":{"55":"9F3601"},"tlv":{"55":{"9F36":"02"}}})",
         "field 55: its value in \"fields\" and its tags in \"tlv\" differ: leave one of them out"},
        {R"({"fields":{"41":"TERM\u0100"}})",
         "field 41: a character beyond U+00FF at byte 4: a value holds bytes, each byte over 7F written as "
         "\\u0080-\\u00ff"},
    };
    for (const auto& c : cases)
    {
        CBuildValues values(cup, cup.framing);
        Problem problem;
        EXPECT_FALSE(ReadMessageJson(c.line, values, problem)) << c.line;
        EXPECT_EQ(c.text, problem.Text()) << c.line;
    }
}

// A number too large for a double is refused like any other text that is
// not JSON, not thrown at the caller.
TEST(MessageJson, NumberOverflow)
{
    const MessageSpec& cup = *FindBuiltinSpec("cup");
    CBuildValues values(cup, cup.framing);
    Problem problem;
    bool read = true;
    EXPECT_NO_THROW(read = ReadMessageJson(R"({"mti":"0200","length":1e400})", values, problem));
    EXPECT_FALSE(read);
    EXPECT_EQ(ProblemKind::NotJson, problem.kind);
}

} // namespace
