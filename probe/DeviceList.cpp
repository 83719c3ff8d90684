#include "probe/DeviceList.h"

#include "app/ProbeDlg.h"

namespace {
typedef HRESULT(WINAPI* CaptureEnumerateA)(LPDSENUMCALLBACKA, LPVOID);
typedef HRESULT(WINAPI* CaptureEnumerateW)(LPDSENUMCALLBACKW, LPVOID);
} // namespace

CCaptureGuids::~CCaptureGuids()
{
    for (int i = 0; i < m_guids.GetSize(); ++i)
        delete m_guids[i];
}

const GUID* CCaptureGuids::Keep(const GUID& guid)
{
    GUID* pGuid = new GUID(guid);
    m_guids.Add(pGuid);
    return pGuid;
}

HRESULT EnumerateCaptureDevices(CListBox* list, CCaptureGuids& guids)
{
    CaptureDeviceList context = {list, &guids};
    // Looked up at run time: Windows NT 4.0 and Windows 95 and 98 before
    // DirectX 5 have no capture functions, and the program still starts
    // there, with an empty list.
    HMODULE hDirectSound = ::LoadLibraryA("dsound.dll");
    if (!hDirectSound)
        return DSERR_NODRIVER;
    HRESULT hr = DSERR_NODRIVER;
    if (AfxIsWin9x()) {
        // The Unicode function is a stub there.
        auto pfnEnumerate =
            AfxGetProcAddress<CaptureEnumerateA>(hDirectSound, "DirectSoundCaptureEnumerateA");
        if (pfnEnumerate)
            hr = pfnEnumerate(AddCaptureDevice, &context);
    } else {
        // The ANSI function of some systems cuts long descriptions into a
        // fixed buffer without terminating them.
        auto pfnEnumerate =
            AfxGetProcAddress<CaptureEnumerateW>(hDirectSound, "DirectSoundCaptureEnumerateW");
        if (pfnEnumerate)
            hr = pfnEnumerate(AddCaptureDeviceW, &context);
    }
    ::FreeLibrary(hDirectSound);
    return hr;
}

BOOL CALLBACK AddCaptureDevice(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context)
{
    const CaptureDeviceList* pDevices = static_cast<const CaptureDeviceList*>(context);
    // DirectSound's GUID lives only as long as the call: the list gets a
    // copy's address.
    DWORD_PTR dwIdentifier = guid ? reinterpret_cast<DWORD_PTR>(pDevices->pGuids->Keep(*guid)) : 0;
    CListBox* list = pDevices->pList;
    list->SetCurSel(0);
    int nIndex = list->AddString(description);
    list->SetItemData(nIndex, dwIdentifier);
    return TRUE;
}

BOOL CALLBACK AddCaptureDeviceW(LPGUID guid, LPCWSTR description, LPCWSTR, LPVOID context)
{
    return AddCaptureDevice(guid, CString(description), nullptr, context);
}

void CProbeDlg::OnSelchangeDeviceList()
{
    m_results.ResetContent();
    int nIndex = m_pDeviceList->GetCurSel();
    // No entry is selected only when the list is empty: there is no device
    // to name, and the results list stays empty.
    if (nIndex == LB_ERR)
        return;
    m_results.AddString(FormatDeviceLine(m_pDeviceList->GetItemData(nIndex)));
}

CString CProbeDlg::FormatDeviceLine(DWORD_PTR dwIdentifier)
{
    CString strLine;
    strLine.Format("Device ID=0x%X", static_cast<unsigned>(dwIdentifier));
    return strLine;
}
