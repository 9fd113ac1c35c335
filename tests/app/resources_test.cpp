// The compiled resources: what the dialogs are made from, and the texts the
// program shows, checked against the values they must have.
#include "dialog_template.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct ExpectedControl
{
    int id;
    const wchar_t* className;
    DWORD style;
    short x, y, cx, cy;
    const wchar_t* text;
};

void ExpectControls(const DialogTemplate& dialog, const std::vector<ExpectedControl>& expected)
{
    ASSERT_EQ(expected.size(), dialog.controls.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
    {
        const TemplateControl& c = dialog.controls[i];
        const ExpectedControl& e = expected[i];
        SCOPED_TRACE(testing::Message() << "control " << i);
        EXPECT_EQ(e.id & 0xFFFF, c.id & 0xFFFF);
        EXPECT_EQ(0, ::lstrcmpiW(e.className, c.className.c_str())) << "class"; // either case names the class
        EXPECT_EQ(e.style, c.style);
        EXPECT_EQ(0u, c.exStyle);
        EXPECT_EQ(e.x, c.x);
        EXPECT_EQ(e.y, c.y);
        EXPECT_EQ(e.cx, c.cx);
        EXPECT_EQ(e.cy, c.cy);
        if (e.text != nullptr)
        {
            EXPECT_EQ(std::wstring(e.text), c.text);
        }
    }
}

TEST(ResourcesTest, MainDialogTemplate)
{
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(nullptr, IDD_ORVANE_DIALOG, dialog));
    EXPECT_TRUE(dialog.extended);
    EXPECT_EQ(0x90C800C0u, dialog.style);
    EXPECT_EQ(static_cast<DWORD>(WS_EX_APPWINDOW), dialog.exStyle);
    EXPECT_EQ(0, dialog.x);
    EXPECT_EQ(0, dialog.y);
    EXPECT_EQ(335, dialog.cx);
    EXPECT_EQ(216, dialog.cy);
    EXPECT_EQ(L"Orvane", dialog.caption);
    EXPECT_EQ(9, dialog.pointSize);
    EXPECT_EQ(L"\x5B8B\x4F53", dialog.face); // 宋体
    EXPECT_EQ(0, dialog.italic);
    EXPECT_EQ(DEFAULT_CHARSET, dialog.charset);
    EXPECT_TRUE(dialog.weight == 0 || dialog.weight == FW_NORMAL);
    ExpectControls(dialog, {
        {IDC_HEX_EDIT, L"Edit", 0x50810080, 7, 19, 214, 14, L""},
        {IDC_BITMAP, L"Button", 0x50010000, 223, 18, 34, 16, L"\x4F4D\x56FE"},   // 位图
        {IDC_CLEAR, L"Button", 0x50010000, 259, 18, 34, 16, L"\x6E05\x7A7A"},    // 清空
        {IDC_EXIT, L"Button", 0x50010000, 295, 18, 34, 16, L"\x9000\x51FA"},     // 退出
        {IDC_AUTO_FIRST, L"Button", 0x50010003, 224, 7, 80, 10,
         L"\x81EA\x52A8\x8BBE\x7F6E\x7B2C\x4E00\x4F4D\x56FE"},                    // 自动设置第一位图
        {-1, L"Static", 0x50020000, 7, 7, 213, 8,
         L"\x4F4D\x56FE\x6570\x636E(\x5341\x516D\x8FDB\x5236):  \x4E0D\x8DB3\x4F4D\x6570\x540E\x8865"
         L"0,\x81EA\x52A8\x8FC7\x6EE4\x975E\x6CD5\x5B57\x7B26"},                // 位图数据(十六进制):  不足位数后补0,自动过滤非法字符
    });
}

