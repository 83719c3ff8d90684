// The benchmark's reference: the main dialog of Sondaro written as a plain
// Win32 program, with the same template, the same calls and no framework.
#include <windows.h>

#include <commctrl.h>
#include <dsound.h>
#include <objbase.h>

#include <cstdio>
#include <deque>
#include <string>

#include "resource.h"

namespace {

std::deque<GUID> g_guids;

const DWORD kCheckOrder[20] = {0x80000, 0x8000, 0x800, 0x80, 0x8, 0x40000, 0x4000, 0x400, 0x40, 0x4,
                               0x20000, 0x2000, 0x200, 0x20, 0x2, 0x10000, 0x1000, 0x100, 0x10, 0x1};
const char* const kNames[20] = {
    "16bit stereo 96.000kHz", "16bit stereo 48.000kHz", "16bit stereo 44.100kHz", "16bit stereo 22.050kHz",
    "16bit stereo 11.025kHz", "16bit mono   96.000kHz", "16bit mono   48.000kHz", "16bit mono   44.100kHz",
    "16bit mono   22.050kHz", "16bit mono   11.025kHz", "8bit  stereo 96.000kHz", "8bit  stereo 48.000kHz",
    "8bit  stereo 44.100kHz", "8bit  stereo 22.050kHz", "8bit  stereo 11.025kHz", "8bit  mono   96.000kHz",
    "8bit  mono   48.000kHz", "8bit  mono   44.100kHz", "8bit  mono   22.050kHz", "8bit  mono   11.025kHz"};

BOOL CALLBACK AddDevice(LPGUID guid, LPCWSTR description, LPCWSTR, LPVOID context)
{
    HWND hList = static_cast<HWND>(context);
    char szText[512] = "";
    ::WideCharToMultiByte(CP_ACP, 0, description, -1, szText, sizeof szText, nullptr, nullptr);
    ::SendMessageA(hList, LB_SETCURSEL, 0, 0);
    LRESULT nIndex = ::SendMessageA(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szText));
    DWORD_PTR dwId = 0;
    if (guid) {
        g_guids.push_back(*guid);
        dwId = reinterpret_cast<DWORD_PTR>(&g_guids.back());
    }
    ::SendMessageA(hList, LB_SETITEMDATA, nIndex, dwId);
    return TRUE;
}

void ShowIdentifier(HWND hDlg)
{
    HWND hList = ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
    HWND hResults = ::GetDlgItem(hDlg, IDC_RESULTS);
    ::SendMessageA(hResults, LB_RESETCONTENT, 0, 0);
    LRESULT nSel = ::SendMessageA(hList, LB_GETCURSEL, 0, 0);
    if (nSel == LB_ERR)
        return;
    char szLine[32];
    sprintf(szLine, "Device ID=0x%X", static_cast<unsigned>(::SendMessageA(hList, LB_GETITEMDATA, nSel, 0)));
    ::SendMessageA(hResults, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szLine));
}

void Check(HWND hDlg)
{
    HWND hList = ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
    HWND hResults = ::GetDlgItem(hDlg, IDC_RESULTS);
    ::SendMessageA(hResults, LB_RESETCONTENT, 0, 0);
    LRESULT nSel = ::SendMessageA(hList, LB_GETCURSEL, 0, 0);
    if (nSel == LB_ERR)
        return;
    DWORD_PTR dwId = ::SendMessageA(hList, LB_GETITEMDATA, nSel, 0);
    IDirectSoundCapture* pCapture = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_DirectSoundCapture, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IDirectSoundCapture, reinterpret_cast<void**>(&pCapture))))
        return;
    DSCCAPS caps = {};
    caps.dwSize = sizeof caps;
    if (SUCCEEDED(pCapture->Initialize(reinterpret_cast<LPCGUID>(dwId))) &&
        SUCCEEDED(pCapture->GetCaps(&caps))) {
        char szLine[64];
        sprintf(szLine, "Device ID=0x%X", static_cast<unsigned>(dwId));
        ::SendMessageA(hResults, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szLine));
        for (int i = 0; i < 20; ++i) {
            bool bOkay = (caps.dwFormats & kCheckOrder[i]) == kCheckOrder[i];
            sprintf(szLine, "%s \t%s", kNames[i], bOkay ? "OKAY" : "FAIL");
            LRESULT nIndex = ::SendMessageA(hResults, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szLine));
            if (bOkay)
                ::SendMessageA(hResults, LB_SETSEL, TRUE, nIndex);
        }
    }
    pCapture->Release();
}

void InitDialog(HWND hDlg)
{
    HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    HMENU hSysMenu = ::GetSystemMenu(hDlg, FALSE);
    char szAbout[64] = "";
    if (hSysMenu && ::LoadStringA(hInstance, IDS_ABOUTBOX, szAbout, sizeof szAbout)) {
        ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, szAbout);
    }
    HICON hIcon = ::LoadIconA(hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    ::SendMessageA(hDlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hIcon));
    ::SendMessageA(hDlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
    ::SetDlgItemTextA(hDlg, IDC_LINK, "www.sondaro.org");

    char szPath[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    DWORD dwHandle = 0;
    DWORD dwSize = ::GetFileVersionInfoSizeA(szPath, &dwHandle);
    std::string version = "Version ";
    if (dwSize) {
        std::string data(dwSize, '\0');
        VS_FIXEDFILEINFO* pInfo = nullptr;
        UINT nLength = 0;
        if (::GetFileVersionInfoA(szPath, 0, dwSize, &data[0]) &&
            ::VerQueryValueA(&data[0], "\\", reinterpret_cast<void**>(&pInfo), &nLength)) {
            char szVersion[64];
            sprintf(szVersion, "%u.%u.%u.%u", HIWORD(pInfo->dwProductVersionMS),
                    LOWORD(pInfo->dwProductVersionMS), HIWORD(pInfo->dwProductVersionLS),
                    LOWORD(pInfo->dwProductVersionLS));
            version += szVersion;
        }
    }
    ::SetDlgItemTextA(hDlg, IDC_VERSION, version.c_str());

    ::CoInitialize(nullptr);
    HWND hList = ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
    ::DirectSoundCaptureEnumerateW(AddDevice, hList);
    ::SendMessageA(hList, LB_SELECTSTRING, 0, reinterpret_cast<LPARAM>(""));
    ShowIdentifier(hDlg);

    RECT rcWork, rcDlg;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    ::GetWindowRect(hDlg, &rcDlg);
    ::SetWindowPos(hDlg, nullptr, (rcWork.left + rcWork.right - (rcDlg.right - rcDlg.left)) / 2,
                   (rcWork.top + rcWork.bottom - (rcDlg.bottom - rcDlg.top)) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT nMsg, WPARAM wParam, LPARAM)
{
    switch (nMsg) {
    case WM_INITDIALOG:
        InitDialog(hDlg);
        return TRUE;
    case WM_DRAWITEM:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_CHECK && HIWORD(wParam) == BN_CLICKED)
            Check(hDlg);
        else if (LOWORD(wParam) == IDC_DEVICE_LIST && HIWORD(wParam) == LBN_SELCHANGE)
            ShowIdentifier(hDlg);
        else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            ::EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        ::CoUninitialize();
        ::EndDialog(hDlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    ::InitCommonControls();
    ::DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_PROBE_DIALOG), nullptr, DialogProc, 0);
    return 0;
}
