// Filling the device list with the system's audio capture devices.
#pragma once

#include "afxwin.h"

#include <dsound.h>

// The GUIDs of the listed devices, each copy at an address of its own that
// stays valid as long as the store.
class CCaptureGuids {
public:
    CCaptureGuids() = default;
    ~CCaptureGuids();
    CCaptureGuids(const CCaptureGuids&) = delete;
    CCaptureGuids& operator=(const CCaptureGuids&) = delete;

    const GUID* Keep(const GUID& guid);
    int GetCount() const { return m_guids.GetSize(); }
    const GUID* GetAt(int nIndex) const { return m_guids[nIndex]; }

private:
    CArray<GUID*> m_guids;
};

// Lists every capture device in `list`: the description as the entry's
// text, the reference to the device's GUID as its item data (0 for the
// primary capture device). The GUIDs are kept in `guids`, which must live as
// long as the list. Returns the enumeration's status; without DirectSound
// capture on the system the list stays empty.
HRESULT EnumerateCaptureDevices(CListBox* list, CCaptureGuids& guids);

// What the enumeration's callbacks get as their context.
struct CaptureDeviceList {
    CListBox* pList;
    CCaptureGuids* pGuids;
};

// The enumeration's callbacks: the ANSI one, and the Unicode one that hands
// the description on converted whole.
BOOL CALLBACK AddCaptureDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);
BOOL CALLBACK AddCaptureDeviceW(LPGUID guid, LPCWSTR description, LPCWSTR module, LPVOID context);
