// Filling the device list with the system's audio capture devices.
#pragma once

#include "afxwin.h"

#include <dsound.h>

// Lists every capture device in `list`: the description as the entry's
// text, the reference to the device's GUID as its item data (0 for the
// primary capture device). Returns the enumeration's status.
HRESULT EnumerateCaptureDevices(CListBox* list);

BOOL CALLBACK AddCaptureDevice(LPGUID guid, LPCWSTR description, LPCWSTR module, LPVOID context);
