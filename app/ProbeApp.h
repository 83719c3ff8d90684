// CProbeApp: starts the program and runs the main dialog; its end is the
// program's end.
#pragma once

#include "afxwin.h"

class CProbeApp : public CWinApp {
public:
    CProbeApp();
    ~CProbeApp() override;

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
