// AppInfo reads the program it runs in, so each case runs a program of its
// own: tests/info/AppInfoPrint.cpp, built once per version resource, which
// prints what the accessors return. Its options replace the system's version
// query through its own import table.
#include "common/ChildOutput.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

typedef std::map<std::string, std::string> Lines;

// This test program's directory, with its backslash: the printers lie here.
std::string TestDirectory()
{
    char szPath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath = szPath;
    return strPath.substr(0, strPath.rfind('\\') + 1);
}

// The "key=value" lines that the printer at strExe writes with the options.
Lines Print(const std::string& strExe, const std::string& strOptions = std::string())
{
    std::string strOutput;
    DWORD dwExitCode = 1;
    Lines lines;
    if (!RunForOutput("\"" + strExe + "\" " + strOptions, strOutput, dwExitCode)) {
        ADD_FAILURE() << "cannot start " << strExe;
        return lines;
    }
    EXPECT_EQ(0u, dwExitCode) << strExe << " " << strOptions;
    size_t nStart = 0;
    for (size_t nEnd; (nEnd = strOutput.find('\n', nStart)) != std::string::npos; nStart = nEnd + 1) {
        // The printer's standard output is in text mode: lines end in CR LF.
        std::string strLine = strOutput.substr(nStart, nEnd - nStart);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        size_t nEqual = strLine.find('=');
        if (nEqual != std::string::npos)
            lines[strLine.substr(0, nEqual)] = strLine.substr(nEqual + 1);
    }
    return lines;
}

} // namespace

TEST(AppInfoTest, ReadsTheVersionResourceOfItsOwnProgram)
{
    const struct {
        const char* pszExe;
        const char* pszShort;
        const char* pszFull;
        const char* pszNumbers;
        const char* pszMajorMinor;
        const char* pszProduct;
        const char* pszCompany;
        const char* pszCopyright;
        const char* pszSpecialBuild;
    } cases[] = {
        // File version 0.1.0.0; a third number of 257 makes the letter a,
        // from its low 8 bits.
        {"version_257.exe", "2.5a", "2.5.257.9", "2 5 257 9", "2 5", "Sondaro Unit Tests", "none",
         "Copyright (C) 2026 Sondaro developers", ""},
        {"version_1234.exe", "1.2c", "1.2.3.4", "1 2 3 4", "1 2", "Test Product 1234", "Test Company",
         "Copyright (C) 2026 Test Company", "private build"},
        // File version 9.8.7.6; the table named by the translation entry,
        // not the first one.
        {"version_1207.exe", "1.2", "1.2.0.7", "1 2 0 7", "1 2", "Produkt 1207", "Firma 1207",
         "Copyright (C) 2026 Firma 1207", ""},
        // Empty company name; no copyright line, no special build.
        {"version_keys.exe", "3.0", "3.0.0.0", "3 0 0 0", "3 0", "Nur Produkt", "", "", ""},
        // A string table without the translation entry to name it: nothing
        // is taken, not even the numbers.
        {"version_no_translation.exe", "", "", "0 0 0 0", "0 0", "", "", "", ""},
        {"version_none.exe", "", "", "0 0 0 0", "0 0", "", "", "", ""},
    };
    const std::string strDirectory = TestDirectory();
    for (const auto& c : cases) {
        Lines lines = Print(strDirectory + c.pszExe);
        EXPECT_EQ(strDirectory + c.pszExe, lines["path"]);
        EXPECT_EQ(strDirectory, lines["directory"]);
        EXPECT_EQ(c.pszShort, lines["short"]) << c.pszExe;
        EXPECT_EQ(c.pszFull, lines["full"]) << c.pszExe;
        EXPECT_EQ(c.pszNumbers, lines["numbers"]) << c.pszExe;
        EXPECT_EQ(c.pszMajorMinor, lines["major.minor"]) << c.pszExe;
        EXPECT_EQ(c.pszProduct, lines["product"]) << c.pszExe;
        EXPECT_EQ(c.pszCompany, lines["company"]) << c.pszExe;
        EXPECT_EQ(c.pszCopyright, lines["copyright"]) << c.pszExe;
        EXPECT_EQ(c.pszSpecialBuild, lines["special"]) << c.pszExe;
    }
}

// Windows 2000 and XP leave a path that fills the buffer unterminated: the
// path ends at the buffer's last byte.
TEST(AppInfoTest, PathThatFillsTheBufferEndsWithIt)
{
    Lines lines = Print(TestDirectory() + "version_none.exe", "--long-path");
    EXPECT_EQ("C:\\" + std::string(MAX_PATH - 4, 'a'), lines["path"]);
    EXPECT_EQ("C:\\", lines["directory"]);
}

