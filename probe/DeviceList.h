// Filling the device list with the system's audio capture devices.
#pragma once

#include "afxwin.h"

#include <dsound.h>

// What the device list's entries rely on for as long as the dialog lives:
// dsound.dll, loaded once (each check's capture object comes from it), and
// a copy of each device's GUID at an address of its own.
class CCaptureDevices {
public:
    CCaptureDevices() = default;
    ~CCaptureDevices();
    CCaptureDevices(const CCaptureDevices&) = delete;
    CCaptureDevices& operator=(const CCaptureDevices&) = delete;

    // Null where the system has no dsound.dll.
    HMODULE GetDirectSound();
    const GUID* Keep(const GUID& guid);
    int GetCount() const { return m_guids.GetSize(); }
    const GUID* GetAt(int nIndex) const { return m_guids[nIndex]; }

private:
    HMODULE m_hDirectSound = nullptr;
    bool m_bLoadTried = false;
    CArray<GUID*> m_guids;
};

// Lists every capture device in `list`: the description as the entry's
// text, the reference to the device's GUID as its item data (0 for the
// primary capture device). `devices` loads dsound.dll and keeps the GUIDs;
// it must live as long as the list. Returns the enumeration's status;
// without DirectSound capture on the system the list stays empty.
HRESULT EnumerateCaptureDevices(CListBox* list, CCaptureDevices& devices);
