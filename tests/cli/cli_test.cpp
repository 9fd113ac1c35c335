// orvane-cli in-process: arguments, standard input and files in; output,
// messages and exit status out, through the same Run() that main() calls.
#include "bitmap_text.h"
#include "cli_app.h"
#include "element_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <fstream>
#include <new>
#include <string>
#include <vector>

namespace
{

class CStringSink : public cli::CByteSink
{
public:
    int Write(const char* data, std::size_t size) override
    {
        text.append(data, size);
        largestWrite = std::max(largestWrite, size);
        return error;
    }
    std::string text;
    std::size_t largestWrite = 0;
    int error = 0;
};

struct Feed
{
    std::string input;
    std::size_t piece = 1u << 20; // bytes per read at most, as a pipe might split them
    std::size_t maxLine = cli::kMaxLineBytes;
    cli::LeadByteRules rules{};
    long long end = 0; // what the read at the end gives: 0, -EIO for an error, 1 to throw
    int outError = 0;
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
            if (m_feed.end == 1)
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
    out.error = feed.outError;
    CTextSource in(feed, out);
    cli::Environment environment{in, out, err, feed.rules, feed.maxLine};
    const int status = cli::Run(args, environment);
    return {status, out.text, err.text, in.outAtEnd, out.largestWrite};
}

struct Case
{
    std::vector<std::string> args;
    std::string input; // standard input
    int status;
    std::string out;
    std::string err;
};

void Check(const Case& c)
{
    const Outcome outcome = RunCli(c.args, Feed{c.input});
    EXPECT_EQ(c.status, outcome.status) << c.args.back();
    EXPECT_EQ(c.out, outcome.out) << c.args.back();
    EXPECT_EQ(c.err, outcome.err) << c.args.back();
}

std::string Json(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return quoted + "\"";
}

std::string Join(const std::vector<std::string>& items, const std::string& separator, std::string (*each)(const std::string&))
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + each(item);
    return text;
}

std::string Same(const std::string& text) { return text; }

const std::string kDecode = "orvane-cli decode: ";
const std::string kClear = "00 00 00 00 00 00 00 00    ";
const std::string kBit1 = "80 00 00 00 00 00 00 00    \t64\t1\n";
const std::string kBit8 = "01 00 00 00 00 00 00 00    \t64\t8\n";
const std::string k7238 = "7238000108C18000";
const std::string k7238Line = "72 38 00 01 08 C1 80 00    \t64\t2 3 4 7 11 12 13 32 37 41 42 48 49\n";
const std::string k1And128 = "80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 \t128\t1 128\n";
const std::string kEmpty = "the bitmap text is empty";

// A file in the test's working folder, removed at the end.
struct CTempFile
{
    CTempFile(const std::string& name, const std::string& text) : path(name)
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    ~CTempFile() { std::remove(path.c_str()); }
    std::string path;
};

} // namespace