// The system as the printer's stand-in query reports it: PLATFORM.MAJOR.
// MINOR.PRODUCTTYPE (platform 0 Win32s, 1 Windows 9x, 2 NT; product type
// 1 workstation, 2 domain controller, 3 server), "--plain" for a system that
// knows only the 148-byte record, "--arch" for the processor (0 x86, 6 IA64,
// 9 AMD64). The printer reads every accessor, so "asked" shows that the
// system is asked once per process, and again only for the plain record.
TEST(AppInfoTest, NamesTheSystemFromOneVersionQuery)
{
    const struct {
        const char* pszOptions;
        const char* pszOs;
        const char* pszAsked;
    } cases[] = {
        {"--os 1.4.0.0 --plain", "1 95", "156 148"},
        {"--os 1.4.10.0 --plain", "2 98", "156 148"},
        {"--os 1.4.90.0 --plain", "3 ME", "156 148"},
        {"--os 2.3.51.0 --plain", "4 NT", "156 148"},
        {"--os 2.4.0.1 --plain", "4 NT", "156 148"},
        {"--os 2.4.0.1", "4 NT", "156"},
        {"--os 2.5.0.1", "5 2000", "156"},
        {"--os 2.5.1.1", "7 XP", "156"},
        {"--os 2.5.2.3 --arch 0", "6 2003", "156"},
        {"--os 2.5.2.3 --arch 9", "6 2003", "156"},
        {"--os 2.5.2.1 --arch 0", "6 2003", "156"},
        {"--os 2.5.2.1 --arch 6", "6 2003", "156"},
        {"--os 2.5.2.1 --arch 9", "8 XP64", "156"},
        // The plain record has no product type: it must read 0, not what
        // the memory held before.
        {"--os 2.5.2.1 --arch 9 --plain", "6 2003", "156 148"},
        {"--os 2.6.0.1 --arch 9", "9 Vista", "156"},
        {"--os 2.6.0.1 --plain", "10 Longhorn", "156 148"},
        {"--os 2.6.0.2", "10 Longhorn", "156"},
        {"--os 2.6.0.3", "10 Longhorn", "156"},
        // Systems the program does not know, and a query that fails.
        {"--os 0.3.10.0 --plain", "0 none", "156 148"},
        {"--os 1.4.1.0 --plain", "0 none", "156 148"},
        {"--os 1.5.0.0 --plain", "0 none", "156 148"},
        {"--os 2.5.3.1", "0 none", "156"},
        {"--os 2.6.1.1", "0 none", "156"},
        {"--os 2.10.0.1 --arch 9", "0 none", "156"},
        {"--os 3.4.0.0", "0 none", "156"},
        {"--fail-os", "0 none", "156 148"},
    };
    const std::string strPrinter = TestDirectory() + "version_none.exe";
    for (const auto& c : cases) {
        Lines lines = Print(strPrinter, c.pszOptions);
        EXPECT_EQ(c.pszOs, lines["os"]) << c.pszOptions;
        EXPECT_EQ(c.pszAsked, lines["asked"]) << c.pszOptions;
    }
}

// Only where the system's code page is Shift-JIS (ctest -R unit_shift_jis):
// there the path of 表 (0x95 0x5C) holds a 0x5C byte that is no backslash.
TEST(AppInfoShiftJisTest, DirectoryEndsAtTheLastRealBackslash)
{
    ASSERT_EQ(932u, ::GetACP()) << "run with SONDARO_LOCALE=ja_JP.UTF-8";
    WCHAR szTemp[MAX_PATH] = L"";
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, szTemp));
    const std::wstring strDirectory = std::wstring(szTemp) + L"\x8868\\";
    const std::wstring strExe = strDirectory + L"\x8868.exe";
    ASSERT_TRUE(::CreateDirectoryW(strDirectory.c_str(), nullptr) ||
                ::GetLastError() == ERROR_ALREADY_EXISTS);
    WCHAR szPrinter[MAX_PATH] = L"";
    ::MultiByteToWideChar(CP_ACP, 0, (TestDirectory() + "version_none.exe").c_str(), -1, szPrinter, MAX_PATH);
    ASSERT_TRUE(::CopyFileW(szPrinter, strExe.c_str(), FALSE));

    char szExe[MAX_PATH] = "";
    char szDirectory[MAX_PATH] = "";
    ::WideCharToMultiByte(932, 0, strExe.c_str(), -1, szExe, MAX_PATH, nullptr, nullptr);
    ::WideCharToMultiByte(932, 0, strDirectory.c_str(), -1, szDirectory, MAX_PATH, nullptr, nullptr);
    ASSERT_NE(nullptr, strstr(szExe, "\x95\\\\\x95\\.exe"));
    Lines lines = Print(szExe);
    EXPECT_EQ(szExe, lines["path"]);
    EXPECT_EQ(szDirectory, lines["directory"]);
    ::DeleteFileW(strExe.c_str());
    ::RemoveDirectoryW(strDirectory.c_str());
}
