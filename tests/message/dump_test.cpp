// Hex dumps read back into bytes: each tool's layout written by hand, lines
// that are no dump line with the line and column they are reported at,
// characters columns that look like hex, offsets out of sequence, how dumps
// split into messages, and round trips through a writer of each layout.
#include "dump.h"
#include "wire_form.h"

#include "dump_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{

using namespace message;

std::string Bytes(std::string_view hex)
{
    std::string bytes;
    Problem problem;
    EXPECT_TRUE(HexToBytes(hex, bytes, problem)) << problem.Text();
    return bytes;
}

// The messages of a text fed line by line, then "error: ..." at a problem.
std::vector<std::string> ReadAll(std::string_view text)
{
    std::vector<std::string> messages;
    CDumpReader reader;
    Problem problem;
    std::uint64_t number = 0;
    for (std::size_t start = 0; start <= text.size(); ++number)
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (!reader.Line(text.substr(start, end - start), number + 1, start, problem))
            messages.push_back("error: " + English(problem));
        if (reader.HasMessage())
            messages.push_back(reader.TakeMessage());
        start = end + 1;
    }
    if (!reader.Finish(problem))
        messages.push_back("error: " + English(problem));
    if (reader.HasMessage())
        messages.push_back(reader.TakeMessage());
    return messages;
}

const char* const kLine0200 = "30 32 30 30 72 38 00 01 08 c1 80 00 31 36 34 37";

TEST(Dump, Layouts)
{
    struct Case
    {
        const char* name;
        const char* text;
        std::string hex;
    };
    const std::string full = kLine0200;
    const Case cases[] = {
        {"xxd", "00000000: 3032 3030 7238 0001 08c1 8000 3136 3437  0200r8......1647\n"
                "00000010: 3132 33                                  123\n",
         full + "31 32 33"},
        {"xxd upper", "00000000: 3032 3030 7238 0001 08C1 8000 3136 3437  0200r8......1647", full},
        {"hexdump -C", "00000000  30 32 30 30 72 38 00 01  08 c1 80 00 31 36 34 37  |0200r8......1647|\n"
                       "00000010  31 32 33 34 35 36 37 38  39                       |123456789|\n"
                       "00000019\n",
         full + "31 32 33 34 35 36 37 38 39"},
        {"od", "000000 30 32 30 30 72 38 00 01 08 c1 80 00 31 36 34 37  >0200r8......1647<\n"
               "000010 20 41                                            > A<\n"
               "000012\n",
         full + "20 41"},
        {"wireshark", "0000   30 32 30 30 72 38 00 01 08 c1 80 00 31 36 34 37   0200r8......1647\n"
                      "0010   ff                                                .",
         full + "ff"},
        {"java", "0000: 30 32 30 30 72 38 00 01 08 C1 80 00 31 36 34 37  0200r8......1647\n"
                 "0010: 7C 41  |A",
         full + "7c 41"},
        {"java bars", "0000: 30 32 30 30 72 38 00 01 08 c1 80 00 31 36 34 37  |0200r8......1647|\n"
                      "0010: 41 42                                            |AB              |",
         full + "41 42"},
        {"crlf", "0000: 30 31  01\r\n0002: 32  2\r\n\r\n", "30 31 32"},
        {"indented", "\t  0000: 30 31  01", "30 31"},
        {"only an offset", "000000\n", ""},
    };
    for (const Case& c : cases)
    {
        std::string bytes;
        Problem problem;
        EXPECT_TRUE(DumpToBytes(c.text, bytes, problem)) << c.name << ": " << English(problem);
        EXPECT_EQ(bytes, Bytes(c.hex)) << c.name;
    }
}

