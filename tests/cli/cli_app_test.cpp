// The whole program in-process: arguments, streaming, messages, exit status.
#include "cli_app.h"
#include "cli_test_support.h"
#include "json_check.h"
#include "lead_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{

// Hands out a text in pieces of a given size, as a pipe might.
class CTextSource : public cli::CByteSource
{
public:
    explicit CTextSource(std::string text, std::size_t piece = 1u << 20) : m_text(std::move(text)), m_piece(piece) {}

    long long Read(char* buffer, std::size_t size) override
    {
        const std::size_t count = std::min({size, m_piece, m_text.size() - m_pos});
        std::copy_n(m_text.data() + m_pos, count, buffer);
        m_pos += count;
        return static_cast<long long>(count);
    }

private:
    std::string m_text;
    std::size_t m_piece;
    std::size_t m_pos = 0;
};

class CStringSink : public cli::CByteSink
{
public:
    bool Write(const char* data, std::size_t size) override
    {
        text.append(data, size);
        ++writes;
        largestWrite = std::max(largestWrite, size);
        return !failing;
    }

    std::string text;
    std::size_t writes = 0;
    std::size_t largestWrite = 0;
    bool failing = false;
};

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

Outcome RunWith(const std::vector<std::string>& args, cli::CByteSource& in, std::size_t maxLine = cli::kMaxLineBytes)
{
    CStringSink out;
    CStringSink err;
    cli::Environment environment{in, out, err, cli::LeadByteRules()};
    environment.maxLineBytes = maxLine;
    Outcome outcome;
    outcome.status = cli::Run(args, environment);
    outcome.out = out.text;
    outcome.err = err.text;
    return outcome;
}

Outcome RunCli(const std::vector<std::string>& args, const std::string& input = std::string())
{
    CTextSource in(input);
    return RunWith(args, in);
}

std::string Line(const std::string& display, int length, const BitList& bits)
{
    return display + "\t" + std::to_string(length) + "\t" + JoinBits(bits, " ") + "\n";
}

const std::string kBit1 = Line("80 00 00 00 00 00 00 00    ", 64, {1});
const std::string kBit8 = Line("01 00 00 00 00 00 00 00    ", 64, {8});
const std::string kBits1And128 = Line("80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 ", 128, {1, 128});

} // namespace

// ---- decode: arguments ------------------------------------------------------

TEST(CliDecodeArgumentsTest, EachTextGivesOneLine)
{
    const Outcome outcome = RunCli({"decode", "80", "01", "80000000 00000000 00000000 00000001"});
    EXPECT_EQ(cli::kExitOk, outcome.status);
    EXPECT_EQ(kBit1 + kBit8 + kBits1And128, outcome.out);
    EXPECT_EQ("", outcome.err);
}

TEST(CliDecodeArgumentsTest, EmptyTextIsReportedAndTheOthersDecoded)
{
    const Outcome outcome = RunCli({"decode", "80", "", "01"});
    EXPECT_EQ(cli::kExitBadInput, outcome.status);
    EXPECT_EQ(kBit1 + kBit8, outcome.out);
    EXPECT_EQ("orvane-cli decode: argument 2: the bitmap text is empty; enter the bitmap as hex digits\n",
              outcome.err);
}

TEST(CliDecodeArgumentsTest, ArgumentsWinOverStandardInput)
{
    const Outcome outcome = RunCli({"decode", "01"}, "80\n");
    EXPECT_EQ(kBit8, outcome.out);
}

TEST(CliDecodeArgumentsTest, OptionsMayFollowTextsAndDoubleDashEndsThem)
{
    const Outcome json = RunCli({"decode", "80", "--auto-first", "--json"});
    EXPECT_EQ(cli::kExitOk, json.status);
    EXPECT_EQ(0u, json.out.find("{\"input\":1,")) << json.out;

    // "--json" as a text: no hex digit in it, so an all-clear bitmap.
    const Outcome text = RunCli({"decode", "--", "--json", "-80"});
    EXPECT_EQ(cli::kExitOk, text.status);
    EXPECT_EQ(Line("00 00 00 00 00 00 00 00    ", 64, {}) + kBit1, text.out);
}

