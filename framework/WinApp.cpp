#include "WinApp.h"

#include "Wnd.h"

namespace {
CWinApp* g_pApp = nullptr;

CString AppNameFromModule()
{
    const CString strPath = AfxGetModulePath();
    LPCSTR szPath = strPath;
    // The file name starts after the last separator; AfxCharNext steps over
    // double-byte characters whose second byte looks like a backslash.
    LPCSTR pszName = szPath;
    LPCSTR pszDot = nullptr;
    for (LPCSTR p = szPath; *p; p = AfxCharNext(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            pszName = p + 1;
            pszDot = nullptr;
        } else if (*p == '.') {
            pszDot = p;
        }
    }
    return pszDot ? CString(pszName, static_cast<int>(pszDot - pszName)) : CString(pszName);
}
} // namespace

CWinApp::CWinApp(LPCSTR pszAppName) : m_strAppName(pszAppName)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

CString AfxGetModulePath()
{
    char szPath[MAX_PATH] = "";
    DWORD dwLength = ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    // Windows 2000 and XP leave a path that fills the buffer unterminated.
    szPath[dwLength < MAX_PATH ? dwLength : MAX_PATH - 1] = '\0';
    return szPath;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

int AfxMessageBox(LPCSTR pszText, UINT nType, UINT)
{
    if ((nType & MB_ICONMASK) == 0)
        nType |= MB_ICONEXCLAMATION;
    CWinApp* pApp = AfxGetApp();
    CString strCaption = pApp ? pApp->m_strAppName : CString();
    if (strCaption.IsEmpty())
        strCaption = AppNameFromModule();
    HWND hWndOwner = ::GetActiveWindow();
    if (!hWndOwner && pApp && pApp->m_pMainWnd)
        hWndOwner = pApp->m_pMainWnd->m_hWnd;
    return ::MessageBoxA(hWndOwner, pszText, strCaption, nType);
}

int AfxWinMain()
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    if (pApp->m_strAppName.IsEmpty())
        pApp->m_strAppName = AppNameFromModule();
    // The application's whole working life is InitInstance, a dialog's
    // modal run; it returns FALSE, and the framework has no message loop to
    // enter, only the exit processing.
    pApp->InitInstance();
    return pApp->ExitInstance();
}
