// orvane-cli in-process: arguments and standard input in; output, messages
// and exit status out, through the same Run() that main() calls.
#include "bitmap_text.h"
#include "cli_app.h"
#include "element_names.h"
#include "iso_bitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace
{

class CStringSink : public cli::CByteSink
{
public:
    bool Write(const char* data, std::size_t size) override
    {
        text.append(data, size);
        largestWrite = std::max(largestWrite, size);
        return !failing;
    }
    std::string text;
    std::size_t largestWrite = 0;
    bool failing = false;
};

struct Feed
{
    std::string input;
    std::size_t piece = 1u << 20; // bytes per read at most, as a pipe might split them
    cli::LeadByteRules rules{};
    std::size_t maxLine = cli::kMaxLineBytes;
    long long end = 0;            // what the read at the end gives: 0, or -1 for an error, -2 to throw
    bool outFails = false;
};

// Hands out the input and notes how much output had been written when it ran out.
class CTextSource : public cli::CByteSource
{
public:
    CTextSource(const Feed& feed, const CStringSink& out) : m_feed(feed), m_out(out) {}
    long long Read(char* buffer, std::size_t size) override
    {
        const std::size_t count = std::min({size, m_feed.piece, m_feed.input.size() - m_pos});
        if (count == 0)
        {
            outAtEnd = m_out.text.size();
            if (m_feed.end == -2)
                throw std::bad_alloc();
            return m_feed.end;
        }
        m_pos += m_feed.input.copy(buffer, count, m_pos);
        return static_cast<long long>(count);
    }
    std::size_t outAtEnd = 0;

private:
    const Feed& m_feed;
    const CStringSink& m_out;
    std::size_t m_pos = 0;
};

struct Outcome
{
    int status;
    std::string out;
    std::string err;
    std::size_t outAtEnd;
    std::size_t largestWrite;
};

Outcome RunCli(const std::vector<std::string>& args, const Feed& feed = Feed())
{
    CStringSink out;
    CStringSink err;
    out.failing = feed.outFails;
    CTextSource in(feed, out);
    cli::Environment environment{in, out, err, feed.rules, feed.maxLine};
    const int status = cli::Run(args, environment);
    return {status, out.text, err.text, in.outAtEnd, out.largestWrite};
}

const std::string kClear = "00 00 00 00 00 00 00 00    ";
const std::string kBit1 = "80 00 00 00 00 00 00 00    \t64\t1\n";
const std::string kBit8 = "01 00 00 00 00 00 00 00    \t64\t8\n";
const std::string kEmpty = ": the bitmap text is empty; enter the bitmap as hex digits\n";

} // namespace

