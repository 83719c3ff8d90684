#include "common/MainDialog.h"

#include <cstdio>

std::vector<std::string> ListLines(HWND hWndList)
{
    // Read as wide text and converted here: Wine hands another process only
    // the first character of an ANSI LB_GETTEXT.
    std::vector<std::string> lines;
    int nCount = static_cast<int>(::SendMessageW(hWndList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < nCount; ++i) {
        int nLength = static_cast<int>(::SendMessageW(hWndList, LB_GETTEXTLEN, i, 0));
        std::wstring wline(nLength + 1, L'\0');
        int nCopied =
            static_cast<int>(::SendMessageW(hWndList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wline[0])));
        std::string line;
        if (nCopied > 0) {
            int nBytes =
                ::WideCharToMultiByte(CP_ACP, 0, wline.c_str(), nCopied, nullptr, 0, nullptr, nullptr);
            line.resize(nBytes);
            ::WideCharToMultiByte(CP_ACP, 0, wline.c_str(), nCopied, &line[0], nBytes, nullptr, nullptr);
        }
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

HWND FocusOf(HWND hWnd)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(hWnd, nullptr), &info);
    return info.hwndFocus;
}

std::string IdentifierLine(DWORD_PTR dwIdentifier)
{
    char szLine[32];
    sprintf(szLine, "Device ID=0x%X", static_cast<unsigned>(dwIdentifier));
    return szLine;
}

void PressCheck(HWND hDlg)
{
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1016, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, 1016)));
}

void SelectDevice(HWND hDlg, int nIndex)
{
    HWND hList = ::GetDlgItem(hDlg, 1004);
    ::SendMessageA(hList, LB_SETCURSEL, nIndex, 0);
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1004, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
}

namespace {
BOOL CALLBACK CountWindow(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}
} // namespace

int CountThreadWindows(DWORD dwThreadId)
{
    int nCount = 0;
    ::EnumThreadWindows(dwThreadId, &CountWindow, reinterpret_cast<LPARAM>(&nCount));
    return nCount;
}