TEST(CliDecodeArgumentsTest, AutoFirstIsTheCheckBox)
{
    const std::string secondaryOnly = std::string(16, '0') + "8000000000000000";
    EXPECT_EQ(Line("00 00 00 00 00 00 00 00    80 00 00 00 00 00 00 00 ", 128, {65}),
              RunCli({"decode", secondaryOnly}).out);
    EXPECT_EQ(Line("80 00 00 00 00 00 00 00    80 00 00 00 00 00 00 00 ", 128, {1, 65}),
              RunCli({"decode", "--auto-first", secondaryOnly}).out);
}

TEST(CliDecodeArgumentsTest, NamesFollowEachBitmap)
{
    const Outcome outcome = RunCli({"decode", "--names", "C0", "02"});
    EXPECT_EQ(Line("C0 00 00 00 00 00 00 00    ", 64, {1, 2}) + "\t1\tSecondary bitmap\n\t2\tPrimary account number\n" +
                  Line("02 00 00 00 00 00 00 00    ", 64, {7}) + "\t7\tTransmission date and time\n",
              outcome.out);
}

// ---- decode: standard input ---------------------------------------------------

TEST(CliDecodeStreamTest, LinesOfStandardInput)
{
    const Outcome outcome = RunCli({"decode"}, "80\n01\n");
    EXPECT_EQ(cli::kExitOk, outcome.status);
    EXPECT_EQ(kBit1 + kBit8, outcome.out);
    EXPECT_EQ("", outcome.err);
}

TEST(CliDecodeStreamTest, EmptyInputIsNoLineAtAll)
{
    const Outcome outcome = RunCli({"decode"}, "");
    EXPECT_EQ(cli::kExitOk, outcome.status);
    EXPECT_EQ("", outcome.out);
}

TEST(CliDecodeStreamTest, LastLineNeedsNoNewline)
{
    EXPECT_EQ(kBit1 + kBit8, RunCli({"decode"}, "80\n01").out);
}

TEST(CliDecodeStreamTest, CarriageReturnBeforeNewlineIsDropped)
{
    const Outcome outcome = RunCli({"decode"}, "80\r\n01\r\n\r\n");
    EXPECT_EQ(kBit1 + kBit8, outcome.out);
    // A line of only CR LF is an empty line.
    EXPECT_EQ(cli::kExitBadInput, outcome.status);
    EXPECT_NE(std::string::npos, outcome.err.find("line 3: the bitmap text is empty")) << outcome.err;
}

TEST(CliDecodeStreamTest, EmptyLinesAreReportedByNumberAndTheRestDecoded)
{
    const Outcome outcome = RunCli({"decode"}, "80\n\n01\n\n");
    EXPECT_EQ(cli::kExitBadInput, outcome.status);
    EXPECT_EQ(kBit1 + kBit8, outcome.out);
    const std::vector<std::string> messages = SplitLines(outcome.err);
    ASSERT_EQ(2u, messages.size()) << outcome.err;
    EXPECT_EQ(0u, messages[0].find("orvane-cli decode: line 2: ")) << messages[0];
    EXPECT_EQ(0u, messages[1].find("orvane-cli decode: line 4: ")) << messages[1];
}

TEST(CliDecodeStreamTest, LinesSplitAcrossReadsComeOutTheSame)
{
    std::string input;
    for (int i = 0; i < 50; ++i)
        input += std::to_string(i * 7919) + (i % 3 == 0 ? "\r\n" : "\n") + (i % 10 == 0 ? "\n" : "");
    input += "FFFF";
    CTextSource whole(input);
    const Outcome reference = RunWith({"decode", "--names"}, whole);
    EXPECT_EQ(cli::kExitBadInput, reference.status);
    EXPECT_EQ(5u, SplitLines(reference.err).size()) << "five empty lines, one message each";
    for (const std::size_t piece : {1, 2, 3, 5, 17, 4096})
    {
        CTextSource pieces(input, piece);
        const Outcome outcome = RunWith({"decode", "--names"}, pieces);
        EXPECT_EQ(reference.status, outcome.status) << piece;
        EXPECT_EQ(reference.out, outcome.out) << piece;
        EXPECT_EQ(reference.err, outcome.err) << piece;
    }
}

