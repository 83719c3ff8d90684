// Checks AppInfo's OS code and name under each Windows version that Wine
// emulates. Wine reads the version to emulate (HKCU\Software\Wine, value
// "Version") when a process starts, so this program sets the value and starts
// itself once per version; the child prints what AppInfo found.
//
//     os_version_check          sets each version in turn, compares, puts the
//                               value back; exit code 0 when all match
//     os_version_check --print  prints "<code> <name>" of this process
//
// It changes the registry of the Wine prefix it runs in, so it runs only
// where scripts/wine-test-env gave it a prefix of its own.

#include "common/ChildOutput.h"
#include "info/AppInfo.h"

#include <cstdio>
#include <cstring>

namespace {

struct Expected {
    LPCSTR pszWineVersion;
    int nOsCode;
    LPCSTR pszOsName;
};

const Expected kExpected[] = {
    {"win95", 1, "95"},
    {"win98", 2, "98"},
    {"winme", 3, "ME"},
    {"nt40", 4, "NT"},
    {"win2k", 5, "2000"},
    {"winxp", 7, "XP"},
    {"win2003", 6, "2003"},
    // Only 32-bit Wine is installed: its "winxp64" is version 5.2 of a
    // workstation on an x86 processor, so no XP64. That needs a 64-bit
    // prefix, where this program would run under WOW64.
    {"winxp64", 6, "2003"},
    {"vista", 9, "Vista"},
    {"win2008", 10, "Longhorn"},
    {"win7", 0, "none"},
};

const char kWineKey[] = "Software\\Wine";
const char kVersionValue[] = "Version";

int PrintOs()
{
    printf("%d %s\n", AppInfo::GetOsCode(), static_cast<LPCSTR>(AppInfo::GetOsName()));
    return 0;
}

bool SetWineVersion(HKEY hKey, LPCSTR pszVersion)
{
    return ::RegSetValueExA(hKey, kVersionValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszVersion),
                            static_cast<DWORD>(strlen(pszVersion) + 1)) == ERROR_SUCCESS;
}

// Runs this program with --print and returns its output line, empty on any
// failure.
CString RunChild(LPCSTR pszSelf)
{
    std::string strOutput;
    DWORD dwExitCode = 0;
    if (!RunForOutput(std::string("\"") + pszSelf + "\" --print", strOutput, dwExitCode) || dwExitCode != 0)
        return CString();
    while (!strOutput.empty() && (strOutput.back() == '\n' || strOutput.back() == '\r'))
        strOutput.pop_back();
    return CString(strOutput.c_str());
}

int CheckAllVersions()
{
    char szPrefix[MAX_PATH] = "";
    if (!::GetEnvironmentVariableA("SONDARO_WINEPREFIX", szPrefix, sizeof szPrefix)) {
        fprintf(stderr, "os_version_check changes the Wine prefix's registry: run it through "
                        "scripts/wine-test-env (ctest -R os_versions)\n");
        return 2;
    }
    char szSelf[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, szSelf, MAX_PATH);

    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kWineKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &hKey, nullptr) != ERROR_SUCCESS) {
        fprintf(stderr, "cannot open HKCU\\%s\n", kWineKey);
        return 1;
    }
    char szSaved[64] = "";
    DWORD dwSavedSize = sizeof szSaved;
    DWORD dwType = 0;
    bool bHadValue = ::RegQueryValueExA(hKey, kVersionValue, nullptr, &dwType,
                                        reinterpret_cast<BYTE*>(szSaved), &dwSavedSize) == ERROR_SUCCESS &&
                     dwType == REG_SZ;

    int nFailures = 0;
    for (const Expected& expected : kExpected) {
        CString strWant;
        strWant.Format("%d %s", expected.nOsCode, expected.pszOsName);
        CString strGot = SetWineVersion(hKey, expected.pszWineVersion) ? RunChild(szSelf) : CString();
        bool bMatch = strGot == strWant;
        printf("%-8s want \"%s\", got \"%s\"%s\n", expected.pszWineVersion, static_cast<LPCSTR>(strWant),
               static_cast<LPCSTR>(strGot), bMatch ? "" : "  MISMATCH");
        if (!bMatch)
            ++nFailures;
    }

    if (bHadValue)
        SetWineVersion(hKey, szSaved);
    else
        ::RegDeleteValueA(hKey, kVersionValue);
    ::RegCloseKey(hKey);
    return nFailures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--print") == 0)
        return PrintOs();
    return CheckAllVersions();
}
