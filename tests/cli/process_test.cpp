// The built program: what main() adds to Run() is the real standard streams
// (untranslated bytes on Windows too), the exit status and the platform's
// lead-byte rule.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include "lead_bytes.h"

#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace
{

struct Result
{
    int status;
    std::string out, err;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

#ifdef _WIN32
// The program lies beside this test's folder, known only at run time as a Windows path.
std::string ProgramPath()
{
    char path[MAX_PATH];
    std::string dir(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    std::string program = dir.substr(0, dir.find_last_of("\\/") + 1) + ORVANE_CLI_RELATIVE;
    for (char& c : program)
        c = c == '/' ? '\\' : c;
    return program;
}
const std::string kFiles = testing::TempDir() + "orvane_cli_" + std::to_string(GetCurrentProcessId());
// cmd /c drops the outer pair of quotes.
const std::string kCommand = "\"\"" + ProgramPath() + "\"";
const char kQuote = '"';
#else
const std::string kFiles = testing::TempDir() + "orvane_cli_" + std::to_string(getpid());
const std::string kCommand = "'" ORVANE_CLI_PATH "'";
const char kQuote = '\'';
#endif

// Through the shell, with the streams in temporary files (or standard
// output into another, or standard error into standard output's); no
// argument here holds a quote.
Result RunProgram(const std::vector<std::string>& args, const std::string& input, const std::string& out, bool merged)
{
    std::ofstream(kFiles + ".in", std::ios::binary) << input;
    std::string command = kCommand;
    for (const std::string& arg : args)
        command += ' ' + (kQuote + arg + kQuote);
    const auto file = [](const char* suffix) { return kQuote + kFiles + suffix + kQuote; };
    command += " <" + file(".in") + " >" + (out.empty() ? file(".out") : out) + " 2>" + (merged ? "&1" : file(".err"));
#ifdef _WIN32
    const int status = std::system((command + '"').c_str());
#else
    const int code = std::system(command.c_str());
    const int status = WIFEXITED(code) ? WEXITSTATUS(code) : -1;
#endif
    Result result{status, ReadFile(kFiles + ".out"), ReadFile(kFiles + ".err")};
    for (const char* suffix : {".in", ".out", ".err"})
        std::remove((kFiles + suffix).c_str());
    return result;
}

#ifdef _WIN32
// Arguments follow the ANSI code page, standard input the console's; under a
// double-byte one, 81 41 is one character and its "A" no digit.
const std::string kText = "\x81\x41" "2";
std::string Decoded(unsigned codePage)
{
    return IsDBCSLeadByteEx(codePage, 0x81) ? "20 00 00 00 00 00 00 00    \t64\t3\n"
                                            : "A2 00 00 00 00 00 00 00    \t64\t1 3 7\n";
}
const std::string kArgument = Decoded(cli::ArgumentCodePage());
const std::string kLine = Decoded(cli::InputCodePage());
#else
// Linux text is UTF-8: the digit after "位" (E4 BD 8D) stays.
const std::string kText = "\xE4\xBD\x8D" "1";
const std::string kArgument = "10 00 00 00 00 00 00 00    \t64\t4\n";
const std::string kLine = kArgument;
#endif

const std::string kBit1 = "80 00 00 00 00 00 00 00    \t64\t1\n";
const std::string kBit8 = "01 00 00 00 00 00 00 00    \t64\t8\n";

} // namespace

TEST(CliProcessTest, ExitStatusStreamsFilesAndTextRule)
{
    const std::string empty = "orvane-cli decode: line 2: the bitmap text is empty\n", warning = "orvane-cli decode: warning: argument ";
    const struct
    {
        std::vector<std::string> args;
        std::string input;
        int status;
        std::string out, err, outFile;
        bool merged;
    } cases[] = {
        {{"decode", "-q", kText}, "", 0, kArgument, "", "", false},
        // With 2>&1 each message follows the line of its input.
        {{"decode", "80", "", "01"}, "", 1, kBit1 + warning + "1: 2 hex digits, not 16 or 32\nerror: the bitmap text is empty\n" +
         "orvane-cli decode: argument 2: the bitmap text is empty\n" + kBit8 + warning + "3: 2 hex digits, not 16 or 32\n", "", "", true},
        {{"decode", "-q"}, kText + "\n", 0, kLine, "", "", false},
        // A Ctrl+Z byte ends no input, and LF goes out as LF; "-" is standard input.
        {{"decode", "-q", "-"}, "80\r\n\n\x1A" "01\n", 1, kBit1 + "error: the bitmap text is empty\n" + kBit8, empty, "", false},
        {{"decode", "--bogus"}, "80\n", 2, "", "orvane-cli decode: unknown option \"--bogus\"\nTry 'orvane-cli decode --help'.\n", "", false},
#ifndef _WIN32
        {{"decode", "7238000108C18000"}, "", 1, "", "orvane-cli decode: cannot write standard output: No space left on device\n", "/dev/full", false},
#endif
    };
    for (const auto& c : cases)
    {
        const Result result = RunProgram(c.args, c.input, c.outFile, c.merged);
        EXPECT_EQ(c.status, result.status) << c.args.back();
        EXPECT_EQ(c.out, result.out) << c.args.back();
        EXPECT_EQ(c.err, result.err) << c.args.back();
    }
}
