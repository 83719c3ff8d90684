#include "SondaroProcess.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>

std::string g_strSondaroPath;

namespace {

struct FindArgs {
    DWORD dwProcessId;
    bool bMessageBox;
    HWND hWndMain;
    const char* pszCaption;
    HWND hFound;
};

BOOL CALLBACK FindWindowOfProcess(HWND hWnd, LPARAM lParam)
{
    FindArgs* pArgs = reinterpret_cast<FindArgs*>(lParam);
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId != pArgs->dwProcessId || !::IsWindowVisible(hWnd) || hWnd == pArgs->hWndMain)
        return TRUE;
    char szClass[16] = "";
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (strcmp(szClass, "#32770") != 0)
        return TRUE;
    // A message box has its text in a static control with id 0xFFFF.
    bool bMessageBox = ::GetDlgItem(hWnd, 0xFFFF) != nullptr;
    if (bMessageBox != pArgs->bMessageBox)
        return TRUE;
    if (pArgs->pszCaption && WindowText(hWnd) != pArgs->pszCaption)
        return TRUE;
    pArgs->hFound = hWnd;
    return FALSE;
}

// The first such window; with pszWhat, once there is one.
HWND FindTopWindow(DWORD dwProcessId, bool bMessageBox, HWND hWndMain, const char* pszWhat,
                   const char* pszCaption = nullptr)
{
    FindArgs args = {dwProcessId, bMessageBox, hWndMain, pszCaption, nullptr};
    auto found = [&] { return !::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&args)); };
    pszWhat ? WaitUntil(found, pszWhat) : found();
    return args.hFound;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, const char* pszWhat)
{
    const DWORD dwStart = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - dwStart > kHangMs) {
            ADD_FAILURE() << "no " << pszWhat << " within " << kHangMs / 1000 << " s: taken for a hang";
            return false;
        }
        ::Sleep(20);
    }
    return true;
}

std::string DosPath(const std::string& strUnixPath)
{
    std::string strPath = "Z:" + strUnixPath;
    std::replace(strPath.begin(), strPath.end(), '/', '\\');
    return strPath;
}

SondaroProcess::SondaroProcess(const std::string& strExe)
{
    if (!Start(strExe, "", true))
        return;
    ::WaitForInputIdle(m_pi.hProcess, kHangMs);
    m_hWndMain = FindTopWindow(m_pi.dwProcessId, false, nullptr, "main dialog");
}

SondaroProcess::SondaroProcess(const std::string& strExe, const std::string& strArguments, bool bQuoted)
{
    Start(strExe, strArguments, bQuoted);
}

bool SondaroProcess::Start(const std::string& strExe, const std::string& strArguments, bool bQuoted)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string strCommand = bQuoted ? "\"" + strExe + "\"" : strExe;
    if (!strArguments.empty())
        strCommand += " " + strArguments;
    return ::CreateProcessA(strExe.c_str(), &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &m_pi) != FALSE;
}

SondaroProcess::~SondaroProcess()
{
    if (!m_pi.hProcess)
        return;
    if (IsRunning()) {
        if (m_hWndMain)
            ::PostMessageA(m_hWndMain, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_pi.hProcess, m_hWndMain ? kHangMs : 0) != WAIT_OBJECT_0)
            ::TerminateProcess(m_pi.hProcess, 1);
    }
    ::CloseHandle(m_pi.hThread);
    ::CloseHandle(m_pi.hProcess);
}

std::vector<std::string> SondaroProcess::Devices() const
{
    return ListLines(Item(1004));
}

std::vector<std::string> SondaroProcess::Results() const
{
    return ListLines(Item(1005));
}

std::vector<int> SondaroProcess::SelectedResults() const
{
    return SelectedLines(Item(1005));
}

int SondaroProcess::SelectedDevice() const
{
    return static_cast<int>(::SendMessageA(Item(1004), LB_GETCURSEL, 0, 0));
}

DWORD_PTR SondaroProcess::DeviceIdentifier(int nIndex) const
{
    return ::SendMessageA(Item(1004), LB_GETITEMDATA, nIndex, 0);
}

void SondaroProcess::SelectDevice(int nIndex)
{
    ::SelectDevice(m_hWndMain, nIndex);
}

void SondaroProcess::PressCheck()
{
    ::PressCheck(m_hWndMain);
}

void SondaroProcess::PostCheck()
{
    ::PostMessageA(m_hWndMain, WM_COMMAND, MAKEWPARAM(1016, BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(1016)));
}

HWND SondaroProcess::WaitForMessageBox() const
{
    return FindTopWindow(m_pi.dwProcessId, true, m_hWndMain, "message box");
}

HWND SondaroProcess::MessageBox() const
{
    return FindTopWindow(m_pi.dwProcessId, true, m_hWndMain, nullptr);
}

HWND SondaroProcess::WaitForDialog(const std::string& strCaption) const
{
    return FindTopWindow(m_pi.dwProcessId, false, m_hWndMain, strCaption.c_str(), strCaption.c_str());
}

int SondaroProcess::ThreadWindowCount() const
{
    return CountThreadWindows(m_pi.dwThreadId);
}

SIZE_T SondaroProcess::PrivateBytes() const
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(m_pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    // The committed private memory; Wine leaves PrivateUsage at 0.
    return counters.PagefileUsage;
}

DWORD SondaroProcess::WaitForExit()
{
    if (::WaitForSingleObject(m_pi.hProcess, kHangMs) == WAIT_TIMEOUT)
        ADD_FAILURE() << "the process did not end within " << kHangMs / 1000 << " s: taken for a hang";
    DWORD dwExitCode = STILL_ACTIVE;
    ::GetExitCodeProcess(m_pi.hProcess, &dwExitCode);
    return dwExitCode;
}

bool SondaroProcess::IsRunning() const
{
    return ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool SondaroProcess::Responds() const
{
    DWORD_PTR dwResult = 0;
    return ::SendMessageTimeoutA(m_hWndMain, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kHangMs, &dwResult) != 0;
}
