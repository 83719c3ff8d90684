// The failure report of a check.
#pragma once

#include "afxwin.h"

// The first line of a report: the status as an HRESULT, with its symbolic
// name where it is a known DirectSound or COM error, otherwise the system's
// text for it. At most 255 characters.
CString FailureLeadText(HRESULT status);

// Shows the lead text and the message in a message box and returns false;
// returns true without showing anything when the status is no failure.
bool ReportFailure(HRESULT status, LPCSTR message);
