#include "ToolTipCtrl.h"

#include "WinApp.h"

HWND CToolTipCtrl::CreateFor(CWnd* pParentWnd)
{
    return ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->m_hWnd, nullptr,
                             AfxGetInstanceHandle(), nullptr);
}
