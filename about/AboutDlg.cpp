#include "about/AboutDlg.h"

#include "controls/HomepageLink.h"
#include "info/AppInfo.h"
#include "info/Homepage.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
ON_BN_CLICKED(IDC_ABOUT_LINK, &CAboutDlg::OnHomepage)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX)
{
    m_hHandCursor = AfxGetApp()->LoadCursor(IDC_HAND_CURSOR);
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT_LINK, m_link);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_ABOUT_TITLE, AppInfo::GetProductName() + " Version " + AppInfo::GetFullVersion());
    SetDlgItemText(IDC_COPYRIGHT, AppInfo::GetLegalCopyright());
    SetUpHomepageLink(m_link, m_hHandCursor);
    return TRUE;
}

void CAboutDlg::OnHomepage()
{
    OpenHomepage(m_hWnd);
}
