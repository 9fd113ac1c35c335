#include "tlv.h"

#include "hex_bytes.h"
#include "hex_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using namespace message;

// "TAG@offset+valueLength" per node, one '>' per level of nesting.
std::string Render(const std::vector<TlvNode>& nodes)
{
    std::string text;
    for (const TlvNode& node : nodes)
        text += (text.empty() ? "" : " ") + std::string(node.depth, '>') + TagText(node) + "@" +
                std::to_string(node.offset) + "+" + std::to_string(node.valueLength);
    return text;
}

TEST(TlvTest, ReadsObjectsAndStopsAtTheFirstMalformedOne)
{
    const struct { const char* hex; const char* nodes; std::size_t problemOffset; const char* problem; } cases[] = {
        {"", "", 0, ""},
        {"9F2608 8B2F7A1D04E65C39 9F2701 80 9F1013 07010103A00000010A010000000000ED538FE4 5F2A02 0156",
         "9F26@0+8 9F27@11+1 9F10@15+19 5F2A@37+2", 0, ""},
        {"DF810101 01 9F10 81 03 AABBCC 86 82 0002 8400", "DF8101@0+1 9F10@5+3 86@12+2", 0, ""},
        {"7115 9F180400112233 86058424000000 86058418000000 9F3602 0001",
         "71@0+21 >9F18@2+4 >86@9+5 >86@16+5 9F36@23+2", 0, ""},
        {"00 9F2701 80 FFFF00 9505 0000000800 00", "9F27@1+1 95@8+5", 0, ""},
        {"7106 00 9F2701 40 FF", "71@0+6 >9F27@3+1", 0, ""},
        {"9F100D 8A03414243 8A03646566 1001FF", "9F10@0+13", 0, ""},
        {"9F3602 0001 9000", "9F36@0+2 90@5+0", 0, ""},
        {"9F3602 0001 9F", "9F36@0+2", 5, "truncated tag"},
        {"DF81", "", 0, "truncated tag"},
        {"DF81828301 00", "", 0, "tag longer than 4 bytes"},
        {"9F3602 0001 9F27", "9F36@0+2", 5, "truncated length"},
        {"9F10 82 00", "", 0, "truncated length"},
        {"86 85 0000000001 00", "", 0, "length of 5 bytes, more than 4"},
        {"9F2701 80 9505 0000", "9F27@0+1", 4, "value overruns the field by 3 bytes"},
        {"7106 9F1804 00112233", "71@0+6", 2, "value overruns its template by 1 byte"},
        {"9F2701 80 7180 9F2701 80 0000", "9F27@0+1", 4, "indefinite length"},
    };
    for (const auto& c : cases)
    {
        std::vector<TlvNode> nodes;
        Problem problem;
        const bool read = ReadTlv(Bytes(c.hex), nodes, problem);
        EXPECT_EQ(*c.problem == '\0', read) << c.hex;
        EXPECT_EQ(c.nodes, Render(nodes)) << c.hex;
        if (read)
            continue;
        EXPECT_EQ(c.problem, English(problem)) << c.hex;
        EXPECT_EQ(c.problemOffset, problem.offset) << c.hex;
        EXPECT_EQ(c.problemOffset, problem.at) << c.hex;
    }
}

// A message's TLV fields share one vector of nodes: each read appends.
TEST(TlvTest, Appends)
{
    std::vector<TlvNode> nodes;
    Problem problem;
    ASSERT_TRUE(ReadTlv(Bytes("9F2701 80"), nodes, problem));
    ASSERT_TRUE(ReadTlv(Bytes("7105 9F3602 0001"), nodes, problem));
    EXPECT_EQ("9F27@0+1 71@0+5 >9F36@2+2", Render(nodes));
}

TEST(TlvTest, StopsAtTemplatesNestedBeyondTheLimit)
{
    std::string nested;
    for (int level = 0; level <= kMaxTlvDepth; ++level)
    {
        std::string outer;
        WriteTlv(0x71, 1, nested, outer);
        nested = outer;
    }
    std::vector<TlvNode> nodes;
    Problem problem;
    EXPECT_FALSE(ReadTlv(nested, nodes, problem));
    EXPECT_EQ(ProblemKind::TlvTooDeep, problem.kind);
    ASSERT_EQ(std::size_t{kMaxTlvDepth}, nodes.size());
    EXPECT_EQ(kMaxTlvDepth - 1, nodes.back().depth);
    EXPECT_EQ(2u * kMaxTlvDepth, problem.offset);
}

TEST(TlvTest, ParsesOnlyWellFormedTags)
{
    const struct { const char* hex; std::uint32_t tag; std::uint8_t tagBytes; } cases[] = { // tag 0: rejected
        {"9f26", 0x9F26, 2}, {"95", 0x95, 1},  {"DF8101", 0xDF8101, 3}, {"BF0C", 0xBF0C, 2},
        {"", 0, 0},          {"9", 0, 0},      {"00", 0, 0},            {"9F", 0, 0},
        {"9F81", 0, 0},      {"9526", 0, 0},   {"9F2601", 0, 0},        {"DF81828301", 0, 0},
        {"9G26", 0, 0},      {"0x9F", 0, 0},
    };
    for (const auto& c : cases)
    {
        std::uint32_t tag = 0;
        std::uint8_t tagBytes = 0;
        EXPECT_EQ(c.tag != 0, ParseTag(c.hex, tag, tagBytes)) << c.hex;
        EXPECT_EQ(c.tag, tag) << c.hex;
        EXPECT_EQ(c.tagBytes, tagBytes) << c.hex;
        if (c.tag != 0)
        {
            EXPECT_EQ(CHexCodec().BytesToHex(CHexCodec().HexToBytes(c.hex)), TagText(tag, tagBytes));
        }
    }
}

TEST(TlvTest, WritesTheShortestLengthAndReadsItBack)
{
    const struct { std::size_t length, lengthBytes; } cases[] = {{0, 1}, {127, 1}, {128, 2}, {255, 2}, {256, 3}, {65535, 3}, {65536, 4}};
    for (const auto& c : cases)
    {
        std::string out = Bytes("FF00"); // padding before the object
        WriteTlv(0xDF8101, 3, std::string(c.length, '\x9F'), out);
        std::vector<TlvNode> nodes;
        Problem problem;
        ASSERT_TRUE(ReadTlv(out, nodes, problem)) << c.length << ": " << problem.Text();
        ASSERT_EQ(1u, nodes.size()) << c.length;
        EXPECT_EQ("DF8101", TagText(nodes[0]));
        EXPECT_EQ(2 + 3 + c.lengthBytes, nodes[0].valueOffset) << c.length;
        EXPECT_EQ(c.length, nodes[0].valueLength);
        EXPECT_EQ(out.size(), nodes[0].valueOffset + c.length);
    }
}

} // namespace
