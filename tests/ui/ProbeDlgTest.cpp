#include "UiTest.h"

#include "app/ProbeDlg.h"
#include "common/ImportPatch.h"
#include "fakes/FakeCapture.h"
#include "probe/DeviceList.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <set>

// The runs under Wine's Windows 98 setting test the paths of 9x only when
// the program sees that platform.
TEST(PlatformTest, TheProgramSeesThePlatformWineReports)
{
    const char* pszVersion = getenv("SONDARO_WINE_VERSION");
    const std::string strVersion = pszVersion ? pszVersion : "";
    EXPECT_EQ(strVersion == "win95" || strVersion == "win98" || strVersion == "winme", AfxIsWin9x());
}

TEST(ProbeDlgTest, OpensCentredFromItsTemplateWithCaptionAndStyles)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        EXPECT_EQ("Sondaro", WindowText(hDlg));
        LONG lStyle = ::GetWindowLongA(hDlg, GWL_STYLE);
        EXPECT_TRUE(lStyle & WS_MINIMIZEBOX);
        EXPECT_FALSE(lStyle & WS_MAXIMIZEBOX);
        EXPECT_FALSE(lStyle & WS_THICKFRAME);
        EXPECT_TRUE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);

        RECT rcWork, rcDlg;
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
        ::GetWindowRect(hDlg, &rcDlg);
        EXPECT_NEAR((rcWork.left + rcWork.right) / 2, (rcDlg.left + rcDlg.right) / 2, 1);
        EXPECT_NEAR((rcWork.top + rcWork.bottom) / 2, (rcDlg.top + rcDlg.bottom) / 2, 1);

        EXPECT_EQ(::GetDlgItem(hDlg, IDC_RESULTS), ::GetFocus());
    });
}

TEST(ProbeDlgTest, SystemMenuEndsWithSeparatorAndAboutEntry)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        HMENU hMenu = ::GetSystemMenu(hDlg, FALSE);
        ASSERT_TRUE(hMenu);
        int nCount = ::GetMenuItemCount(hMenu);
        ASSERT_GE(nCount, 2);
        EXPECT_TRUE(::GetMenuState(hMenu, nCount - 2, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(16u, ::GetMenuItemID(hMenu, nCount - 1));
        char szText[64] = "";
        ::GetMenuStringA(hMenu, nCount - 1, szText, sizeof szText, MF_BYPOSITION);
        EXPECT_STREQ("&Info \xFC"
                     "ber Sondaro...",
                     szText);
    });
}

TEST(ProbeDlgTest, BigAndSmallIconAreTheApplicationIcon)
{
    HICON hAppIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_TRUE(hAppIcon);
    CProbeDlg dlg;
    RunDialog(dlg, [hAppIcon](HWND hDlg) {
        EXPECT_EQ(reinterpret_cast<LRESULT>(hAppIcon), ::SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0));
        ICONINFO ii = {};
        ASSERT_TRUE(
            ::GetIconInfo(reinterpret_cast<HICON>(::SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0)), &ii));
        BITMAP bm = {};
        ::GetObjectA(ii.hbmColor, sizeof bm, &bm);
        ::DeleteObject(ii.hbmColor);
        ::DeleteObject(ii.hbmMask);
        EXPECT_EQ(::GetSystemMetrics(SM_CXSMICON), bm.bmWidth);
        EXPECT_EQ(reinterpret_cast<LRESULT>(hAppIcon), ::SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0));
    });
}

namespace {
// The client size the dialog gets while minimised, on a known background.
WNDPROC g_pfnDialogWindowProc;
int g_nIconicClient;
const COLORREF kIconBackground = RGB(255, 0, 255);

LRESULT CALLBACK IconicClientProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    RECT* pRect = reinterpret_cast<RECT*>(lParam);
    RECT rcClient = {0, 0, g_nIconicClient, g_nIconicClient};
    if (nMsg == WM_NCCALCSIZE && ::IsIconic(hWnd)) {
        ::OffsetRect(&rcClient, pRect->left, pRect->top);
        *pRect = rcClient;
        return 0;
    }
    if (nMsg != WM_ICONERASEBKGND)
        return ::CallWindowProcA(g_pfnDialogWindowProc, hWnd, nMsg, wParam, lParam);
    HBRUSH hBrush = ::CreateSolidBrush(kIconBackground);
    ::FillRect(reinterpret_cast<HDC>(wParam), &rcClient, hBrush);
    ::DeleteObject(hBrush);
    return TRUE;
}
} // namespace

