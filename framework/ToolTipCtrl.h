// CToolTipCtrl: owns a tooltip window; everything else is messages to it.
#pragma once

#include "Wnd.h"

#include <commctrl.h>

class CToolTipCtrl : public CWnd {
public:
    // The tooltip goes with its owner; destroy it here if it is still there.
    ~CToolTipCtrl() override
    {
        if (m_hWnd && ::IsWindow(m_hWnd))
            DestroyWindow();
    }

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void RelayEvent(LPMSG pMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }
};
