// orvane-cli in-process: arguments, standard input and files in; output,
// messages and exit status out, through the same Run() that main() calls.
#include "cli_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>
#include <string>
#include <vector>

namespace
{

struct CSink : cli::CByteSink
{
    int Write(const char* data, std::size_t size) override
    {
        largestWrite = std::max(largestWrite, size);
        ++writes;
        return text.append(data, size), error;
    }
    std::string text;
    std::size_t largestWrite = 0, writes = 0;
    int error = 0;
};

// Standard input in pieces of at most piece bytes, as a pipe might split
// them; at its end the read gives end (0, -EIO for an error, 1 to throw) and
// notes how much output had been written by then.
struct CSource : cli::CByteSource
{
    CSource(const std::string& input, std::size_t piece, long long end, const CSink& out)
        : input(input), piece(piece), end(end), out(out) {}
    long long Read(char* buffer, std::size_t size) override
    {
        const std::size_t count = std::min({size, piece, input.size() - pos});
        outAtEnd = count == 0 ? out.text.size() : outAtEnd;
        if (count == 0 && end == 1)
            throw std::bad_alloc();
        pos += input.copy(buffer, count, pos);
        return count == 0 ? end : static_cast<long long>(count);
    }
    const std::string input;
    std::size_t piece, pos = 0, outAtEnd = 0;
    long long end;
    const CSink& out;
};

struct Outcome
{
    int status;
    std::string out, err;
    std::size_t largestWrite, outAtEnd;
};

Outcome RunCli(const std::vector<std::string>& args, const std::string& input = "", std::size_t piece = 1 << 20,
               std::size_t maxLine = cli::kMaxLineBytes, long long end = 0, int outError = 0)
{
    CSink out, err;
    out.error = outError;
    CSource in(input, piece, end, out);
    cli::Environment environment{in, out, err, cli::LeadByteRules{}, maxLine};
    const int status = cli::Run(args, environment);
    return {status, out.text, err.text, out.largestWrite, in.outAtEnd};
}

struct Case
{
    std::vector<std::string> args;
    std::string input; // standard input
    int status;
    std::string out, err;
    long long end = 0; // what the read at the end of the input gives
    int outError = 0;  // what each write of the output gives
};

// The case with the command and options before its own arguments.
void Check(Case c, const std::vector<std::string>& before = {})
{
    c.args.insert(c.args.begin(), before.begin(), before.end());
    const Outcome outcome = RunCli(c.args, c.input, 1 << 20, cli::kMaxLineBytes, c.end, c.outError);
    EXPECT_EQ(c.status, outcome.status) << c.args.back();
    EXPECT_EQ(c.out, outcome.out) << c.args.back();
    EXPECT_EQ(c.err, outcome.err) << c.args.back();
}

// The items one after another, as the warnings of a message or of a JSON array.
std::string Join(const std::vector<std::string>& items, bool json)
{
    std::string text;
    for (std::string item : items)
    {
        for (std::size_t at = 0; json && (at = item.find_first_of("\"\\", at)) != std::string::npos; at += 2)
            item.insert(at, 1, '\\');
        text += (text.empty() ? "" : json ? "," : "; ") + (json ? "\"" + item + "\"" : item);
    }
    return text;
}

// The C library's text for an error: a copy, as its buffer may be shared.
std::string Reason(int error) { return std::strerror(error); }

const std::string kDecode = "orvane-cli decode: ";
const std::string kClear = "00 00 00 00 00 00 00 00    ";
const std::string kBit1 = "80 00 00 00 00 00 00 00    \t64\t1\n";
const std::string kBit8 = "01 00 00 00 00 00 00 00    \t64\t8\n";
const std::string k7238 = "7238000108C18000";
const std::string k7238Line = "72 38 00 01 08 C1 80 00    \t64\t2 3 4 7 11 12 13 32 37 41 42 48 49\n";
const std::string k1And128 = "80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 \t128\t1 128\n";
const std::string kEmpty = "the bitmap text is empty";
const std::string kPan = "\xE4\xB8\xBB\xE8\xB4\xA6\xE5\x8F\xB7"; // "主账号" in UTF-8

// A file in the test's working folder while it lives.
struct CTempFile
{
    CTempFile(const std::string& path, const std::string& text) : path(path) { std::ofstream(path, std::ios::binary) << text; }
    ~CTempFile() { std::remove(path.c_str()); }
    const std::string path;
};

} // namespace

