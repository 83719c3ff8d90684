// The link to the maker's download page.
#pragma once

#include "String.h"

#include <windows.h>

// The maker's web host, without scheme or path; also the links' caption.
extern const char HomepageHost[];

// The download page's address for the given product and version, each piece
// taken as it is: nothing is escaped.
CString HomepageAddress(LPCSTR pszProductName, LPCSTR pszFullVersion);

// Opens the download page for this program's product name and full version
// in the default browser.
void OpenHomepage(HWND owner);