TEST(CliDecodeStreamTest, OverlongLineIsRejectedAndTheNextOneDecoded)
{
    const std::string eight = "80000000";
    const std::string input = eight + "\n" + eight + "1\n" + eight + "\r\n" + std::string(100, '1') + "\n01";
    for (const std::size_t piece : {1, 3, 1000})
    {
        CTextSource in(input, piece);
        const Outcome outcome = RunWith({"decode"}, in, 8);
        EXPECT_EQ(cli::kExitBadInput, outcome.status);
        EXPECT_EQ(kBit1 + kBit1 + kBit8, outcome.out) << "a line of exactly the limit, with or without CR, passes";
        EXPECT_EQ("orvane-cli decode: line 2: line longer than 8 bytes\n"
                  "orvane-cli decode: line 4: line longer than 8 bytes\n",
                  outcome.err);
    }
    CTextSource in(input);
    const Outcome json = RunWith({"decode", "--json"}, in, 8);
    const std::vector<std::string> lines = SplitLines(json.out);
    ASSERT_EQ(5u, lines.size());
    JsonValue value;
    ASSERT_TRUE(CJsonReader::Parse(lines[3], value));
    EXPECT_EQ("4", value.Find("input")->number);
    EXPECT_EQ("line longer than 8 bytes", value.Find("error")->text);
}

TEST(CliDecodeStreamTest, JsonGivesOneValidObjectPerInputLine)
{
    std::string input;
    for (int i = 0; i < 300; ++i)
        input += (i % 17 == 0 ? std::string() : "F2" + std::to_string(i) + "\xE4\xBD\x8D" + std::to_string(i * 31)) + "\n";
    const Outcome outcome = RunCli({"decode", "--json", "--names"}, input);
    EXPECT_EQ(cli::kExitBadInput, outcome.status);
    const std::vector<std::string> lines = SplitLines(outcome.out);
    ASSERT_EQ(300u, lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        JsonValue value;
        ASSERT_TRUE(CJsonReader::Parse(lines[i], value)) << lines[i];
        EXPECT_EQ(std::to_string(i + 1), value.Find("input")->number);
        EXPECT_EQ(i % 17 == 0, value.Find("error") != nullptr) << lines[i];
        if (i % 17 != 0)
        {
            EXPECT_EQ(value.Find("bits")->items.size(), value.Find("names")->items.size());
        }
    }
    EXPECT_EQ(18u, SplitLines(outcome.err).size());
}

// A generator of input that never exists whole in memory, and a sink that
// checks each line as it comes and keeps only the unfinished one.
class CBitmapLines : public cli::CByteSource
{
public:
    explicit CBitmapLines(std::uint64_t count) : m_count(count) {}

    static std::string HexOf(std::uint64_t n)
    {
        static const char kDigits[] = "0123456789ABCDEF";
        std::string hex(16, '0');
        std::uint64_t value = n * 0x9E3779B97F4A7C15ULL;
        for (int i = 15; i >= 0; --i, value >>= 4)
            hex[static_cast<std::size_t>(i)] = kDigits[value & 15];
        hex[0] = kDigits[(n % 8)]; // keep bit 1 clear: 64-bit bitmaps
        return hex;
    }

    long long Read(char* buffer, std::size_t size) override
    {
        std::size_t written = 0;
        while (written < size)
        {
            if (m_pending.empty())
            {
                if (m_next == m_count)
                    break;
                m_pending = HexOf(m_next++) + "\n";
            }
            const std::size_t count = std::min(size - written, m_pending.size());
            std::copy_n(m_pending.data(), count, buffer + written);
            m_pending.erase(0, count);
            written += count;
        }
        return static_cast<long long>(written);
    }

private:
    std::uint64_t m_count;
    std::uint64_t m_next = 0;
    std::string m_pending;
};

class CCheckingSink : public cli::CByteSink
{
public:
    bool Write(const char* data, std::size_t size) override
    {
        largestWrite = std::max(largestWrite, size);
        m_partial.append(data, size);
        std::size_t start = 0;
        for (std::size_t end; (end = m_partial.find('\n', start)) != std::string::npos; start = end + 1)
        {
            const std::string hex = CBitmapLines::HexOf(lines++);
            if (m_partial.substr(start, end + 1 - start) != Line(Grouped(hex), 64, BitsOfHex(hex)))
                ++mismatches;
        }
        m_partial.erase(0, start);
        return true;
    }

