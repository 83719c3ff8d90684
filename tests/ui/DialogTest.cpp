#include "UiTest.h"

#include "resource.h"

#include <gtest/gtest.h>

namespace {

// An owner-drawn button that counts what reaches it.
class CCountingButton : public CSubclassWnd<CButton> {
public:
    int m_nDrawn = 0;
    int m_nPreTranslated = 0;
    bool m_bPreTranslatedBeforeDispatch = false;
    int m_nDispatched = 0;

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        ++m_nDrawn;
        ::FillRect(lpDIS->hDC, &lpDIS->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_MOUSEMOVE) {
            ++m_nPreTranslated;
            m_bPreTranslatedBeforeDispatch = m_nDispatched == 0;
        }
        return CButton::PreTranslateMessage(pMsg);
    }
    void OnMouseMove(UINT, POINT)
    {
        ++m_nDispatched;
        Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingButton, CSubclassWnd<CButton>)
ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

// The main template with a counting button on its owner-drawn control.
class CTestDialog : public CDialog {
public:
    explicit CTestDialog(UINT nIDTemplate = IDD_PROBE_DIALOG, CWnd* pParent = nullptr)
        : CDialog(nIDTemplate, pParent)
    {
    }
    CCountingButton m_button;
    CListBox m_results;
    int m_nExchanges = 0;
    int m_nHelpCommands = 0;
    void OnHelpCommand() { ++m_nHelpCommands; }
    DECLARE_MESSAGE_MAP()

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        ++m_nExchanges;
        if (m_nIDTemplate == IDD_PROBE_DIALOG) {
            DDX_Control(pDX, IDC_LINK, m_button);
            DDX_Control(pDX, IDC_RESULTS, m_results);
        }
    }
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
ON_COMMAND(ID_HELP, &CTestDialog::OnHelpCommand)
END_MESSAGE_MAP()

// Another subclass in front of ours, as accessibility tools, IMEs and
// comctl32's own tooltips put there: it only calls the procedure it found.
WNDPROC g_pfnFound = nullptr;
LRESULT CALLBACK PassThrough(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcA(g_pfnFound, hWnd, nMsg, wParam, lParam);
}

} // namespace

TEST(DialogTest, DoModalWithoutTemplateReturnsMinusOneAndIsNoLongerTheMainWindow)
{
    CWnd* pMainWnd = AfxGetApp()->m_pMainWnd;
    CDialog dlg(4242);
    AfxGetApp()->m_pMainWnd = &dlg;
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, AfxGetApp()->m_pMainWnd);
    AfxGetApp()->m_pMainWnd = pMainWnd;
}

TEST(DialogTest, ModalRunEndsWhenItsWindowIsDestroyedAnotherWay)
{
    CTestDialog dlg;
    AfxGetApp()->m_pMainWnd = &dlg;
    EXPECT_EQ(-1, RunDialog(dlg, [](HWND hDlg) { ::DestroyWindow(hDlg); }));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_button.m_hWnd);
    EXPECT_EQ(nullptr, AfxGetApp()->m_pMainWnd);
}

TEST(DialogTest, DataExchangeSubclassesAndReflectsOwnerDraw)
{
    CTestDialog dlg;
    RunDialog(dlg, [&dlg](HWND hDlg) {
        EXPECT_EQ(1, dlg.m_nExchanges);
        EXPECT_EQ(::GetDlgItem(hDlg, IDC_LINK), dlg.m_button.m_hWnd);
        EXPECT_EQ(&dlg.m_button, CWnd::FromHandlePermanent(dlg.m_button.m_hWnd));
        EXPECT_EQ(&dlg, CWnd::FromHandlePermanent(hDlg));
        // A plain wrapper holds the handle and stays out of the way.
        HWND hResults = ::GetDlgItem(hDlg, IDC_RESULTS);
        EXPECT_EQ(hResults, dlg.m_results.m_hWnd);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hResults));
        EXPECT_EQ(::GetClassLongPtrA(hResults, GCLP_WNDPROC), ::GetWindowLongPtrA(hResults, GWLP_WNDPROC));
        ::UpdateWindow(hDlg);
        EXPECT_GT(dlg.m_button.m_nDrawn, 0);
    });
    // The window is gone, and with it the tie.
    EXPECT_EQ(nullptr, dlg.m_button.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_results.m_hWnd);
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(DialogTest, ModalLoopPreTranslatesBeforeDispatch)
{
    CTestDialog dlg;
    RunDialog(dlg, [&dlg](HWND) { ::PostMessageA(dlg.m_button.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)); });
    EXPECT_EQ(1, dlg.m_button.m_nPreTranslated);
    EXPECT_TRUE(dlg.m_button.m_bPreTranslatedBeforeDispatch);
    EXPECT_EQ(1, dlg.m_button.m_nDispatched);
}