// The window's bitmap button rules, quietly: what a line decodes to.
TEST(CliDecodeTest, TextsGoTheWindowsWay)
{
    std::string all = "1"; // a full secondary bitmap: every digit position read off
    for (int bit = 2; bit <= 128; ++bit)
        all += " " + std::to_string(bit);
    const std::string k16(16, '0');
    const std::string bit1 = "80 00 00 00 00 00 00 00    ";
    const Case cases[] = {
        // Only hex digits pass the filter (the 0 of "0x" stays); an odd count gets a trailing 0.
        {{"0x12 34"}, "", 0, "01 23 40 00 00 00 00 00    \t64\t8 11 15 16 18\n", ""},
        {{"0123456789abcdef"}, "", 0, "01 23 45 67 89 AB CD EF    \t64\t8 11 15 16 18 22 24 26 27 30 31 32 33 37 "
                                      "40 41 43 45 47 48 49 50 53 54 56 57 58 59 61 62 63 64\n", ""},
        // No digit at all is a clear bitmap; bit 1 alone keeps 16 digits.
        {{"xyz", "8"}, "", 0, kClear + "\t64\t\n" + kBit1, ""},
        // Only the first 32 digits count, and nothing carries over to the next text.
        {{std::string(32, 'F') + "0123", "01"}, "", 0, "FF FF FF FF FF FF FF FF    FF FF FF FF FF FF FF FF \t128\t" +
                                                       all + "\n" + kBit8, ""},
        // Secondary bits render 32 digits; bit 1 follows them only with the check box.
        {{k16 + "FFFF"}, "", 0, kClear + "FF FF 00 00 00 00 00 00 \t128\t65 66 67 68 69 70 71 72 73 74 75 76 77 78 79 80\n", ""},
        {{"-a", k16 + "FFFF"}, "", 0, bit1 + "FF FF 00 00 00 00 00 00 \t128\t1 65 66 67 68 69 70 71 72 73 74 75 76 77 78 79 80\n", ""},
        // After "--" even "--json" is a text (without digits).
        {{"--", "--json", "-80"}, "", 0, kClear + "\t64\t\n" + kBit1, ""},
        // One line per input with --names too; short options together; --sep.
        {{"-nq", "C0", "02"}, "", 0, "C0 00 00 00 00 00 00 00    \t64\t1 2\t1=Secondary bitmap; 2=Primary account number\n"
                                     "02 00 00 00 00 00 00 00    \t64\t7\t7=Transmission date and time\n", ""},
        {{"--names=en", "--sep=, ", k7238}, "", 0, "72 38 00 01 08 C1 80 00    \t64\t2, 3, 4, 7, 11, 12, 13, 32, 37, 41, 42, 48, "
                                                     "49\t2=Primary account number; 3=Processing code; 4=Transaction amount; "
                                                     "7=Transmission date and time; 11=System trace audit number; 12=Local "
                                                     "transaction time; 13=Local transaction date; 32=Acquiring institution "
                                                     "identification code; 37=Retrieval reference number; 41=Card acceptor "
                                                     "terminal identification; 42=Card acceptor identification code; 48=Additional "
                                                     "data (private); 49=Transaction currency code\n", ""},
        {{"--sep", ",", "80000000000000000000000000000001"}, "", 0, "80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 \t128\t1,128\n", ""},
        // JSON Lines with the documented members in order; options may follow the texts.
        {{"0123400000000000", "-j"}, "", 0, R"({"input":1,"display":"01 23 40 00 00 00 00 00    ","hex":"0123400000000000",)"
                                            R"("length":64,"bits":[8,11,15,16,18],"warnings":[]})" "\n", ""},
        {{"--json", "--names", "--quiet", "xyz", "80000000000000000000000000000001"}, "", 0,
         R"({"input":1,"display":")" + kClear + R"(","hex":")" + k16 + R"(","length":64,"bits":[],"names":[],"warnings":["characters )"
         R"(other than hex digits and spaces, the first \"x\" at column 1","0 hex digits, not 16 or 32"]})" "\n"
         R"({"input":2,"display":"80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 ","hex":"80000000000000000000000000000001",)"
         R"("length":128,"bits":[1,128],"names":["Secondary bitmap","Message authentication code"],"warnings":[]})" "\n", ""},
    };
    for (Case c : cases)
    {
        c.args.insert(c.args.begin(), {"decode", "-q"});
        Check(c);
    }
}

