#include "app/ProbeDlg.h"

#include "about/AboutDlg.h"
#include "controls/HomepageLink.h"
#include "info/AppInfo.h"
#include "info/Homepage.h"
#include "probe/DeviceList.h"
#include "resource.h"

#include <objbase.h>

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_LBN_SELCHANGE(IDC_DEVICE_LIST, &CProbeDlg::OnSelchangeDeviceList)
ON_WM_CLOSE()
ON_BN_CLICKED(IDC_LINK, &CProbeDlg::OnHomepage)
ON_BN_CLICKED(IDC_CHECK, &CProbeDlg::OnCheck)
ON_COMMAND(ID_EDIT_COPY, &CProbeDlg::OnEditCopy)
END_MESSAGE_MAP()

CProbeDlg::CProbeDlg(CWnd* pParent) : CDialog(IDD_PROBE_DIALOG, pParent)
{
    m_hAppIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
    // Not LR_SHARED: Windows would hand back the icon of the first size
    // loaded.
    m_hSmallIcon = static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                   IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    m_hHandCursor = AfxGetApp()->LoadCursor(IDC_HAND_CURSOR);
    m_hAccelerators = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CProbeDlg::~CProbeDlg()
{
    // Ended by Enter or Esc: no WM_CLOSE came to release COM.
    ReleaseCom();
    if (m_hSmallIcon)
        ::DestroyIcon(m_hSmallIcon);
}

void CProbeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LINK, m_link);
    DDX_Control(pDX, IDC_RESULTS, m_results);
}

BOOL CProbeDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hAppIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

    SetUpHomepageLink(m_link, m_hHandCursor);
    // The first use of the version information gathers all of it.
    SetDlgItemText(IDC_VERSION, "Version " + AppInfo::GetFullVersion());

    // A failed CoInitialize shows later, when a check cannot create its
    // capture object; only a successful one is balanced.
    m_bComInitialized = SUCCEEDED(::CoInitialize(nullptr));

    m_pDeviceList = GetDlgItem<CListBox>(IDC_DEVICE_LIST);
    EnumerateCaptureDevices(m_pDeviceList, m_devices);
    m_pDeviceList->SelectString(0, "");
    OnSelchangeDeviceList();
    return TRUE;
}

void CProbeDlg::OnSysCommand(UINT nID, LPARAM)
{
    // The system keeps the low four bits of a command id for itself.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
        return;
    }
    Default();
}

void CProbeDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    ::DrawIcon(dc.GetSafeHdc(), x, y, m_hAppIcon);
}

BOOL CProbeDlg::PreTranslateMessage(MSG* pMsg)
{
    // The modal loop shows the dialog the keys for each of its controls too:
    // the accelerators work wherever the focus is.
    if (m_hAccelerators && ::TranslateAcceleratorA(m_hWnd, m_hAccelerators, pMsg))
        return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

HCURSOR CProbeDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hAppIcon);
}

void CProbeDlg::OnHomepage()
{
    OpenHomepage(m_hWnd);
}

void CProbeDlg::OnClose()
{
    if (m_nChecksRunning > 0) {
        m_bCloseDeferred = true;
        return;
    }
    ReleaseCom();
    Default();
}

void CProbeDlg::ReleaseCom()
{
    if (m_bComInitialized) {
        ::CoUninitialize();
        m_bComInitialized = false;
    }
}
