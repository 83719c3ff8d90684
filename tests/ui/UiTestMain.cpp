#include "UiTest.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {
// The dialogs load their icons and cursors through the application object.
CWinApp g_testApp("SondaroUiTest");

// The dialog whose body is still to run; bodies may run dialogs of their own.
struct Run {
    CDialog* pDlg;
    const std::function<void(HWND)>* pBody;
};
Run g_pending = {nullptr, nullptr};

void CALLBACK RunBody(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(nullptr, idEvent);
    Run run = g_pending;
    g_pending = {nullptr, nullptr};
    HWND hWnd = run.pDlg->m_hWnd;
    (*run.pBody)(hWnd);
    if (::IsWindow(hWnd) && run.pDlg->m_hWnd == hWnd)
        ::PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
}

struct Watch {
    const char* pszCaption;
    const std::function<void(HWND)>* pAction;
    bool bDone;
};
Watch* g_pWatch = nullptr;

BOOL CALLBACK FindCaption(HWND hWnd, LPARAM lParam)
{
    HWND* phFound = reinterpret_cast<HWND*>(lParam);
    char szClass[16];
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (strcmp(szClass, "#32770") == 0 && ::IsWindowVisible(hWnd) &&
        WindowText(hWnd) == g_pWatch->pszCaption) {
        *phFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK LookForWindow(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    if (!g_pWatch || g_pWatch->bDone)
        return;
    HWND hFound = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindCaption, reinterpret_cast<LPARAM>(&hFound));
    if (!hFound)
        return;
    ::KillTimer(nullptr, idEvent);
    g_pWatch->bDone = true;
    (*g_pWatch->pAction)(hFound);
}
// A dialog that does not end (a message box nobody expected, a loop that
// outlives its window) fails the test instead of hanging it: after kHangMs
// the watchdog closes the thread's windows and breaks every loop with
// WM_QUIT.
int g_nRunning = 0;
bool g_bWatchdogFired = false;

BOOL CALLBACK CloseWindow(HWND hWnd, LPARAM)
{
    ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
    return TRUE;
}

void CALLBACK Watchdog(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(nullptr, idEvent);
    g_bWatchdogFired = true;
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseWindow, 0);
    ::PostQuitMessage(0);
}
} // namespace

INT_PTR RunDialog(CDialog& dlg, const std::function<void(HWND)>& body)
{
    g_pending = {&dlg, &body};
    ::SetTimer(nullptr, 0, 1, RunBody);
    UINT_PTR idWatchdog = g_nRunning++ == 0 ? ::SetTimer(nullptr, 0, kHangMs, Watchdog) : 0;
    INT_PTR nResult = dlg.DoModal();
    if (--g_nRunning == 0) {
        ::KillTimer(nullptr, idWatchdog);
        if (g_bWatchdogFired) {
            g_bWatchdogFired = false;
            ADD_FAILURE() << "the dialog did not end within " << kHangMs / 1000 << " s: taken for a hang";
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
                ;
        }
    }
    return nResult;
}

void WhileTriggering(const std::function<void()>& trigger, const char* pszCaption,
                     const std::function<void(HWND)>& action)
{
    Watch watch = {pszCaption, &action, false};
    Watch* pOuter = g_pWatch;
    g_pWatch = &watch;
    UINT_PTR idTimer = ::SetTimer(nullptr, 0, 20, LookForWindow);
    trigger();
    if (!watch.bDone)
        ::KillTimer(nullptr, idTimer);
    g_pWatch = pOuter;
    EXPECT_TRUE(watch.bDone) << "no window captioned \"" << pszCaption << "\" appeared";
}

CGdiHandleReserve::CGdiHandleReserve(int nLeaveFree)
{
    const size_t nLimit = 1 << 20;
    while (m_regions.size() < nLimit) {
        HRGN hRgn = ::CreateRectRgn(0, 0, 1, 1);
        if (!hRgn) {
            m_bFull = true;
            break;
        }
        m_regions.push_back(hRgn);
    }
    for (int i = 0; i < nLeaveFree && !m_regions.empty(); ++i) {
        ::DeleteObject(m_regions.back());
        m_regions.pop_back();
    }
}

CGdiHandleReserve::~CGdiHandleReserve()
{
    for (HRGN hRgn : m_regions)
        ::DeleteObject(hRgn);
}

int CountCreatableFonts(int nMax)
{
    LOGFONTA lf = {};
    lf.lfHeight = -11;
    std::vector<HFONT> fonts;
    while (static_cast<int>(fonts.size()) < nMax) {
        HFONT hFont = ::CreateFontIndirectA(&lf);
        if (!hFont)
            break;
        fonts.push_back(hFont);
    }
    for (HFONT hFont : fonts)
        ::DeleteObject(hFont);
    return static_cast<int>(fonts.size());
}

int main(int argc, char** argv)
{
    ::InitCommonControls();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
