// The GUIDs the check uses are defined here, from the headers (each once in
// the program, whoever else defines it), rather than taken from a library.
#include <initguid.h>

#include "app/ProbeDlg.h"

#include "probe/FormatTable.h"
#include "probe/Report.h"

#include <dsound.h>

void CProbeDlg::OnCheck()
{
    ++m_nChecksRunning;
    RunCheck();
    --m_nChecksRunning;
    if (m_nChecksRunning == 0 && m_bCloseDeferred) {
        m_bCloseDeferred = false;
        SendMessage(WM_CLOSE);
    }
}

void CProbeDlg::RunCheck()
{
    m_results.ResetContent();

    int nIndex = m_pDeviceList->GetCurSel();
    IDirectSoundCapture* pCapture = nullptr;
    HRESULT hr = ::CoCreateInstance(CLSID_DirectSoundCapture, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IDirectSoundCapture, reinterpret_cast<void**>(&pCapture));
    if (FAILED(hr)) {
        ReportFailure(hr, "Fehler: DirectSoundCapture Erzeugung");
        return;
    }

    // Only an empty device list has no selection. A system without capture
    // support has failed above, at the creation.
    if (nIndex == LB_ERR) {
        ReportFailure(DSERR_NODRIVER, "Fehler: kein Aufnahmeger\xE4t vorhanden");
        pCapture->Release();
        return;
    }
    DWORD_PTR dwIdentifier = m_pDeviceList->GetItemData(nIndex);

    hr = pCapture->Initialize(reinterpret_cast<LPCGUID>(dwIdentifier));
    if (FAILED(hr)) {
        ReportFailure(hr, "Fehler: DirectSound Initialisierung");
        pCapture->Release();
        return;
    }

    // The record has had one size since DirectX 5 brought capture.
    static_assert(sizeof(DSCCAPS) == 16, "DirectX 5 checks dwSize");
    DSCCAPS caps = {};
    caps.dwSize = sizeof caps;
    hr = pCapture->GetCaps(&caps);
    if (FAILED(hr)) {
        ReportFailure(hr, "Fehler: GetCaps, eventuell wird Aufnahmeformat nicht unterst\xFCtzt");
        pCapture->Release();
        return;
    }

    m_results.AddString(FormatDeviceLine(dwIdentifier));
    for (DWORD dwFlag : CaptureCheckOrder()) {
        CString strLine = GetCaptureFormatName(dwFlag);
        if ((caps.dwFormats & dwFlag) == dwFlag) {
            strLine += " \tOKAY";
            // A line the list could not add is not selected: index -1
            // would select every line.
            int nLine = m_results.AddString(strLine);
            if (nLine >= 0)
                m_results.SetSel(nLine, TRUE);
        } else {
            strLine += " \tFAIL";
            m_results.AddString(strLine);
        }
    }

    pCapture->Release();
    pCapture = nullptr;
}
