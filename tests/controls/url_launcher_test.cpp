#include "url_launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

const char kUrl[] = "mailto:orvane-dev@example.org";
const char kClass[] = "OrvaneTest.Page";
const char kCommandKey[] = "OrvaneTest.Page\\shell\\open\\command";

// ---------------------------------------------------------------------------
// A shell and registry of the test's own, behind the launcher's seam.

struct FakeKey
{
    std::string value;
    LONG queryStatus = ERROR_SUCCESS;
    bool terminated = true;
};

struct FakeSystem
{
    HINSTANCE shellResult = nullptr;
    int shellCalls = 0;
    HWND shellOwner = reinterpret_cast<HWND>(1);
    std::string shellVerb;
    std::string shellFile;
    bool shellParametersNull = false;
    bool shellDirectoryNull = false;
    INT shellShow = -1;

    std::map<std::string, FakeKey> keys;
    std::vector<std::string> openedKeys;
    std::vector<std::string> handleKeys; // the key of handle 0x4000 + index + 1
    int openHandles = 0;
    int queries = 0;
    std::vector<std::string> misuses;

    UINT winExecResult = 33;
    std::vector<std::string> commandLines;
    std::vector<UINT> winExecShows;
};

FakeSystem* g_fake = nullptr;

HINSTANCE WINAPI FakeShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                  LPCSTR directory, INT show)
{
    ++g_fake->shellCalls;
    g_fake->shellOwner = owner;
    g_fake->shellVerb = verb ? verb : "(null)";
    g_fake->shellFile = file ? file : "(null)";
    g_fake->shellParametersNull = parameters == nullptr;
    g_fake->shellDirectoryNull = directory == nullptr;
    g_fake->shellShow = show;
    return g_fake->shellResult;
}

UINT WINAPI FakeWinExec(LPCSTR commandLine, UINT show)
{
    g_fake->commandLines.push_back(commandLine);
    g_fake->winExecShows.push_back(show);
    return g_fake->winExecResult;
}

HKEY FakeHandle(std::size_t index)
{
    return reinterpret_cast<HKEY>(static_cast<UINT_PTR>(0x4000 + index));
}

LSTATUS WINAPI FakeRegOpenKeyEx(HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key)
{
    g_fake->openedKeys.push_back(subKey);
    if (root != HKEY_CLASSES_ROOT || options != 0 || access != KEY_QUERY_VALUE)
        g_fake->misuses.push_back(std::string("open ") + subKey);
    const auto found = g_fake->keys.find(subKey);
    if (found == g_fake->keys.end())
        return ERROR_FILE_NOT_FOUND;
    g_fake->handleKeys.push_back(subKey);
    *key = FakeHandle(g_fake->handleKeys.size());
    ++g_fake->openHandles;
    return ERROR_SUCCESS;
}

const FakeKey* KeyOf(HKEY handle)
{
    const auto index = reinterpret_cast<UINT_PTR>(handle) - 0x4000;
    if (index == 0 || index > g_fake->handleKeys.size())
        return nullptr;
    return &g_fake->keys.at(g_fake->handleKeys[index - 1]);
}

LSTATUS WINAPI FakeRegQueryValue(HKEY key, LPCSTR subKey, LPSTR data, PLONG size)
{
    ++g_fake->queries;
    if (subKey != nullptr || *size != MAX_PATH)
        g_fake->misuses.push_back("query");
    const FakeKey* fakeKey = KeyOf(key);
    if (fakeKey == nullptr)
        return ERROR_INVALID_HANDLE;
    // Whatever the launcher must not use is filled with junk first.
    std::memset(data, '#', static_cast<std::size_t>(*size));
    if (fakeKey->queryStatus != ERROR_SUCCESS)
        return fakeKey->queryStatus;
    const std::size_t length = fakeKey->value.size();
    const std::size_t needed = length + (fakeKey->terminated ? 1 : 0);
    if (needed > static_cast<std::size_t>(*size))
    {
        *size = static_cast<LONG>(needed);
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, fakeKey->value.data(), length);
    if (fakeKey->terminated)
        data[length] = '\0';
    *size = static_cast<LONG>(needed);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI FakeRegCloseKey(HKEY)
{
    --g_fake->openHandles;
    return ERROR_SUCCESS;
}

HINSTANCE ShellCode(INT_PTR code)
{
    return reinterpret_cast<HINSTANCE>(code);
}

class UrlLauncherSeamTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_fake = &m_fake;
        m_fake.shellResult = ShellCode(SE_ERR_NOASSOC);
        UrlLauncherApi api;
        api.shellExecute = FakeShellExecute;
        api.winExec = FakeWinExec;
        api.regOpenKeyEx = FakeRegOpenKeyEx;
        api.regQueryValue = FakeRegQueryValue;
        api.regCloseKey = FakeRegCloseKey;
        m_previous = SetUrlLauncherApi(api);
    }

    void TearDown() override
    {
        SetUrlLauncherApi(m_previous);
        EXPECT_EQ(m_fake.openHandles, 0) << "every key opened is closed";
        EXPECT_TRUE(m_fake.misuses.empty()) << m_fake.misuses.front();
        g_fake = nullptr;
    }

    void Register(const std::string& command)
    {
        m_fake.keys[".htm"] = FakeKey{kClass};
        m_fake.keys[kCommandKey] = FakeKey{command};
    }

    FakeSystem m_fake;
    UrlLauncherApi m_previous;
};

