// Drives a running Sondaro.exe from outside: starts it, finds its windows and
// talks to them with the messages any other program could send.
#pragma once

#include "common/MainDialog.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Set from the command line by main().
extern std::string g_strSondaroPath;

// The DOS path Wine gives a Unix path ("/a/b" -> "Z:\a\b").
std::string DosPath(const std::string& strUnixPath);

// Polls until `condition` holds. After kHangMs it fails the test, naming
// what never came, and returns false.
bool WaitUntil(const std::function<bool()>& condition, const char* pszWhat);

class SondaroProcess {
public:
    // Starts the program and waits until its main dialog shows; `strExe`
    // defaults to the built program.
    explicit SondaroProcess(const std::string& strExe = g_strSondaroPath);
    // Starts a program with arguments, its name quoted or not; waits for no window.
    SondaroProcess(const std::string& strExe, const std::string& strArguments, bool bQuoted = true);
    ~SondaroProcess();
    SondaroProcess(const SondaroProcess&) = delete;
    SondaroProcess& operator=(const SondaroProcess&) = delete;

    HWND MainWindow() const { return m_hWndMain; }
    HWND Item(int nID) const { return ::GetDlgItem(m_hWndMain, nID); }
    DWORD ProcessId() const { return m_pi.dwProcessId; }

    std::vector<std::string> Devices() const;
    std::vector<std::string> Results() const;
    std::vector<int> SelectedResults() const;
    int SelectedDevice() const;
    DWORD_PTR DeviceIdentifier(int nIndex) const;

    void SelectDevice(int nIndex);
    // Presses "check"; returns once the program has handled it.
    void PressCheck();
    // Presses "check" without waiting (a message box may stop the program
    // inside the press).
    void PostCheck();

    // A message box of the program's, once one shows (null after kHangMs).
    HWND WaitForMessageBox() const;
    // A message box of the program's that shows now, or null.
    HWND MessageBox() const;
    // A dialog of the program's with this caption, once one shows.
    HWND WaitForDialog(const std::string& strCaption) const;
    // The windows without parent of the program's UI thread (dialogs,
    // message boxes, tooltips).
    int ThreadWindowCount() const;
    // The process's committed private memory in bytes.
    SIZE_T PrivateBytes() const;
    // Waits for the process to end; returns its exit code, or STILL_ACTIVE
    // after kHangMs.
    DWORD WaitForExit();
    bool IsRunning() const;
    // Is the program's UI thread still answering messages?
    bool Responds() const;

private:
    bool Start(const std::string& strExe, const std::string& strArguments, bool bQuoted);

    PROCESS_INFORMATION m_pi = {};
    HWND m_hWndMain = nullptr;
};