// Whoever subclassed the control after us, it is ours: still drawn through
// the dialog's reflection, and its messages still pre-translated.
TEST(DialogTest, ControlStaysOursBehindAnotherSubclass)
{
    CTestDialog dlg;
    RunDialog(dlg, [&dlg](HWND) {
        HWND hButton = dlg.m_button.m_hWnd;
        g_pfnFound = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassThrough)));
        const int nDrawn = dlg.m_button.m_nDrawn;
        ::RedrawWindow(hButton, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_GT(dlg.m_button.m_nDrawn, nDrawn);
        ::PostMessageA(hButton, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    });
    EXPECT_EQ(1, dlg.m_button.m_nPreTranslated);
    EXPECT_EQ(1, dlg.m_button.m_nDispatched);
}

// F1 makes the system send WM_HELP to the window with the focus, which
// passes it up to the dialog: the help command.
TEST(DialogTest, HelpKeyGivesTheHelpCommand)
{
    CTestDialog dlg;
    RunDialog(dlg, [&dlg](HWND hDlg) {
        HELPINFO hi = {sizeof hi, HELPINFO_WINDOW, IDC_RESULTS, ::GetDlgItem(hDlg, IDC_RESULTS), 0, {0, 0}};
        ::SendMessageA(::GetDlgItem(hDlg, IDC_RESULTS), WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    });
    EXPECT_EQ(1, dlg.m_nHelpCommands);
}

namespace {
// The test's own mouse moves, told from the real pointer's by a flag no
// pointer sets.
const WPARAM kTestMove = 0x4000;

// A dialog that counts the test's mouse moves it is shown before dispatch.
class CPreTranslatingDialog : public CTestDialog {
public:
    int m_nPreTranslated = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        m_nPreTranslated += pMsg->message == WM_MOUSEMOVE && pMsg->wParam == kTestMove;
        return CTestDialog::PreTranslateMessage(pMsg);
    }
};
} // namespace

// The chain runs from a window up to its top-level window: a pop-up the
// dialog owns is not the dialog's child, and its messages are not the
// dialog's to see. The dialog's own children's are.
TEST(DialogTest, PreTranslationStopsAtTheTopLevelWindow)
{
    CPreTranslatingDialog dlg;
    HWND hPopup = nullptr;
    // The modal loop takes both moves before the cancel that ends the run.
    RunDialog(dlg, [&hPopup](HWND hDlg) {
        hPopup =
            ::CreateWindowExA(0, "STATIC", "owned", WS_POPUP, 0, 0, 10, 10, hDlg, nullptr, nullptr, nullptr);
        ASSERT_TRUE(hPopup);
        ::PostMessageA(hPopup, WM_MOUSEMOVE, kTestMove, MAKELPARAM(1, 1));
        ::PostMessageA(::GetDlgItem(hDlg, IDC_RESULTS), WM_MOUSEMOVE, kTestMove, MAKELPARAM(1, 1));
    });
    if (hPopup)
        ::DestroyWindow(hPopup);
    EXPECT_EQ(1, dlg.m_nPreTranslated);
}

TEST(DialogTest, GetDlgItemGivesOneObjectPerControlForTheDialogsLife)
{
    CTestDialog dlg;
    RunDialog(dlg, [&dlg](HWND hDlg) {
        CListBox* pList = dlg.GetDlgItem<CListBox>(IDC_DEVICE_LIST);
        ASSERT_TRUE(pList);
        EXPECT_EQ(::GetDlgItem(hDlg, IDC_DEVICE_LIST), pList->m_hWnd);
        EXPECT_EQ(pList, dlg.GetDlgItem<CListBox>(IDC_DEVICE_LIST));
        // A wrapper of its own for each class asked for.
        CButton* pButton = dlg.GetDlgItem<CButton>(IDC_LINK);
        ASSERT_TRUE(pButton);
        EXPECT_EQ(::GetDlgItem(hDlg, IDC_LINK), pButton->m_hWnd);
        EXPECT_NE(static_cast<CWnd*>(&dlg.m_button), pButton);
        EXPECT_EQ(nullptr, dlg.GetDlgItem<CWnd>(4242));
        pList->AddString("entry");
        EXPECT_EQ(1, pList->GetCount());
    });
}