// Run in a Wine desktop, which lays minimised windows out on the screen: the
// part of the client area that the minimised window shows must look as the
// icon drawn at the expected place does.
TEST(MinimisedTest, DrawsTheIconInTheMiddleOfTheClientAreaRoundingUp)
{
    const int cases[][2] = {{36, 2}, {35, 2}, {30, 0}}; // client size, icon's left and top
    HICON hAppIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    CProbeDlg dlg;
    RunDialog(dlg, [&](HWND hDlg) {
        g_pfnDialogWindowProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hDlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(IconicClientProc)));
        ::ShowWindow(hDlg, SW_MINIMIZE);
        for (const auto& c : cases) {
            SCOPED_TRACE(c[0]);
            g_nIconicClient = c[0];
            ::SetWindowPos(hDlg, nullptr, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
            ::InvalidateRect(hDlg, nullptr, FALSE);
            ::UpdateWindow(hDlg);
            RECT rcShown;
            POINT ptClient = {0, 0};
            ::GetWindowRect(hDlg, &rcShown);
            ::ClientToScreen(hDlg, &ptClient);
            ::OffsetRect(&rcShown, -ptClient.x, -ptClient.y);
            ASSERT_TRUE(::IsIconic(hDlg) && rcShown.right > 0 && ptClient.x >= 0);

            HDC hdcWindow = ::GetDC(hDlg);
            HDC hdcIcon = ::CreateCompatibleDC(hdcWindow);
            HGDIOBJ hOld = ::SelectObject(hdcIcon, ::CreateCompatibleBitmap(hdcWindow, c[0], c[0]));
            IconicClientProc(hDlg, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hdcIcon), 0);
            ::DrawIcon(hdcIcon, c[1], c[1], hAppIcon);
            int nIconPixels = 0, nDifferent = 0;
            for (int y = 0; y < std::min<int>(c[0], rcShown.bottom); ++y)
                for (int x = 0; x < std::min<int>(c[0], rcShown.right); ++x) {
                    const COLORREF cr = ::GetPixel(hdcIcon, x, y);
                    nIconPixels += cr != kIconBackground;
                    nDifferent += cr != ::GetPixel(hdcWindow, x, y);
                }
            ::DeleteObject(::SelectObject(hdcIcon, hOld));
            ::DeleteDC(hdcIcon);
            ::ReleaseDC(hDlg, hdcWindow);
            ASSERT_GT(nIconPixels, 100) << "too little of the icon shows to tell where it is";
            EXPECT_EQ(0, nDifferent);
        }
        ::SetWindowLongPtrA(hDlg, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnDialogWindowProc));
    });
}

TEST(ProbeDlgTest, ListsDevicesSortedWithWholeDescriptionsAndStableIdentifiers)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        HWND hList = ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
        std::vector<std::string> devices = ListLines(hList);
        // The test's audio server offers two named sources, one with a
        // description longer than 32 bytes.
        const std::string strLong = "Alpha Microphone with a description longer than 32 bytes";
        EXPECT_NE(devices.end(), std::find(devices.begin(), devices.end(), strLong));
        EXPECT_NE(devices.end(), std::find(devices.begin(), devices.end(), "Beta Microphone"));
        EXPECT_TRUE(
            std::is_sorted(devices.begin(), devices.end(), [](const std::string& a, const std::string& b) {
                return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
            }));

        int nPrimary = 0;
        std::vector<GUID> guids;
        for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
            DWORD_PTR dwId = ::SendMessageA(hList, LB_GETITEMDATA, i, 0);
            if (dwId == 0) {
                ++nPrimary;
                continue;
            }
            guids.push_back(*reinterpret_cast<const GUID*>(dwId));
        }
        EXPECT_EQ(1, nPrimary) << "exactly the primary capture device has identifier 0";
        for (size_t i = 0; i < guids.size(); ++i)
            for (size_t j = i + 1; j < guids.size(); ++j)
                EXPECT_FALSE(IsEqualGUID(guids[i], guids[j]));
    });
}

TEST(ProbeDlgTest, StartsWithTheIdentifierLineOfTheSelectedDevice)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        HWND hList = ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
        int nSel = static_cast<int>(::SendMessageA(hList, LB_GETCURSEL, 0, 0));
        ASSERT_NE(LB_ERR, nSel);
        DWORD_PTR dwId = ::SendMessageA(hList, LB_GETITEMDATA, nSel, 0);
        std::vector<std::string> lines = ListLines(::GetDlgItem(hDlg, IDC_RESULTS));
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ(IdentifierLine(dwId), lines[0]);
        EXPECT_TRUE(SelectedLines(::GetDlgItem(hDlg, IDC_RESULTS)).empty());
    });
}