// The window's bitmap button rules, quietly: what a line decodes to.
TEST(CliDecodeTest, TextsGoTheWindowsWay)
{
    std::string all = "1"; // a full secondary bitmap: every digit position read off
    for (int bit = 2; bit <= 128; ++bit)
        all += " " + std::to_string(bit);
    const std::string k16(16, '0'), ff = "FF FF FF FF FF FF FF FF    ", bits65to80 = "65 66 67 68 69 70 71 72 73 74 75 76 77 78 79 80\n";
    const Case cases[] = {
        // No digit at all is a clear bitmap; bit 1 alone keeps 16 digits; after "--" even "--json" is a text.
        {{"xyz", "--", "--json", "8"}, "", 0, kClear + "\t64\t\n" + kClear + "\t64\t\n" + kBit1, ""},
        // Only the first 32 digits count, and nothing carries over to the next text.
        {{std::string(32, 'F') + "0123", "01"}, "", 0, ff + ff.substr(0, 24) + "\t128\t" + all + "\n" + kBit8, ""},
        // Secondary bits render 32 digits; bit 1 follows them only with the check box.
        {{"-a", k16 + "FFFF"}, "", 0, kBit1.substr(0, 27) + "FF FF 00 00 00 00 00 00 \t128\t1 " + bits65to80, ""},
        // One line per input with --names too; short options together; --sep.
        {{"-nq", "C0", "02"}, "", 0, "C0 00 00 00 00 00 00 00    \t64\t1 2\t1=Secondary bitmap; 2=Primary account number\n"
                                     "02 00 00 00 00 00 00 00    \t64\t7\t7=Transmission date and time\n", ""},
        {{"--sep=, ", "E0"}, "", 0, "E0 00 00 00 00 00 00 00    \t64\t1, 2, 3\n", ""},
        {{"--sep", ",", "8" + std::string(30, '0') + "1"}, "", 0, k1And128.substr(0, 56) + "1,128\n", ""},
        // The names in Chinese, in UTF-8.
        {{"--names=zh", "C0"}, "", 0, "C0 00 00 00 00 00 00 00    \t64\t1 2\t1=\xE7\xAC\xAC\xE4\xBA\x8C\xE4\xBD\x8D\xE5\x9B\xBE; 2=" + kPan + "\n", ""},
        {{"-jn", "--names=zh", "4000000000000000"}, "", 0, R"({"input":1,"source":"argument","display":"40 00 00 00 00 00 00 00    ","hex":"4000000000000000",)"
         R"("length":64,"bits":[2],"names":[")" + kPan + R"("],"warnings":[]})" "\n", ""},
        // JSON Lines with the documented members in order; options may follow the texts.
        {{"0123400000000000", "-j"}, "", 0, R"({"input":1,"source":"argument","display":"01 23 40 00 00 00 00 00    ","hex":"0123400000000000",)"
                                            R"("length":64,"bits":[8,11,15,16,18],"warnings":[]})" "\n", ""},
        {{"--json", "--names", "xyz"}, "", 0, R"({"input":1,"source":"argument","display":")" + kClear + R"(","hex":")" + k16 + R"(","length":64,"bits":[],)"
         R"("names":[],"warnings":["characters other than hex digits and spaces, the first \"x\" at column 1","0 hex digits, not 16 or 32"]})" "\n", ""},
    };
    for (const Case& c : cases)
        Check(c, {"decode", "-q"});
}

// Each way an input can fall short of a clean bitmap, in text, quiet, JSON
// and strict mode: a warning and the window's answer, or with --strict an error.
TEST(CliDecodeTest, UncleanInputIsNamedAndStrictModeRefusesIt)
{
    const CTempFile trace("trace.txt", k7238 + "\n");
    const std::string other = "characters other than hex digits and spaces, the first ";
    const struct
    {
        std::string text;
        std::vector<std::string> warnings;
        std::string out;
    } cases[] = {
        {k7238, {}, k7238Line},
        {"0200" + k7238, {"20 hex digits, not 16 or 32 (a message type in front? --message reads it)"},
         "02 00 72 38 00 01 08 C1    80 00 00 00 00 00 00 00 \t128\t7 18 19 20 23 27 28 29 48 53 57 58 64 65\n"},
        {"0x" + k7238, {"a 0x prefix: its 0 is read as a digit and shifts every bit; leave the prefix out", "17 hex digits, not 16 or 32"},
         "07 23 80 00 10 8C 18 00    \t64\t6 7 8 11 15 16 17 36 41 45 46 52 53\n"},
        {"bitmap=" + k7238 + " pan=41", {other + "\"i\" at column 2 (\"" + k7238 + "\" at column 8 may be the bitmap alone)", "21 hex digits, not 16 or 32"},
         "BA 72 38 00 01 08 C1 80    00 A4 10 00 00 00 00 00 \t128\t1 3 4 5 7 10 11 12 15 19 20 21 40 45 49 50 56 57 73 75 78 84\n"},
        {"hello", {other + "\"h\" at column 1", "1 hex digit, not 16 or 32"}, "E0 00 00 00 00 00 00 00    \t64\t1 2 3\n"},
        // Colour codes of a log: their numbers are not read as digits.
        {"\x1B[1;31m" + k7238 + "\x1B[0m", {"terminal colour codes removed"}, k7238Line},
        {k7238 + "\x1B[", {other + "\"\\x1B\" at column 17 (\"" + k7238 + "\" at column 1 may be the bitmap alone)"}, k7238Line},
        {k7238.substr(0, 1) + k7238, {"17 hex digits, not 16 or 32"}, "77 23 80 00 10 8C 18 00    \t64\t2 3 4 6 7 8 11 15 16 17 36 41 45 46 52 53\n"},
        {std::string(31, '0') + "1", {"32 digits but bit 1 is clear: no secondary bitmap is announced"}, kClear + k1And128.substr(27, 29) + "128\n"},
        {"80 00 00 00 00 00 00 00", {"bit 1 announces a secondary bitmap, but there are only 16 digits"}, kBit1},
        {"8" + std::string(39, '0'), {"40 hex digits, not 16 or 32: only the first 32 count"}, kBit1},
        {"trace.txt", {"\"trace.txt\" names a file: to read its lines, use --file", other + "\"t\" at column 1", "3 hex digits, not 16 or 32"},
         "AC E0 00 00 00 00 00 00    \t64\t1 3 5 6 9 10 11\n"},
    };
    for (const auto& c : cases)
    {
        const std::string warnings = Join(c.warnings, false), json = "\"warnings\":[" + Join(c.warnings, true) + "]";
        const std::string refused = kDecode + "argument 1: not a clean bitmap: " + warnings + "\n";
        Check({{"decode", c.text}, "", 0, c.out, c.warnings.empty() ? "" : kDecode + "warning: argument 1: " + warnings + "\n"});
        Check({{"decode", "-q", c.text}, "", 0, c.out, ""});
        // JSON keeps its warnings to the object.
        const Outcome outcome = RunCli({"decode", "-j", c.text});
        EXPECT_TRUE(outcome.out.size() - json.size() - 2 == outcome.out.rfind(json) && outcome.err.empty()) << outcome.out << outcome.err;
        if (c.warnings.empty())
            continue;
        Check({{"decode", "--strict", "-q", c.text}, "", 1, "error: not a clean bitmap: " + warnings + "\n", refused});
        Check({{"decode", "--strict", "--json", c.text}, "", 1, "{\"input\":1,\"source\":\"argument\",\"error\":\"not a clean bitmap: " + Join({warnings}, true).substr(1) +
               "," + json + "}\n", refused});
    }
    Check({{"decode", "--strict", k7238}, "", 0, k7238Line, ""});
}

