#include "app/ProbeApp.h"

#include "app/ProbeDlg.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CProbeApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one application object.
CProbeApp theApp;

CProbeApp::CProbeApp() : CWinApp(nullptr) {}

CProbeApp::~CProbeApp() = default;

BOOL CProbeApp::InitInstance()
{
    InitCommonControls();
    CWinApp::InitInstance();
    SetRegistryKey("Probilo");

    CProbeDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The dialog has ended: leave without a message loop of our own.
    return FALSE;
}
