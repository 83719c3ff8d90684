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
    Formatted formatted{pszFormat, CString()};
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

TEST(CStringTest, FormatsIntegersAsTheCStandardSays)
{
    const FormatCase cases[] = {
        {FormatOf("%d|%i|%u", -42, INT_MIN, -1), "-42|-2147483648|4294967295"},
        {FormatOf("%o|%x|%X|%b", 8, 0xBEEF, 0xBEEF, 5), "10|beef|BEEF|101"},
        // Flags and width.
        {FormatOf("%5d|%-5d|%05d", -42, -42, -42), "  -42|-42  |-0042"},
        {FormatOf("%+d|%+d|% d|% 5d|%+05d", 42, -42, 42, 42, 42), "+42|-42| 42|   42|+0042"},
        {FormatOf("%#o|%#o|%#x|%#X|%#x|%#b|%#B", 8, 0, 255, 255, 0, 5, 5), "010|0|0xff|0XFF|0|0b101|0B101"},
        {FormatOf("%#08x|%#5o", 255, 8), "0x0000ff|  010"},
        // Precision: digits at least, zero with none at all.
        {FormatOf("%.3d|%6.3d|%.3x|%-6.3d|", 7, -7, 10, 7), "007|  -007|00a|007   |"},
        {FormatOf("[%.0d|%3.0u|%#.0o|%#.3o]", 0, 0u, 0, 8), "[|   |0|010]"},
        // Sizes: hh and h of an int, l, z and t of 32 bits.
        {FormatOf("%hd|%hu|%hx", 65535, -1, 0x12345), "-1|65535|2345"},
        {FormatOf("%hhd|%hhu|%hhX", 255, 257, -1), "-1|1|FF"},
        {FormatOf("%ld|%lu|%zu|%td", LONG_MIN, ULONG_MAX, static_cast<size_t>(123),
                  static_cast<ptrdiff_t>(-5)),
         "-2147483648|4294967295|123|-5"},
        // Width and precision from the arguments; negative, a '-' and none.
        {FormatOf("%*d|%*d|%0*d|%.*d|%.*d|%*.*d", 5, 42, -5, 42, -5, 42, 3, 7, -1, 0, 6, 3, -7),
         "   42|42   |42   |007|0|  -007"},
        {FormatOf("%p|%-10p|%%|%d%%", reinterpret_cast<void*>(0x1234), reinterpret_cast<void*>(0xABCDEF), 50),
         "00001234|00ABCDEF  |%|50%"},
    };
    ExpectFormats(cases);
}

// The unit tests run in code page 1252.
TEST(CStringTest, FormatsCharactersAndStrings)
{
    const FormatCase cases[] = {
        {FormatOf("%c|%3c|%-3c|", 'A', 'B', 'C'), "A|  B|C  |"},
        {FormatOf("%s|%.2s|%5.2s|%-5s|%.*s", "abc", "abc", "abc", "abc", 2, "abc"), "abc|ab|   ab|abc  |ab"},
        {FormatOf("%ls|%.2ls|%6ls|%lc|%S|%C", L"f\u00FCr", L"f\u00FCr", L"f\u00FCr",
                  static_cast<wint_t>(L'\u20AC'), L"ab", static_cast<wint_t>(L'c')),
         "f\xFCr|f\xFC|   f\xFCr|\x80|ab|c"},
    };
    ExpectFormats(cases);
}

// Floating point, %n, 64 bits and the like: the rest of the format as it
// stands, no argument read.
TEST(CStringTest, FormatCopiesTheRestFromAConversionItDoesNotMake)
{
    int nWritten = -1;
    const FormatCase cases[] = {
        {FormatOf("a%db%5.1fc%d", 1, 2.0, 3), "a1b%5.1fc%d"},
        {FormatOf("%e|%g|%a|%d", 2.0, 2.0, 2.0, 4), "%e|%g|%a|%d"},
        {FormatOf("x%ny", &nWritten), "x%ny"},
        {FormatOf("%d %lld|%jd|%qd", 1, 1LL, static_cast<intmax_t>(2), 3LL), "1 %lld|%jd|%qd"},
        {FormatOf("%1$d|%1$x", 5), "%1$d|%1$x"},
        {FormatOf("%'d|%m", 5), "%'d|%m"},
    };
    ExpectFormats(cases);
    EXPECT_EQ(-1, nWritten);
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
