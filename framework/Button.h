// CButton: a push button; owner-drawn ones draw in DrawItem.
#pragma once

#include "Wnd.h"

class CButton : public CWnd {
public:
    DECLARE_MESSAGE_MAP()
};