TEST_F(UrlLauncherSeamTest, AbsentUrlAnswers36WithoutAskingAnyone)
{
    Register("prog.exe \"%1\"");
    EXPECT_EQ(OpenUrl(nullptr, SW_SHOW), 36);
    EXPECT_EQ(OpenUrl("", SW_SHOW), 36);
    EXPECT_EQ(m_fake.shellCalls, 0);
    EXPECT_TRUE(m_fake.openedKeys.empty());
    EXPECT_TRUE(m_fake.commandLines.empty());
}

TEST_F(UrlLauncherSeamTest, ShellSuccessIsReturnedUnchangedAndTheRegistryIsNotRead)
{
    Register("prog.exe \"%1\"");
    // Success is tested unsigned: a result that is negative as a signed
    // number still counts as the shell's success.
    for (const INT_PTR code : {INT_PTR(33), INT_PTR(42), INT_PTR(0x7FFFFFFF), INT_PTR(-5)})
    {
        SCOPED_TRACE(code);
        m_fake.shellResult = ShellCode(code);
        EXPECT_EQ(OpenUrl(kUrl, SW_SHOWMAXIMIZED), static_cast<int>(code));
    }
    EXPECT_EQ(m_fake.shellCalls, 4);
    EXPECT_EQ(m_fake.shellOwner, nullptr);
    EXPECT_EQ(m_fake.shellVerb, "open");
    EXPECT_EQ(m_fake.shellFile, kUrl);
    EXPECT_TRUE(m_fake.shellParametersNull);
    EXPECT_TRUE(m_fake.shellDirectoryNull);
    EXPECT_EQ(m_fake.shellShow, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(m_fake.openedKeys.empty());
    EXPECT_TRUE(m_fake.commandLines.empty());
}

TEST_F(UrlLauncherSeamTest, ShellErrorFallsBackToTheCommandRegisteredForHtm)
{
    Register("\"C:\\Program Files\\Mail\\mail.exe\" \"%1\"");
    for (const INT_PTR code : {INT_PTR(0), INT_PTR(SE_ERR_FNF), INT_PTR(SE_ERR_NOASSOC), INT_PTR(32)})
    {
        SCOPED_TRACE(code);
        m_fake.shellResult = ShellCode(code);
        m_fake.commandLines.clear();
        m_fake.openedKeys.clear();
        m_fake.winExecResult = 40;
        EXPECT_EQ(OpenUrl(kUrl, SW_SHOWMINNOACTIVE), 40);
        EXPECT_EQ(m_fake.openedKeys, (std::vector<std::string>{".htm", kCommandKey}));
        ASSERT_EQ(m_fake.commandLines.size(), 1u);
        EXPECT_EQ(m_fake.commandLines[0],
                  std::string("\"C:\\Program Files\\Mail\\mail.exe\"  ") + kUrl);
        EXPECT_EQ(m_fake.winExecShows[0], static_cast<UINT>(SW_SHOWMINNOACTIVE));
    }
    EXPECT_EQ(m_fake.queries, 8);
}

TEST_F(UrlLauncherSeamTest, RegisteredCommandIsCutAtItsPlaceholder)
{
    struct Case
    {
        const char* registered;
        const char* url;
        const char* commandLine;
    };
    const Case cases[] = {
        // No placeholder: one space and the url after the whole command.
        {"C:\\Mail\\mail.exe", kUrl, "C:\\Mail\\mail.exe mailto:orvane-dev@example.org"},
        {"C:\\Mail\\mail.exe -compose", kUrl, "C:\\Mail\\mail.exe -compose mailto:orvane-dev@example.org"},
        // The bare placeholder; what follows it is dropped.
        {"mail.exe %1", kUrl, "mail.exe  mailto:orvane-dev@example.org"},
        {"mail.exe -to=%1 -new -x", kUrl, "mail.exe -to= mailto:orvane-dev@example.org"},
        // The quoted one wins over an earlier bare one, which stays as text.
        {"mail.exe %1 -q \"%1\" -new", kUrl, "mail.exe %1 -q  mailto:orvane-dev@example.org"},
        {"mail.exe \"%1\"%1", kUrl, "mail.exe  mailto:orvane-dev@example.org"},
        // Only the first occurrence counts.
        {"a.exe %1 b %1", kUrl, "a.exe  mailto:orvane-dev@example.org"},
        // The url goes in unquoted, spaces and all.
        {"mail.exe \"%1\"", "mailto:a b@example.org?subject=two words",
         "mail.exe  mailto:a b@example.org?subject=two words"},
        // Double-byte text of the ANSI code page passes through whole.
        {"\"C:\\\xB3\xCC\xD0\xF2\\\xD3\xCA\xBC\xFE.exe\" \"%1\"", kUrl,
         "\"C:\\\xB3\xCC\xD0\xF2\\\xD3\xCA\xBC\xFE.exe\"  mailto:orvane-dev@example.org"},
        // A "%" not followed by "1" is no placeholder.
        {"mail.exe %2 %", kUrl, "mail.exe %2 % mailto:orvane-dev@example.org"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.registered);
        Register(c.registered);
        m_fake.commandLines.clear();
        m_fake.openedKeys.clear();
        EXPECT_EQ(OpenUrl(c.url, SW_SHOW), 33);
        ASSERT_EQ(m_fake.commandLines.size(), 1u);
        EXPECT_EQ(m_fake.commandLines[0], c.commandLine);
    }
}

TEST_F(UrlLauncherSeamTest, FailingFallbackReturnsAnError)
{
    Register("mail.exe \"%1\"");

    // WinExec's own error when the command could not run.
    m_fake.winExecResult = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(m_fake.commandLines.size(), 1u);

    // No ".htm" key, or no open command for its class: the shell's own error.
    m_fake.commandLines.clear();
    m_fake.shellResult = ShellCode(SE_ERR_ACCESSDENIED);
    m_fake.keys.erase(".htm");
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), SE_ERR_ACCESSDENIED);
    Register("mail.exe \"%1\"");
    m_fake.keys.erase(kCommandKey);
    m_fake.shellResult = ShellCode(SE_ERR_NOASSOC);
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), SE_ERR_NOASSOC);
    EXPECT_TRUE(m_fake.commandLines.empty());
}

