#include "info/AppInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using AppInfo::Detail::VersionFields;

// Counts how often the version module asks the system for its version.
int g_nOsVersionQueries = 0;

BOOL WINAPI CountingGetVersionEx(LPOSVERSIONINFOA pInfo)
{
    ++g_nOsVersionQueries;
    return ::GetVersionExA(pInfo);
}

// The test DLLs lie beside this executable.
CString TestDllPath(LPCSTR pszName)
{
    return AppInfo::GetModuleDirectory() + pszName;
}

} // namespace

namespace {
// Every accessor many times; the exit code says how often the system was
// asked for its version (0: once).
[[noreturn]] void GatherTwentyTimesAndExit()
{
    int nMajor = 0, nMinor = 0, nThird = 0, nFourth = 0;
    for (int i = 0; i < 20; ++i) {
        AppInfo::Detail::CollectWith(CountingGetVersionEx);
        AppInfo::GetModuleDirectory();
        AppInfo::GetFullVersion();
        AppInfo::GetVersionNumbers(nMajor, nMinor, nThird, nFourth);
        AppInfo::GetProductName();
        AppInfo::GetOsName();
    }
    // Wine knows the extended record, so there is no second call.
    ::ExitProcess(g_nOsVersionQueries == 1 ? 0 : 10 + g_nOsVersionQueries);
}
} // namespace

// In a process of its own, which GoogleTest starts for the statement: no
// accessor has run there yet, whatever ran before in this one.
TEST(AppInfoTest, GathersOncePerProcess)
{
    EXPECT_EXIT(GatherTwentyTimesAndExit(), testing::ExitedWithCode(0), "");
}

TEST(AppInfoTest, ReadsTheVersionResourceOfEachTestDll)
{
    const struct {
        LPCSTR pszDll;
        LPCSTR pszShort;
        LPCSTR pszFull;
        int nMajor, nMinor, nThird, nFourth;
        LPCSTR pszProduct;
        LPCSTR pszCompany;
        LPCSTR pszCopyright;
        LPCSTR pszSpecialBuild;
    } cases[] = {
        {"version_1234.dll", "1.2c", "1.2.3.4", 1, 2, 3, 4, "Test Product 1234", "Test Company",
         "Copyright (C) 2026 Test Company", "private build"},
        // File version 9.8.7.6; the table named by the translation entry,
        // not the first one.
        {"version_1207.dll", "1.2", "1.2.0.7", 1, 2, 0, 7, "Produkt 1207", "Firma 1207",
         "Copyright (C) 2026 Firma 1207", ""},
        // Empty company name; no copyright line, no special build.
        {"version_keys.dll", "3.0", "3.0.0.0", 3, 0, 0, 0, "Nur Produkt", "", "", ""},
        // A string table without the translation entry to name it.
        {"version_no_translation.dll", "", "", 0, 0, 0, 0, "", "", "", ""},
        {"version_none.dll", "", "", 0, 0, 0, 0, "", "", "", ""},
    };
    for (const auto& c : cases) {
        CString strPath = TestDllPath(c.pszDll);
        // A missing file would look like one without a version resource.
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(strPath)) << strPath;
        VersionFields fields;
        AppInfo::Detail::ReadVersionFields(strPath, fields);
        EXPECT_STREQ(c.pszShort, fields.strShortVersion) << c.pszDll;
        EXPECT_STREQ(c.pszFull, fields.strFullVersion) << c.pszDll;
        EXPECT_EQ(c.nMajor, fields.nMajor) << c.pszDll;
        EXPECT_EQ(c.nMinor, fields.nMinor) << c.pszDll;
        EXPECT_EQ(c.nThird, fields.nThird) << c.pszDll;
        EXPECT_EQ(c.nFourth, fields.nFourth) << c.pszDll;
        EXPECT_STREQ(c.pszProduct, fields.strProductName) << c.pszDll;
        EXPECT_STREQ(c.pszCompany, fields.strCompanyName) << c.pszDll;
        EXPECT_STREQ(c.pszCopyright, fields.strLegalCopyright) << c.pszDll;
        EXPECT_STREQ(c.pszSpecialBuild, fields.strSpecialBuild) << c.pszDll;
    }
}

