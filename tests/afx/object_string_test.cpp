// Run-time class information and the narrow CString.
#include "afx_test_support.h"

namespace
{

class CUndeclaredButton : public CBitmapButton
{
};

std::string Chain(const CObject& object)
{
    std::string names;
    for (const CRuntimeClass* c = object.GetRuntimeClass(); c != nullptr; c = c->m_pBaseClass)
        names += std::string(names.empty() ? "" : " ") + c->m_lpszClassName;
    return names;
}

} // namespace

TEST(RuntimeClass, NamesAndKindsAlongTheChain)
{
    CBitmapButton button;
    EXPECT_EQ("CBitmapButton CButton CWnd CCmdTarget CObject", Chain(button));
    for (const CRuntimeClass* c : {RUNTIME_CLASS(CBitmapButton), RUNTIME_CLASS(CButton), RUNTIME_CLASS(CWnd),
                                   RUNTIME_CLASS(CCmdTarget), RUNTIME_CLASS(CObject)})
        EXPECT_TRUE(button.IsKindOf(c)) << c->m_lpszClassName;
    EXPECT_FALSE(button.IsKindOf(RUNTIME_CLASS(CStatic)));
    EXPECT_FALSE(button.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_FALSE(CButton().IsKindOf(RUNTIME_CLASS(CBitmapButton)));
    EXPECT_EQ("CDialog CWnd CCmdTarget CObject", Chain(CDialog()));
    EXPECT_EQ("CBitmap CGdiObject CObject", Chain(CBitmap()));
}

TEST(RuntimeClass, ClassWithoutDeclareDynamicReportsItsBase)
{
    CUndeclaredButton button;
    EXPECT_EQ(RUNTIME_CLASS(CBitmapButton), button.GetRuntimeClass());
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CButton)));
}

TEST(CStringTest, MidLeftRightClampToTheText)
{
    const CString text("abcdef");
    EXPECT_EQ("cd", text.Mid(2, 2));
    EXPECT_EQ("def", text.Mid(3));
    EXPECT_EQ("ef", text.Mid(4, 10));
    EXPECT_EQ("", text.Mid(6));
    EXPECT_EQ("", text.Mid(9, 2));
    EXPECT_EQ("ab", text.Mid(-1, 2));
    EXPECT_EQ("", text.Mid(2, -1));
    EXPECT_EQ("abc", text.Left(3));
    EXPECT_EQ("abcdef", text.Left(10));
    EXPECT_EQ("ef", text.Right(2));
}

TEST(CStringTest, Format)
{
    CString text;
    text.Format("%02X %s %d %u", 10, "x", -3, 16u);
    EXPECT_EQ("0A x -3 16", text);
    text.Format("%s", std::string(3000, 'a').c_str());
    EXPECT_EQ(3000, text.GetLength());
    text.Format("%s", "");
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CStringTest, LoadStringGivesTheAnsiCodePage)
{
    ASSERT_EQ(936u, ::GetACP()) << "the tests run with LANG=zh_CN.UTF-8";
    CString text;
    ASSERT_TRUE(text.LoadString(IDS_CHINESE));
    EXPECT_EQ("\xB9\xD8\xD3\xDA Orvane(&A)...", text); // GBK: 关于 Orvane(&A)...
    EXPECT_EQ(18, text.GetLength());
    ASSERT_TRUE(text.LoadString(IDS_ASCII));
    EXPECT_EQ("Orvane", text);
    EXPECT_FALSE(text.LoadString(999));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(CStringTest, Comparisons)
{
    const CString abc("abc");
    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE("abc" == abc);
    EXPECT_TRUE(abc == CString("abc"));
    EXPECT_TRUE(abc != "abd");
    EXPECT_TRUE(abc != CString("ab"));
    EXPECT_EQ(0, abc.Compare("abc"));
    EXPECT_LT(abc.Compare("abd"), 0);
    EXPECT_GT(abc.Compare("ab"), 0);
    EXPECT_LT(CString("ab").Compare("\xB9\xD8"), 0) << "bytes compare unsigned";
    EXPECT_EQ("abcdef", abc + "def");
    EXPECT_EQ(3, CString("a\0b", 3).GetLength());
}
