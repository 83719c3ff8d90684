// CAboutDlg: product, version, copyright and the homepage link.
#pragma once

#include "afxwin.h"
#include "controls/HButton.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnHomepage();

    HCURSOR m_hHandCursor;
    CHButton m_link;

    DECLARE_MESSAGE_MAP()
};
