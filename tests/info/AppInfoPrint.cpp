// Prints what AppInfo finds in this process, one "key=value" line each. It
// is built once per version resource under test (tests/info/version_*.rc),
// and run by AppInfoTest, which compares the lines with what it expects.
//
//     version_1234 [--os PLATFORM.MAJOR.MINOR.PRODUCTTYPE [--plain]]
//                  [--fail-os] [--arch ARCHITECTURE]
//
// The options stand in for the system it runs on: they point this program's
// own imports at functions of its own before AppInfo first runs.
//   --os     GetVersionExA reports that version; with --plain it knows only
//            the 148-byte record, as Windows 95 to ME and NT 4.0 before SP6.
//            The line "asked=" then lists the record sizes asked for.
//   --fail-os  GetVersionExA fails for every size.
//   --arch   GetNativeSystemInfo reports that processor architecture.
//   --long-path  GetModuleFileNameA answers for this program as Windows 2000
//            and XP do for a path longer than the buffer: it fills the whole
//            buffer with "C:\aaa...", without a terminating zero.

#include "common/ImportPatch.h"
#include "info/AppInfo.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

DWORD g_dwPlatform = 0;
DWORD g_dwMajor = 0;
DWORD g_dwMinor = 0;
BYTE g_productType = 0;
bool g_bPlainOnly = false;
bool g_bFailOs = false;
bool g_bLongPath = false;
WORD g_wArchitecture = 0;
CString g_strSizesAsked;
DWORD_PTR g_dwGetProcAddress = 0;
DWORD_PTR g_dwGetModuleFileName = 0;

BOOL WINAPI FakeGetVersionEx(LPOSVERSIONINFOA pInfo)
{
    CString strSize;
    strSize.Format(g_strSizesAsked.IsEmpty() ? "%u" : " %u",
                   static_cast<unsigned>(pInfo->dwOSVersionInfoSize));
    g_strSizesAsked += strSize;
    bool bExtended = pInfo->dwOSVersionInfoSize == sizeof(OSVERSIONINFOEXA);
    bool bKnown = pInfo->dwOSVersionInfoSize == sizeof(OSVERSIONINFOA) || (bExtended && !g_bPlainOnly);
    if (g_bFailOs || !bKnown)
        return FALSE;
    pInfo->dwMajorVersion = g_dwMajor;
    pInfo->dwMinorVersion = g_dwMinor;
    pInfo->dwPlatformId = g_dwPlatform;
    if (bExtended)
        reinterpret_cast<OSVERSIONINFOEXA*>(pInfo)->wProductType = g_productType;
    return TRUE;
}

void WINAPI FakeGetNativeSystemInfo(LPSYSTEM_INFO pInfo)
{
    ::GetSystemInfo(pInfo);
    pInfo->wProcessorArchitecture = g_wArchitecture;
}

DWORD WINAPI FakeGetModuleFileName(HMODULE hModule, LPSTR pszPath, DWORD nSize)
{
    if (hModule || nSize < 3)
        return reinterpret_cast<decltype(&::GetModuleFileNameA)>(g_dwGetModuleFileName)(hModule, pszPath,
                                                                                        nSize);
    memcpy(pszPath, "C:\\", 3);
    memset(pszPath + 3, 'a', nSize - 3);
    return nSize;
}

FARPROC WINAPI FakeGetProcAddress(HMODULE hModule, LPCSTR pszName)
{
    if (HIWORD(pszName) && strcmp(pszName, "GetNativeSystemInfo") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<DWORD_PTR>(FakeGetNativeSystemInfo));
    return reinterpret_cast<decltype(&::GetProcAddress)>(g_dwGetProcAddress)(hModule, pszName);
}

// Fills the stack below this frame with ones, so that a version record
// the gathering did not clear reads as a workstation's.
void __attribute__((noinline)) SoilTheStack()
{
    volatile BYTE fill[4096];
    for (BYTE volatile& b : fill)
        b = 1;
}

bool ParseOptions(int argc, char** argv)
{
    bool bFakeOs = false;
    bool bFakeArchitecture = false;
    for (int i = 1; i < argc; ++i) {
        unsigned platform = 0, major = 0, minor = 0, productType = 0;
        if (strcmp(argv[i], "--os") == 0 && i + 1 < argc &&
            sscanf(argv[++i], "%u.%u.%u.%u", &platform, &major, &minor, &productType) == 4) {
            g_dwPlatform = platform;
            g_dwMajor = major;
            g_dwMinor = minor;
            g_productType = static_cast<BYTE>(productType);
            bFakeOs = true;
        } else if (strcmp(argv[i], "--plain") == 0) {
            g_bPlainOnly = true;
        } else if (strcmp(argv[i], "--fail-os") == 0) {
            g_bFailOs = bFakeOs = true;
        } else if (strcmp(argv[i], "--long-path") == 0) {
            g_bLongPath = true;
        } else if (strcmp(argv[i], "--arch") == 0 && i + 1 < argc) {
            g_wArchitecture = static_cast<WORD>(atoi(argv[++i]));
            bFakeArchitecture = true;
        } else {
            return false;
        }
    }
    if (bFakeOs &&
        !PatchImport("kernel32.dll", "GetVersionExA", reinterpret_cast<const void*>(FakeGetVersionEx)))
        return false;
    if (g_bLongPath) {
        g_dwGetModuleFileName = PatchImport("kernel32.dll", "GetModuleFileNameA",
                                            reinterpret_cast<const void*>(FakeGetModuleFileName));
        if (!g_dwGetModuleFileName)
            return false;
    }
    if (bFakeArchitecture)
        g_dwGetProcAddress =
            PatchImport("kernel32.dll", "GetProcAddress", reinterpret_cast<const void*>(FakeGetProcAddress));
    return !bFakeArchitecture || g_dwGetProcAddress != 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (!ParseOptions(argc, argv)) {
        fprintf(stderr, "AppInfoPrint: bad option, or an import that is not there to replace\n");
        return 2;
    }
    SoilTheStack();

    // Each accessor gathers first if nothing has been gathered yet.
    printf("path=%s\n", static_cast<LPCSTR>(AppInfo::GetModulePath()));
    printf("directory=%s\n", static_cast<LPCSTR>(AppInfo::GetModuleDirectory()));
    printf("short=%s\n", static_cast<LPCSTR>(AppInfo::GetShortVersion()));
    printf("full=%s\n", static_cast<LPCSTR>(AppInfo::GetFullVersion()));
    int nMajor = -1, nMinor = -1, nThird = -1, nFourth = -1;
    AppInfo::GetVersionNumbers(nMajor, nMinor, nThird, nFourth);
    printf("numbers=%d %d %d %d\n", nMajor, nMinor, nThird, nFourth);
    nMajor = nMinor = -1;
    AppInfo::GetMajorMinor(nMajor, nMinor);
    printf("major.minor=%d %d\n", nMajor, nMinor);
    printf("product=%s\n", static_cast<LPCSTR>(AppInfo::GetProductName()));
    printf("company=%s\n", static_cast<LPCSTR>(AppInfo::GetCompanyName()));
    printf("copyright=%s\n", static_cast<LPCSTR>(AppInfo::GetLegalCopyright()));
    printf("special=%s\n", static_cast<LPCSTR>(AppInfo::GetSpecialBuild()));
    printf("os=%d %s\n", AppInfo::GetOsCode(), static_cast<LPCSTR>(AppInfo::GetOsName()));
    printf("asked=%s\n", static_cast<LPCSTR>(g_strSizesAsked));
    return 0;
}
