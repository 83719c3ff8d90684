// What the running program is and what it runs on: the version resource of
// the program's own executable, its path, and the operating system. Gathered
// once per process on the first call of any accessor.
#pragma once

#include "String.h"

#include <windows.h>

namespace AppInfo {

// Gathers everything on its first call; later calls do nothing.
void Collect();

// The executable's directory, with its trailing backslash.
CString GetModuleDirectory();
CString GetModulePath();
// "major.minor" followed by the third number as a letter (1 = a), if not 0.
CString GetShortVersion();
// "major.minor.third.fourth" of the product version.
CString GetFullVersion();
void GetVersionNumbers(int& nMajor, int& nMinor, int& nThird, int& nFourth);
void GetMajorMinor(int& nMajor, int& nMinor);
CString GetProductName();
CString GetCompanyName();
CString GetLegalCopyright();
CString GetSpecialBuild();
// 0 when the system is not one the program knows; then the name is "none".
int GetOsCode();
CString GetOsName();

// The pieces of the gathering that work on what they are given, for tests.
namespace Detail {

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

// Reads the version resource of the file at pszPath. A file without one, or
// without its root block or translation entry, leaves every field as it is.
void ReadVersionFields(LPCSTR pszPath, VersionFields& fields);

// The path up to and including its last backslash, empty when it has none.
// A 0x5C byte that ends a double-byte character of the code page is no
// backslash.
CString DirectoryOf(LPCSTR pszPath, UINT nCodePage);

typedef BOOL(WINAPI* GetVersionExFunction)(LPOSVERSIONINFOA);

// Clears the record and asks for the extended record, then, where the system
// does not know it, for the plain one in the same record; false when both
// fail.
bool QueryOsVersion(OSVERSIONINFOEXA& info, GetVersionExFunction pfnGetVersionEx);

// The processor architecture of the system itself, also for a 32-bit program
// on a 64-bit system.
WORD NativeProcessorArchitecture();

// Collect, with the system's version query given.
void CollectWith(GetVersionExFunction pfnGetVersionEx);

// Sets code and name from the version record and the processor architecture;
// versions the program does not know leave both as they are.
void ClassifyOs(const OSVERSIONINFOEXA& info, WORD wProcessorArchitecture, int& nOsCode, CString& strOsName);

} // namespace Detail
} // namespace AppInfo
