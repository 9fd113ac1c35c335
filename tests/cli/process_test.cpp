// The built orvane-cli program itself: what main() adds to the library is
// the real standard streams, the exit status and the platform's text rules.
#include "cli_test_support.h"
#include "json_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "lead_bytes.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace
{

struct ProcessResult
{
    int status = -1;
    std::string out;
    std::string err;
};

// The program's standard streams are files in the temporary folder, named
// after this process so that parallel runs keep apart.
std::string TempPath(const char* name)
{
#ifdef _WIN32
    char folder[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    const std::string dir = length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string(".\\");
    return dir + "orvane_cli_" + std::to_string(GetCurrentProcessId()) + "_" + name;
#else
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/orvane_cli_" +
           std::to_string(getpid()) + "_" + name;
#endif
}

const std::string kInFile = TempPath("in.txt");
const std::string kOutFile = TempPath("out.txt");
const std::string kErrFile = TempPath("err.txt");

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

std::string ReadFile(const std::string& path)
{
    std::string text;
    {
        std::ifstream file(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::remove(path.c_str());
    return text;
}

#ifdef _WIN32

// The program sits in the build tree's cli folder; this test's own folder
// is known only at run time, as a Windows path.
std::string ProgramPath()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    dir.erase(dir.find_last_of("\\/") + 1);
    std::string relative = ORVANE_CLI_RELATIVE;
    for (char& c : relative)
        c = c == '/' ? '\\' : c;
    return dir + relative;
}

// The quoting the C runtime undoes when it splits the command line.
std::string QuoteArgument(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos)
        return arg;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg)
    {
        if (c == '\\')
        {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

HANDLE OpenInherited(const char* path, bool write)
{
    SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
    return CreateFileA(path, write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

ProcessResult RunProgram(const std::vector<std::string>& args, const std::string& input = std::string())
{
    WriteFile(kInFile, input);
    const std::string program = ProgramPath();
    std::string commandLine = QuoteArgument(program);
    for (const std::string& arg : args)
        commandLine += " " + QuoteArgument(arg);

    HANDLE in = OpenInherited(kInFile.c_str(), false);
    HANDLE out = OpenInherited(kOutFile.c_str(), true);
    HANDLE err = OpenInherited(kErrFile.c_str(), true);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    ProcessResult result;
    if (CreateProcessA(program.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process))
    {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    result.out = ReadFile(kOutFile);
    result.err = ReadFile(kErrFile);
    std::remove(kInFile.c_str());
    return result;
}

#else

ProcessResult RunProgram(const std::vector<std::string>& args, const std::string& input = std::string())
{
    WriteFile(kInFile, input);
    std::vector<std::string> argv = {ORVANE_CLI_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv)
        pointers.push_back(&arg[0]);
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, kInFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, kOutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, kErrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ProcessResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) == 0)
    {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid)
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = ReadFile(kOutFile);
    result.err = ReadFile(kErrFile);
    std::remove(kInFile.c_str());
    return result;
}

#endif

std::string Line(const std::string& display, int length, const BitList& bits)
{
    return display + "\t" + std::to_string(length) + "\t" + JoinBits(bits, " ") + "\n";
}

const std::string kBit1 = Line("80 00 00 00 00 00 00 00    ", 64, {1});
const std::string kBit8 = Line("01 00 00 00 00 00 00 00    ", 64, {8});

} // namespace

TEST(CliProcessTest, ExitStatusIsZeroOneOrTwo)
{
    const ProcessResult good = RunProgram({"decode", "80"});
    EXPECT_EQ(0, good.status);
    EXPECT_EQ(kBit1, good.out);
    EXPECT_EQ("", good.err);

    const ProcessResult empty = RunProgram({"decode", "80", ""});
    EXPECT_EQ(1, empty.status);
    EXPECT_EQ(kBit1, empty.out);
    EXPECT_NE(std::string::npos, empty.err.find("argument 2")) << empty.err;

    const ProcessResult bitOutOfRange = RunProgram({"encode", "3", "129"});
    EXPECT_EQ(1, bitOutOfRange.status);
    EXPECT_EQ("2000000000000000\n", bitOutOfRange.out);
    EXPECT_NE(std::string::npos, bitOutOfRange.err.find("\"129\"")) << bitOutOfRange.err;

    const ProcessResult notANumber = RunProgram({"encode", "three"});
    EXPECT_EQ(1, notANumber.status);
    EXPECT_NE(std::string::npos, notANumber.err.find("not a bit number")) << notANumber.err;

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {"decode", "--bogus"}, {"encode"}, {"nonsense"}})
    {
        const ProcessResult usage = RunProgram(args);
        EXPECT_EQ(2, usage.status);
        EXPECT_EQ("", usage.out);
        EXPECT_NE(std::string::npos, usage.err.find("orvane-cli")) << usage.err;
    }

    const ProcessResult help = RunProgram({"decode", "--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_EQ(0u, help.out.find("Usage: orvane-cli decode")) << help.out;
}

TEST(CliProcessTest, StandardInputLinesAreDecodedOneByOne)
{
    // Bytes pass untranslated on every platform: CR LF and LF lines alike.
    const ProcessResult result = RunProgram({"decode"}, "80\r\n\n01\n80000000000000000000000000000001");
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(kBit1 + kBit8 + Line("80 00 00 00 00 00 00 00    00 00 00 00 00 00 00 01 ", 128, {1, 128}),
              result.out);
    EXPECT_EQ("orvane-cli decode: line 2: the bitmap text is empty; enter the bitmap as hex digits\n", result.err);
}

TEST(CliProcessTest, JsonLinesFromStandardInput)
{
    std::string input;
    for (int i = 0; i < 2000; ++i)
        input += i % 500 == 499 ? "\n" : std::to_string(i) + "A" + std::to_string(i * 977) + "\n";
    const ProcessResult result = RunProgram({"decode", "--json", "--names", "--auto-first"}, input);
    EXPECT_EQ(1, result.status);
    const std::vector<std::string> lines = SplitLines(result.out);
    ASSERT_EQ(2000u, lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        JsonValue value;
        ASSERT_TRUE(CJsonReader::Parse(lines[i], value)) << lines[i];
        ASSERT_EQ(std::to_string(i + 1), value.Find("input")->number);
        if (i % 500 == 499)
            continue;
        const std::string hex = value.Find("hex")->text;
        EXPECT_EQ(Grouped(hex), value.Find("display")->text);
        EXPECT_EQ(std::to_string(hex.size() * 4), value.Find("length")->number);
    }
    EXPECT_EQ(4u, SplitLines(result.err).size());
}

TEST(CliProcessTest, EncodeOutputDecodesBack)
{
    const ProcessResult encoded = RunProgram({"encode", "--display", "2", "3", "4", "7", "65", "128"});
    EXPECT_EQ(0, encoded.status);
    EXPECT_EQ("72 00 00 00 00 00 00 00    80 00 00 00 00 00 00 01 \n", encoded.out);
    const ProcessResult decoded = RunProgram({"decode"}, encoded.out);
    EXPECT_EQ(Line("72 00 00 00 00 00 00 00    80 00 00 00 00 00 00 01 ", 128, {2, 3, 4, 7, 65, 128}), decoded.out);
}

#ifdef _WIN32

TEST(CliProcessTest, WindowsRulesFollowTheCodePages)
{
    const cli::LeadByteRules rules = cli::PlatformLeadByteRules();
    const UINT console = GetConsoleCP();
    EXPECT_EQ(console != 0 ? console : GetACP(), cli::InputCodePage());
    EXPECT_EQ(GetACP(), cli::ArgumentCodePage());
    for (unsigned byte = 0; byte < 256; ++byte)
    {
        const auto b = static_cast<BYTE>(byte);
        EXPECT_EQ(IsDBCSLeadByteEx(cli::InputCodePage(), b) != FALSE, rules.input(b)) << byte;
        EXPECT_EQ(IsDBCSLeadByteEx(cli::ArgumentCodePage(), b) != FALSE, rules.arguments(b)) << byte;
    }
}

TEST(CliProcessTest, WindowsArgumentsDropDoubleByteCharactersWhole)
{
    // 0x81 0x41 is one GBK character whose trail byte is the letter A; a
    // single-byte code page keeps the A as a digit.
    const bool dbcs = IsDBCSLeadByteEx(GetACP(), 0x81) != FALSE;
    const ProcessResult result = RunProgram({"decode", "\x81\x41" "2"});
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(dbcs ? Line("20 00 00 00 00 00 00 00    ", 64, {3}) : Line("A2 00 00 00 00 00 00 00    ", 64, {1, 3, 7}),
              result.out)
        << "ANSI code page " << GetACP();
}

TEST(CliProcessTest, WindowsStandardInputFollowsTheConsoleCodePage)
{
    // The program and this test share the console, or both have none.
    const bool dbcs = IsDBCSLeadByteEx(cli::InputCodePage(), 0x81) != FALSE;
    const ProcessResult result = RunProgram({"decode"}, "\x81\x41" "2\n");
    EXPECT_EQ(0, result.status);
    EXPECT_EQ(dbcs ? Line("20 00 00 00 00 00 00 00    ", 64, {3}) : Line("A2 00 00 00 00 00 00 00    ", 64, {1, 3, 7}),
              result.out)
        << "input code page " << cli::InputCodePage();
}

#else

TEST(CliProcessTest, LinuxTakesUtf8AndKeepsTheDigitAfterAMultibyteCharacter)
{
    // "位" is E4 BD 8D in UTF-8; "位图" is E4 BD 8D E5 9B BE.
    const std::string expected = Line("10 00 00 00 00 00 00 00    ", 64, {4});
    const ProcessResult argument = RunProgram({"decode", "\xE4\xBD\x8D" "1"});
    EXPECT_EQ(expected, argument.out);
    // "位图" before the digits, "位" between them.
    const ProcessResult line = RunProgram({"decode"}, "\xE4\xBD\x8D\xE5\x9B\xBE" "8\xE4\xBD\x8D" "1\n");
    EXPECT_EQ(Line("81 00 00 00 00 00 00 00    ", 64, {1, 8}), line.out);
    EXPECT_EQ(0, line.status);
}

#endif