// The window's bitmap button cases, and a few more, through decode.
TEST(CliDecodeTest, TextsGoTheWindowsWay)
{
    std::string all = "1"; // a full secondary bitmap: every digit position read off
    for (int bit = 2; bit <= 128; ++bit)
        all += " " + std::to_string(bit);
    const std::string k16(16, '0');
    const std::string k80to1 = "80" + std::string(29, '0') + "1";
    const std::string ff = "FF FF FF FF FF FF FF FF    ";
    const std::string bit1 = "80 00 00 00 00 00 00 00    ";
    const std::string bit128 = "00 00 00 00 00 00 00 01 ";
    const struct
    {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        // Only hex digits pass the filter (the 0 of "0x" stays); an odd count gets a trailing 0.
        {{"0x12 34"}, "01 23 40 00 00 00 00 00    \t64\t8 11 15 16 18\n"},
        // Lower case in, upper case out; the bits of every digit value.
        {{"0123456789abcdef"}, "01 23 45 67 89 AB CD EF    \t64\t8 11 15 16 18 22 24 26 27 30 31 32 33 37 40 "
                               "41 43 45 47 48 49 50 53 54 56 57 58 59 61 62 63 64\n"},
        // No digit at all is a clear bitmap; bit 1 alone keeps 16 digits.
        {{"xyz", "8"}, kClear + "\t64\t\n" + kBit1},
        // Only the first 32 digits count, and nothing carries over to the next text.
        {{std::string(32, 'F') + "0123", "01"}, ff + "FF FF FF FF FF FF FF FF \t128\t" + all + "\n" + kBit8},
        {{k80to1}, bit1 + bit128 + "\t128\t1 128\n"},
        // Secondary bits render 32 digits; bit 1 follows them only with the check box.
        {{k16 + "FFFF"}, kClear + "FF FF 00 00 00 00 00 00 \t128\t65 66 67 68 69 70 71 72 73 74 75 76 77 78 79 80\n"},
        {{"--auto-first", k16 + "FFFF"},
         bit1 + "FF FF 00 00 00 00 00 00 \t128\t1 65 66 67 68 69 70 71 72 73 74 75 76 77 78 79 80\n"},
        // After "--" even "--json" is a text (without digits).
        {{"--", "--json", "-80"}, kClear + "\t64\t\n" + kBit1},
        {{"--names", "C0", "02"}, "C0 00 00 00 00 00 00 00    \t64\t1 2\n\t1\tSecondary bitmap\n"
                                  "\t2\tPrimary account number\n02 00 00 00 00 00 00 00    \t64\t7\n"
                                  "\t7\tTransmission date and time\n"},
        // JSON Lines with the documented members in order; options may follow the texts.
        {{"0x12 34", "--json"}, R"({"input":1,"display":"01 23 40 00 00 00 00 00    ","hex":"0123400000000000",)"
                                R"("length":64,"bits":[8,11,15,16,18]})" "\n"},
        {{"--json", "--names", "xyz", k80to1},
         R"({"input":1,"display":")" + kClear + R"(","hex":"0000000000000000","length":64,"bits":[],"names":[]})"
         "\n" R"({"input":2,"display":")" + bit1 + bit128 + R"(","hex":")" + k80to1 + R"(","length":128,)"
         R"("bits":[1,128],"names":["Secondary bitmap","Message authentication code"]})" "\n"},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> args = {"decode"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome outcome = RunCli(args);
        EXPECT_EQ(cli::kExitOk, outcome.status) << c.args.back();
        EXPECT_EQ(c.out, outcome.out) << c.args.back();
        EXPECT_EQ("", outcome.err) << c.args.back();
    }
}

TEST(CliDecodeTest, GbkRuleDropsDoubleByteCharactersWhole)
{
    // Standard input under the GBK rule, arguments under none. 81 41 is one
    // GBK character whose trail byte is an "A"; the UTF-8 of "位" (E4 BD 8D)
    // read as GBK would swallow the digit after it, which is why Linux
    // passes no rule at all.
    const Feed feed{"\x81\x41" "80 \xCE\xBB\xCD\xBC\n\xE4\xBD\x8D" "1\n", 1u << 20,
                    {CIsoBitmap::IsGbkLeadByte, CIsoBitmap::NoLeadByte}};
    EXPECT_EQ(kBit1 + kClear + "\t64\t\n", RunCli({"decode"}, feed).out);
    EXPECT_EQ("A8 00 00 00 00 00 00 00    \t64\t1 3 5\n10 00 00 00 00 00 00 00    \t64\t4\n",
              RunCli({"decode", "\x81\x41" "8", "\xE4\xBD\x8D" "1"}, feed).out);
}

TEST(CliDecodeTest, JsonEscapesWhatItReserves)
{
    // Today's reasons are plain ASCII; any other must still make valid JSON.
    cli::DecodeOptions json;
    json.json = true;
    std::string out;
    EXPECT_EQ("line 9: a \"b\\ \t\xE4", cli::RejectInput({cli::InputKind::Line, 9}, "a \"b\\ \t\xE4", json, out));
    EXPECT_EQ("{\"input\":9,\"error\":\"a \\\"b\\\\ \\u0009\\u00e4\"}\n", out);
}

TEST(CliDecodeTest, ElementNamesOfThe1987Edition)
{
    // Decode writes the names into JSON strings and tab-separated lines unescaped.
    for (std::uint32_t bit = 1; bit <= 128; ++bit)
    {
        const std::string name = DataElementName(bit) != nullptr ? DataElementName(bit) : "";
        EXPECT_FALSE(name.empty()) << bit;
        for (const char c : name)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F && c != '"' && c != '\\') << bit << " " << name;
    }
    EXPECT_EQ(nullptr, DataElementName(0));
    EXPECT_EQ(nullptr, DataElementName(129));
    for (const auto& known : std::vector<std::pair<std::uint32_t, std::string>>{
             {3, "Processing code"}, {39, "Response code"}, {55, "Reserved for ISO use (ICC data)"},
             {64, "Message authentication code"}, {70, "Network management information code"},
             {127, "Reserved for private use"}, {128, "Message authentication code"}})
        EXPECT_EQ(known.second, DataElementName(known.first)) << known.first;
}

