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
