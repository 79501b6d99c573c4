#include "TestSupport.h"

#include <cstring>

namespace
{

class StringTest : public CPlatformTest
{
};

TEST_F(StringTest, ConstructionForms)
{
    EXPECT_EQ(0, CString().GetLength());
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_STREQ("", static_cast<LPCSTR>(CString()));
    EXPECT_EQ(0, CString(static_cast<LPCSTR>(nullptr)).GetLength());
    EXPECT_STREQ("abc", CString("abc"));
    EXPECT_STREQ("ab", CString("abcdef", 2));
    EXPECT_STREQ("---", CString('-', 3));
    EXPECT_THROW(CString("x", -1), CInvalidArgException);
}

TEST_F(StringTest, EmbeddedNulsCountEverywhere)
{
    CString str("a\0b", 3);
    EXPECT_EQ(3, str.GetLength());
    EXPECT_EQ('b', str[2]);
    EXPECT_FALSE(str == "a");
    EXPECT_TRUE(str != CString("a\0c", 3));
    EXPECT_TRUE(CString("a") < str);
    CString copy = str + CString("\0z", 2);
    EXPECT_EQ(5, copy.GetLength());
    EXPECT_TRUE(copy.Mid(1) == CString("\0b\0z", 4));
    EXPECT_EQ(3, copy.Find('z') - 1);
    EXPECT_EQ(3, copy.ReverseFind('\0'));
}

TEST_F(StringTest, ComparisonIsBytewiseAndNoCaseFoldsAscii)
{
    struct
    {
        const char* pszA;
        const char* pszB;
        int nSign;
        int nNoCaseSign;
    } const aCases[] = {
        {"abc", "abc", 0, 0},  {"abc", "abd", -1, -1}, {"ab", "abc", -1, -1},
        {"ABC", "abc", -1, 0}, {"\xE4", "a", 1, 1},    {"\xC4", "\xE4", -1, -1},
        {"", "", 0, 0},        {"b", "", 1, 1},
    };
    auto sign = [](int n) { return (n > 0) - (n < 0); };
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(std::string(c.pszA) + " vs " + c.pszB);
        EXPECT_EQ(c.nSign, sign(CString(c.pszA).Compare(CString(c.pszB))));
        EXPECT_EQ(c.nSign, sign(CString(c.pszA).Compare(c.pszB)));
        EXPECT_EQ(c.nNoCaseSign, sign(CString(c.pszA).CompareNoCase(CString(c.pszB))));
        EXPECT_EQ(c.nSign == 0, CString(c.pszA) == c.pszB);
        EXPECT_EQ(c.nSign < 0, CString(c.pszA) < CString(c.pszB));
    }
}

TEST_F(StringTest, ConcatenationAndAssignment)
{
    CString str = "ab";
    str += "cd";
    str += 'e';
    str += CString("f");
    EXPECT_STREQ("abcdef", str);
    str += str;
    EXPECT_STREQ("abcdefabcdef", str);
    str = static_cast<LPCSTR>(str) + 6; // from its own buffer
    EXPECT_STREQ("abcdef", str);
    EXPECT_STREQ("xabcdef", "x" + str);
    EXPECT_STREQ("abcdef!", str + '!');
    CString moved(std::move(str));
    EXPECT_STREQ("abcdef", moved);
    str = moved;
    str.Empty();
    EXPECT_TRUE(str.IsEmpty());
    EXPECT_STREQ("abcdef", moved);
}

TEST_F(StringTest, IndexingIsChecked)
{
    CString str("ab");
    EXPECT_EQ('b', str.GetAt(1));
    EXPECT_THROW(str.GetAt(2), CInvalidArgException);
    EXPECT_THROW(str.GetAt(-1), CInvalidArgException);
    str.SetAt(0, 'x');
    EXPECT_STREQ("xb", str);
    EXPECT_THROW(str.SetAt(2, 'x'), CInvalidArgException);
}

TEST_F(StringTest, BufferAccess)
{
    CString str("ab");
    LPSTR p = str.GetBuffer(10);
    EXPECT_EQ('a', p[0]);
    std::strcpy(p, "hello");
    str.ReleaseBuffer();
    EXPECT_EQ(5, str.GetLength());
    p = str.GetBuffer(0);
    p[1] = '\0';
    str.ReleaseBuffer(3);
    EXPECT_EQ(3, str.GetLength());
    EXPECT_TRUE(str == CString("h\0l", 3));
}

TEST_F(StringTest, FormatAndSlicing)
{
    CString str;
    str.Format("%s-%d-%05.1f", "x", -42, 2.25);
    EXPECT_STREQ("x--42-002.2", str);
    str.Format("[%s]", static_cast<LPCSTR>(str));
    EXPECT_STREQ("[x--42-002.2]", str);
    CString strLong;
    strLong.Format("%0300d", 7);
    EXPECT_EQ(300, strLong.GetLength());

    CString s("hello world");
    EXPECT_EQ(6, s.Find("world"));
    EXPECT_EQ(-1, s.Find("worlds"));
    EXPECT_EQ(9, s.Find('l', 4));
    EXPECT_EQ(-1, s.Find('l', 20));
    EXPECT_EQ(7, s.ReverseFind('o'));
    EXPECT_STREQ("hello", s.Left(5));
    EXPECT_STREQ("world", s.Right(5));
    EXPECT_STREQ("lo w", s.Mid(3, 4));
    EXPECT_STREQ("hello world", s.Left(100));
    EXPECT_STREQ("", s.Mid(100));
    EXPECT_STREQ("", s.Right(-1));
}

TEST_F(StringTest, FailedAllocationLeavesTheStringUnchanged)
{
    CString str("short");
    AfxFailAllocationAfter(0);
    EXPECT_THROW(str += CString('x', 1000), CMemoryException);
    AfxFailAllocationAfter(1); // the temporary succeeds, the append fails
    EXPECT_THROW(str += CString('x', 1000), CMemoryException);
    EXPECT_STREQ("short", str);
}

} // namespace