// Characters that are hex digits never become bytes: the layout counts them.
TEST(Dump, HexLookingCharacters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"0000: 30 32 30 30  0200", "30 32 30 30"},
        {"0000: 33 30 33 30  3030", "33 30 33 30"},
        {"00000000: 3330 3330  3030", "33 30 33 30"},
        {"00000000: 3330 33  303", "33 30 33"},
        {"00000000  30 32 30 30                                       |0200|", "30 32 30 30"},
        {"0000: 31 32 20 33 34  12 34", "31 32 20 33 34"},
        {"0000   20 30 30   00", "20 30 30"},
        {"0000   30 30 20 20   00  ", "30 30 20 20"},
        {"0000: 31 32 20 20 33  12  3", "31 32 20 20 33"},
    };
    for (const auto& [text, hex] : cases)
    {
        std::string bytes;
        Problem problem;
        EXPECT_TRUE(DumpToBytes(text, bytes, problem)) << text << ": " << English(problem);
        EXPECT_EQ(bytes, Bytes(hex)) << text;
    }
}

TEST(Dump, Malformed)
{
    struct Case
    {
        const char* text;
        std::size_t offset;
        const char* what;
    };
    const Case cases[] = {
        {"0000: 30 3G 30  0?0", 9, "line 1, column 10: expected a hex byte, found \"3G\""},
        {"00000000: 3032 303G  02.", 15, "line 1, column 16: expected a group of 4 hex digits, found \"303G\""},
        {"00000000: 3032 30 3030  0200", 18,
         "line 1, column 19: expected the characters after a last group of 2 digits, found \"3030\""},
        {"00: 30  0", 0, "line 1, column 1: expected an offset of 4 to 16 hex digits, found \"00:\""},
        {"0000x 30  0", 0, "line 1, column 1: expected an offset of 4 to 16 hex digits, found \"0000x\""},
        {"30 31 32 33", 0, "line 1, column 1: expected an offset of 4 to 16 hex digits, found \"30\""},
        {"0000: 30 31 32  012x", 16, "line 1, column 17: expected 3 characters after 3 bytes, found \"012x\""},
        {"0000: 30 31 32  0123", 16, "line 1, column 17: expected 3 characters after 3 bytes, found \"0123\""},
        {"0000: 30 31 32", 14, "line 1, column 15: expected 3 characters after 3 bytes, found none"},
        {"0000: 30 31 32 012", 15, "line 1, column 16: expected a hex byte, found \"012\""},
        {"00000000  30 31 32  |012", 20, "line 1, column 21: expected 3 characters after 3 bytes, found \"|012\""},
        {"00000000  30 31 32  |01|", 20, "line 1, column 21: expected 3 characters after 3 bytes, found \"|01|\""},
        {"00000000  30 31  zz 32  |012|", 17, "line 1, column 18: expected a hex byte, found \"zz\""},
        {"0000: 30  0\n0000: 31 32", 23, "line 2, column 12: expected 2 characters after 2 bytes, found none"},
        {"0000: 30  0\r\n0001: 31 3", 22, "line 2, column 10: expected a hex byte, found \"3\""},
        {"0010: 30  0", 0, "line 1, column 1: expected offset 0x0, found 0x10"},
        {"0000: 30 31  01\n0003: 32  2", 16, "line 2, column 1: expected offset 0x2, found 0x3"},
        {"0000: 30 31  01\n0001: 32  2", 16, "line 2, column 1: expected offset 0x2, found 0x1"},
        {"000000 30 31  >01<\n000003", 19, "line 2, column 1: expected offset 0x2, found 0x3"},
        {"0000: 30  0\n\n0000: 31  1", 13, "line 3, column 1: expected one dump, found another"},
        {"0000: 30  0\n0000: 31  1", 12, "line 2, column 1: expected one dump, found another"},
    };
    for (const Case& c : cases)
    {
        std::string bytes;
        Problem problem;
        EXPECT_FALSE(DumpToBytes(c.text, bytes, problem)) << c.text;
        EXPECT_EQ(English(problem), c.what) << c.text;
        EXPECT_EQ(problem.offset, c.offset) << c.text;
        EXPECT_EQ(problem.place.kind, PlaceKind::Input);
    }
}