TEST(ProbeDlgTest, EachSelectionReplacesTheResultsWithOneIdentifierLine)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        HWND hList = ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
        HWND hResults = ::GetDlgItem(hDlg, IDC_RESULTS);
        int nCount = static_cast<int>(::SendMessageA(hList, LB_GETCOUNT, 0, 0));
        ASSERT_GE(nCount, 3);
        bool bSawZero = false;
        for (int i = 0; i < nCount; ++i) {
            for (int n = 0; n < 21; ++n)
                ::SendMessageA(hResults, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("earlier line"));
            SelectDevice(hDlg, i);
            DWORD_PTR dwId = ::SendMessageA(hList, LB_GETITEMDATA, i, 0);
            bSawZero = bSawZero || dwId == 0;
            std::vector<std::string> lines = ListLines(hResults);
            ASSERT_EQ(1u, lines.size());
            EXPECT_EQ(IdentifierLine(dwId), lines[0]);
        }
        EXPECT_TRUE(bSawZero);
    });
}

// COM is released exactly once however the dialog ends. The test holds a
// COM reference of its own, so a second release by the dialog would leave
// the thread without COM.
class ProbeDlgEndTest : public testing::TestWithParam<int> {};

TEST_P(ProbeDlgEndTest, EndsAndReleasesComExactlyOnce)
{
    ASSERT_EQ(S_OK, ::CoInitialize(nullptr));
    INT_PTR nResult;
    {
        CProbeDlg dlg;
        nResult = RunDialog(dlg, [](HWND hDlg) {
            // COM is initialised while the dialog runs.
            HRESULT hr = ::CoInitialize(nullptr);
            EXPECT_EQ(S_FALSE, hr);
            ::CoUninitialize();
            switch (GetParam()) {
            case 0:
                ::SendMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case 1:
                ::SetFocus(::GetDlgItem(hDlg, IDC_DEVICE_LIST));
                ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
                break;
            case 2:
                ::SetFocus(::GetDlgItem(hDlg, IDC_RESULTS));
                ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
                break;
            }
        });
    }
    EXPECT_EQ(GetParam() == 2 ? IDOK : IDCANCEL, nResult);
    EXPECT_EQ(S_FALSE, ::CoInitialize(nullptr)) << "the dialog released COM more than once";
    ::CoUninitialize();
    ::CoUninitialize();
    EXPECT_EQ(S_OK, ::CoInitialize(nullptr)) << "the dialog did not release COM";
    ::CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(ByCloseEscAndEnter, ProbeDlgEndTest, testing::Values(0, 1, 2));

TEST(ProbeDlgTest, EnterOnCheckRunsTheCheckAndLeavesTheDialogOpen)
{
    ASSERT_EQ(S_OK, ::CoInitialize(nullptr));
    {
        FakeCaptureScript script;
        script.dwFormats = 0x80001;
        FakeCaptureRegistration fake(script);
        CProbeDlg dlg;
        INT_PTR nResult = RunDialog(dlg, [](HWND hDlg) {
            // As the Tab key moves it: the dialog manager makes a focused
            // push button the default one.
            ::SendMessageA(hDlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(hDlg, IDC_CHECK)),
                           TRUE);
            ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        });
        // The test's own IDCANCEL ended it, not the Enter key.
        EXPECT_EQ(IDCANCEL, nResult);
        EXPECT_EQ("Create;Initialize;GetCaps;Release;", fake.Log().calls);
    }
    ::CoUninitialize();
}