    std::uint64_t lines = 0;
    std::uint64_t mismatches = 0;
    std::size_t largestWrite = 0;

private:
    std::string m_partial;
};

TEST(CliDecodeStreamTest, ManyLinesStreamThroughBoundedBuffers)
{
    constexpr std::uint64_t kLines = 300000;
    CBitmapLines in(kLines);
    CCheckingSink out;
    CStringSink err;
    cli::Environment environment{in, out, err, cli::LeadByteRules()};
    EXPECT_EQ(cli::kExitOk, cli::Run({"decode"}, environment));
    EXPECT_EQ(kLines, out.lines);
    EXPECT_EQ(0u, out.mismatches);
    EXPECT_EQ("", err.text);
    // Output leaves in pieces of about 64 KiB, never all at the end.
    EXPECT_LE(out.largestWrite, 70u * 1024);
    EXPECT_GT(out.largestWrite, 0u);
}

TEST(CliDecodeStreamTest, OutputIsFlushedWhenTheInputPauses)
{
    // The second read looks at what was written after the first: an
    // interactive user must see the answer before typing the next line.
    class CInteractive : public cli::CByteSource
    {
    public:
        explicit CInteractive(const CStringSink& out) : m_out(out) {}
        long long Read(char* buffer, std::size_t) override
        {
            if (m_reads++ == 0)
            {
                std::copy_n("80\n", 3, buffer);
                return 3;
            }
            seenBeforeSecondRead = m_out.text;
            return 0;
        }
        std::string seenBeforeSecondRead;

    private:
        const CStringSink& m_out;
        int m_reads = 0;
    };
    CStringSink out;
    CStringSink err;
    CInteractive in(out);
    cli::Environment environment{in, out, err, cli::LeadByteRules()};
    EXPECT_EQ(cli::kExitOk, cli::Run({"decode"}, environment));
    EXPECT_EQ(kBit1, in.seenBeforeSecondRead);
}

TEST(CliDecodeStreamTest, ReadAndWriteFailuresEndWithStatusOne)
{
    class CBrokenSource : public cli::CByteSource
    {
    public:
        long long Read(char* buffer, std::size_t) override
        {
            if (m_done)
                return -1;
            m_done = true;
            std::copy_n("80\n", 3, buffer);
            return 3;
        }

    private:
        bool m_done = false;
    };
    CBrokenSource broken;
    const Outcome read = RunWith({"decode"}, broken);
    EXPECT_EQ(cli::kExitBadInput, read.status);
    EXPECT_EQ(kBit1, read.out);
    EXPECT_EQ("orvane-cli decode: cannot read standard input\n", read.err);

    CTextSource in("80\n");
    CStringSink out;
    out.failing = true;
    CStringSink err;
    cli::Environment environment{in, out, err, cli::LeadByteRules()};
    EXPECT_EQ(cli::kExitBadInput, cli::Run({"decode"}, environment));
    EXPECT_EQ("orvane-cli decode: cannot write standard output\n", err.text);
}

// ---- encode -----------------------------------------------------------------

TEST(CliEncodeTest, PrintsTheRenderedBitmap)
{
    const Outcome outcome = RunCli({"encode", "2", "3", "4", "11", "70", "--auto-first"});
    EXPECT_EQ(cli::kExitOk, outcome.status);
    EXPECT_EQ("F0200000000000000400000000000000\n", outcome.out);
    EXPECT_EQ("", outcome.err);
    EXPECT_EQ("80 00 00 00 00 00 00 00    \n", RunCli({"encode", "--display", "1"}).out);
}

TEST(CliEncodeTest, BadNumbersGiveStatusOneAndAMessageEach)
{
    const Outcome outcome = RunCli({"encode", "2", "abc", "129", "-7", "0"});
    EXPECT_EQ(cli::kExitBadInput, outcome.status);
    EXPECT_EQ("4000000000000000\n", outcome.out);
    EXPECT_EQ("orvane-cli encode: argument 2 (\"abc\"): not a bit number\n"
              "orvane-cli encode: argument 3 (\"129\"): bit number outside 1..128\n"
              "orvane-cli encode: argument 4 (\"-7\"): bit number outside 1..128\n"
              "orvane-cli encode: argument 5 (\"0\"): bit number outside 1..128\n",
              outcome.err);
}