TEST_F(UrlLauncherSeamTest, ValuesThatDoNotFitOrWereNotReadAreNeverUsed)
{
    m_fake.shellResult = ShellCode(SE_ERR_FNF);
    struct Case
    {
        const char* what;
        std::string key;
        FakeKey broken;
    };
    const Case cases[] = {
        {"class name of 260 bytes", ".htm", {std::string(260, 'c'), ERROR_SUCCESS, true}},
        {"command of 300 bytes", kCommandKey, {"m.exe " + std::string(294, 'x'), ERROR_SUCCESS, true}},
        {"class name read failing", ".htm", {kClass, ERROR_ACCESS_DENIED, true}},
        {"command read failing", kCommandKey, {"m.exe %1", ERROR_INVALID_DATA, true}},
        {"command of 260 bytes without its zero", kCommandKey, {std::string(260, 'm'), ERROR_SUCCESS, false}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Register("mail.exe \"%1\"");
        m_fake.keys[c.key] = c.broken;
        m_fake.openedKeys.clear();
        EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), SE_ERR_FNF);
        EXPECT_TRUE(m_fake.commandLines.empty());

        char buffer[MAX_PATH];
        std::memset(buffer, 'u', sizeof buffer);
        m_fake.openedKeys.clear();
        EXPECT_NE(ReadKeyDefault(HKEY_CLASSES_ROOT, c.key.c_str(), buffer), ERROR_SUCCESS);
        EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(MAX_PATH, 'u')) << "output untouched";
    }

    // The largest value that fits, 259 bytes and its zero, is read whole.
    Register("mail.exe \"%1\"");
    m_fake.keys[".htm"].value = std::string(259, 'k');
    char buffer[MAX_PATH];
    m_fake.openedKeys.clear();
    ASSERT_EQ(ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", buffer), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer), std::string(259, 'k'));
}