// Each way an input can fall short of a clean bitmap, in text, quiet, JSON
// and strict mode: a warning and the window's answer, or with --strict an error.
TEST(CliDecodeTest, UncleanInputIsNamedAndStrictModeRefusesIt)
{
    const CTempFile trace("trace.txt", k7238 + "\n");
    const struct
    {
        std::string text;
        std::vector<std::string> warnings;
        std::string out;
    } cases[] = {
        {k7238, {}, k7238Line},
        {"0200" + k7238, {"20 hex digits, not 16 or 32; a message type in front? --message reads it"},
         "02 00 72 38 00 01 08 C1    80 00 00 00 00 00 00 00 \t128\t7 18 19 20 23 27 28 29 48 53 57 58 64 65\n"},
        {"0x" + k7238, {"a 0x prefix: its 0 is read as a digit and shifts every bit; leave the prefix out",
                        "17 hex digits, not 16 or 32"}, "07 23 80 00 10 8C 18 00    \t64\t6 7 8 11 15 16 17 36 41 45 46 52 53\n"},
        {"bitmap=" + k7238 + " pan=41", {"characters other than hex digits and spaces, the first \"i\" at column 2",
                                         "21 hex digits, not 16 or 32"},
         "BA 72 38 00 01 08 C1 80    00 A4 10 00 00 00 00 00 \t128\t1 3 4 5 7 10 11 12 15 19 20 21 40 45 49 50 56 57 73 75 78 84\n"},
        {"hello", {"characters other than hex digits and spaces, the first \"h\" at column 1", "1 hex digit, not 16 or 32"},
         "E0 00 00 00 00 00 00 00    \t64\t1 2 3\n"},
        // Colour codes of a log: their numbers are not read as digits.
        {"\x1B[1;31m" + k7238 + "\x1B[0m", {"terminal colour codes removed"}, k7238Line},
        {k7238 + "\x1B[", {"characters other than hex digits and spaces, the first \"\\x1B\" at column 17"}, k7238Line},
        {std::string(16, '0') + " " + std::string(15, '0') + "1", {"32 digits but bit 1 is clear: no secondary bitmap is announced"},
         kClear + "00 00 00 00 00 00 00 01 \t128\t128\n"},
        {"80 00 00 00 00 00 00 00", {"bit 1 announces a secondary bitmap, but there are only 16 digits"}, kBit1},
        {"8" + std::string(39, '0'), {"40 hex digits, not 16 or 32: only the first 32 count"}, kBit1},
        {"trace.txt", {"\"trace.txt\" names a file: to read its lines, use --file", "characters other than hex digits and "
                       "spaces, the first \"t\" at column 1", "3 hex digits, not 16 or 32"},
         "AC E0 00 00 00 00 00 00    \t64\t1 3 5 6 9 10 11\n"},
    };
    for (const auto& c : cases)
    {
        const std::string warnings = Join(c.warnings, "; ", Same);
        const std::string json = "\"warnings\":[" + Join(c.warnings, ",", Json) + "]";
        const bool clean = c.warnings.empty();
        Check({{"decode", c.text}, "", 0, c.out, clean ? "" : kDecode + "warning: argument 1: " + warnings + "\n"});
        Check({{"decode", "-q", c.text}, "", 0, c.out, ""});
        const Outcome outcome = RunCli({"decode", "-jq", c.text});
        EXPECT_EQ(outcome.out.size() - json.size() - 2, outcome.out.rfind(json)) << outcome.out;
        if (clean)
            Check({{"decode", "--strict", c.text}, "", 0, c.out, ""});
        else
        {
            Check({{"decode", "--strict", "-q", c.text}, "", 1, "error: not a clean bitmap: " + warnings + "\n",
                   kDecode + "argument 1: not a clean bitmap: " + warnings + "\n"});
            Check({{"decode", "--strict", "--json", c.text}, "", 1, "{\"input\":1,\"error\":" + Json("not a clean bitmap: " +
                   warnings) + "," + json + "}\n", kDecode + "argument 1: not a clean bitmap: " + warnings + "\n"});
        }
    }
}