TEST(CliDecodeTest, WholeMessagesAndEncodings)
{
    const std::string tail = "0000000000000001", ascii = "37323338303030313038433138303030", both = "0200\t" + k1And128;
    const std::string shortMessage = "field 1 (the secondary bitmap) at byte 10: the message ends inside it: 8 bytes needed, 4 left\n";
    const std::string noHeader = "the primary bitmap at byte 6: the message ends inside it: 8 bytes needed, 4 left\n";
    const Case cases[] = {
        {{"--message", "0200" + k7238 + "313"}, "", 0, "0200\t" + k7238Line, ""},
        {{"--message", "0200 8000000000000000 " + tail + " 99"}, "", 0, both, ""},
        {{"--message", "--header", "2", "6000 0200 8000000000000000" + tail}, "", 0, both, ""},
        {{"--message", "--header=2", "-j", "60000200" + k7238}, "", 0, R"({"input":1,"source":"argument","mti":"0200","display":"72 38 00 01 08 C1 80 00    ",)"
         R"("hex":"7238000108C18000","length":64,"bits":[2,3,4,7,11,12,13,32,37,41,42,48,49],"warnings":[]})" "\n", ""},
        // Too short for the bitmaps bit 1 announces, or for the header; a message type that is no number.
        {{"--message", "02008000000000000000" + tail.substr(8)}, "", 1, "error: " + shortMessage, kDecode + "argument 1: " + shortMessage},
        {{"--message", "--header=4", "0200" + k7238}, "", 1, "error: " + noHeader, kDecode + "argument 1: " + noHeader},
        {{"--message", "F200" + k7238}, "", 0, "F200\t" + k7238Line, kDecode + "warning: argument 1: the message type at byte 0: \"F200\" is not 4 digits\n"},
        // The digits' ASCII or EBCDIC codes in hex, as many hosts log them.
        {{"--from", "ascii-hex", ascii}, "", 0, k7238Line, ""},
        {{"--message", "--from=ascii-hex", "30323030" + ascii}, "", 0, "0200\t" + k7238Line, ""},
        {{"--from=ebcdic-hex", "F7F2F3F8 F0F0F0F1 F0F88381 F8F0F0F0"}, "", 0, "72 38 00 01 08 CA 80 00    \t64\t2 3 4 7 11 12 13 32 37 41 42 45 47 49\n", ""},
        {{"--from=ebcdic-hex", "F7F2F3F84BF0F0F0F1F0F8C3F1F8F0F0F0"}, "", 0, k7238Line,
         kDecode + "warning: argument 1: byte 4B is no EBCDIC hex digit or space: dropped\n"},
        {{"--from=ascii-hex", "3732333x"}, "", 0, "72 30 00 00 00 00 00 00    \t64\t2 3 4 7 11 12\n", kDecode + "warning: argument 1: characters "
         "other than hex digits and spaces in the encoded text, the first \"x\" at column 8; an odd number of encoded digits: the last "
         "one is dropped; 3 hex digits, not 16 or 32\n"},
        // Raw bitmaps, their length from bit 1, one after another; the last one cut short.
        {{"--from=binary", "-j"}, "\x80" + std::string(14, '\0') + "\x01\x72\x38", 1,
         "{\"input\":1,\"source\":\"stdin\",\"display\":\"" + k1And128.substr(0, 51) + "\",\"hex\":\"8000000000000000" + tail + "\",\"length\":128,\"bits\":[1,128],"
         "\"warnings\":[]}\n{\"input\":2,\"source\":\"stdin\",\"error\":\"the input ends inside a bitmap of 8 bytes, after 2\"}\n",
         kDecode + "bitmap 2: the input ends inside a bitmap of 8 bytes, after 2\n"},
    };
    for (const Case& c : cases)
        Check(c, {"decode"});
}

TEST(CliDecodeTest, FilesAndStandardInputInCommandLineOrder)
{
    const CTempFile lines("lines.txt", "80\r\n\n" + k7238), raw("raw.bin", std::string("\x01\0\0\0\0\0\0\0", 8));
    const CTempFile gbk("\xB0\xA1.txt", "\n"), utf8("\xC3\xA9.txt", "\n"); // names in GBK, which is no UTF-8, and in UTF-8
    const std::string empty = "error: " + kEmpty + "\n", emptyLine = kDecode + "lines.txt line 2: " + kEmpty + "\n";
    const Case cases[] = {
        {{"-q", "-f", "lines.txt", "-", "01", "--file=lines.txt"}, "01\n", 1,
         kBit1 + empty + k7238Line + kBit8 + kBit8 + kBit1 + empty + k7238Line, emptyLine + emptyLine},
        {{"-jflines.txt"}, "", 1, "{\"input\":1,\"source\":\"file\",\"file\":\"lines.txt\",\"display\":\"80 00 00 00 00 00 00 00    \",\"hex\":\"8000000000000000\","
         "\"length\":64,\"bits\":[1],\"warnings\":[\"2 hex digits, not 16 or 32\"]}\n{\"input\":2,\"source\":\"file\",\"file\":\"lines.txt\",\"error\":\"" + kEmpty +
         "\"}\n{\"input\":3,\"source\":\"file\",\"file\":\"lines.txt\",\"display\":\"72 38 00 01 08 C1 80 00    \",\"hex\":\"" + k7238 + "\",\"length\":64,"
         "\"bits\":[2,3,4,7,11,12,13,32,37,41,42,48,49],\"warnings\":[]}\n",
         emptyLine},
        {{"--from", "binary", "--file", "raw.bin", "-"}, std::string(7, '\0'), 1, kBit8 + "error: the input ends inside a bitmap of 8 bytes, after 7\n",
         kDecode + "bitmap 1: the input ends inside a bitmap of 8 bytes, after 7\n"},
        // JSON stays valid whatever bytes a file's name holds.
        {{"-j", "-f", gbk.path, "-f", utf8.path}, "", 1, "{\"input\":1,\"source\":\"file\",\"file\":\"\\u00b0\\u00a1.txt\",\"error\":\"" + kEmpty + "\"}\n"
         "{\"input\":1,\"source\":\"file\",\"file\":\"\xC3\xA9.txt\",\"error\":\"" + kEmpty + "\"}\n", kDecode + gbk.path + " line 1: " + kEmpty + "\n" +
         kDecode + utf8.path + " line 1: " + kEmpty + "\n"},
        // A file that cannot be read is named with the reason, and the rest still done.
        {{"-f", "missing.txt", "-f", ".", k7238}, "", 1, k7238Line,
         kDecode + "cannot open missing.txt: " + Reason(ENOENT) + "\n" + kDecode + "cannot open .: " + Reason(EISDIR) + "\n"},
    };
    for (const Case& c : cases)
        Check(c, {"decode"});
}

