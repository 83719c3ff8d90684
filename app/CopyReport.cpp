// Ctrl+C: what the main dialog shows, on the clipboard as text.
#include "app/ProbeDlg.h"

#include "info/AppInfo.h"

namespace {

// Another program may hold the clipboard open for a moment: it is asked a
// few times, a moment apart, and after that the copy is given up.
const int kOpenTries = 5;
const DWORD kOpenRetryMs = 20;

// Movable memory holding a copy of nSize bytes, as the clipboard takes it;
// null when there is none to be had.
HGLOBAL CopyToGlobal(const void* pData, SIZE_T nSize)
{
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, nSize);
    if (!hGlobal)
        return nullptr;
    void* pGlobal = ::GlobalLock(hGlobal);
    if (!pGlobal) {
        ::GlobalFree(hGlobal);
        return nullptr;
    }
    CopyMemory(pGlobal, pData, nSize);
    ::GlobalUnlock(hGlobal);
    return hGlobal;
}

bool OpenClipboardPatiently(HWND hWndOwner)
{
    for (int nTry = 1; nTry < kOpenTries; ++nTry) {
        if (::OpenClipboard(hWndOwner))
            return true;
        ::Sleep(kOpenRetryMs);
        // Once the dialog owns the clipboard, the program that holds it open
        // may be emptying it and wait for the dialog's WM_DESTROYCLIPBOARD.
        // Peeking answers what other threads sent; what was posted stays
        // queued for the dialog's loop.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    return ::OpenClipboard(hWndOwner) != FALSE;
}

// The clipboard owns the memory once it has taken it; what it refuses is
// still ours.
void SetClipboardFormat(UINT nFormat, HGLOBAL hData)
{
    if (!::SetClipboardData(nFormat, hData))
        ::GlobalFree(hData);
}

// Puts the text on the clipboard in place of what is there; when the
// clipboard cannot be had, leaves it as it is.
void PutTextOnClipboard(HWND hWndOwner, const CString& strText)
{
    HGLOBAL hText = CopyToGlobal(static_cast<LPCSTR>(strText), strText.GetLength() + 1);
    // NT gives a program that asks for Unicode text the CF_TEXT converted
    // from the code page of the locale that comes with it, by default the
    // keyboard's. The text is in the ANSI code page, which the system's
    // locale decides.
    const LCID lcid = ::GetSystemDefaultLCID();
    HGLOBAL hLocale = CopyToGlobal(&lcid, sizeof lcid);
    if (hText && hLocale && OpenClipboardPatiently(hWndOwner)) {
        ::EmptyClipboard();
        SetClipboardFormat(CF_TEXT, hText);
        SetClipboardFormat(CF_LOCALE, hLocale);
        ::CloseClipboard();
        return;
    }
    if (hText)
        ::GlobalFree(hText);
    if (hLocale)
        ::GlobalFree(hLocale);
}

} // namespace

void CProbeDlg::OnEditCopy()
{
    PutTextOnClipboard(m_hWnd, GetReport());
}

CString CProbeDlg::GetReport() const
{
    // The product as the about box names it, each line ended by CR LF.
    CString strReport = AppInfo::GetProductName() + " Version " + AppInfo::GetFullVersion() + "\r\n";
    CString strLine;
    int nDevice = m_pDeviceList->GetCurSel();
    if (nDevice != LB_ERR) {
        m_pDeviceList->GetText(nDevice, strLine);
        strReport += strLine + "\r\n";
    }
    for (int i = 0; i < m_results.GetCount(); ++i) {
        m_results.GetText(i, strLine);
        strReport += strLine + "\r\n";
    }
    return strReport;
}
