// CProbeDlg: the main dialog: the capture devices, the "check" button, the
// results and the footer.
#pragma once

#include "afxwin.h"
#include "controls/HButton.h"
#include "probe/DeviceList.h"

class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(CWnd* pParent = nullptr);
    ~CProbeDlg() override;

    // The display name of a capture format flag.
    static CString GetCaptureFormatName(DWORD dwFlag);
    // The results' first line: "Device ID=0x" and the identifier in hex.
    static CString FormatDeviceLine(DWORD_PTR dwIdentifier);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSelchangeDeviceList();
    void OnClose();
    void OnCheck();
    void OnHomepage();
    void OnEditCopy();

    CListBox* m_pDeviceList = nullptr;
    CListBox m_results;
    HICON m_hAppIcon;
    // The title bar's icon, from the image of the small size the DPI asks
    // for: the big icon shrunk by the system looks blurred. Ours to destroy.
    HICON m_hSmallIcon;
    HCURSOR m_hHandCursor;
    CHButton m_link;

    DECLARE_MESSAGE_MAP()

private:
    void ReleaseCom();
    void RunCheck();
    // What the dialog shows, as lines of text: the product and its version,
    // the selected device, the results.
    CString GetReport() const;

    // The device list keeps a reference to each device's GUID as item data;
    // the copies live here, with dsound.dll, as long as the dialog.
    CCaptureDevices m_devices;
    bool m_bComInitialized = false;
    // A close that comes while a check holds its capture object (the
    // failure report's message box lets it through) waits for the check.
    int m_nChecksRunning = 0;
    bool m_bCloseDeferred = false;
    HACCEL m_hAccelerators;
};
