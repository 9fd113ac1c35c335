// A message's bytes in its written forms, and raw streams cut into messages
// whatever pieces the reads return.
#include "wire_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

using namespace message;

TEST(WireForm, HexToBytes)
{
    const struct
    {
        const char* text;
        const char* bytes; // null: refused with text
        std::size_t size;
        const char* problem;
    } cases[] = {
        {"02 00\t7f", "\x02\x00\x7F", 3, ""},
        {"", "", 0, ""},
        {"02 00 7G", nullptr, 0,
         "the input at byte 7: a character other than hex digits and spaces, \"G\" at column 8"},
        {"02\n00", nullptr, 0,
         "the input at byte 2: a character other than hex digits and spaces, \"\\x0A\" at column 3"},
        {"02 0", nullptr, 0, "the input at byte 4: an odd number of hex digits (3)"},
    };
    for (const auto& c : cases)
    {
        std::string bytes;
        Problem problem;
        const bool read = HexToBytes(c.text, bytes, problem);
        EXPECT_EQ(c.bytes != nullptr, read) << c.text;
        EXPECT_EQ(read ? std::string(c.bytes, c.size) : c.problem, read ? bytes : problem.Text()) << c.text;
    }
}

TEST(WireForm, BothWays)
{
    const std::string bytes("0\x00\xFF\r\n", 5);
    const struct
    {
        WireForm form;
        std::string bytes;
        std::string written; // empty: refused
    } cases[] = {
        {WireForm::Text, "0200 ab", "0200 ab"},
        {WireForm::Text, bytes, ""},
        {WireForm::Text, "ab\n", ""},
        {WireForm::Hex, bytes, "3000FF0D0A"},
        {WireForm::Binary, bytes, bytes},
    };
    for (const auto& c : cases)
    {
        std::string out = "kept";
        Problem problem;
        EXPECT_EQ(!c.written.empty(), BytesToWire(c.form, c.bytes, out, problem)) << c.written;
        if (c.written.empty())
        {
            EXPECT_EQ("kept", out);
            EXPECT_EQ(ProblemKind::LineBreak, problem.kind);
            EXPECT_EQ(c.bytes.find_first_of("\r\n"), problem.at);
            continue;
        }
        EXPECT_EQ("kept" + c.written, out);
        std::string back;
        ASSERT_TRUE(WireToBytes(c.form, c.written, back, problem)) << problem.Text();
        EXPECT_EQ(c.bytes, back);
    }
    std::string out;
    Problem problem;
    BytesToWire(WireForm::Text, "0200\n", out, problem);
    EXPECT_EQ("the message holds a line break at byte 4: write it --to hex or --to binary", problem.Text());
}

// What a framer gives for a stream fed in pieces of a size: the messages, and
// the problems of a lost framing and of the stream's end, as text.
std::vector<std::string> Frame(LengthPrefix prefix, const std::string& stream, std::size_t piece)
{
    std::vector<std::string> out;
    const auto message = [&out](std::string_view bytes) { out.emplace_back(bytes); };
    const auto lost = [&out](const Problem& problem) {
        out.push_back(problem.Text() + (problem.place.kind == PlaceKind::LengthPrefix ? " (prefix)" : ""));
    };
    CStreamFramer framer(prefix);
    for (std::size_t at = 0; at < stream.size(); at += piece)
        framer.Feed(std::string_view(stream).substr(at, piece), message, lost);
    framer.End(message, lost);
    return out;
}