TEST(CliDecodeTest, WholeMessagesAndEncodings)
{
    const std::string tail = "0000000000000001";
    const std::string ascii = "37323338303030313038433138303030";
    const std::string both = "0200\t" + k1And128;
    const Case cases[] = {
        {{"--message", "0200" + k7238 + "3132"}, "", 0, "0200\t" + k7238Line, ""},
        {{"--message", "0200 8000000000000000 " + tail + " 99"}, "", 0, both, ""},
        {{"--message", "--header", "2", "6000 0200 8000000000000000" + tail}, "", 0, both, ""},
        {{"--message", "--header=2", "-j", "60000200" + k7238}, "", 0, R"({"input":1,"mti":"0200","display":"72 38 00 01 08 C1 80 00    ",)"
         R"("hex":"7238000108C18000","length":64,"bits":[2,3,4,7,11,12,13,32,37,41,42,48,49],"warnings":[]})" "\n", ""},
        // Too short for the bitmaps bit 1 announces; a message type that is no number.
        {{"--message", "02008000000000000000" + tail.substr(8)}, "", 1, "error: message too short: 28 hex digits, where the message type "
         "and both bitmaps need 36\n", kDecode + "argument 1: message too short: 28 hex digits, where the message type and both bitmaps need 36\n"},
        {{"--message", "-q", "--header=4", "0200" + k7238}, "", 1, "error: message too short: 20 hex digits, where the header, "
         "the message type and primary bitmap need 28\n", kDecode + "argument 1: message too short: 20 hex digits, where the header, "
         "the message type and primary bitmap need 28\n"},
        {{"--message", "F200" + k7238}, "", 0, "F200\t" + k7238Line, kDecode + "warning: argument 1: message type \"F200\" is not four decimal digits\n"},
        // The digits' ASCII or EBCDIC codes in hex, as many hosts log them.
        {{"--from", "ascii-hex", ascii}, "", 0, k7238Line, ""},
        {{"--from=ebcdic-hex", "F7F2F3F8 F0F0F0F1 F0F88381 F8F0F0F0"}, "", 0, "72 38 00 01 08 CA 80 00    \t64\t2 3 4 7 11 12 13 32 37 41 42 45 47 49\n", ""},
        {{"--from=ebcdic-hex", "F7F2F3F84BF0F0F0F1F0F8C3F1F8F0F0F0"}, "", 0, k7238Line,
         kDecode + "warning: argument 1: byte 4B is no EBCDIC hex digit or space: dropped\n"},
        {{"--from=ascii-hex", "3732333x"}, "", 0, "72 30 00 00 00 00 00 00    \t64\t2 3 4 7 11 12\n", kDecode + "warning: argument 1: characters "
         "other than hex digits and spaces in the encoded text, the first \"x\" at column 8; an odd number of encoded digits: the last "
         "one is dropped; 3 hex digits, not 16 or 32\n"},
        {{"--message", "--from=ascii-hex", "30323030" + ascii}, "", 0, "0200\t" + k7238Line, ""},
        // Raw bitmaps, their length from bit 1, one after another; the last one cut short.
        {{"--from=binary", "-j"}, "\x80" + std::string(14, '\0') + "\x01\x72\x38", 1,
         "{\"input\":1,\"display\":\"" + k1And128.substr(0, 51) + "\",\"hex\":\"8000000000000000" + tail +
         "\",\"length\":128,\"bits\":[1,128],\"warnings\":[]}\n{\"input\":2,\"error\":\"the input ends inside a bitmap of 8 bytes, after 2\"}\n",
         kDecode + "bitmap 2: the input ends inside a bitmap of 8 bytes, after 2\n"},
    };
    for (Case c : cases)
    {
        c.args.insert(c.args.begin(), "decode");
        Check(c);
    }
}

