#include "url_launcher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{

const std::string kUrl = "mailto:orvane-dev@example.org";
const char kClass[] = "OrvaneTest.Page";
constexpr LONG kNoZero = -1; // the read succeeds but leaves out the string's zero
constexpr int kShow = SW_SHOWMINNOACTIVE;
using Calls = std::vector<std::string>;

// A shell and registry of the test's own behind the launcher's seam. Keys are
// found by name; the handle of a key is its FakeKey's address.
struct FakeKey
{
    std::string value;
    LONG query = ERROR_SUCCESS;
};

struct Fake
{
    HINSTANCE shellResult = nullptr;
    int opened = 0, openHandles = 0;
    std::map<std::string, FakeKey> keys;
    Calls shells, lines; // the files given to the shell, the command lines run
} g;

// Each call records what it got, and whether the show command came along.
std::string Got(const char* what, int show)
{
    return what + std::string(show == kShow ? "" : " (wrong show)");
}

HINSTANCE WINAPI FakeShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT show)
{
    g.shells.push_back(Got(file, show));
    return g.shellResult;
}

// A program named missing.exe cannot be started: WinExec's own error.
UINT WINAPI FakeWinExec(LPCSTR line, UINT show)
{
    g.lines.push_back(Got(line, static_cast<int>(show)));
    return std::strstr(line, "missing.exe") ? ERROR_PATH_NOT_FOUND : 33;
}

LSTATUS WINAPI FakeRegOpenKeyEx(HKEY root, LPCSTR subKey, DWORD, REGSAM, PHKEY key)
{
    ++g.opened;
    const auto found = g.keys.find(subKey);
    if (root != HKEY_CLASSES_ROOT || found == g.keys.end())
        return ERROR_FILE_NOT_FOUND;
    *key = reinterpret_cast<HKEY>(&found->second);
    ++g.openHandles;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI FakeRegQueryValue(HKEY handle, LPCSTR, LPSTR data, PLONG size)
{
    const FakeKey& key = *reinterpret_cast<const FakeKey*>(handle);
    // Junk first: whatever the launcher may not use is visibly not the value.
    std::memset(data, '#', static_cast<std::size_t>(*size));
    if (key.query != ERROR_SUCCESS && key.query != kNoZero)
        return key.query;
    const LONG needed = static_cast<LONG>(key.value.size()) + (key.query == kNoZero ? 0 : 1);
    if (needed > *size)
        return *size = needed, ERROR_MORE_DATA;
    std::memcpy(data, key.value.c_str(), static_cast<std::size_t>(needed));
    *size = needed;
    return ERROR_SUCCESS;
}

class UrlLauncherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g = Fake{};
        const auto close = [](HKEY) -> LSTATUS { return --g.openHandles, ERROR_SUCCESS; };
        m_previous = SetUrlLauncherApi({FakeShellExecute, FakeWinExec, FakeRegOpenKeyEx, FakeRegQueryValue, close});
    }
    void TearDown() override { SetUrlLauncherApi(m_previous); }

    UrlLauncherApi m_previous;
};

