// Looks for Sondaro's main dialog as a user sees it, shown by a program
// started from elsewhere:
//
//     FindMainDialog.exe C:\path\to\Sondaro.exe seconds
//
// Waits until a visible main dialog of a process of that program file
// appears, prints its caption, its device list and its results list, one
// line each ("caption: ...", "device: ...", "result: ..."), and closes it
// through its system menu, as the close box does. Exits 0 once it has seen
// the dialog, 1 when none appeared within the given seconds.
#include "common/MainDialog.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
    const char* pszProgram;
    HWND hFound;
};

// The full path of the program file a process runs.
std::string ProgramOf(DWORD dwProcessId)
{
    char szPath[MAX_PATH] = "";
    HANDLE hProcess = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, dwProcessId);
    if (hProcess) {
        ::GetModuleFileNameExA(hProcess, nullptr, szPath, sizeof szPath);
        ::CloseHandle(hProcess);
    }
    return szPath;
}

BOOL CALLBACK FindMainDialog(HWND hWnd, LPARAM lParam)
{
    Search* pSearch = reinterpret_cast<Search*>(lParam);
    char szClass[16] = "";
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    // The main dialog is the one with the device list.
    if (!::IsWindowVisible(hWnd) || strcmp(szClass, "#32770") != 0 || !::GetDlgItem(hWnd, 1004))
        return TRUE;
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (::lstrcmpiA(ProgramOf(dwProcessId).c_str(), pSearch->pszProgram) != 0)
        return TRUE;
    pSearch->hFound = hWnd;
    return FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: FindMainDialog program.exe seconds\n");
        return 2;
    }
    Search search = {argv[1], nullptr};
    const DWORD dwLimitMs = static_cast<DWORD>(atoi(argv[2])) * 1000;
    const DWORD dwStart = ::GetTickCount();
    for (;;) {
        ::EnumWindows(FindMainDialog, reinterpret_cast<LPARAM>(&search));
        if (search.hFound)
            break;
        if (::GetTickCount() - dwStart > dwLimitMs) {
            printf("no main dialog of %s within %s s\n", argv[1], argv[2]);
            return 1;
        }
        ::Sleep(100);
    }
    // The dialog fills its device list before it shows.
    HWND hDlg = search.hFound;
    printf("caption: %s\n", WindowText(hDlg).c_str());
    for (const std::string& line : ListLines(::GetDlgItem(hDlg, 1004)))
        printf("device: %s\n", line.c_str());
    for (const std::string& line : ListLines(::GetDlgItem(hDlg, 1005)))
        printf("result: %s\n", line.c_str());
    fflush(stdout);
    ::PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}