namespace {
class CProbeDlgWithList : public CProbeDlg {
public:
    CListBox* DeviceList() const { return m_pDeviceList; }
};

bool g_bDestroyClipboardAnswered = false;

LRESULT CALLBACK NoteDestroyClipboard(int nCode, WPARAM wParam, LPARAM lParam)
{
    g_bDestroyClipboardAnswered |= reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_DESTROYCLIPBOARD;
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

DWORD WINAPI OpenAndEmptyClipboard(LPVOID hOpened)
{
    return ::OpenClipboard(nullptr) && ::SetEvent(hOpened) && ::EmptyClipboard() && ::CloseClipboard();
}
} // namespace

// The list's object lives as long as the dialog's; its window goes first.
TEST(ProbeDlgTest, DeviceListNamesNoWindowOnceTheDialogIsGone)
{
    CProbeDlgWithList dlg;
    RunDialog(dlg, [&dlg](HWND hDlg) {
        ASSERT_TRUE(dlg.DeviceList());
        EXPECT_EQ(::GetDlgItem(hDlg, IDC_DEVICE_LIST), dlg.DeviceList()->m_hWnd);
    });
    ASSERT_TRUE(dlg.DeviceList());
    EXPECT_EQ(nullptr, dlg.DeviceList()->m_hWnd);
}

// Once the dialog owns the clipboard, a program that holds it open and
// empties it waits for the dialog's WM_DESTROYCLIPBOARD: a copy waiting for
// the clipboard answers it between its tries.
TEST(ProbeDlgTest, ACopyWaitingForTheClipboardAnswersTheProgramHoldingIt)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        ::SendMessageA(hDlg, WM_COMMAND, ID_EDIT_COPY, 0);
        HANDLE hOpened = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE hHolder = ::CreateThread(nullptr, 0, OpenAndEmptyClipboard, hOpened, 0, nullptr);
        // Until the holder's message waits for the dialog, unanswered.
        ::WaitForSingleObject(hOpened, kHangMs);
        ASSERT_EQ(WAIT_OBJECT_0, ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kHangMs, QS_SENDMESSAGE));
        HHOOK hHook =
            ::SetWindowsHookExA(WH_CALLWNDPROC, NoteDestroyClipboard, nullptr, ::GetCurrentThreadId());
        ::SendMessageA(hDlg, WM_COMMAND, ID_EDIT_COPY, 0);
        ::UnhookWindowsHookEx(hHook);
        EXPECT_TRUE(g_bDestroyClipboardAnswered);
        for (MSG msg;
             ::MsgWaitForMultipleObjects(1, &hHolder, FALSE, kHangMs, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1;)
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
}

// The enumeration keeps the GUIDs where it is told, whatever the list's
// parent is.
TEST(DeviceListTest, IdentifiesEveryDeviceInAListOfAnyDialog)
{
    ASSERT_EQ(S_OK, ::CoInitialize(nullptr));
    CDialog plain(IDD_PROBE_DIALOG);
    CCaptureDevices guids;
    RunDialog(plain, [&plain, &guids](HWND hDlg) {
        CListBox* pList = plain.GetDlgItem<CListBox>(IDC_DEVICE_LIST);
        ASSERT_TRUE(pList);
        EnumerateCaptureDevices(pList, guids);
        const int nCount = pList->GetCount();
        // The primary device and at least the test's two sources.
        ASSERT_GE(nCount, 3);
        ASSERT_EQ(nCount - 1, guids.GetCount());
        std::set<const GUID*> kept;
        for (int i = 0; i < guids.GetCount(); ++i)
            kept.insert(guids.GetAt(i));
        int nPrimary = 0;
        for (int i = 0; i < nCount; ++i) {
            const GUID* pGuid = reinterpret_cast<const GUID*>(pList->GetItemData(i));
            if (!pGuid)
                ++nPrimary;
            else
                EXPECT_EQ(1u, kept.erase(pGuid)) << ListLines(::GetDlgItem(hDlg, IDC_DEVICE_LIST))[i];
        }
        EXPECT_EQ(1, nPrimary);
    });
    ::CoUninitialize();
}

namespace {
// A device list that refuses one description, as a list short of memory
// does, and treats LB_SETITEMDATA for index -1 as Windows documents: the
// data goes to every entry (Wine's list ignores it).
WNDPROC g_pfnListProc;
const char* const kRefusedDescription = "Beta Microphone";

LRESULT CALLBACK RefusingListProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == LB_ADDSTRING && strcmp(reinterpret_cast<LPCSTR>(lParam), kRefusedDescription) == 0)
        return LB_ERR;
    if (nMsg == LB_SETITEMDATA && static_cast<int>(wParam) == -1) {
        const LRESULT nCount = ::CallWindowProcA(g_pfnListProc, hWnd, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < nCount; ++i)
            ::CallWindowProcA(g_pfnListProc, hWnd, LB_SETITEMDATA, i, lParam);
        return 0;
    }
    return ::CallWindowProcA(g_pfnListProc, hWnd, nMsg, wParam, lParam);
}
} // namespace