TEST_F(UrlLauncherSeamTest, CommandLineOfMoreThan519CharactersIsNotRun)
{
    m_fake.shellResult = ShellCode(SE_ERR_NOASSOC);
    const std::string command(258, 'p');
    Register(command);
    // 258 + 1 + 260 = 519: runs whole.
    const std::string url = "mailto:" + std::string(253, 'u');
    EXPECT_EQ(OpenUrl(url.c_str(), SW_SHOW), 33);
    ASSERT_EQ(m_fake.commandLines.size(), 1u);
    EXPECT_EQ(m_fake.commandLines[0], command + " " + url);
    EXPECT_EQ(m_fake.commandLines[0].size(), 519u);

    // One more character: nothing runs, not even cut short.
    m_fake.commandLines.clear();
    m_fake.openedKeys.clear();
    const std::string longer = url + "v";
    EXPECT_EQ(OpenUrl(longer.c_str(), SW_SHOW), SE_ERR_NOASSOC);
    EXPECT_TRUE(m_fake.commandLines.empty());

    m_fake.openedKeys.clear();
    const std::string veryLong = "mailto:" + std::string(4000, 'w');
    EXPECT_EQ(OpenUrl(veryLong.c_str(), SW_SHOW), SE_ERR_NOASSOC);
    EXPECT_TRUE(m_fake.commandLines.empty());
}

// ---------------------------------------------------------------------------
// The same against real keys under HKEY_CLASSES_ROOT of the test prefix. The
// shell stays behind the seam (it would start a real mail client); the
// registry is real, and so, in two cases, is WinExec with a harmless program.

// A registry key with everything under it, kept to be put back.
struct KeySnapshot
{
    struct Value
    {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    bool exists = false;
    std::vector<Value> values;
    std::map<std::string, KeySnapshot> children;

    static KeySnapshot Take(HKEY root, const std::string& path)
    {
        KeySnapshot snapshot;
        HKEY key = nullptr;
        if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return snapshot;
        snapshot.exists = true;
        for (DWORD i = 0;; ++i)
        {
            char name[16384];
            DWORD nameSize = sizeof name;
            DWORD type = 0;
            DWORD dataSize = 0;
            if (::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
                break;
            Value value{name, type, std::vector<BYTE>(dataSize)};
            DWORD size = dataSize;
            ::RegQueryValueExA(key, name, nullptr, nullptr, value.data.data(), &size);
            snapshot.values.push_back(value);
        }
        for (DWORD i = 0;; ++i)
        {
            char name[256];
            DWORD nameSize = sizeof name;
            if (::RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            snapshot.children[name] = Take(key, name);
        }
        ::RegCloseKey(key);
        return snapshot;
    }

    void Restore(HKEY root, const std::string& path) const
    {
        ::RegDeleteTreeA(root, path.c_str());
        ::RegDeleteKeyA(root, path.c_str());
        if (!exists)
            return;
        HKEY key = nullptr;
        if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        for (const Value& value : values)
            ::RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(),
                             static_cast<DWORD>(value.data.size()));
        for (const auto& child : children)
            child.second.Restore(key, child.first);
        ::RegCloseKey(key);
    }
};

void SetDefault(const std::string& path, const std::string& value)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

std::string SystemDirectory()
{
    char path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    return std::string(path, length);
}

class UrlLauncherRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_htm = KeySnapshot::Take(HKEY_CLASSES_ROOT, ".htm");
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm");
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kClass);
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClass);

        g_fake = &m_fake;
        m_fake.shellResult = ShellCode(SE_ERR_NOASSOC);
        UrlLauncherApi api;
        api.shellExecute = FakeShellExecute;
        api.winExec = FakeWinExec;
        m_previous = SetUrlLauncherApi(api);
    }

    void TearDown() override
    {
        SetUrlLauncherApi(m_previous);
        g_fake = nullptr;
        ::RegDeleteTreeA(HKEY_CLASSES_ROOT, kClass);
        ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClass);
        m_htm.Restore(HKEY_CLASSES_ROOT, ".htm");
    }

    void UseRealWinExec()
    {
        UrlLauncherApi api;
        api.shellExecute = FakeShellExecute;
        SetUrlLauncherApi(api);
    }

    KeySnapshot m_htm;
    FakeSystem m_fake;
    UrlLauncherApi m_previous;
};

