// CListBox: the list box messages the program sends, nothing more.
#pragma once

#include "Wnd.h"

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(LB_SETCURSEL, nSelect)); }
    int SetSel(int nIndex, BOOL bSelect = TRUE)
    {
        return static_cast<int>(SendMessage(LB_SETSEL, bSelect, nIndex));
    }
    int GetSel(int nIndex) const { return static_cast<int>(SendMessage(LB_GETSEL, nIndex)); }
    int AddString(LPCSTR pszItem)
    {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszItem)));
    }
    int SelectString(int nStartAfter, LPCSTR pszItem)
    {
        return static_cast<int>(SendMessage(LB_SELECTSTRING, nStartAfter, reinterpret_cast<LPARAM>(pszItem)));
    }
    // The entry's text; empty when there is no such entry. LB_GETTEXTLEN may
    // count more than LB_GETTEXT then copies (double-byte text).
    void GetText(int nIndex, CString& rString) const
    {
        int nLength = static_cast<int>(SendMessage(LB_GETTEXTLEN, nIndex));
        if (nLength == LB_ERR) {
            rString.Empty();
            return;
        }
        LPARAM lBuffer = reinterpret_cast<LPARAM>(rString.GetBufferSetLength(nLength));
        int nCopied = static_cast<int>(SendMessage(LB_GETTEXT, nIndex, lBuffer));
        rString.GetBufferSetLength(nCopied == LB_ERR ? 0 : nCopied);
    }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    DWORD_PTR GetItemData(int nIndex) const
    {
        return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, nIndex));
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return static_cast<int>(SendMessage(LB_SETITEMDATA, nIndex, static_cast<LPARAM>(dwItemData)));
    }
};
