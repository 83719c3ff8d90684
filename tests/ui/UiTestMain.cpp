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
    if (strcmp(szClass, "#32770") == 0 && ::IsWindowVisible(hWnd) && WindowText(hWnd) == g_pWatch->pszCaption) {
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
} // namespace

INT_PTR RunDialog(CDialog& dlg, const std::function<void(HWND)>& body)
{
    g_pending = {&dlg, &body};
    ::SetTimer(nullptr, 0, 1, RunBody);
    return dlg.DoModal();
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

std::vector<std::string> ListLines(HWND hWndList)
{
    std::vector<std::string> lines;
    int nCount = static_cast<int>(::SendMessageA(hWndList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        int nLength = static_cast<int>(::SendMessageA(hWndList, LB_GETTEXTLEN, i, 0));
        std::string line(nLength, '\0');
        ::SendMessageA(hWndList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
        lines.push_back(line);
    }
    return lines;
}

std::vector<int> SelectedLines(HWND hWndList)
{
    std::vector<int> selected;
    int nCount = static_cast<int>(::SendMessageA(hWndList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i)
        if (::SendMessageA(hWndList, LB_GETSEL, i, 0) > 0)
            selected.push_back(i);
    return selected;
}

std::string WindowText(HWND hWnd)
{
    char szText[1024] = "";
    ::GetWindowTextA(hWnd, szText, sizeof szText);
    return szText;
}

int main(int argc, char** argv)
{
    ::InitCommonControls();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