// hexdump and od print "*" for lines that repeat the one before: the next
// offset tells how many, so they are repeated exactly.
TEST(Dump, RepeatedLines)
{
    const std::string line = "00000000  61 62 63 64 65 66 67 68  69 6a 6b 6c 6d 6e 6f 70  |abcdefghijklmnop|\n";
    const std::string abc = "abcdefghijklmnop";
    const std::pair<std::string, std::string> read[] = {
        {line + "*\n00000040\n", abc + abc + abc + abc},
        {line + "  *  \n00000020  71  |q|\n00000021", abc + abc + "q"},
    };
    for (const auto& [text, bytes] : read)
        EXPECT_EQ(ReadAll(text), std::vector<std::string>{bytes}) << text;

    const std::pair<std::string, const char*> refused[] = {
        {"*\n00000010", "error: line 1, column 1: expected a line of bytes before \"*\" to repeat"},
        {line + "*\n*\n00000030", "error: line 3, column 1: expected a line of bytes before \"*\" to repeat"},
        {line + "*\n", "error: line 2, column 1: expected an offset after \"*\" to tell how many lines it repeats"},
        {line + "*\n\n", "error: line 2, column 1: expected an offset after \"*\" to tell how many lines it repeats"},
        {line + "*\n00000018", "error: line 3, column 1: expected offset 0x20 or a further multiple of 16 bytes after "
                               "the \"*\" above, found 0x18"},
        {line + "*\n00000010", "error: line 3, column 1: expected offset 0x20 or a further multiple of 16 bytes after "
                               "the \"*\" above, found 0x10"},
        {line + "*\n00000000", "error: line 3, column 1: expected offset 0x20 or a further multiple of 16 bytes after "
                               "the \"*\" above, found 0x0"},
        {line + "*\nffffffff00000000",
         "error: line 3, column 1: the \"*\" above would stand for 18446744069414584304 bytes, more than 1048576"},
    };
    for (const auto& [text, error] : refused)
        EXPECT_EQ(ReadAll(text), std::vector<std::string>{error}) << text;
}

TEST(Dump, Splits)
{
    EXPECT_EQ(ReadAll("0000: 41  A\n0001: 42  B\n\n \n0000: 43  C\n0000: 44  D\n000000\n"),
              (std::vector<std::string>{"AB", "C", "D"}));
    // After a bad line the rest of its dump is skipped, up to a blank line or
    // a new offset 0, instead of a problem for every line.
    EXPECT_EQ(ReadAll("0000: 41  A\n0001: zz  B\n0002: 43  C\n0000: 44  D\n0000: 45 x\n0002: 46  F\n\n0000: 47  G"),
              (std::vector<std::string>{"error: line 2, column 7: expected a hex byte, found \"zz\"",
                                        "error: line 5, column 10: expected a hex byte, found \"x\"", "D", "G"}));
    const std::string noise = "line 3, column 1: expected an offset of 4 to 16 hex digits, found \"noise\"";
    EXPECT_EQ(ReadAll("0000: 41  A\n\nnoise\nnoise\n"), (std::vector<std::string>{"A", "error: " + noise}));
}

TEST(Dump, RoundTrip)
{
    using dump_test::Layout;
    std::mt19937 random(8583);
    std::vector<std::string> samples = {"", "0", std::string(16, 'x'), std::string(100, '\0'),
                                        std::string(48, 'a') + "b" + std::string(32, 'a')};
    for (std::size_t size : {1, 15, 16, 17, 31, 33, 200, 1000})
    {
        std::string bytes(size, '\0');
        for (char& byte : bytes)
            byte = static_cast<char>(random() % 4 == 0 ? '0' + random() % 10 : random() % 256);
        samples.push_back(bytes);
    }
    for (const std::string& bytes : samples)
    {
        for (Layout layout : {Layout::Xxd, Layout::HexdumpC, Layout::Od, Layout::Wireshark, Layout::Java,
                              Layout::JavaBars})
        {
            const std::string text = dump_test::WriteDump(bytes, layout, random() % 2 == 0);
            std::string read;
            Problem problem;
            EXPECT_TRUE(DumpToBytes(text, read, problem)) << text << English(problem);
            EXPECT_EQ(read, bytes) << text;
        }
    }
}

} // namespace