TEST_F(UrlLauncherTest, OpenUrlRunsTheShellOrTheHtmCommandCutAtItsPlaceholder)
{
    const std::string p258(258, 'p'), u253 = "mailto:" + std::string(253, 'u'), u254 = u253 + "v";
    struct Case
    {
        const char* what;
        const char* url;
        INT_PTR shell;       // ShellExecuteA's result
        std::string htm;     // the class of .htm files; "" for no key
        std::string command; // the class's open command; "" for no key
        LONG query;          // how reading the command goes
        int result;
        std::string line;    // the command line run; "" for none
    };
    const Case cases[] = {
        {"no url", nullptr, 0, kClass, "m.exe", 0, 36, ""},
        {"empty url", "", 0, kClass, "m.exe", 0, 36, ""},
        {"shell success", kUrl.c_str(), 42, kClass, "m.exe", 0, 42, ""},
        {"success tested unsigned", kUrl.c_str(), -5, kClass, "m.exe", 0, -5, ""},
        {"32 fails", kUrl.c_str(), 32, kClass, "\"C:\\A B\\m.exe\" \"%1\"", 0, 33, "\"C:\\A B\\m.exe\"  " + kUrl},
        {"no placeholder", kUrl.c_str(), 0, kClass, "m.exe -compose", 0, 33, "m.exe -compose " + kUrl},
        {"bare placeholder, args dropped", kUrl.c_str(), 2, kClass, "m.exe -to=%1 -new", 0, 33, "m.exe -to= " + kUrl},
        {"quoted beats earlier bare", kUrl.c_str(), 2, kClass, "m.exe %1 -q \"%1\" -n", 0, 33, "m.exe %1 -q  " + kUrl},
        {"WinExec's own error", kUrl.c_str(), 2, kClass, "missing.exe \"%1\"", 0, 3, "missing.exe  " + kUrl},
        {"no .htm key", kUrl.c_str(), SE_ERR_ACCESSDENIED, "", "m.exe", 0, SE_ERR_ACCESSDENIED, ""},
        {"no open command", kUrl.c_str(), SE_ERR_NOASSOC, kClass, "", 0, SE_ERR_NOASSOC, ""},
        {"class of 260 bytes", kUrl.c_str(), 2, std::string(260, 'c'), "m.exe", 0, 2, ""},
        {"command of 300 bytes", kUrl.c_str(), 2, kClass, "m.exe " + std::string(294, 'x'), 0, 2, ""},
        {"command read failing", kUrl.c_str(), 2, kClass, "m.exe %1", ERROR_ACCESS_DENIED, 2, ""},
        {"command without its zero", kUrl.c_str(), 2, kClass, std::string(260, 'm'), kNoZero, 2, ""},
        {"519 characters run whole", u253.c_str(), 2, kClass, p258, 0, 33, p258 + " " + u253},
        {"520 characters never run", u254.c_str(), 2, kClass, p258, 0, 2, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        g = Fake{};
        g.shellResult = reinterpret_cast<HINSTANCE>(c.shell);
        if (!c.htm.empty())
            g.keys[".htm"] = {c.htm};
        if (!c.command.empty())
            g.keys[c.htm + "\\shell\\open\\command"] = {c.command, c.query};
        EXPECT_EQ(OpenUrl(c.url, kShow), c.result);
        EXPECT_EQ(g.lines, c.line.empty() ? Calls{} : Calls{c.line});
        const bool asked = c.url != nullptr && *c.url != '\0';
        EXPECT_EQ(g.shells, asked ? Calls{c.url} : Calls{});
        // The registry is read only when the shell failed (success tested unsigned).
        EXPECT_EQ(g.opened > 0, asked && static_cast<UINT>(c.shell) <= 32);
        EXPECT_EQ(g.openHandles, 0) << "every key opened is closed";
    }
}

// Real keys in the test prefix's HKEY_CLASSES_ROOT; the shell and WinExec stay
// fakes, as the real ones would start a mail client.
TEST_F(UrlLauncherTest, RealRegistryKeysGiveTheCommandLine)
{
    SetUrlLauncherApi({FakeShellExecute, FakeWinExec});
    char saved[MAX_PATH] = {};
    LONG savedSize = sizeof saved;
    const bool existed = ::RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", saved, &savedSize) == ERROR_SUCCESS;
    const auto setDefault = [](const std::string& key, const std::string& value) {
        EXPECT_EQ(::RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), 0), ERROR_SUCCESS);
    };

    setDefault(".htm", kClass);
    setDefault(std::string(kClass) + "\\shell\\open\\command", "\"C:\\A B\\m.exe\" -c \"%1\" --new");
    g.shellResult = reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    EXPECT_EQ(OpenUrl(kUrl.c_str(), kShow), 33);
    EXPECT_EQ(g.lines, Calls{"\"C:\\A B\\m.exe\" -c  " + kUrl});

    // The real RegQueryValueA refuses 260 bytes as the fake does, and the
    // buffer keeps what it had; 259 bytes and the zero fit.
    char buffer[MAX_PATH] = "untouched";
    setDefault(".htm", std::string(260, 'b'));
    EXPECT_NE(ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", buffer), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "untouched");
    setDefault(".htm", std::string(259, 'a'));
    EXPECT_EQ(ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", buffer), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer), std::string(259, 'a'));

    ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kClass);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClass);
    if (existed)
        ::RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, saved, 0);
    else
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm"), ::RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
}

} // namespace