TEST(CliEncodeTest, RendersTheGivenBitsAsTheCoreDoes)
{
    const struct
    {
        std::vector<std::string> args;
        std::string out;
    } cases[] = {
        {{"2", "3", "4", "007", "11"}, "7220000000000000\n"},
        // Bit 1 alone makes no secondary bitmap; a bit of 65..128 does.
        {{"1"}, "8000000000000000\n"},
        {{"70"}, "00000000000000000400000000000000\n"},
        {{"70", "--auto-first"}, "80000000000000000400000000000000\n"},
        {{"--auto-first", "64"}, "0000000000000001\n"},
        {{"--display", "1", "128"}, "80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 \n"},
        {{"--display", "8"}, "01 00 00 00 00 00 00 00    \n"},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> args = {"encode"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome outcome = RunCli(args);
        EXPECT_EQ(cli::kExitOk, outcome.status) << c.out;
        EXPECT_EQ(c.out, outcome.out);
    }
}

TEST(CliStatusTest, BadInputIsNamedAndTheRestStillDone)
{
    const std::string decode = "orvane-cli decode: ";
    const std::string encode = "orvane-cli encode: ";
    const std::string outside = ": bit number outside 1..128\n";
    const std::string tryDecode = "Try 'orvane-cli decode --help'.\n";
    const std::string tryEncode = "Try 'orvane-cli encode --help'.\n";
    const struct
    {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        // Arguments win over standard input.
        {{"decode", "80"}, "01\n", 0, kBit1, ""},
        {{"decode", "80", "", "01"}, "", 1, kBit1 + kBit8, decode + "argument 2" + kEmpty},
        // A CR before the LF is dropped, so a line of CR LF is empty too.
        {{"decode"}, "80\r\n\n01\n\r\n", 1, kBit1 + kBit8, decode + "line 2" + kEmpty + decode + "line 4" + kEmpty},
        // In JSON every input keeps its line of output.
        {{"decode", "--json"}, "\n80", 1, R"({"input":1,"error":"the bitmap text is empty"})" "\n"
         R"({"input":2,"display":"80 00 00 00 00 00 00 00    ","hex":"8000000000000000","length":64,"bits":[1]})" "\n",
         decode + "line 1" + kEmpty},
        {{"encode", "3", "0", "129", "4294967297", "-7", "+3", "", "x\xE4\""}, "", 1, "2000000000000000\n",
         encode + "argument 2 (\"0\")" + outside + encode + "argument 3 (\"129\")" + outside + encode +
             "argument 4 (\"4294967297\")" + outside + encode + "argument 5 (\"-7\")" + outside + encode +
             "argument 6 (\"+3\"): not a bit number\n" + encode + "argument 7 (\"\"): not a bit number\n" + encode +
             "argument 8 (\"x\\xE4\\x22\"): not a bit number\n"},
        // Usage errors do nothing and point to the help.
        {{"decode", "--nmes", "80"}, "", 2, "", decode + "unknown option \"--nmes\"\n" + tryDecode},
        {{"encode", "--json", "3"}, "", 2, "", encode + "unknown option \"--json\"\n" + tryEncode},
        {{"encode", "--auto-first"}, "", 2, "", encode + "no bit numbers given\n" + tryEncode},
        {{"DECODE", "80"}, "", 2, "", "orvane-cli: unknown command \"DECODE\"\nTry 'orvane-cli --help'.\n"},
        {{"help", "nothing"}, "", 2, "", "orvane-cli: no help on \"nothing\"\nTry 'orvane-cli --help'.\n"},
    };
    for (const auto& c : cases)
    {
        const Outcome outcome = RunCli(c.args, Feed{c.input});
        EXPECT_EQ(c.status, outcome.status) << c.args.back();
        EXPECT_EQ(c.out, outcome.out) << c.args.back();
        EXPECT_EQ(c.err, outcome.err) << c.args.back();
    }
}

TEST(CliStatusTest, BrokenStreamsEndWithStatusOne)
{
    // A failed read or a closed pipe must not pass for success, and nothing may escape Run().
    const struct
    {
        std::vector<std::string> args;
        long long end;
        bool outFails;
        std::string err;
    } cases[] = {
        {{"decode"}, -1, false, "orvane-cli decode: cannot read standard input\n"},
        {{"decode"}, -2, false, "orvane-cli: out of memory\n"},
        {{"decode"}, 0, true, "orvane-cli decode: cannot write standard output\n"},
        {{"decode", "80"}, 0, true, "orvane-cli decode: cannot write standard output\n"},
        {{"encode", "1"}, 0, true, "orvane-cli encode: cannot write standard output\n"},
    };
    for (const auto& c : cases)
    {
        Feed feed{"80\n"};
        feed.end = c.end;
        feed.outFails = c.outFails;
        const Outcome outcome = RunCli(c.args, feed);
        EXPECT_EQ(cli::kExitBadInput, outcome.status) << c.err;
        EXPECT_EQ(c.err, outcome.err);
    }
}

TEST(CliStreamTest, LinesComeOutTheSameHoweverTheReadsSplitThem)
{
    // LF and CR LF lines, empty ones, one over the limit, one exactly at it,
    // then a long good run (more than one output buffer) and a last line
    // without LF.
    const std::string decode = "orvane-cli decode: line ";
    std::string input;
    std::string out;
    std::string err;
    for (int line = 1; line <= 3000; ++line)
    {
        if (line == 100 || line == 200)
        {
            input += "\r\n";
            err += decode + std::to_string(line) + kEmpty;
        }
        else if (line == 300)
        {
            input += std::string(41, '1') + "\n";
            err += decode + "300: line longer than 40 bytes\n";
        }
        else
        {
            input += line == 301 ? "8" + std::string(39, '0') + "\r\n" : line % 2 != 0 ? "80\r\n" : "01\n";
            out += line % 2 == 0 ? kBit8 : kBit1;
        }
    }
    input += "01";
    for (const std::size_t piece : {1, 7, 4096, 1 << 20})
    {
        Feed feed{input, piece};
        feed.maxLine = 40;
        const Outcome outcome = RunCli({"decode"}, feed);
        EXPECT_EQ(cli::kExitBadInput, outcome.status) << piece;
        EXPECT_EQ(out + kBit8, outcome.out) << piece;
        EXPECT_EQ(err, outcome.err) << piece;
        // Each answer leaves when the input pauses, and never all at once.
        EXPECT_EQ(out.size(), outcome.outAtEnd) << piece;
        EXPECT_LT(outcome.largestWrite, 70000u) << piece;
    }
}

TEST(CliHelpTest, EveryCommandExplainsItself)
{
    const struct
    {
        std::vector<std::string> args;
        const char* text;
    } cases[] = {
        {{"--help"}, "Run 'orvane-cli COMMAND --help'"}, {{"help"}, "Run 'orvane-cli COMMAND --help'"},
        {{"decode", "80", "--help"}, "JSON output:"},   {{"help", "decode"}, "JSON output:"},
        {{"encode", "-h"}, "--display"},                {{"help", "encode"}, "--display"},
        {{"--version"}, "orvane-cli 1."},
    };
    for (const auto& c : cases)
    {
        const Outcome outcome = RunCli(c.args);
        EXPECT_EQ(cli::kExitOk, outcome.status) << c.text;
        EXPECT_NE(std::string::npos, outcome.out.find(c.text)) << outcome.out;
        EXPECT_EQ("", outcome.err);
    }
    // No command at all is a usage error: the overview goes to standard error.
    const Outcome none = RunCli({});
    EXPECT_EQ(cli::kExitUsage, none.status);
    EXPECT_EQ(0u, none.err.find("Usage: orvane-cli decode")) << none.err;
}
