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
