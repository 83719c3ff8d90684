#include "probe/DeviceList.h"

#include "app/ProbeDlg.h"

HRESULT EnumerateCaptureDevices(CListBox* list)
{
    return ::DirectSoundCaptureEnumerateW(AddCaptureDevice, list);
}

BOOL CALLBACK AddCaptureDevice(LPGUID guid, LPCWSTR description, LPCWSTR, LPVOID context)
{
    CListBox* list = static_cast<CListBox*>(context);
    list->SetCurSel(0);
    // The description whole, converted here: the A enumeration of some
    // systems cuts long descriptions into a fixed buffer without terminating
    // them.
    int nIndex = list->AddString(CString(description));

    DWORD_PTR dwIdentifier = 0;
    CProbeDlg* pDlg = dynamic_cast<CProbeDlg*>(list->GetParent());
    if (guid && pDlg)
        dwIdentifier = reinterpret_cast<DWORD_PTR>(pDlg->KeepDeviceGuid(*guid));
    list->SetItemData(nIndex, dwIdentifier);
    return TRUE;
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
