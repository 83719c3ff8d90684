#include "String.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cwchar>

namespace {
// What Format made of a format, kept with the format for the message.
struct Formatted {
    const char* pszFormat;
    CString str;
};

Formatted FormatOf(const char* pszFormat, ...) __attribute__((format(gnu_printf, 1, 2)));
Formatted FormatOf(const char* pszFormat, ...)
{
    // A text before, which the format's replaces.
    Formatted formatted{pszFormat, CString("before")};
    va_list args;
    va_start(args, pszFormat);
    formatted.str.FormatV(pszFormat, args);
    va_end(args);
    return formatted;
}

struct FormatCase {
    Formatted formatted;
    const char* pszExpected;
};

template <size_t nCount> void ExpectFormats(const FormatCase (&cases)[nCount])
{
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszExpected, c.formatted.str) << "format \"" << c.formatted.pszFormat << '"';
}
} // namespace

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

TEST(CStringTest, FormatsWhatTheProgramFormats)
{
    const FormatCase cases[] = {
        {FormatOf("%d|%d|%d|%u", -42, 0, INT_MIN, 4294967295u), "-42|0|-2147483648|4294967295"},
        {FormatOf("%X|%X|%u", 0xBEEFu, 0u, 1234567890u), "BEEF|0|1234567890"},
        // Zeros up to the width, never fewer digits than the number has.
        {FormatOf("%04X%04X|%08X|%08X|%04X", 0x407u, 0x4E4u, 0x80004005u, 5u, 0x12345u),
         "040704E4|80004005|00000005|12345"},
        {FormatOf("%03u|%010u", 7u, 42u), "007|0000000042"},
        {FormatOf("%d.%d%c|%s \n %s|%s", 1, 2, 'b', "lead", "tail", static_cast<const char*>(nullptr)),
         "1.2b|lead \n tail|"},
    };
    ExpectFormats(cases);
}

// The compiler's check accepts all of printf: a format with more than the
// program formats comes out empty, not as text that only looks right.
TEST(CStringTest, FormatRefusesWhatItDoesNotFormat)
{
    const FormatCase cases[] = {
        {FormatOf("%d %x", 1, 2u), ""},    {FormatOf("%d %5d", 1, 2), ""},
        {FormatOf("%d %05d", 1, 2), ""},   {FormatOf("%d %4X", 1, 2u), ""},
        {FormatOf("%d %-4X", 1, 2u), ""},  {FormatOf("%d %2c", 1, 'b'), ""},
        {FormatOf("%d %5s", 1, "b"), ""},  {FormatOf("%d %.2s", 1, "abc"), ""},
        {FormatOf("%d %ld", 1, 2L), ""},   {FormatOf("%d %hu", 1, 2), ""},
        {FormatOf("%d %+d", 1, 2), ""},    {FormatOf("%d %i", 1, 2), ""},
        {FormatOf("%d %o", 1, 2u), ""},    {FormatOf("%d %p", 1, static_cast<void*>(nullptr)), ""},
        {FormatOf("%d %ls", 1, L"w"), ""}, {FormatOf("%d %5.1f", 1, 2.0), ""},
        {FormatOf("%d 50%%", 1), ""},
    };
    ExpectFormats(cases);
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

// Shift-JIS (932): 0x82 0xA0 is one character, a lead byte at the end one
// alone; 1252 has no double-byte ones.
TEST(CStringTest, LeftWholeCutsOnlyBetweenCharacters)
{
    const CString str("ab\x82\xA0"
                      "c\x82");
    const struct {
        int nCount;
        UINT nCodePage;
        const char* pszLeft;
    } cases[] = {{2, 932, "ab"},
                 {3, 932, "ab"},
                 {4, 932, "ab\x82\xA0"},
                 {3, 1252, "ab\x82"},
                 {6, 932,
                  "ab\x82\xA0"
                  "c\x82"},
                 {9, 932,
                  "ab\x82\xA0"
                  "c\x82"},
                 {0, 932, ""},
                 {-1, 932, ""}};
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszLeft, str.LeftWhole(c.nCount, c.nCodePage)) << c.nCount << " in " << c.nCodePage;
}
