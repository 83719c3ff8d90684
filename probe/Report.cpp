#include "probe/Report.h"

#include <dsound.h>

namespace {
struct StatusName {
    HRESULT status;
    LPCSTR pszName;
};

// Where DirectSound reuses a COM status, its own name is given.
const StatusName kStatusNames[] = {
    {DSERR_ALLOCATED, "DSERR_ALLOCATED"},
    {DSERR_CONTROLUNAVAIL, "DSERR_CONTROLUNAVAIL"},
    {DSERR_INVALIDPARAM, "DSERR_INVALIDPARAM"},
    {DSERR_INVALIDCALL, "DSERR_INVALIDCALL"},
    {DSERR_GENERIC, "DSERR_GENERIC"},
    {DSERR_PRIOLEVELNEEDED, "DSERR_PRIOLEVELNEEDED"},
    {DSERR_OUTOFMEMORY, "DSERR_OUTOFMEMORY"},
    {DSERR_BADFORMAT, "DSERR_BADFORMAT"},
    {DSERR_UNSUPPORTED, "DSERR_UNSUPPORTED"},
    {DSERR_NODRIVER, "DSERR_NODRIVER"},
    {DSERR_ALREADYINITIALIZED, "DSERR_ALREADYINITIALIZED"},
    {DSERR_NOAGGREGATION, "DSERR_NOAGGREGATION"},
    {DSERR_BUFFERLOST, "DSERR_BUFFERLOST"},
    {DSERR_OTHERAPPHASPRIO, "DSERR_OTHERAPPHASPRIO"},
    {DSERR_UNINITIALIZED, "DSERR_UNINITIALIZED"},
    {DSERR_NOINTERFACE, "DSERR_NOINTERFACE"},
    {DSERR_ACCESSDENIED, "DSERR_ACCESSDENIED"},
    {E_POINTER, "E_POINTER"},
    {CO_E_NOTINITIALIZED, "CO_E_NOTINITIALIZED"},
    {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
    {CLASS_E_CLASSNOTAVAILABLE, "CLASS_E_CLASSNOTAVAILABLE"},
};

// The report reserves room for this much lead text.
const int kMaxLeadText = 255;

CString SystemMessage(HRESULT status)
{
    char szText[kMaxLeadText + 1] = "";
    DWORD dwLength = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      static_cast<DWORD>(status), 0, szText, sizeof szText, nullptr);
    // System texts end with a line break.
    while (dwLength > 0 &&
           (szText[dwLength - 1] == '\r' || szText[dwLength - 1] == '\n' || szText[dwLength - 1] == ' '))
        --dwLength;
    return CString(szText, static_cast<int>(dwLength));
}
} // namespace

CString FailureLeadText(HRESULT status)
{
    CString strLead;
    strLead.Format("Fehlercode 0x%08X", static_cast<unsigned>(status));
    CString strName;
    for (const StatusName& known : kStatusNames)
        if (known.status == status)
            strName = known.pszName;
    if (strName.IsEmpty())
        strName = SystemMessage(status);
    if (!strName.IsEmpty())
        strLead += " (" + strName + ")";
    return strLead.LeftWhole(kMaxLeadText);
}

bool ReportFailure(HRESULT status, LPCSTR message)
{
    if (status >= 0)
        return true;
    CString strText = FailureLeadText(status);
    if (message) {
        CString strLead = strText;
        strText.Format("%s \n %s", static_cast<LPCSTR>(strLead), message);
    }
    AfxMessageBox(strText, MB_OK, 0);
    return false;
}
