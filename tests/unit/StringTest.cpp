#include "String.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CStringTest, FormatGrowsBeyondAnyFixedBuffer)
{
    CString strLong(std::string(5000, 'x').c_str());
    CString str;
    str.Format("%s \n %s", static_cast<LPCSTR>(strLong), "tail");
    EXPECT_EQ(5000 + 7, str.GetLength());
    EXPECT_STREQ(" \n tail", static_cast<LPCSTR>(str) + 5000);
}

TEST(CStringTest, FormatTakesItsOwnTextAsAnArgument)
{
    // Short enough to stay in the string's own buffer, and long enough to
    // need new storage.
    for (const char* pszText : {"ab", "a text longer than any small-string buffer"}) {
        CString str(pszText);
        str.Format("x%s-%s", static_cast<LPCSTR>(str), static_cast<LPCSTR>(str));
        EXPECT_EQ("x" + std::string(pszText) + "-" + pszText, static_cast<LPCSTR>(str));
    }
}

TEST(CStringTest, SlicesWithinBounds)
{
    CString str("C:\\dir\\file.exe");
    EXPECT_STREQ("C:\\dir\\", str.Left(7));
    EXPECT_STREQ("file", str.Mid(7, 4));
    EXPECT_STREQ("C:\\dir\\file.exe", str.Left(100));
    EXPECT_STREQ("", str.Left(-1));
    EXPECT_STREQ("exe", str.Mid(12, 100));
    EXPECT_STREQ("", str.Mid(100, 1));
}

TEST(CStringTest, ConvertsWideTextWholeToTheAnsiCodePage)
{
    const std::wstring wide = L"Mikrofon f\u00FCr " + std::wstring(200, L'x');
    CString str(wide.c_str());
    ASSERT_EQ(213, str.GetLength());
    EXPECT_EQ('\xFC', str.GetAt(10));
    EXPECT_STREQ("Mik", CString(wide.c_str(), 3));
    EXPECT_TRUE(CString(static_cast<LPCWSTR>(nullptr)).IsEmpty());
}

// Shift-JIS (932): 0x82 0xA0 is one character; 1252 has no double-byte ones.
TEST(CStringTest, LeftWholeCutsOnlyBetweenCharacters)
{
    const CString str("ab\x82\xA0"
                      "c");
    const struct {
        int nCount;
        UINT nCodePage;
        const char* pszLeft;
    } cases[] = {{2, 932, "ab"},
                 {3, 932, "ab"},
                 {4, 932, "ab\x82\xA0"},
                 {3, 1252, "ab\x82"},
                 {9, 932,
                  "ab\x82\xA0"
                  "c"},
                 {0, 932, ""},
                 {-1, 932, ""}};
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszLeft, str.LeftWhole(c.nCount, c.nCodePage)) << c.nCount << " in " << c.nCodePage;
}