TEST(DeviceListTest, ADescriptionTheListRefusesLeavesTheOthersTheirIdentifiers)
{
    ASSERT_EQ(S_OK, ::CoInitialize(nullptr));
    CDialog plain(IDD_PROBE_DIALOG);
    CCaptureDevices guids;
    RunDialog(plain, [&plain, &guids](HWND hDlg) {
        const HWND hList = ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
        g_pfnListProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RefusingListProc)));
        EnumerateCaptureDevices(plain.GetDlgItem<CListBox>(IDC_DEVICE_LIST), guids);
        ::SetWindowLongPtrA(hList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnListProc));

        const std::vector<std::string> devices = ListLines(hList);
        EXPECT_EQ(devices.end(), std::find(devices.begin(), devices.end(), kRefusedDescription));
        // The primary device and the test's other source.
        ASSERT_GE(devices.size(), 2u);
        std::set<DWORD_PTR> identifiers;
        for (int i = 0; i < static_cast<int>(devices.size()); ++i)
            identifiers.insert(::SendMessageA(hList, LB_GETITEMDATA, i, 0));
        EXPECT_EQ(devices.size(), identifiers.size()) << "entries share an identifier";
        EXPECT_EQ(1u, identifiers.count(0)) << "the primary capture device lost its identifier 0";
    });
    ::CoUninitialize();
}

namespace {
// What the program asks of kernel32.dll about DirectSound: the functions it
// looks up (the Unicode enumeration may be made to look missing, as on
// NT 4.0 with DirectX 5) and how often it lets the DLL go.
std::vector<std::string> g_lookedUp;
bool g_bHideEnumerateW = false;
int g_nDirectSoundFrees = 0;
DWORD_PTR g_dwGetProcAddress = 0;
DWORD_PTR g_dwFreeLibrary = 0;

FARPROC WINAPI WatchingGetProcAddress(HMODULE hModule, LPCSTR pszName)
{
    if (hModule == ::GetModuleHandleA("dsound.dll") && HIWORD(pszName)) {
        g_lookedUp.push_back(pszName);
        if (g_bHideEnumerateW && strcmp(pszName, "DirectSoundCaptureEnumerateW") == 0)
            return nullptr;
    }
    return reinterpret_cast<decltype(&::GetProcAddress)>(g_dwGetProcAddress)(hModule, pszName);
}

BOOL WINAPI CountingFreeLibrary(HMODULE hModule)
{
    if (hModule && hModule == ::GetModuleHandleA("dsound.dll"))
        ++g_nDirectSoundFrees;
    return reinterpret_cast<decltype(&::FreeLibrary)>(g_dwFreeLibrary)(hModule);
}
} // namespace

TEST(DeviceListTest, NtWithoutTheUnicodeEnumerationListsWithTheAnsiOne)
{
    ASSERT_FALSE(AfxIsWin9x());
    CImportPatch patch("kernel32.dll", "GetProcAddress",
                       reinterpret_cast<const void*>(WatchingGetProcAddress));
    g_dwGetProcAddress = patch.Original();
    ASSERT_NE(0u, g_dwGetProcAddress);
    g_lookedUp.clear();
    g_bHideEnumerateW = true;
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        std::vector<std::string> devices = ListLines(::GetDlgItem(hDlg, IDC_DEVICE_LIST));
        // The primary device and at least the test's two sources.
        EXPECT_GE(devices.size(), 3u);
        EXPECT_NE(devices.end(), std::find(devices.begin(), devices.end(), "Beta Microphone"));
    });
    g_bHideEnumerateW = false;
    EXPECT_EQ((std::vector<std::string>{"DirectSoundCaptureEnumerateW", "DirectSoundCaptureEnumerateA"}),
              g_lookedUp);
}

TEST(DeviceListTest, DirectSoundStaysLoadedUntilTheDialogEnds)
{
    CImportPatch patch("kernel32.dll", "FreeLibrary", reinterpret_cast<const void*>(CountingFreeLibrary));
    g_dwFreeLibrary = patch.Original();
    ASSERT_NE(0u, g_dwFreeLibrary);
    g_nDirectSoundFrees = 0;
    {
        CProbeDlg dlg;
        RunDialog(dlg, [](HWND hDlg) {
            ASSERT_GT(::SendDlgItemMessageA(hDlg, IDC_DEVICE_LIST, LB_GETCOUNT, 0, 0), 0);
            PressCheck(hDlg);
            EXPECT_EQ(0, g_nDirectSoundFrees);
        });
    }
    EXPECT_EQ(1, g_nDirectSoundFrees);
}
