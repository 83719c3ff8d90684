#include "info/AppInfo.h"

#include "WinApp.h"

namespace {

// The values read from a version resource. Fields the resource has no value
// for keep theirs.
struct VersionFields {
    CString strShortVersion;
    CString strFullVersion;
    int nMajor = 0;
    int nMinor = 0;
    int nThird = 0;
    int nFourth = 0;
    CString strProductName;
    CString strCompanyName;
    CString strLegalCopyright;
    CString strSpecialBuild;
};

struct Info {
    bool bDone = false;
    CString strModulePath;
    CString strModuleDirectory;
    VersionFields version;
    int nOsCode = 0;
    CString strOsName = "none";
};

Info s_info;

// The value of one string key, or nothing when the resource has no such key
// or an empty value.
void ReadStringValue(const void* pData, WORD wLanguage, WORD wCodePage, LPCSTR pszKey, CString& strValue)
{
    CString strQuery;
    strQuery.Format("StringFileInfo\\%04X%04X\\%s", wLanguage, wCodePage, pszKey);
    LPVOID pValue = nullptr;
    UINT nLength = 0;
    if (::VerQueryValueA(pData, strQuery, &pValue, &nLength) && pValue && nLength != 0)
        strValue = static_cast<LPCSTR>(pValue);
}

// The fields from a version block that the system has read.
void ReadVersionBlock(const void* pData, VersionFields& fields)
{
    LPVOID pRoot = nullptr;
    UINT nRootLength = 0;
    LPVOID pTranslation = nullptr;
    UINT nTranslationLength = 0;
    // Without both blocks nothing is taken, not even the numbers.
    if (!::VerQueryValueA(pData, "\\", &pRoot, &nRootLength) || !pRoot ||
        nRootLength < sizeof(VS_FIXEDFILEINFO))
        return;
    if (!::VerQueryValueA(pData, "\\VarFileInfo\\Translation", &pTranslation, &nTranslationLength) ||
        !pTranslation || nTranslationLength < sizeof(DWORD))
        return;

    // The product version, not the file version: the file version of a
    // component may differ from the release it belongs to.
    const VS_FIXEDFILEINFO* pFixed = static_cast<const VS_FIXEDFILEINFO*>(pRoot);
    fields.nMajor = HIWORD(pFixed->dwProductVersionMS);
    fields.nMinor = LOWORD(pFixed->dwProductVersionMS);
    fields.nThird = HIWORD(pFixed->dwProductVersionLS);
    fields.nFourth = LOWORD(pFixed->dwProductVersionLS);
    if (fields.nThird != 0)
        fields.strShortVersion.Format("%d.%d%c", fields.nMajor, fields.nMinor, (fields.nThird + 96) % 256);
    else
        fields.strShortVersion.Format("%d.%d", fields.nMajor, fields.nMinor);
    fields.strFullVersion.Format("%u.%u.%u.%u", static_cast<unsigned>(fields.nMajor),
                                 static_cast<unsigned>(fields.nMinor), static_cast<unsigned>(fields.nThird),
                                 static_cast<unsigned>(fields.nFourth));

    DWORD dwTranslation = *static_cast<const DWORD*>(pTranslation);
    WORD wLanguage = LOWORD(dwTranslation);
    WORD wCodePage = HIWORD(dwTranslation);
    ReadStringValue(pData, wLanguage, wCodePage, "ProductName", fields.strProductName);
    ReadStringValue(pData, wLanguage, wCodePage, "CompanyName", fields.strCompanyName);
    ReadStringValue(pData, wLanguage, wCodePage, "LegalCopyright", fields.strLegalCopyright);
    ReadStringValue(pData, wLanguage, wCodePage, "SpecialBuild", fields.strSpecialBuild);
}

// Reads the version resource of the file at pszPath. A file without one, or
// without its root block or translation entry, leaves every field as it is.
void ReadVersionFields(LPCSTR pszPath, VersionFields& fields)
{
    DWORD dwHandle = 0;
    DWORD dwSize = ::GetFileVersionInfoSizeA(pszPath, &dwHandle);
    if (dwSize == 0)
        return;
    BYTE* pData = new BYTE[dwSize];
    if (::GetFileVersionInfoA(pszPath, 0, dwSize, pData))
        ReadVersionBlock(pData, fields);
    delete[] pData;
}

// The path up to and including its last backslash, empty when it has none.
// A 0x5C byte that ends a double-byte character of the system's code page is
// no backslash.
CString DirectoryOf(LPCSTR pszPath)
{
    int nLength = 0;
    for (LPCSTR pch = pszPath; *pch; pch = AfxCharNext(pch)) {
        if (*pch == '\\')
            nLength = static_cast<int>(pch - pszPath) + 1;
    }
    return CString(pszPath, nLength);
}

// The extended version record, which NT 4.0 SP6 and 2000 brought: not in
// the headers of Windows 95. The plain record, then service pack, suite and
// product type.
struct OsVersionRecord {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};

// Clears the record and asks for the extended record, then, where the system
// does not know it, for the plain one in the same record; false when both
// fail.
bool QueryOsVersion(OsVersionRecord& info)
{
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof(OsVersionRecord);
    if (::GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&info)))
        return true;
    // Windows 95 to ME and NT 4.0 before SP6 know only the plain record;
    // wProductType then stays 0.
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    return ::GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&info)) != FALSE;
}

