#include "probe/DeviceList.h"

#include "app/ProbeDlg.h"

namespace {
typedef HRESULT(WINAPI* CaptureEnumerateA)(LPDSENUMCALLBACKA, LPVOID);
typedef HRESULT(WINAPI* CaptureEnumerateW)(LPDSENUMCALLBACKW, LPVOID);

// What the enumeration's callbacks get as their context.
struct CaptureDeviceList {
    CListBox* pList;
    CCaptureDevices* pDevices;
};

// The enumeration's callbacks: the ANSI one, and the Unicode one that hands
// the description on converted whole.
BOOL CALLBACK AddCaptureDevice(LPGUID guid, LPCSTR description, LPCSTR, LPVOID context)
{
    const CaptureDeviceList* pContext = static_cast<const CaptureDeviceList*>(context);
    // DirectSound's GUID lives only as long as the call: the list gets a
    // copy's address.
    DWORD_PTR dwIdentifier = guid ? reinterpret_cast<DWORD_PTR>(pContext->pDevices->Keep(*guid)) : 0;
    CListBox* list = pContext->pList;
    list->SetCurSel(0);
    // A description the list refuses gets no data: to LB_SETITEMDATA,
    // index -1 means every entry.
    int nIndex = list->AddString(description);
    if (nIndex >= 0)
        list->SetItemData(nIndex, dwIdentifier);
    return TRUE;
}

BOOL CALLBACK AddCaptureDeviceW(LPGUID guid, LPCWSTR description, LPCWSTR, LPVOID context)
{
    return AddCaptureDevice(guid, CString(description), nullptr, context);
}
} // namespace

CCaptureDevices::~CCaptureDevices()
{
    for (int i = 0; i < m_guids.GetSize(); ++i)
        delete m_guids[i];
    if (m_hDirectSound)
        ::FreeLibrary(m_hDirectSound);
}

HMODULE CCaptureDevices::GetDirectSound()
{
    if (!m_bLoadTried) {
        m_bLoadTried = true;
        m_hDirectSound = ::LoadLibraryA("dsound.dll");
    }
    return m_hDirectSound;
}

const GUID* CCaptureDevices::Keep(const GUID& guid)
{
    GUID* pGuid = new GUID(guid);
    m_guids.Add(pGuid);
    return pGuid;
}

HRESULT EnumerateCaptureDevices(CListBox* list, CCaptureDevices& devices)
{
    CaptureDeviceList context = {list, &devices};
    // Looked up at run time: Windows NT 4.0 and Windows 95 and 98 before
    // DirectX 5 have no capture functions, and the program still starts
    // there, with an empty list.
    HMODULE hDirectSound = devices.GetDirectSound();
    if (!hDirectSound)
        return DSERR_NODRIVER;
    // The Unicode function is a stub on 9x; and the ANSI one of some systems
    // cuts long descriptions into a fixed buffer without terminating them,
    // so NT takes it only where the Unicode one is missing.
    auto pfnEnumerateW =
        AfxIsWin9x() ? nullptr
                     : AfxGetProcAddress<CaptureEnumerateW>(hDirectSound, "DirectSoundCaptureEnumerateW");
    if (pfnEnumerateW)
        return pfnEnumerateW(AddCaptureDeviceW, &context);
    auto pfnEnumerateA = AfxGetProcAddress<CaptureEnumerateA>(hDirectSound, "DirectSoundCaptureEnumerateA");
    HRESULT hr = DSERR_NODRIVER;
    if (pfnEnumerateA)
        hr = pfnEnumerateA(AddCaptureDevice, &context);
    return hr;
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
