// CWinApp: the one application object, found from static initialisation on.
#pragma once

#include "CmdTarget.h"
#include "String.h"
#include "System.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR pszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }

    // Only stores the name: the program keeps no profile settings.
    void SetRegistryKey(LPCSTR pszRegistryKey) { m_strRegistryKey = pszRegistryKey; }

    HICON LoadIcon(UINT nIDResource) const;
    HCURSOR LoadCursor(UINT nIDResource) const;

    // F1 leads here; the program has no help content.
    void OnHelp() {}

    CWnd* m_pMainWnd = nullptr;
    // The executable's file name without directory and extension, unless
    // given at construction.
    CString m_strAppName;
    CString m_strRegistryKey;
};

CWinApp* AfxGetApp();
// The executable's path, always terminated.
CString AfxGetModulePath();
inline HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleA(nullptr);
}
// The program's resources are in its own module.
inline HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

// A message box captioned with the application name, modal to the active
// window; the exclamation icon when the type names no icon.
int AfxMessageBox(LPCSTR pszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// The program's entry: runs InitInstance, then the exit processing.
// Returns the process's exit code.
int AfxWinMain();