TEST(AppInfoTest, ReadsItsOwnExecutable)
{
    char szPath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    EXPECT_STREQ(szPath, AppInfo::GetModulePath());
    CString strDirectory = AppInfo::GetModuleDirectory();
    ASSERT_FALSE(strDirectory.IsEmpty());
    EXPECT_EQ('\\', strDirectory.GetAt(strDirectory.GetLength() - 1));
    EXPECT_STREQ(szPath, strDirectory + "unit_tests.exe");

    // tests/info/unit_tests.rc: product version 2.5.257.9, file version
    // 0.1.0.0; 257 makes the letter a, from its low 8 bits.
    EXPECT_STREQ("2.5.257.9", AppInfo::GetFullVersion());
    EXPECT_STREQ("2.5a", AppInfo::GetShortVersion());
    int nMajor = -1, nMinor = -1, nThird = -1, nFourth = -1;
    AppInfo::GetVersionNumbers(nMajor, nMinor, nThird, nFourth);
    EXPECT_EQ(2, nMajor);
    EXPECT_EQ(5, nMinor);
    EXPECT_EQ(257, nThird);
    EXPECT_EQ(9, nFourth);
    nMajor = nMinor = -1;
    AppInfo::GetMajorMinor(nMajor, nMinor);
    EXPECT_EQ(2, nMajor);
    EXPECT_EQ(5, nMinor);
    EXPECT_STREQ("Sondaro Unit Tests", AppInfo::GetProductName());
    EXPECT_STREQ("none", AppInfo::GetCompanyName());
    EXPECT_STREQ("Copyright (C) 2026 Sondaro developers", AppInfo::GetLegalCopyright());
    EXPECT_STREQ("", AppInfo::GetSpecialBuild());
}

TEST(AppInfoTest, DirectoryEndsAtTheLastBackslashOfTheCodePage)
{
    const struct {
        LPCSTR pszPath;
        UINT nCodePage;
        LPCSTR pszDirectory;
    } cases[] = {
        {"C:\\Programme\\Sondaro\\Sondaro.exe", 1252, "C:\\Programme\\Sondaro\\"},
        {"Sondaro.exe", 1252, ""},
        // In Shift-JIS 0x95 0x5C is one character; in Windows-1252 two.
        {"C:\\Tools\\\x95\\Sondaro.exe", 932, "C:\\Tools\\"},
        {"C:\\Tools\\\x95\\Sondaro.exe", 1252, "C:\\Tools\\\x95\\"},
        {"C:\\\x95\\\\Sondaro.exe", 932, "C:\\\x95\\\\"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszDirectory, AppInfo::Detail::DirectoryOf(c.pszPath, c.nCodePage))
            << c.pszPath << " in code page " << c.nCodePage;
}

TEST(AppInfoTest, ClassifiesTheOperatingSystem)
{
    const WORD kX86 = PROCESSOR_ARCHITECTURE_INTEL;
    const WORD kAmd64 = PROCESSOR_ARCHITECTURE_AMD64;
    const BYTE kWorkstation = VER_NT_WORKSTATION;
    const BYTE kServer = VER_NT_SERVER;
    const struct {
        DWORD dwPlatformId, dwMajor, dwMinor;
        BYTE productType;
        WORD wArchitecture;
        int nCode;
        LPCSTR pszName;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0, kX86, 1, "95"},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0, kX86, 2, "98"},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0, kX86, 3, "ME"},
        {VER_PLATFORM_WIN32_NT, 4, 0, kWorkstation, kX86, 4, "NT"},
        {VER_PLATFORM_WIN32_NT, 3, 51, 0, kX86, 4, "NT"},
        {VER_PLATFORM_WIN32_NT, 5, 0, kWorkstation, kX86, 5, "2000"},
        {VER_PLATFORM_WIN32_NT, 5, 2, kServer, kX86, 6, "2003"},
        {VER_PLATFORM_WIN32_NT, 5, 2, kServer, kAmd64, 6, "2003"},
        {VER_PLATFORM_WIN32_NT, 5, 2, kWorkstation, kX86, 6, "2003"},
        {VER_PLATFORM_WIN32_NT, 5, 2, kWorkstation, PROCESSOR_ARCHITECTURE_IA64, 6, "2003"},
        {VER_PLATFORM_WIN32_NT, 5, 1, kWorkstation, kX86, 7, "XP"},
        {VER_PLATFORM_WIN32_NT, 5, 2, kWorkstation, kAmd64, 8, "XP64"},
        {VER_PLATFORM_WIN32_NT, 6, 0, kWorkstation, kAmd64, 9, "Vista"},
        {VER_PLATFORM_WIN32_NT, 6, 0, kServer, kX86, 10, "Longhorn"},
        {VER_PLATFORM_WIN32_NT, 6, 0, VER_NT_DOMAIN_CONTROLLER, kX86, 10, "Longhorn"},
        // Win32s: the code is cleared, the name left alone.
        {VER_PLATFORM_WIN32s, 3, 10, 0, kX86, 0, "before"},
        // Versions the program does not know change nothing.
        {VER_PLATFORM_WIN32_NT, 6, 1, kWorkstation, kX86, 42, "before"},
        {VER_PLATFORM_WIN32_NT, 5, 3, kWorkstation, kX86, 42, "before"},
        {VER_PLATFORM_WIN32_NT, 10, 0, kWorkstation, kAmd64, 42, "before"},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 1, 0, kX86, 42, "before"},
        {VER_PLATFORM_WIN32_WINDOWS, 5, 0, 0, kX86, 42, "before"},
        {3, 4, 0, 0, kX86, 42, "before"},
    };
    for (const auto& c : cases) {
        OSVERSIONINFOEXA info;
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        info.dwPlatformId = c.dwPlatformId;
        info.dwMajorVersion = c.dwMajor;
        info.dwMinorVersion = c.dwMinor;
        info.wProductType = c.productType;
        int nCode = 42;
        CString strName = "before";
        AppInfo::Detail::ClassifyOs(info, c.wArchitecture, nCode, strName);
        EXPECT_EQ(c.nCode, nCode) << c.dwPlatformId << " " << c.dwMajor << "." << c.dwMinor;
        EXPECT_STREQ(c.pszName, strName) << c.dwPlatformId << " " << c.dwMajor << "." << c.dwMinor;
    }
}

