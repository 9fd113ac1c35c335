// The compiled resources: what the dialogs are made from, and the texts the
// program shows, checked against the values they must have.
#include "dialog_template.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstdio>
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

TEST(ResourcesTest, AboutMenuStringIsGbkInTheProgram)
{
    char text[64] = {};
    ASSERT_GT(::LoadStringA(nullptr, IDS_ABOUTBOX, text, sizeof text), 0);
    EXPECT_STREQ("\xB9\xD8\xD3\xDA Orvane(&A)...", text);
}

TEST(ResourcesTest, IconIsOne32PixelSixteenColourImage)
{
    HRSRC group = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14));
    ASSERT_NE(nullptr, group);
    const BYTE* dir = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, group)));
    EXPECT_EQ(1, *reinterpret_cast<const WORD*>(dir + 4)); // one image
    EXPECT_EQ(32, dir[6]);
    EXPECT_EQ(32, dir[7]);
    EXPECT_EQ(16, dir[8]);
    EXPECT_EQ(4, *reinterpret_cast<const WORD*>(dir + 12)); // bits per pixel
}

TEST(ResourcesTest, CellStripIsA24BitNinetyByThirtyBitmap)
{
    HRSRC strip = ::FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_CELLS), MAKEINTRESOURCEA(2));
    ASSERT_NE(nullptr, strip);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(nullptr, strip)));
    EXPECT_EQ(90, header->biWidth);
    EXPECT_EQ(30, header->biHeight);
    EXPECT_EQ(24, header->biBitCount);
    EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->biCompression);
    EXPECT_EQ(0u, header->biClrUsed);
}

std::string VersionString(const std::vector<BYTE>& block, const char* key)
{
    char path[96];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\080404b0\\%s", key);
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), path, &value, &length))
        return "<missing>";
    return std::string(static_cast<const char*>(value));
}

TEST(ResourcesTest, VersionBlockHasEveryKey)
{
    char exe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(exe, &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(exe, 0, static_cast<DWORD>(block.size()), block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(0, 1), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(1, 0), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(0x0804, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);

    EXPECT_EQ("Orvane V1.0", VersionString(block, "Comments"));
    EXPECT_EQ(0u, VersionString(block, "CompanyName").find("\xD7\xF7\xD5\xDF:")); // 作者:
    EXPECT_EQ("Orvane V1.0", VersionString(block, "FileDescription"));
    EXPECT_EQ("1, 0, 0, 1", VersionString(block, "FileVersion"));
    EXPECT_EQ("Orvane", VersionString(block, "InternalName"));
    EXPECT_NE("<missing>", VersionString(block, "LegalCopyright"));
    EXPECT_EQ("", VersionString(block, "LegalTrademarks"));
    EXPECT_EQ("Orvane.EXE", VersionString(block, "OriginalFilename"));
    EXPECT_EQ("", VersionString(block, "PrivateBuild"));
    EXPECT_EQ("Orvane", VersionString(block, "ProductName"));
    EXPECT_EQ("1, 0, 0, 1", VersionString(block, "ProductVersion"));
    EXPECT_EQ("Build 1", VersionString(block, "SpecialBuild"));
}

} // namespace