// The processor architecture of the system itself, also for a 32-bit program
// on a 64-bit system.
WORD NativeProcessorArchitecture()
{
    // A 32-bit program on a 64-bit system runs under WOW64, where
    // GetSystemInfo reports x86. GetNativeSystemInfo came with XP: not in
    // the headers of Windows 95.
    typedef void(WINAPI * GetNativeSystemInfoFunction)(LPSYSTEM_INFO);
    auto pfnGetNativeSystemInfo =
        AfxGetSystemFunction<GetNativeSystemInfoFunction>("kernel32.dll", "GetNativeSystemInfo");
    SYSTEM_INFO si;
    ZeroMemory(&si, sizeof si);
    if (pfnGetNativeSystemInfo)
        pfnGetNativeSystemInfo(&si);
    else
        ::GetSystemInfo(&si);
    return si.wProcessorArchitecture;
}

// Sets code and name from the version record and the processor architecture;
// versions the program does not know leave both as they are.
void ClassifyOs(const OsVersionRecord& info, WORD wProcessorArchitecture, int& nOsCode, CString& strOsName)
{
    const DWORD dwMajor = info.dwMajorVersion;
    const DWORD dwMinor = info.dwMinorVersion;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        nOsCode = 0;
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (dwMajor == 4 && dwMinor == 0) {
            nOsCode = 1;
            strOsName = "95";
        } else if (dwMajor == 4 && dwMinor == 10) {
            nOsCode = 2;
            strOsName = "98";
        } else if (dwMajor == 4 && dwMinor == 90) {
            nOsCode = 3;
            strOsName = "ME";
        }
        break;
    case VER_PLATFORM_WIN32_NT:
        if (dwMajor == 6 && dwMinor == 0) {
            if (info.wProductType == VER_NT_WORKSTATION) {
                nOsCode = 9;
                strOsName = "Vista";
            } else {
                nOsCode = 10;
                strOsName = "Longhorn";
            }
        } else if (dwMajor == 5 && dwMinor == 2) {
            if (info.wProductType == VER_NT_WORKSTATION &&
                wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64) {
                nOsCode = 8;
                strOsName = "XP64";
            } else {
                nOsCode = 6;
                strOsName = "2003";
            }
        } else if (dwMajor == 5 && dwMinor == 1) {
            nOsCode = 7;
            strOsName = "XP";
        } else if (dwMajor == 5 && dwMinor == 0) {
            nOsCode = 5;
            strOsName = "2000";
        } else if (dwMajor <= 4) {
            nOsCode = 4;
            strOsName = "NT";
        }
        break;
    }
}

} // namespace

namespace AppInfo {

void Collect()
{
    if (s_info.bDone)
        return;

    s_info.strModulePath = AfxGetModulePath();
    ReadVersionFields(s_info.strModulePath, s_info.version);
    s_info.strModuleDirectory = DirectoryOf(s_info.strModulePath);

    OsVersionRecord osvi;
    if (QueryOsVersion(osvi))
        ClassifyOs(osvi, NativeProcessorArchitecture(), s_info.nOsCode, s_info.strOsName);

    // Also after a failed gathering: it is not repeated.
    s_info.bDone = true;
}

CString GetModuleDirectory()
{
    Collect();
    return s_info.strModuleDirectory;
}

CString GetModulePath()
{
    Collect();
    return s_info.strModulePath;
}

CString GetShortVersion()
{
    Collect();
    return s_info.version.strShortVersion;
}

CString GetFullVersion()
{
    Collect();
    return s_info.version.strFullVersion;
}

void GetVersionNumbers(int& nMajor, int& nMinor, int& nThird, int& nFourth)
{
    Collect();
    nMajor = s_info.version.nMajor;
    nMinor = s_info.version.nMinor;
    nThird = s_info.version.nThird;
    nFourth = s_info.version.nFourth;
}

void GetMajorMinor(int& nMajor, int& nMinor)
{
    Collect();
    nMajor = s_info.version.nMajor;
    nMinor = s_info.version.nMinor;
}

CString GetProductName()
{
    Collect();
    return s_info.version.strProductName;
}

CString GetCompanyName()
{
    Collect();
    return s_info.version.strCompanyName;
}

CString GetLegalCopyright()
{
    Collect();
    return s_info.version.strLegalCopyright;
}

CString GetSpecialBuild()
{
    Collect();
    return s_info.version.strSpecialBuild;
}

int GetOsCode()
{
    Collect();
    return s_info.nOsCode;
}

CString GetOsName()
{
    Collect();
    return s_info.strOsName;
}

} // namespace AppInfo