TEST(CliDecodeTest, FilesAndStandardInputInCommandLineOrder)
{
    const CTempFile lines("lines.txt", "80\r\n\n" + k7238);
    const CTempFile raw("raw.bin", std::string("\x01\0\0\0\0\0\0\0", 8));
    const std::string empty = "error: " + kEmpty + "\n";
    const Case cases[] = {
        {{"-f", "lines.txt", "-", "01", "--file=lines.txt"}, "01\n", 1,
         kBit1 + empty + k7238Line + kBit8 + kBit8 + kBit1 + empty + k7238Line,
         kDecode + "warning: lines.txt line 1: 2 hex digits, not 16 or 32\n" + kDecode + "lines.txt line 2: " + kEmpty + "\n" +
             kDecode + "warning: line 1: 2 hex digits, not 16 or 32\n" + kDecode + "warning: argument 1: 2 hex digits, not 16 or 32\n" +
             kDecode + "warning: lines.txt line 1: 2 hex digits, not 16 or 32\n" + kDecode + "lines.txt line 2: " + kEmpty + "\n"},
        {{"-jqflines.txt"}, "", 1, "{\"input\":1,\"file\":\"lines.txt\",\"display\":\"80 00 00 00 00 00 00 00    \",\"hex\":\"8000000000000000\","
         "\"length\":64,\"bits\":[1],\"warnings\":[\"2 hex digits, not 16 or 32\"]}\n{\"input\":2,\"file\":\"lines.txt\",\"error\":\"" + kEmpty +
         "\"}\n{\"input\":3,\"file\":\"lines.txt\",\"display\":\"72 38 00 01 08 C1 80 00    \",\"hex\":\"" + k7238 + "\",\"length\":64,"
         "\"bits\":[2,3,4,7,11,12,13,32,37,41,42,48,49],\"warnings\":[]}\n", kDecode + "lines.txt line 2: " + kEmpty + "\n"},
        {{"--from", "binary", "--file", "raw.bin", "-"}, std::string(7, '\0'), 1, kBit8 + "error: the input ends inside a bitmap of 8 bytes, after 7\n",
         kDecode + "bitmap 1: the input ends inside a bitmap of 8 bytes, after 7\n"},
        // A file that cannot be read is named with the reason, and the rest still done.
        {{"-f", "missing.txt", "-f", ".", "80 00 00 00 00 00 00 01"}, "", 1, "80 00 00 00 00 00 00 01    \t64\t1 64\n",
         kDecode + "cannot open missing.txt: No such file or directory\n" + kDecode + "cannot open .: Is a directory\n" + kDecode +
             "warning: argument 1: bit 1 announces a secondary bitmap, but there are only 16 digits\n"},
    };
    for (const Case& c : cases)
    {
        std::vector<std::string> args = {"decode"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        Check({args, c.input, c.status, c.out, c.err});
    }
}

TEST(CliDecodeTest, ElementNamesNeedNoEscaping)
{
    // Decode writes the names of both languages into JSON strings and "; "-separated fields as they are.
    for (std::uint32_t bit = 1; bit <= 128; ++bit)
    {
        for (const std::string name : {DataElementName(bit), DataElementNameZh(bit)})
            EXPECT_EQ(name.end(), std::find_if(name.begin(), name.end(), [](char c) {
                          return (c >= 0 && c < 0x20) || c == 0x7F || c == '"' || c == '\\' || c == ';' || c == '\t';
                      })) << bit << " " << name;
    }
    EXPECT_EQ("C0 00 00 00 00 00 00 00    \t64\t1 2\t1=\xE7\xAC\xAC\xE4\xBA\x8C\xE4\xBD\x8D\xE5\x9B\xBE; 2=\xE4\xB8\xBB\xE8\xB4\xA6\xE5\x8F\xB7\n",
              RunCli({"decode", "--names=zh", "C0 00 00 00 00 00 00 00"}).out);
    EXPECT_EQ(R"({"input":1,"display":"40 00 00 00 00 00 00 00    ","hex":"4000000000000000","length":64,"bits":[2],)"
              "\"names\":[\"\xE4\xB8\xBB\xE8\xB4\xA6\xE5\x8F\xB7\"],\"warnings\":[]}\n",
              RunCli({"decode", "-j", "--names=zh", "4000000000000000"}).out);
}

TEST(CliStatusTest, BadInputIsNamedAndTheRestStillDone)
{
    const std::string encode = "orvane-cli encode: ";
    const std::string outside = ": bit number outside 1..128\n";
    const std::string tryDecode = "Try 'orvane-cli decode --help'.\n";
    const std::string tryEncode = "Try 'orvane-cli encode --help'.\n";
    const Case cases[] = {
        // Arguments win over standard input; each input has its line, the bad ones their error.
        {{"decode", "-q", "80", "", "01"}, "01\n", 1, kBit1 + "error: " + kEmpty + "\n" + kBit8, kDecode + "argument 2: " + kEmpty + "\n"},
        {{"decode", "--json", "--quiet"}, "\n80", 1, "{\"input\":1,\"error\":\"" + kEmpty + "\"}\n{\"input\":2,\"display\":\"80 00 00 00 00 00 00 00    \","
         "\"hex\":\"8000000000000000\",\"length\":64,\"bits\":[1],\"warnings\":[\"2 hex digits, not 16 or 32\"]}\n",
         kDecode + "line 1: " + kEmpty + "\n"},
        {{"encode", "2", "3", "4", "007", "11"}, "", 0, "7220000000000000\n", ""},
        // Bit 1 alone makes no secondary bitmap; a bit of 65..128 does.
        {{"encode", "1"}, "", 0, "8000000000000000\n", ""},
        {{"encode", "70"}, "", 0, "00000000000000000400000000000000\n", ""},
        {{"encode", "70", "-a"}, "", 0, "80000000000000000400000000000000\n", ""},
        {{"encode", "--auto-first", "64"}, "", 0, "0000000000000001\n", ""},
        {{"encode", "-d", "1", "128"}, "", 0, "80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 \n", ""},
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
        {{"decode", "--from=octal"}, "", 2, "", kDecode + "invalid value \"octal\" for --from: hex, ascii-hex, ebcdic-hex or binary\n" + tryDecode},
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
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(CliStatusTest, BrokenStreamsEndWithStatusOneAndTheReason)
{
    // A failed read or a full disk must not pass for success, and nothing may escape Run().
    const struct
    {
        std::vector<std::string> args;
        long long end;
        int outError;
        std::string err;
    } cases[] = {
        {{"decode"}, -EIO, 0, kDecode + "cannot read standard input: " + std::strerror(EIO) + "\n"},
        {{"decode"}, 1, 0, "orvane-cli: out of memory\n"},
        {{"decode"}, 0, ENOSPC, kDecode + "cannot write standard output: " + std::strerror(ENOSPC) + "\n"},
        {{"decode", k7238}, 0, EPIPE, kDecode + "cannot write standard output: " + std::strerror(EPIPE) + "\n"},
        {{"encode", "1"}, 0, ENOSPC, std::string("orvane-cli encode: cannot write standard output: ") + std::strerror(ENOSPC) + "\n"},
    };
    for (const auto& c : cases)
    {
        Feed feed{"7238000108C18000\n"};
        feed.end = c.end;
        feed.outError = c.outError;
        const Outcome outcome = RunCli(c.args, feed);
        EXPECT_EQ(cli::kExitBadInput, outcome.status) << c.err;
        EXPECT_EQ(c.err, outcome.err);
    }
}

TEST(CliStreamTest, LinesComeOutLineForLineHoweverTheReadsSplitThem)
{
    // LF and CR LF lines, empty ones, one over the limit, one exactly at it,
    // then a long good run (more than one output buffer) and a last line
    // without LF: one line out for each line in.
    const std::string line = kDecode + "line ";
    std::string input;
    std::string out;
    std::string err;
    for (int n = 1; n <= 3000; ++n)
    {
        if (n == 100 || n == 200)
        {
            input += "\r\n";
            out += "error: " + kEmpty + "\n";
            err += line + std::to_string(n) + ": " + kEmpty + "\n";
        }
        else if (n == 300)
        {
            input += std::string(41, '1') + "\n";
            out += "error: line longer than 40 bytes\n";
            err += line + "300: line longer than 40 bytes\n";
        }
        else
        {
            input += n == 301 ? "8" + std::string(31, '0') + " 0000000\r\n" : n % 2 != 0 ? "80000000 80000001\r\n" : "0100000000000000\n";
            out += n == 301 ? kBit1 : n % 2 == 0 ? kBit8 : "80 00 00 00 80 00 00 01    \t64\t1 33 64\n";
        }
    }
    input += "0100000000000000";
    for (const std::size_t piece : {1, 7, 4096, 1 << 20})
    {
        Feed feed{input, piece};
        feed.maxLine = 40;
        const Outcome outcome = RunCli({"decode", "--quiet"}, feed);
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
