// Opens a program from its own folder, as Explorer does, and prints its main
// dialog's device list ("device: ..." a line); closes the dialog as its close
// box does. Exits 1 if no main dialog showed, else with the program's exit
// code (STILL_ACTIVE if it did not end). kHangMs only ends a hang.
//
//     FindMainDialog.exe C:\folder\Sondaro.exe
#include "common/MainDialog.h"

#include <cstdio>
#include <utility>

namespace {

// The main dialog: the process's visible window with the device list.
BOOL CALLBACK FindMainDialog(HWND hWnd, LPARAM lParam)
{
    auto* pSearch = reinterpret_cast<std::pair<DWORD, HWND>*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId == pSearch->first && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, 1004))
        pSearch->second = hWnd;
    return !pSearch->second;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string strProgram = argc == 2 ? argv[1] : "";
    std::string strCommand = "\"" + strProgram + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(strProgram.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr,
                          strProgram.substr(0, strProgram.rfind('\\')).c_str(), &si, &pi)) {
        printf("'%s' does not start: error %lu\n", strProgram.c_str(), ::GetLastError());
        return 1;
    }
    std::pair<DWORD, HWND> search(pi.dwProcessId, nullptr);
    const DWORD dwStart = ::GetTickCount();
    // The dialog fills its device list before it shows.
    while (::EnumWindows(FindMainDialog, reinterpret_cast<LPARAM>(&search))) {
        if (::WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0) {
            printf("the program ended before its main dialog showed\n");
            return 1;
        }
        if (::GetTickCount() - dwStart > kHangMs) {
            printf("no main dialog within %lu s: taken for a hang\n", kHangMs / 1000);
            return 1;
        }
    }
    for (const std::string& line : ListLines(::GetDlgItem(search.second, 1004)))
        printf("device: %s\n", line.c_str());
    ::PostMessageA(search.second, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD dwExitCode = STILL_ACTIVE;
    ::WaitForSingleObject(pi.hProcess, kHangMs);
    ::GetExitCodeProcess(pi.hProcess, &dwExitCode);
    return static_cast<int>(dwExitCode);
}