namespace {

// A GetVersionExA of a system that knows only the 148-byte record: it
// rejects other sizes and writes no more than 148 bytes.
DWORD g_dwFakeMajor = 0;
DWORD g_dwFakeMinor = 0;
bool g_bFakeKnowsExtended = false;
std::vector<DWORD> g_fakeSizesAsked;

BOOL WINAPI FakeGetVersionEx(LPOSVERSIONINFOA pInfo)
{
    g_fakeSizesAsked.push_back(pInfo->dwOSVersionInfoSize);
    bool bExtended = pInfo->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA);
    if (pInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) && !(bExtended && g_bFakeKnowsExtended))
        return FALSE;
    pInfo->dwMajorVersion = g_dwFakeMajor;
    pInfo->dwMinorVersion = g_dwFakeMinor;
    pInfo->dwPlatformId = VER_PLATFORM_WIN32_NT;
    if (bExtended)
        reinterpret_cast<OSVERSIONINFOEXA*>(pInfo)->wProductType = VER_NT_WORKSTATION;
    return TRUE;
}

BOOL WINAPI FailingGetVersionEx(LPOSVERSIONINFOA pInfo)
{
    g_fakeSizesAsked.push_back(pInfo->dwOSVersionInfoSize);
    return FALSE;
}

} // namespace

TEST(AppInfoTest, FallsBackToThePlainVersionRecord)
{
    const struct {
        bool bKnowsExtended;
        DWORD dwMajor, dwMinor;
        std::vector<DWORD> sizes;
        int nCode;
        LPCSTR pszName;
    } cases[] = {
        // The product type of the plain record reads 0: no workstation.
        {false, 6, 0, {156, 148}, 10, "Longhorn"},
        {false, 5, 2, {156, 148}, 6, "2003"},
        {true, 6, 0, {156}, 9, "Vista"},
        {true, 5, 2, {156}, 8, "XP64"},
    };
    for (const auto& c : cases) {
        g_bFakeKnowsExtended = c.bKnowsExtended;
        g_dwFakeMajor = c.dwMajor;
        g_dwFakeMinor = c.dwMinor;
        g_fakeSizesAsked.clear();
        OSVERSIONINFOEXA info;
        // What the record held before must not show through.
        memset(&info, 0xFF, sizeof info);
        info.wProductType = VER_NT_WORKSTATION;
        ASSERT_TRUE(AppInfo::Detail::QueryOsVersion(info, FakeGetVersionEx));
        EXPECT_EQ(c.sizes, g_fakeSizesAsked);
        int nCode = 0;
        CString strName = "none";
        AppInfo::Detail::ClassifyOs(info, PROCESSOR_ARCHITECTURE_AMD64, nCode, strName);
        EXPECT_EQ(c.nCode, nCode) << c.dwMajor << "." << c.dwMinor;
        EXPECT_STREQ(c.pszName, strName) << c.dwMajor << "." << c.dwMinor;
    }

    g_fakeSizesAsked.clear();
    OSVERSIONINFOEXA info;
    EXPECT_FALSE(AppInfo::Detail::QueryOsVersion(info, FailingGetVersionEx));
    EXPECT_EQ((std::vector<DWORD>{156, 148}), g_fakeSizesAsked);
}
