#include "common/ChildOutput.h"

bool RunForOutput(const std::string& strCommandLine, std::string& strOutput, DWORD& dwExitCode)
{
    strOutput.clear();
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr;
    HANDLE hWrite = nullptr;
    if (!::CreatePipe(&hRead, &hWrite, &sa, 0))
        return false;
    // Only the write end goes to the child; with the read end inherited too,
    // the pipe would never report its end.
    ::SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hWrite;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    std::string strMutable = strCommandLine;
    PROCESS_INFORMATION pi;
    BOOL bStarted =
        ::CreateProcessA(nullptr, &strMutable[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ::CloseHandle(hWrite);
    if (!bStarted) {
        ::CloseHandle(hRead);
        return false;
    }

    char buffer[256];
    DWORD dwRead = 0;
    while (::ReadFile(hRead, buffer, sizeof buffer, &dwRead, nullptr) && dwRead > 0)
        strOutput.append(buffer, dwRead);
    ::CloseHandle(hRead);
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    ::GetExitCodeProcess(pi.hProcess, &dwExitCode);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}