TEST(CliEncodeTest, DecodeReadsBackWhatEncodeWrote)
{
    const std::vector<std::string> bits = {"2", "3", "7", "11", "12", "37", "41", "64", "65", "90", "128"};
    std::vector<std::string> args = {"encode"};
    args.insert(args.end(), bits.begin(), bits.end());
    const Outcome encoded = RunCli(args);
    const Outcome decoded = RunCli({"decode"}, encoded.out);
    const std::vector<std::string> fields = SplitFields(SplitLines(decoded.out).at(0), '\t');
    ASSERT_EQ(3u, fields.size());
    EXPECT_EQ("128", fields[1]);
    EXPECT_EQ(SplitFields(fields[2], ' '), bits);
}

// ---- usage ------------------------------------------------------------------

TEST(CliUsageTest, UsageErrorsGiveStatusTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {}, {"frobnicate"}, {"decode", "--nmes"}, {"decode", "-x"}, {"encode"}, {"encode", "--json", "3"},
        {"encode", "--auto-first"}, {"help", "nothing"}, {"DECODE", "80"},
    };
    for (const auto& args : cases)
    {
        const Outcome outcome = RunCli(args, "80\n");
        EXPECT_EQ(cli::kExitUsage, outcome.status) << (args.empty() ? "(none)" : args[0]);
        EXPECT_EQ("", outcome.out);
        EXPECT_NE(std::string::npos, outcome.err.find("orvane-cli")) << outcome.err;
    }
    EXPECT_EQ("orvane-cli decode: unknown option \"--nmes\"\nTry 'orvane-cli decode --help'.\n",
              RunCli({"decode", "--nmes"}).err);
    EXPECT_EQ("orvane-cli encode: no bit numbers given\nTry 'orvane-cli encode --help'.\n", RunCli({"encode"}).err);
}

TEST(CliUsageTest, HelpForEachCommand)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"help"}, {"-h"}, {"decode", "--help"}, {"help", "decode"}, {"encode", "-h"}, {"help", "encode"}})
    {
        const Outcome outcome = RunCli(args);
        EXPECT_EQ(cli::kExitOk, outcome.status);
        EXPECT_EQ("", outcome.err);
        EXPECT_EQ(0u, outcome.out.find("Usage: orvane-cli ")) << outcome.out;
    }
    const std::string decode = RunCli({"decode", "--help"}).out;
    for (const char* word : {"--names", "--json", "--auto-first", "\"input\"", "\"error\"", "display", "hex",
                             "length", "bits", "names", "Exit status"})
        EXPECT_NE(std::string::npos, decode.find(word)) << word;
    const std::string encode = RunCli({"help", "encode"}).out;
    for (const char* word : {"--auto-first", "--display", "1-128", "Exit status"})
        EXPECT_NE(std::string::npos, encode.find(word)) << word;
    // Help wins over the work: no bitmap is decoded.
    EXPECT_EQ(decode, RunCli({"decode", "80", "--help"}).out);
}

TEST(CliUsageTest, VersionNamesTheProgram)
{
    const Outcome outcome = RunCli({"--version"});
    EXPECT_EQ(cli::kExitOk, outcome.status);
    EXPECT_EQ(0u, outcome.out.find("orvane-cli 1.")) << outcome.out;
}

TEST(CliUsageTest, NoExceptionLeavesRun)
{
    class CThrowingSource : public cli::CByteSource
    {
    public:
        long long Read(char*, std::size_t) override { throw std::bad_alloc(); }
    };
    CThrowingSource in;
    const Outcome outcome = RunWith({"decode"}, in);
    EXPECT_EQ(cli::kExitBadInput, outcome.status);
    EXPECT_EQ("orvane-cli: out of memory\n", outcome.err);
}

// ---- the platform's lead-byte rules -------------------------------------------

#ifndef _WIN32
TEST(CliLeadBytesTest, LinuxTextIsUtf8SoNoByteLeads)
{
    const cli::LeadByteRules rules = cli::PlatformLeadByteRules();
    for (unsigned byte = 0; byte < 256; ++byte)
    {
        EXPECT_FALSE(rules.input(static_cast<unsigned char>(byte))) << byte;
        EXPECT_FALSE(rules.arguments(static_cast<unsigned char>(byte))) << byte;
    }
}
#endif