TEST_F(UrlLauncherRegistryTest, ReadKeyDefaultReadsTheDefaultValue)
{
    SetDefault(".htm", kClass);
    char buffer[MAX_PATH] = "untouched";
    ASSERT_EQ(ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", buffer), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, kClass);

    // The path and the value may share one buffer.
    SetDefault(kCommandKey, "\"C:\\mail.exe\" \"%1\"");
    char shared[2 * MAX_PATH] = {};
    std::strcpy(shared, kCommandKey);
    ASSERT_EQ(ReadKeyDefault(HKEY_CLASSES_ROOT, shared, shared), ERROR_SUCCESS);
    EXPECT_STREQ(shared, "\"C:\\mail.exe\" \"%1\"");

    // A missing key: its status, and the buffer as it was.
    std::strcpy(buffer, "untouched");
    EXPECT_EQ(ReadKeyDefault(HKEY_CLASSES_ROOT, "OrvaneTest.Page\\no such key", buffer), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(buffer, "untouched");

    // 259 bytes fit; 260 do not, and nothing is copied.
    SetDefault(".htm", std::string(259, 'a'));
    ASSERT_EQ(ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", buffer), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer), std::string(259, 'a'));
    SetDefault(".htm", std::string(260, 'b'));
    std::strcpy(buffer, "untouched");
    EXPECT_NE(ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", buffer), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "untouched");
}

TEST_F(UrlLauncherRegistryTest, OpenUrlRunsTheRegisteredCommandWithTheUrl)
{
    SetDefault(".htm", kClass);
    SetDefault(kCommandKey, "\"C:\\Program Files\\Mail\\mail.exe\" -compose \"%1\" --new-window");
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOWNORMAL), 33);
    ASSERT_EQ(m_fake.commandLines.size(), 1u);
    EXPECT_EQ(m_fake.commandLines[0],
              std::string("\"C:\\Program Files\\Mail\\mail.exe\" -compose  ") + kUrl);
    EXPECT_EQ(m_fake.winExecShows[0], static_cast<UINT>(SW_SHOWNORMAL));
    EXPECT_EQ(m_fake.shellFile, kUrl);
}

TEST_F(UrlLauncherRegistryTest, WithoutHtmOrItsCommandTheShellErrorIsReturned)
{
    m_fake.shellResult = ShellCode(SE_ERR_NOASSOC);
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), SE_ERR_NOASSOC) << "no .htm key";

    SetDefault(".htm", kClass);
    m_fake.shellResult = ShellCode(SE_ERR_FNF);
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), SE_ERR_FNF) << "class without an open command";

    SetDefault(std::string(kClass) + "\\shell\\open", "Open");
    m_fake.shellResult = ShellCode(SE_ERR_DDEFAIL);
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), SE_ERR_DDEFAIL) << "open verb without a command";

    SetDefault(".htm", std::string(300, 'z'));
    EXPECT_EQ(OpenUrl(kUrl, SW_SHOW), SE_ERR_DDEFAIL) << "class name too long";
    EXPECT_TRUE(m_fake.commandLines.empty());
}

TEST_F(UrlLauncherRegistryTest, RealWinExecStartsTheCommandAndReportsItsError)
{
    UseRealWinExec();
    char tempDirectory[MAX_PATH];
    ::GetTempPathA(MAX_PATH, tempDirectory);
    const std::string marker = std::string(tempDirectory) + "orvane_launch_marker.txt";
    ::DeleteFileA(marker.c_str());

    // cmd writes what follows "echo" into the marker file: the url appended
    // to the registered command shows up there.
    SetDefault(".htm", kClass);
    SetDefault(kCommandKey, "\"" + SystemDirectory() + "\\cmd.exe\" /c echo>\"" + marker + "\"");
    const int result = OpenUrl(kUrl, SW_HIDE);
    EXPECT_GT(result, 32);
    std::string written;
    for (int i = 0; i < 200 && written.find('\n') == std::string::npos; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream file(marker);
        std::ostringstream content;
        content << file.rdbuf();
        written = content.str();
    }
    EXPECT_EQ(written.substr(0, written.find_first_of("\r\n")), kUrl);
    ::DeleteFileA(marker.c_str());

    // A registered program that is not there: WinExec's own error code.
    const std::string missing = SystemDirectory() + "\\orvane-no-such-program.exe";
    SetDefault(kCommandKey, "\"" + missing + "\" \"%1\"");
    const std::string commandLine = "\"" + missing + "\"  " + kUrl;
    const int expected = static_cast<int>(::WinExec(commandLine.c_str(), SW_HIDE));
    ASSERT_LE(expected, 31);
    EXPECT_EQ(OpenUrl(kUrl, SW_HIDE), expected);
}

} // namespace
