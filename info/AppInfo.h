// What the running program is and what it runs on: the version resource of
// the program's own executable, its path, and the operating system. Gathered
// once per process on the first call of any accessor.
#pragma once

#include "String.h"

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

} // namespace AppInfo
