#include "UiTest.h"

#include "about/AboutDlg.h"
#include "app/ProbeDlg.h"
#include "info/Homepage.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {
const char kAboutCaption[] = "Info \xFC"
                             "ber Sondaro";
}

// The entry's id is 16; the system keeps the low four bits for itself.
class AboutCommandTest : public testing::TestWithParam<UINT> {};

TEST_P(AboutCommandTest, SystemMenuEntryOpensTheAboutBoxAndReturnsUnchanged)
{
    // As at start-up, the main dialog is the application's main window, which
    // owns the about box.
    CProbeDlg dlg;
    AfxGetApp()->m_pMainWnd = &dlg;
    RunDialog(dlg, [](HWND hDlg) {
        HWND hResults = ::GetDlgItem(hDlg, IDC_RESULTS);
        std::vector<std::string> before = ListLines(hResults);
        WhileTriggering([hDlg] { ::SendMessageA(hDlg, WM_SYSCOMMAND, GetParam(), 0); }, kAboutCaption,
                        [hDlg](HWND hAbout) {
                            EXPECT_FALSE(::IsWindowEnabled(hDlg));
                            EXPECT_EQ(hDlg, ::GetWindow(hAbout, GW_OWNER));
                            ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
                        });
        EXPECT_TRUE(::IsWindowEnabled(hDlg));
        EXPECT_EQ(before, ListLines(hResults));
    });
    EXPECT_EQ(nullptr, AfxGetApp()->m_pMainWnd) << "the main window reference outlived its window";
}

INSTANTIATE_TEST_SUITE_P(Ids, AboutCommandTest, testing::Values(16u, 17u, 31u));

TEST(AboutDlgTest, ShowsProductVersionCopyrightAndTheLink)
{
    CAboutDlg dlg;
    RunDialog(dlg, [](HWND hAbout) {
        EXPECT_EQ(kAboutCaption, WindowText(hAbout));
        // Its template is not visible by itself; the modal run shows it.
        EXPECT_TRUE(::IsWindowVisible(hAbout));
        EXPECT_EQ("Sondaro Version 0.1.0.0", WindowText(::GetDlgItem(hAbout, IDC_ABOUT_TITLE)));
        EXPECT_EQ("Copyright (C) 2026 Sondaro developers", WindowText(::GetDlgItem(hAbout, IDC_COPYRIGHT)));
        EXPECT_EQ(HomepageHost, WindowText(::GetDlgItem(hAbout, IDC_ABOUT_LINK)));
        EXPECT_EQ(::GetDlgItem(hAbout, IDOK), ::GetFocus());
        HICON hIcon = reinterpret_cast<HICON>(::SendMessageA(::GetDlgItem(hAbout, -1), STM_GETICON, 0, 0));
        EXPECT_TRUE(hIcon);
    });
}

// Enter on OK, Esc from the link: both end the box.
TEST(AboutDlgTest, EnterAndEscapeClose)
{
    {
        CAboutDlg dlg;
        INT_PTR nResult = RunDialog(
            dlg, [](HWND hAbout) { ::PostMessageA(::GetDlgItem(hAbout, IDOK), WM_KEYDOWN, VK_RETURN, 0); });
        EXPECT_EQ(IDOK, nResult);
    }
    {
        CAboutDlg dlg;
        INT_PTR nResult = RunDialog(dlg, [](HWND hAbout) {
            ::SetFocus(::GetDlgItem(hAbout, IDC_ABOUT_LINK));
            ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(IDCANCEL, nResult);
    }
}

// Run with a second monitor to the right of the primary one. A main dialog
// near the second monitor's left edge keeps its about box there, centred over it.
TEST(SecondMonitor, AboutBoxOpensOverItsOwnerOnTheOwnersMonitor)
{
    ASSERT_EQ(2, ::GetSystemMetrics(SM_CMONITORS));
    RECT rcPrimary;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcPrimary, 0);
    CProbeDlg dlg;
    AfxGetApp()->m_pMainWnd = &dlg;
    RunDialog(dlg, [&rcPrimary](HWND hDlg) {
        ::SetWindowPos(hDlg, nullptr, rcPrimary.right + 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        WhileTriggering([hDlg] { ::SendMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); }, kAboutCaption,
                        [hDlg, &rcPrimary](HWND hAbout) {
                            RECT rcOwner, rcAbout;
                            ::GetWindowRect(hDlg, &rcOwner);
                            ::GetWindowRect(hAbout, &rcAbout);
                            EXPECT_GE(rcAbout.left, rcPrimary.right);
                            EXPECT_EQ((rcOwner.left + rcOwner.right) / 2 - (rcAbout.right - rcAbout.left) / 2,
                                      rcAbout.left);
                            EXPECT_EQ((rcOwner.top + rcOwner.bottom) / 2 - (rcAbout.bottom - rcAbout.top) / 2,
                                      rcAbout.top);
                            ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
                        });
    });
}

// Each opening gives back the windows and GDI objects it made: the dialog,
// its link's tooltip, the link's underlined font of a hover.
TEST(AboutDlgTest, OpeningAndClosingLeavesNoWindowOrGdiObjectBehind)
{
    const int kFree = 16;
    const int nWindowsBefore = CountThreadWindows(::GetCurrentThreadId());
    int nFreeAfter = 0;
    {
        CGdiHandleReserve reserve(kFree);
        ASSERT_TRUE(reserve.IsFull());
        ASSERT_EQ(kFree, CountCreatableFonts(kFree + 1));
        for (int i = 0; i < 5; ++i) {
            CAboutDlg dlg;
            INT_PTR nResult = RunDialog(dlg, [](HWND hAbout) {
                HWND hLink = ::GetDlgItem(hAbout, IDC_ABOUT_LINK);
                ::SendMessageA(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
                ::UpdateWindow(hLink);
                ::PostMessageA(hAbout, WM_COMMAND, IDOK, 0);
            });
            ASSERT_EQ(IDOK, nResult) << "opening " << i;
        }
        nFreeAfter = CountCreatableFonts(kFree + 1);
    }
    EXPECT_EQ(kFree, nFreeAfter);
    EXPECT_EQ(nWindowsBefore, CountThreadWindows(::GetCurrentThreadId()));
}