TEST(CliStatusTest, BadInputIsNamedAndTheRestStillDone)
{
    const std::string encode = "orvane-cli encode: ", outside = ": bit number outside 1..128\n", cannotWrite = "cannot write standard output: ";
    const std::string tryDecode = "Try 'orvane-cli decode --help'.\n", tryEncode = "Try 'orvane-cli encode --help'.\n";
    const Case cases[] = {
        // Arguments win over standard input; each input has its line, the bad ones their error.
        {{"decode", "-q", "80", "", "01"}, "01\n", 1, kBit1 + "error: " + kEmpty + "\n" + kBit8, kDecode + "argument 2: " + kEmpty + "\n"},
        {{"decode", "--json"}, "\n", 1, "{\"input\":1,\"source\":\"stdin\",\"error\":\"" + kEmpty + "\"}\n", kDecode + "line 1: " + kEmpty + "\n"},
        // Bit 1 alone makes no secondary bitmap; a bit of 65..128 does.
        {{"encode", "2", "3", "4", "007", "11"}, "", 0, "7220000000000000\n", ""},
        {{"encode", "1"}, "", 0, "8000000000000000\n", ""},
        {{"encode", "70"}, "", 0, "00000000000000000400000000000000\n", ""},
        {{"encode", "70", "-a"}, "", 0, "80000000000000000400000000000000\n", ""},
        {{"encode", "--auto-first", "64"}, "", 0, "0000000000000001\n", ""},
        {{"encode", "-d", "1", "128"}, "", 0, k1And128.substr(0, 51) + "\n", ""},
        // Any bad number: messages and no bitmap, so x=$(orvane-cli encode ...) captures nothing wrong.
        {{"encode", "2", "0"}, "", 1, "", encode + "argument 2 (\"0\")" + outside},
        {{"encode", "3", "129", "4294967297", "-7", "+3", "", "x\xE4\""}, "", 1, "",
         encode + "argument 2 (\"129\")" + outside + encode + "argument 3 (\"4294967297\")" + outside + encode + "argument 4 (\"-7\")" +
             outside + encode + "argument 5 (\"+3\"): not a bit number\n" + encode + "argument 6 (\"\"): not a bit number\n" + encode +
             "argument 7 (\"x\\xE4\\x22\"): not a bit number\n"},
        // Usage errors do nothing and point to the help.
        {{"decode", "--nmes", "80"}, "", 2, "", kDecode + "unknown option \"--nmes\"\n" + tryDecode},
        {{"decode", "-jx", "80"}, "", 2, "", kDecode + "unknown option \"-x\"\n" + tryDecode},
        {{"decode", "--names=fr"}, "", 2, "", kDecode + "invalid value \"fr\" for --names: en or zh\n" + tryDecode},
        {{"decode", "--json=1"}, "", 2, "", kDecode + "option --json takes no value\n" + tryDecode},
        {{"decode", "--from=octal"}, "", 2, "", kDecode + "invalid value \"octal\" for --from: hex, ascii-hex, ebcdic-hex, dump or binary\n" + tryDecode},
        {{"decode", "--message", "--header", "-1"}, "", 2, "", kDecode + "invalid value \"-1\" for --header: a number of bytes, 0 to 9999\n" + tryDecode},
        {{"decode", "--sep="}, "", 2, "", kDecode + "invalid value \"\" for --sep: one line of at least one character\n" + tryDecode},
        {{"decode", "-f"}, "", 2, "", kDecode + "option -f needs a value\n" + tryDecode},
        {{"decode", "--header=2", "80"}, "", 2, "", kDecode + "--header needs --message\n" + tryDecode},
        {{"decode", "--from=binary", "80"}, "", 2, "", kDecode + "--from binary reads standard input or files, not TEXT arguments\n" + tryDecode},
        {{"decode", "--from=binary", "--message"}, "", 2, "", kDecode + "--message reads hex text, not --from binary\n" + tryDecode},
        {{"encode", "--json", "3"}, "", 2, "", encode + "unknown option \"--json\"\n" + tryEncode},
        {{"encode", "-a"}, "", 2, "", encode + "no bit numbers given\n" + tryEncode},
        {{"DECODE", "80"}, "", 2, "", "orvane-cli: unknown command \"DECODE\"\nTry 'orvane-cli --help'.\n"},
        {{"help", "nothing"}, "", 2, "", "orvane-cli: no help on \"nothing\"\nTry 'orvane-cli --help'.\n"},
        // A failed read or a full disk must not pass for success, and nothing may escape Run().
        {{"decode"}, k7238 + "\n", 1, k7238Line, kDecode + "cannot read standard input: " + Reason(EIO) + "\n", -EIO},
        {{"decode"}, k7238 + "\n", 1, k7238Line, "orvane-cli: out of memory\n", 1},
        {{"decode"}, k7238 + "\n", 1, k7238Line, kDecode + cannotWrite + Reason(ENOSPC) + "\n", 0, ENOSPC},
        {{"decode", k7238}, "", 1, k7238Line, kDecode + cannotWrite + Reason(EPIPE) + "\n", 0, EPIPE},
        {{"encode", "1"}, "", 1, "8000000000000000\n", encode + cannotWrite + Reason(ENOSPC) + "\n", 0, ENOSPC},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(CliStreamTest, LinesComeOutLineForLineHoweverTheReadsSplitThem)
{
    // LF and CR LF lines, empty ones, one over the limit, one exactly at it,
    // then a long good run (more than one output buffer) and a last line
    // without LF: one line out for each line in.
    std::string input, out, err;
    for (int n = 1; n <= 3000; ++n)
    {
        const std::string bad = n == 300 ? "line longer than 40 bytes" : kEmpty;
        if (n == 100 || n == 200 || n == 300)
        {
            input += n == 300 ? std::string(41, '1') + "\n" : "\r\n";
            out += "error: " + bad + "\n";
            err += kDecode + "line " + std::to_string(n) + ": " + bad + "\n";
            continue;
        }
        input += n == 301 ? "8" + std::string(31, '0') + " 0000000\r\n" : n % 2 != 0 ? "80000000 80000001\r\n" : "0100000000000000\n";
        out += n == 301 ? kBit1 : n % 2 == 0 ? kBit8 : "80 00 00 00 80 00 00 01    \t64\t1 33 64\n";
    }
    for (const std::size_t piece : {1, 7, 4096, 1 << 20})
    {
        const Outcome outcome = RunCli({"decode", "--quiet"}, input + "0100000000000000", piece, 40);
        EXPECT_EQ(cli::kExitBadInput, outcome.status) << piece;
        EXPECT_TRUE(out + kBit8 == outcome.out) << piece;
        EXPECT_EQ(err, outcome.err) << piece;
        // Each answer leaves when the input pauses, and never all at once.
        EXPECT_EQ(out.size(), outcome.outAtEnd) << piece;
        EXPECT_LT(outcome.largestWrite, 70000u) << piece;
    }
}

// Where standard output and standard error lead decides how they are
// written: into one buffer, messages after their input's line, where both
// reach one place; each its own way elsewhere; a terminal sees every input
// at once; and otherwise many lines and warnings cost a few writes.
TEST(CliOutputTest, MessagesMeetTheOutputOnlyWhereBothStreamsLeadToOnePlace)
{
    // Warned, clean and bad lines in turn, more than one buffer of output and of messages.
    const int kLines = 3000;
    std::string input, out, err, both;
    for (int n = 1; n <= kLines; ++n)
    {
        const std::string place = "line " + std::to_string(n) + ": ";
        const std::string lines[] = {kBit1, k7238Line, "error: " + kEmpty + "\n"};
        const std::string messages[] = {kDecode + "warning: " + place + "2 hex digits, not 16 or 32\n", "", kDecode + place + kEmpty + "\n"};
        input += n % 3 == 0 ? "80\n" : n % 3 == 1 ? k7238 + "\n" : "\n";
        out += lines[n % 3];
        err += messages[n % 3];
        both += lines[n % 3] + messages[n % 3];
    }
    const struct
    {
        bool shared, outTerminal, errTerminal;
    } cases[] = {{false, false, false}, {true, false, false}, {false, true, false}, {false, false, true}, {true, true, true}};
    for (const auto& c : cases)
    {
        CSink outSink, errSink;
        CSource in(input, 1 << 20, 0, outSink);
        cli::Environment environment{in, outSink, c.shared ? outSink : errSink, cli::LeadByteRules{}};
        environment.sameTarget = c.shared;
        environment.outTerminal = c.outTerminal;
        environment.errTerminal = c.errTerminal;
        const std::string name = std::to_string(c.shared) + std::to_string(c.outTerminal) + std::to_string(c.errTerminal);
        EXPECT_EQ(cli::kExitBadInput, cli::Run({"decode"}, environment)) << name;
        EXPECT_TRUE((c.shared ? both : out) == outSink.text) << name;
        EXPECT_TRUE((c.shared ? "" : err) == errSink.text) << name;
        // One write per input for a terminal (line and message together when shared), else one per 64 KiB.
        const auto writes = [](bool terminal, std::size_t inputs, const CSink& sink) {
            return terminal ? sink.writes == inputs : sink.writes <= sink.text.size() / 65536 + 1;
        };
        EXPECT_TRUE(writes(c.outTerminal, kLines, outSink)) << name << " " << outSink.writes;
        EXPECT_TRUE(c.shared || writes(c.errTerminal, kLines * 2 / 3, errSink)) << name << " " << errSink.writes;
    }
}

TEST(CliHelpTest, EveryCommandExplainsItself)
{
    const std::vector<std::pair<std::vector<std::string>, const char*>> cases = {
        {{"help"}, "Run 'orvane-cli COMMAND --help'"}, {{"decode", "80", "--help"}, "JSON output:"},
        {{"help", "encode"}, "--display"},           {{"--version"}, "orvane-cli 1."},
    };
    for (const auto& c : cases)
    {
        const Outcome outcome = RunCli(c.first);
        EXPECT_TRUE(outcome.status == cli::kExitOk && outcome.err.empty() && outcome.out.find(c.second) != std::string::npos) << c.second;
    }
    // No command at all is a usage error: the overview goes to standard error.
    const Outcome none = RunCli({});
    EXPECT_TRUE(none.status == cli::kExitUsage && none.err.find("Usage: orvane-cli decode") == 0) << none.err;
}

namespace
{

// An ASCII request: PAN, processing code, amount, terminal.
const std::string kAsciiRequest = "0200" "7000000000800000" "164761739001010119" "000000" "000000001000" "TERM0001";
// A cup request whose field 55 holds a cryptogram and the card's PAN (5A).
const std::string kCupRequest = "0031 6000030000 603100000000 0200 0000000000000200"
                                "0026 9F2608 1122334455667788 5A08 4761739001010119 9F3602 0001";

struct ParseCase
{
    std::vector<std::string> args;
    std::string input;
    int status;
    std::vector<std::string> outParts; // each in the output, in order
    std::string errPart;               // in standard error; empty: nothing there
};

TEST(CliParseTest, FieldsMaskingOutputsAndErrors)
{
    const ParseCase cases[] = {
        {{"parse", kAsciiRequest}, "", cli::kExitOk,
         {"argument 1: 0200, bitmap 7000000000800000 (iso87ascii)", "    2  n..19 LLVAR  16  476173******0119",
          "   41  ans 8         8  TERM0001          Card acceptor terminal identification",
          "card data masked (--unmask shows it)"},
         ""},
        {{"parse", "--json", "--unmask", "-"}, kAsciiRequest + "\n", cli::kExitOk,
         {"{\"input\":1,\"source\":\"stdin\",\"mti\":\"0200\",\"bitmap\":\"7000000000800000\",\"fields\":{\"2\":"
          "\"4761739001010119\",\"3\":\"000000\",\"4\":\"000000001000\",\"41\":\"TERM0001\"},\"masked\":false,"
          "\"warnings\":[]}\n"},
         ""},
        {{"parse", "-F", "mti,2,39,41", kAsciiRequest}, "", cli::kExitOk, {"0200\t476173******0119\t\tTERM0001\n"}, ""},
        // What was read before an error is still shown; the next input is read as usual.
        {{"parse", "-j", "-"}, kAsciiRequest + "XY\n" + kAsciiRequest.substr(0, 30) + "\n", cli::kExitBadInput,
         {"\"error\":\"field 41 at byte 64: 2 bytes left after the last field\"", "\"41\":\"TERM0001\"",
          "{\"input\":2,", "\"error\":\"field 2 at byte 22: the message ends inside the field: 16 bytes needed, 8 left\""},
         "line 1: field 41 at byte 64: 2 bytes left after the last field"},
        {{"parse", "--spec", "cup", "--json", kCupRequest}, "", cli::kExitOk,
         {"\"length\":49,\"tpdu\":\"6000030000\",\"header\":\"603100000000\"",
          "\"55\":\"9F2608112233445566778" "85A08****************9F36020001\"",
          "\"tlv\":{\"55\":{\"9F26\":\"1122334455667788\",\"5A\":\"****************\",\"9F36\":\"0001\"}}",
          "\"masked\":true"},
         ""},
        {{"parse", "--spec", "cup", "--names=zh", kCupRequest}, "", cli::kExitOk,
         {"   55  b...255 LLLVAR TLV", "IC卡数据域", "9F26", "应用密文", "5A"}, ""},
        // The convention's own names where they differ from 1987's; the header's labels aligned.
        {{"parse", "--spec", "cup", "--names=zh", "001D 6000030000 603100000000 0200 0020000000000008 000123 0006 000001"},
         "", cli::kExitOk, {"  tpdu    6000030000\n", "受卡方系统跟踪号", "原始信息域"}, ""},
        {{"parse", "--spec", "iso87binary", "02 00 40 00 00 00 00 00 00 00 16 47 61 7G"}, "", cli::kExitBadInput,
         {"error: the input at byte 40:"}, "\"G\" at column 41"},
        // A warning goes to standard error, or only into the JSON object.
        {{"parse", "0200" "2000000000000000" "00A000"}, "", cli::kExitOk, {"00A000"}, "warning: argument 1: field 3"},
        {{"parse", "-j", "0200" "2000000000000000" "00A000"}, "", cli::kExitOk, {"is not n"}, ""},
        {{"parse", "--strict", "0200" "2000000000000000" "00A000"}, "", cli::kExitBadInput, {"error: field 3"}, "is not n"},
        // JSON values are bytes: even a pair that reads as UTF-8 is two code points, for build to get back.
        {{"parse", "-j", "0200" "0000000000800000" "TER\xC3\xA9" "001"}, "", cli::kExitOk, {"\"41\":\"TER\\u00c3\\u00a9001\""}, ""},
        {{"parse", "--spec", "iso87foo", "x"}, "", cli::kExitUsage, {}, "unknown message specification \"iso87foo\""},
        {{"parse", "-F", "2,mti,9999"}, "", cli::kExitUsage, {}, "--fields: "},
    };
    for (const ParseCase& c : cases)
    {
        const Outcome outcome = RunCli(c.args, c.input);
        EXPECT_EQ(outcome.status, c.status) << c.args.back() << "\n" << outcome.out << outcome.err;
        std::size_t at = 0;
        for (const std::string& part : c.outParts)
        {
            at = outcome.out.find(part, at);
            EXPECT_NE(at, std::string::npos) << part << "\nin\n" << outcome.out;
        }
        if (c.errPart.empty())
            EXPECT_EQ(outcome.err, "");
        else
            EXPECT_NE(outcome.err.find(c.errPart), std::string::npos) << outcome.err;
    }
}

// Raw bytes framed by a 2-byte length: many messages one after another, in
// pieces that split them anywhere, and one cut short at the end.
TEST(CliParseTest, FramedBinaryStream)
{
    const std::string request = std::string("\x00\x1C", 2) + "0200" "0000000000800000" "TERM0001";
    const std::string echo = std::string("\x00\x14", 2) + "0800" "0000000000000000";
    const std::string stream = request + echo + request + echo + std::string("\x00\x32" "02", 4);
    for (std::size_t piece : {std::size_t(1), std::size_t(5), std::size_t(1) << 20})
    {
        const Outcome outcome = RunCli({"parse", "--from", "binary", "--length-prefix", "2", "-F", "mti,41"}, stream, piece);
        EXPECT_EQ(outcome.status, cli::kExitBadInput);
        EXPECT_EQ(outcome.out, "0200\tTERM0001\n0800\t\n0200\tTERM0001\n0800\t\n\t\n") << piece;
        EXPECT_NE(outcome.err.find("message 5: the input at byte 0: the stream ends inside a message: 4 of its 52 bytes"),
                  std::string::npos) << outcome.err;
    }
}

} // namespace

namespace
{

const std::string kBuild = "orvane-cli build: ";

TEST(CliBuildTest, FieldsPaddingAndErrors)
{
    const CTempFile value("value.txt", "TERM0001\r\n");
    const Case cases[] = {
        {{"mti=0200", "2=4761739001010119", "3=000000", "4=000000001000", "11=000001", "41=TERM0001"}, "", 0,
         "0200" "7020000000800000" "164761739001010119" "000000" "000000001000" "000001" "TERM0001\n", ""},
        // --pad: n right-justified with zeros, ans left-justified with spaces, b with zero bytes; never cut.
        {{"--pad", "mti=0200", "4=1000", "41=TERM", "52=1234"}, "", 0,
         "0200" "1000000000801000" "000000001000" "TERM    " "1234000000000000\n", ""},
        {{"--pad", "mti=0200", "41=TERM00012"}, "", 1, "", kBuild + "field 41: 9 characters, the format is ans 8\n"},
        {{"mti=0200", "4=100"}, "", 1, "", kBuild + "field 4: 3 digits, the format is n 12\n"},
        {{"mti=0200", "3=00A000"}, "", 1, "", kBuild + "field 3: \"00A000\" is not n: \"A\" at character 3, the format is n 6\n"},
        {{"mti=0200", "2=47617390010101190000"}, "", 1, "", kBuild + "field 2: 20 digits, over the greatest of n..19 LLVAR\n"},
        {{"mti=0200", "130=1"}, "", 1, "", kBuild + "field 130: the message specification iso87ascii defines no field 130\n"},
        {{"mti=0200", "52=12345G"}, "", 1, "", kBuild + "field 52: a character other than hex digits and spaces, \"G\" at column 6: the value is written in hex, 2 digits a byte\n"},
        {{"mti=200", "41=TERM0001"}, "", 1, "", kBuild + "the message type: \"200\" is not 4 digits\n"},
        {{"41=TERM0001"}, "", 1, "", kBuild + "the message type is not given (mti=0200)\n"},
        {{"mti=0200", "tpdu=00"}, "", 1, "", kBuild + "unknown name \"tpdu\": mti, a field number or header\n"},
        // @FILE without its line end, @@ for a value that starts with @.
        {{"mti=0800", "41=@value.txt", "43=@@ORVANE", "--pad"}, "", 0,
         "0800" "0000000000A00000" "TERM0001" "@ORVANE" + std::string(33, ' ') + "\n", ""},
        {{"mti=0800", "41=@missing.txt"}, "", 1, "", kBuild + "cannot read missing.txt: No such file or directory\n"},
        // A binary message --to text may not hold a line break: bits 5 and 7 make the bitmap's first byte LF.
        {{"--spec", "iso87binary", "--to", "text", "mti=0200", "5=000000000001", "7=0101120000"}, "", 1, "",
         kBuild + "the message holds a line break at byte 2: write it --to hex or --to binary\n"},
        // JSON lines: what parse could not read whole, or masked, is refused; the other lines are built.
        {{}, "{\"mti\":\"0200\",\"fields\":{\"52\":\"****************\"},\"masked\":true}\n"
             "{\"input\":1,\"error\":\"the input at byte 0: the message is empty\",\"fields\":{}}\n"
             "{\"mti\":\"0800\",\"fields\":{\"41\":\"TERM0001\"},\"warnings\":[]}\n"
             "{\"mti\":\"0800\",\"fields\":{\"41\":\"TERM0001\"},\"bitmap\":1,\"tdpu\":\"00\"}\n"
             "{\"mti\":\"0800\",\"fields\":{\"41\":\"TERM\\u00e9001\"}}\n[]\n",
         1, "0800" "0000000000800000" "TERM0001\n",
         kBuild + "line 1: its card data is masked: parse the message with --unmask to build it again\n" + kBuild +
             "line 2: parse could not read this message: the input at byte 0: the message is empty\n" + kBuild +
             "line 4: unknown member \"tdpu\": mti, fields, tlv or header\n" + kBuild +
             "line 5: field 41: \"TERM\\xE9001\" is not ans: \"\\xE9\" at character 5, the format is ans 8\n" + kBuild +
             "line 6: not a JSON object: build reads the objects parse --json --unmask writes\n"},
        {{"mti=0200", "-"}, "", 2, "", kBuild + "NAME=VALUE arguments make one message: read JSON lines (- or --file) without them\nTry 'orvane-cli build --help'.\n"},
    };
    for (const Case& c : cases)
        Check(c, {"build"});
}

// Each row: fields built to the message written out by hand; parse reads
// them back to the same values, and its JSON builds the same message again.
TEST(CliBuildTest, RoundTrips)
{
    const CTempFile spec("tertiary.json", R"({"base": "iso87ascii", "fields": {
        "48": {"type": "b", "length": "LLL", "max": 255, "tlv": true},
        "55": {"type": "b", "length": "LLL", "max": 255, "tlv": true},
        "130": {"type": "an", "length": "LL", "max": 20}}})");
    struct Row
    {
        std::vector<std::string> both, buildOnly, parseOnly, values;
        std::string message;
        std::string tlv; // the "tlv" member parse shows
    };
    const Row rows[] = {
        {{}, {}, {}, {"mti=0800", "7=1207120000", "11=000001", "70=301"},
         "0800" "8220000000000000" "0400000000000000" "1207120000" "000001" "301", ""},
        // BCD: an odd LLVAR value padded on the right, an odd fixed one on the left.
        {{"--spec", "iso87binary"}, {}, {}, {"mti=0200", "2=4761739001010", "22=051"},
         "0200" "4000040000000000" "13" "47617390010100" "0051", ""},
        {{"--spec", "iso87ebcdic"}, {}, {}, {"mti=0200", "41=TERM0001"}, "F0F2F0F0" "0000000000800000" "E3C5D9D4F0F0F0F1", ""},
        {{"--spec", "cup"}, {}, {}, {"mti=0800", "tpdu=6000030000", "header=603100000000", "41=TERM0001"},
         "001D" "6000030000" "603100000000" "0800" "0000000000800000" "5445524D30303031", ""},
        {{"--length-prefix", "a4"}, {"--header", "4142"}, {"--header", "2"}, {"mti=0800", "header=4142", "41=TERM0001"},
         "0030" "AB" "0800" "0000000000800000" "TERM0001", ""},
        // A tertiary bitmap, and two TLV fields in one message.
        {{"--spec", "tertiary.json"}, {}, {}, {"mti=0200", "48=DF0101AA", "55=9F02060000000010009F360200A1", "130=ABC"},
         "0200" "8000000000010200" "8000000000000000" "4000000000000000" "004DF0101AA" "0149F02060000000010009F360200A1" "03ABC",
         R"("tlv":{"48":{"DF01":"AA"},"55":{"9F02":"000000001000","9F36":"00A1"}})"},
    };
    for (const Row& row : rows)
    {
        std::vector<std::string> build = {"build"}, parse = {"parse", "--json", "--unmask"};
        build.insert(build.end(), row.both.begin(), row.both.end());
        parse.insert(parse.end(), row.both.begin(), row.both.end());
        parse.insert(parse.end(), row.parseOnly.begin(), row.parseOnly.end());
        std::vector<std::string> fromValues = build;
        fromValues.insert(fromValues.end(), row.buildOnly.begin(), row.buildOnly.end());
        fromValues.insert(fromValues.end(), row.values.begin(), row.values.end());

        const Outcome built = RunCli(fromValues);
        ASSERT_EQ(built.out, row.message + "\n") << row.message << built.err;
        const Outcome json = RunCli(parse, built.out);
        EXPECT_EQ(json.status, 0) << json.err;
        for (const std::string& value : row.values)
        {
            const std::size_t equals = value.find('=');
            const std::string member = "\"" + value.substr(0, equals) + "\":\"" + value.substr(equals + 1) + "\"";
            EXPECT_NE(json.out.find(member), std::string::npos) << member << " in " << json.out;
        }
        EXPECT_NE(json.out.find(row.tlv), std::string::npos) << json.out;
        const Outcome again = RunCli(build, json.out);
        EXPECT_EQ(again.out, built.out) << json.out << again.err;
    }
}

// The tags of a TLV field build it when fields leaves it out; given both
// ways, they must agree.
TEST(CliBuildTest, TlvMember)
{
    const std::string head = R"({"mti":"0200","tpdu":"6000030000","header":"603100000000","fields":{)";
    const std::string head55 = "6000030000" "603100000000" "0200" "0000000000000200", tags = "9F360200017003820100";
    const Case cases[] = {
        {{}, head + R"(},"tlv":{"55":{"9F36":"0001","70":{"82":"00"}}}})" "\n", 0, "0021" + head55 + "0010" + tags + "\n", ""},
        // Both agree when only padding differs: the field's own bytes are kept.
        {{}, head + R"("55":"9F36020001700382010000"},"tlv":{"55":{"9F36":"0001","70":{"82":"00"}}}})" "\n", 0,
         "0022" + head55 + "0011" + tags + "00\n", ""},
        {{}, head + R"("55":"9F3602000170038201"},"tlv":{"55":{"9F36":"0002","70":{"82":"00"}}}})" "\n", 1, "",
         kBuild + "line 1: field 55: its value in \"fields\" and its tags in \"tlv\" differ: leave one of them out\n"},
        {{}, head + R"(},"tlv":{"55":{"9F36":{"82":"00"}}}})" "\n", 1, "",
         kBuild + "line 1: field 55: tag 9F36: primitive: its value is hex, not an object\n"},
        {{}, head + R"(},"tlv":{"2":{"9F36":"00"}}})" "\n", 1, "",
         kBuild + "line 1: member \"tlv\": \"2\" is not a TLV field of the message specification cup\n"},
    };
    for (const Case& c : cases)
        Check(c, {"build", "--spec", "cup"});
}

// Raw messages with a 2-byte length, one after another: what parse reads
// back with the same options.
TEST(CliBuildTest, BinaryStream)
{
    const std::string lines = "{\"mti\":\"0200\",\"fields\":{\"41\":\"TERM0001\"}}\n{\"mti\":\"0800\",\"fields\":{}}\n";
    const Outcome built = RunCli({"build", "--spec", "iso87binary", "--to", "binary", "--length-prefix", "2"}, lines);
    const std::string request = std::string("\x00\x12\x02\x00\0\0\0\0\0\x80\0\0", 12) + "TERM0001";
    const std::string echo = std::string("\x00\x0A\x08\x00\0\0\0\0\0\0\0\0", 12);
    EXPECT_EQ(built.out, request + echo);
    const Outcome parsed =
        RunCli({"parse", "--spec", "iso87binary", "--from", "binary", "--length-prefix", "2", "-F", "length,mti,41"}, built.out);
    EXPECT_EQ(parsed.out, "18\t0200\tTERM0001\n10\t0800\t\n") << parsed.err;
}

} // namespace
