// Reading the main dialog's lists and captions back, and the user's two
// actions, through the messages any program could send: shared by the
// in-process and the end-to-end tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Tests wait for conditions, never for time; this bound, far longer than
// anything takes even under emulation, only ends a wait that would hang.
const DWORD kHangMs = 120000;

std::vector<std::string> ListLines(HWND hWndList);
std::vector<int> SelectedLines(HWND hWndList);
std::string WindowText(HWND hWnd);
// The window with the keyboard focus on the window's thread.
HWND FocusOf(HWND hWnd);
// The windows without parent of a thread: dialogs, message boxes, tooltips.
int CountThreadWindows(DWORD dwThreadId);

// The results' first line for a device identifier, as the user reads it.
std::string IdentifierLine(DWORD_PTR dwIdentifier);

// The user's two actions, as the main dialog receives them.
void PressCheck(HWND hDlg);
void SelectDevice(HWND hDlg, int nIndex);
