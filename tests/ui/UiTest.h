// Helpers for driving real dialogs in the test process.
#pragma once

#include "afxwin.h"
#include "common/MainDialog.h"

#include <functional>
#include <string>
#include <vector>

// Runs the dialog modally and calls `body` from inside its modal loop once
// the window exists. If the dialog is still open afterwards it is cancelled.
INT_PTR RunDialog(CDialog& dlg, const std::function<void(HWND)>& body);

// Calls `action` for the first top-level dialog window of this thread with
// the given caption that appears while `trigger` runs (e.g. a message box).
void WhileTriggering(const std::function<void()>& trigger, const char* pszCaption,
                     const std::function<void(HWND)>& action);

// Takes all of the process's GDI handles but a few. Wine's table holds about
// 65500 objects (Windows' default quota is 10000); filling it with regions
// takes a fraction of a second, where running that many drawing passes to
// overflow it would take minutes under emulation.
class CGdiHandleReserve {
public:
    explicit CGdiHandleReserve(int nLeaveFree);
    ~CGdiHandleReserve();
    CGdiHandleReserve(const CGdiHandleReserve&) = delete;
    CGdiHandleReserve& operator=(const CGdiHandleReserve&) = delete;

    bool IsFull() const { return m_bFull; }
    size_t GetCount() const { return m_regions.size(); }

private:
    std::vector<HRGN> m_regions;
    bool m_bFull = false;
};

// How many fonts CreateFontIndirectA can make now, up to nMax; all are
// deleted again.
int CountCreatableFonts(int nMax);