TEST(ResourcesTest, AboutDialogTemplate)
{
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(nullptr, IDD_ABOUTBOX, dialog));
    EXPECT_FALSE(dialog.extended);
    EXPECT_EQ(0x80C800C0u, dialog.style);
    EXPECT_EQ(0u, dialog.exStyle);
    EXPECT_EQ(235, dialog.cx);
    EXPECT_EQ(55, dialog.cy);
    EXPECT_EQ(L"\x5173\x4E8E Orvane", dialog.caption); // 关于 Orvane
    EXPECT_EQ(9, dialog.pointSize);
    EXPECT_EQ(L"\x5B8B\x4F53", dialog.face);
    ExpectControls(dialog, {
        {-1, L"Static", 0x50000003, 11, 17, 20, 20, L"#128"},
        {-1, L"Static", 0x50020080, 40, 10, 119, 8, L"Orvane 1.0 \x7248"}, // Orvane 1.0 版
        {-1, L"Static", 0x50020000, 40, 23, 119, 8, nullptr},
        {IDOK, L"Button", 0x50030001, 178, 7, 50, 14, L"\x786E\x5B9A"},    // 确定
        {-1, L"Static", 0x50020000, 39, 37, 45, 8, nullptr},
        {IDC_MAIL_LINK, L"Static", 0x50020000, 105, 37, 69, 8, nullptr},
    });
    EXPECT_EQ(0u, dialog.controls[4].text.find(L"\x4F5C\x8005:")); // 作者:
    EXPECT_EQ(0u, dialog.controls[5].text.find(L"Send email to "));
    EXPECT_GT(dialog.controls[5].text.size(), 14u);
}

TEST(ResourcesTest, StringIconStripAndVersionBlock)
{
    char text[64] = {};
    ASSERT_GT(::LoadStringA(nullptr, IDS_ABOUTBOX, text, sizeof text), 0);
    EXPECT_STREQ("\xB9\xD8\xD3\xDA Orvane(&A)...", text); // GBK in the program

    // Images of 16, 32, 48 and 256 (stored as 0) pixels, 32 bits a pixel.
    const BYTE* icon = static_cast<const BYTE*>(
        ::LockResource(::LoadResource(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON))));
    ASSERT_NE(nullptr, icon);
    std::vector<int> sizes;
    for (const BYTE* entry = icon + 6; entry < icon + 6 + 14 * icon[4]; entry += 14)
    {
        sizes.push_back(entry[0] == 0 ? 256 : entry[0]);
        EXPECT_EQ(entry[0], entry[1]);
        EXPECT_EQ(32, entry[6]);
    }
    EXPECT_EQ((std::vector<int>{16, 32, 48, 256}), sizes);

    const auto* strip = static_cast<const BITMAPINFOHEADER*>(
        ::LockResource(::LoadResource(nullptr, ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_CELLS), RT_BITMAP))));
    ASSERT_NE(nullptr, strip);
    EXPECT_EQ(90, strip->biWidth);
    EXPECT_EQ(30, strip->biHeight);
    EXPECT_EQ(24, strip->biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), strip->biCompression);
    EXPECT_EQ(0u, strip->biClrUsed);

    char exe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(exe, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(exe, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ((std::vector<DWORD>{0x00010000, 0x00000001, 0x00010000, 0x00000001}),
              (std::vector<DWORD>{fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                  fixed->dwProductVersionLS}));
    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(0x0804, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);

    const struct { const char* key; std::string value; bool prefixOnly; } keys[] = {
        {"Comments", "Orvane V1.0", false}, {"CompanyName", "\xD7\xF7\xD5\xDF:", true}, // 作者:
        {"FileDescription", "Orvane V1.0", false}, {"FileVersion", "1, 0, 0, 1", false},
        {"InternalName", "Orvane", false}, {"LegalCopyright", "", true}, {"LegalTrademarks", "", false},
        {"OriginalFilename", "Orvane.EXE", false}, {"PrivateBuild", "", false}, {"ProductName", "Orvane", false},
        {"ProductVersion", "1, 0, 0, 1", false}, {"SpecialBuild", "Build 1", false}};
    for (const auto& k : keys)
    {
        const std::string path = std::string("\\StringFileInfo\\080404b0\\") + k.key;
        void* value = nullptr;
        ASSERT_TRUE(::VerQueryValueA(block.data(), path.c_str(), &value, &length)) << k.key;
        const std::string text = static_cast<const char*>(value);
        EXPECT_EQ(k.value, k.prefixOnly ? text.substr(0, k.value.size()) : text) << k.key;
    }
}

} // namespace
