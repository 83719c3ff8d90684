#include "app/ProbeApp.h"

#include "app/ProbeDlg.h"

#include <commctrl.h>

BEGIN_MESSAGE_MAP(CProbeApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one application object.
CProbeApp theApp;

namespace {

// Told nothing, Windows Vista and later lay the program out at 96 DPI and
// stretch its picture to the display's DPI, blurred. Aware of the system's
// DPI, the dialogs, whose templates are in dialog units, are laid out at it
// and drawn sharp. Not aware of each monitor's: on a monitor of another
// scale the system stretches the program still. Said before the first
// window, which keeps the awareness it was made with. SetProcessDPIAware
// came with Vista: not in the headers of Windows 95.
void DeclareDpiAware()
{
    typedef BOOL(WINAPI * SetProcessDpiAwareFunction)();
    auto pfnSetProcessDpiAware =
        AfxGetSystemFunction<SetProcessDpiAwareFunction>("user32.dll", "SetProcessDPIAware");
    if (pfnSetProcessDpiAware)
        pfnSetProcessDpiAware();
}

} // namespace

CProbeApp::CProbeApp() : CWinApp(nullptr) {}

CProbeApp::~CProbeApp() = default;

BOOL CProbeApp::InitInstance()
{
    DeclareDpiAware();
    InitCommonControls();
    CWinApp::InitInstance();
    SetRegistryKey("Probilo");

    CProbeDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The dialog has ended: leave without a message loop of our own.
    return FALSE;
}
