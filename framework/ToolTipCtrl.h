// CToolTipCtrl: a tooltip window's handle and the messages to it. The window
// is a pop-up that its owner destroys along with itself: an object that must
// know when it goes is a CSubclassWnd<CToolTipCtrl>, whose handle the handle
// map clears then.
#pragma once

#include "Wnd.h"

#include <commctrl.h>

class CToolTipCtrl : public CWnd {
public:
    // A new tooltip window with pParentWnd as its parent: its owner is the
    // top-level window of that, since a child cannot own a window.
    static HWND CreateFor(CWnd* pParentWnd);
    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    void RelayEvent(LPMSG pMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }
};
