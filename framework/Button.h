// CButton: a push button. It sends nothing the program needs but its
// window's: an owner-drawn one that draws itself is a CSubclassWnd<CButton>.
#pragma once

#include "Wnd.h"

class CButton : public CWnd {};
