#include "ToolTipCtrl.h"

#include "WinApp.h"

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    m_hWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd->m_hWnd, nullptr,
                               AfxGetInstanceHandle(), nullptr);
    return m_hWnd != nullptr;
}