TEST(WireForm, Framer)
{
    using List = std::vector<std::string>;
    const std::string two("\x00\x03" "ABC" "\x00\x00" "\x00\x01" "D", 10);
    const std::string four("\x00\x00\x00\x02" "AB" "\x00\x00\x01\x00", 10);
    const struct
    {
        LengthPrefix prefix;
        std::string stream;
        List framed;
    } cases[] = {
        {LengthPrefix::Binary2, two, {two.substr(0, 5), two.substr(5, 2), two.substr(7)}},
        {LengthPrefix::Binary4, four,
         {four.substr(0, 6), "the input at byte 0: the stream ends inside a message: 4 of its 260 bytes"}},
        {LengthPrefix::Ascii4, "0002AB0000" "0003XYZ", {"0002AB", "0000", "0003XYZ"}},
        {LengthPrefix::Ascii4, "0002AB" "00", {"0002AB", "the input at byte 0: the stream ends inside a message: 2 of "
                                                         "its length prefix's bytes"}},
        {LengthPrefix::Ascii4, "0002AB0003XY", {"0002AB", "the input at byte 0: the stream ends inside a message: 6 of "
                                                           "its 7 bytes"}},
        // The framing lost stays lost: nothing after the bad prefix is a message.
        {LengthPrefix::Ascii4, "0002AB" "0002CD" "00X1" "0002EF",
         {"0002AB", "0002CD", "the length prefix at byte 12: expected 4 ASCII digits, found \"00X1\" (prefix)"}},
        {LengthPrefix::None, "0200ABC", {"0200ABC"}},
        {LengthPrefix::None, "", {}},
    };
    for (const auto& c : cases)
    {
        for (std::size_t piece : {std::size_t{1}, std::size_t{3}, c.stream.size() + 1})
            EXPECT_EQ(c.framed, Frame(c.prefix, c.stream, piece)) << c.stream << " in pieces of " << piece;
    }
}

// A stream without a length prefix is one message of at most
// kMaxRawMessageBytes, fed in pieces so that it is held only once.
TEST(WireForm, FramerLongest)
{
    const std::string piece(1u << 16, 'x');
    for (const std::size_t extra : {std::size_t{0}, std::size_t{1}})
    {
        CStreamFramer framer(LengthPrefix::None);
        std::size_t messageSize = 0;
        std::string problem;
        const auto message = [&messageSize](std::string_view bytes) { messageSize = bytes.size(); };
        const auto lost = [&problem](const Problem& lostProblem) { problem = lostProblem.Text(); };
        for (std::size_t fed = 0; fed < kMaxRawMessageBytes; fed += piece.size())
            framer.Feed(piece, message, lost);
        framer.Feed(piece.substr(0, extra), message, lost);
        framer.End(message, lost);
        EXPECT_EQ(extra == 0 ? kMaxRawMessageBytes : 0, messageSize);
        EXPECT_EQ(extra == 0 ? ""
                             : "the input at byte 0: a message longer than 16777216 bytes: a stream of many messages "
                               "needs --length-prefix",
                  problem);
    }
}

TEST(WireForm, FramedSize)
{
    const struct
    {
        LengthPrefix prefix;
        std::string stream;
        Framed framed;
        std::size_t size;
    } cases[] = {
        {LengthPrefix::Binary2, std::string("\x01\x02", 2), Framed::Whole, 2 + 0x102},
        {LengthPrefix::Binary2, std::string("\x01", 1), Framed::Short, 0},
        {LengthPrefix::Binary4, std::string("\x00\x01\x00\x00" "AB", 6), Framed::Whole, 4 + 0x10000},
        {LengthPrefix::Ascii4, "9999", Framed::Whole, 4 + 9999},
        {LengthPrefix::Ascii4, "999", Framed::Short, 0},
        {LengthPrefix::Ascii4, "-001", Framed::Bad, 0},
        {LengthPrefix::Ascii4, "00:0", Framed::Bad, 0},
    };
    for (const auto& c : cases)
    {
        std::size_t size = 0;
        Problem problem;
        EXPECT_EQ(c.framed, FramedSize(c.prefix, c.stream, size, problem)) << c.stream;
        EXPECT_EQ(c.size, size) << c.stream;
        if (c.framed == Framed::Bad)
        {
            EXPECT_EQ("the length prefix at byte 0: expected 4 ASCII digits, found " + Printable(c.stream),
                      problem.Text());
        }
    }
}

} // namespace
