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
struct FakeKey { std::string value; LONG query = ERROR_SUCCESS; };

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

class UrlLauncher : public ::testing::Test
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

TEST_F(UrlLauncher, OpenUrlRunsTheShellOrTheHtmCommandCutAtItsPlaceholder)
{
    const std::string p258(258, 'p'), u253 = "mailto:" + std::string(253, 'u'), u254 = u253 + "v";
    // ShellExecuteA's result; the class of .htm files and its open command
    // ("" for no key) and how reading it goes; the result, the line run.
    struct Case { const char* what; const char* url; INT_PTR shell; std::string htm, command; LONG query; int result;
                  std::string line; };
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

} // namespace