// Given the outer dialog or one of its controls as the parent, the inner
// run disables the outer dialog, the top-level window that owns it.
TEST(DialogTest, NestedModalDialogDisablesItsTopLevelOwnerUntilItEnds)
{
    for (bool bControlAsParent : {false, true}) {
        SCOPED_TRACE(bControlAsParent ? "a control as the parent" : "the dialog as the parent");
        CTestDialog outer;
        RunDialog(outer, [&](HWND hOuter) {
            CTestDialog inner(IDD_ABOUTBOX, bControlAsParent ? static_cast<CWnd*>(&outer.m_button) : &outer);
            INT_PTR nResult = RunDialog(inner, [&](HWND hInner) {
                EXPECT_FALSE(::IsWindowEnabled(hOuter));
                EXPECT_TRUE(::IsWindowEnabled(outer.m_button.m_hWnd));
                EXPECT_EQ(hOuter, ::GetWindow(hInner, GW_OWNER));
                ::PostMessageA(::GetDlgItem(hInner, IDOK), BM_CLICK, 0, 0);
            });
            EXPECT_EQ(IDOK, nResult);
            EXPECT_TRUE(::IsWindowEnabled(hOuter));
        });
    }
}

// As the system's EndDialog: the window hides and its owner works again at
// once, also when the run cannot end yet because another runs inside it.
TEST(DialogTest, EndDialogHidesTheWindowAndEnablesTheOwnerAtOnce)
{
    CTestDialog outer;
    INT_PTR nOuterResult = RunDialog(outer, [&](HWND hOuter) {
        CTestDialog inner(IDD_ABOUTBOX, &outer);
        INT_PTR nResult = RunDialog(inner, [&](HWND hInner) {
            // The outer dialog ended while the inner box is up.
            outer.EndDialog(IDABORT);
            EXPECT_FALSE(::IsWindowVisible(hOuter));
            EXPECT_TRUE(::IsWindowVisible(hInner));

            inner.EndDialog(IDOK);
            EXPECT_FALSE(::IsWindowVisible(hInner));
            EXPECT_TRUE(::IsWindowEnabled(hOuter));
        });
        EXPECT_EQ(IDOK, nResult);
    });
    EXPECT_EQ(IDABORT, nOuterResult);
}

namespace {
BOOL CALLBACK FindIcon(HWND hWnd, LPARAM lParam)
{
    LRESULT hIcon = ::SendMessageA(hWnd, STM_GETICON, 0, 0);
    if ((::GetWindowLongA(hWnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && hIcon) {
        *reinterpret_cast<HICON*>(lParam) = reinterpret_cast<HICON>(hIcon);
        return FALSE;
    }
    return TRUE;
}

HICON MessageBoxIcon(HWND hBox)
{
    HICON hIcon = nullptr;
    ::EnumChildWindows(hBox, FindIcon, reinterpret_cast<LPARAM>(&hIcon));
    return hIcon;
}
} // namespace

TEST(DialogTest, MessageBoxIsCaptionedWithTheApplicationNameAndWarnsWhenTheTypeNamesNoIcon)
{
    const char* pszCaption = AfxGetApp()->m_strAppName;
    HICON hExclamation = ::LoadIconA(nullptr, IDI_EXCLAMATION);
    WhileTriggering([] { AfxMessageBox("first line \n second line"); }, pszCaption,
                    [hExclamation](HWND hBox) {
                        EXPECT_EQ("first line \n second line", WindowText(::GetDlgItem(hBox, 0xFFFF)));
                        EXPECT_EQ(hExclamation, MessageBoxIcon(hBox));
                        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                    });
    HICON hInformation = ::LoadIconA(nullptr, IDI_INFORMATION);
    WhileTriggering([] { AfxMessageBox("text", MB_OK | MB_ICONINFORMATION); }, pszCaption,
                    [hInformation](HWND hBox) {
                        EXPECT_EQ(hInformation, MessageBoxIcon(hBox));
                        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                    });
}
