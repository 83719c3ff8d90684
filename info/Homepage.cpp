#include "info/Homepage.h"

#include "info/AppInfo.h"

#include <shellapi.h>

const char HomepageHost[] = "www.sondaro.org";

CString HomepageAddress(LPCSTR pszProductName, LPCSTR pszFullVersion)
{
    // The download page takes the pieces as they are: nothing is escaped.
    CString strAddress;
    strAddress += "http://";
    strAddress += HomepageHost;
    strAddress += "/software/download/index.php?Software=";
    strAddress += pszProductName;
    strAddress += "&CurrentVersion=";
    strAddress += pszFullVersion;
    return strAddress;
}

void OpenHomepage(HWND owner)
{
    CString strAddress = HomepageAddress(AppInfo::GetProductName(), AppInfo::GetFullVersion());
    // Without a browser the click has no effect; there is nothing to report.
    ::ShellExecuteA(owner, "Open", strAddress, nullptr, nullptr, SW_SHOWNORMAL);
}
