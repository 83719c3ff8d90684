#include "Dialog.h"

#include "WinApp.h"
#include "afxres.h"

namespace {
// The head of an extended dialog template, up to the position.
struct DLGTEMPLATEEX_HEAD {
    WORD wDlgVer;
    WORD wSignature;
    DWORD dwHelpID;
    DWORD dwExStyle;
    DWORD dwStyle;
    WORD cDlgItems;
    short x;
    short y;
};
} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog()
{
    // The window first: its WM_NCDESTROY clears the handles of the wrappers
    // that are deleted next.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    for (int i = 0; i < m_wrappers.GetSize(); ++i)
        if (m_wrappers[i].pClassKey)
            delete m_wrappers[i].pWnd;
}

void CDialog::AttachWrapper(int nIDC, CWnd& rWrapper)
{
    if (rWrapper.m_hWnd)
        return;
    rWrapper.m_hWnd = ::GetDlgItem(m_hWnd, nIDC);
    if (rWrapper.m_hWnd)
        m_wrappers.Add({&rWrapper, nullptr});
}

HWND CDialog::GetModalOwner() const
{
    HWND hWndOwner = nullptr;
    if (m_pParentWnd) {
        hWndOwner = m_pParentWnd->m_hWnd;
    } else {
        // Without a parent, the application's main window owns the dialog
        // (unless this dialog is the main window itself).
        CWinApp* pApp = AfxGetApp();
        if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this)
            hWndOwner = pApp->m_pMainWnd->m_hWnd;
    }
    // A popup's owner is a top-level window: the system takes a child's
    // top-level ancestor, and that is what the run must disable.
    // (GetAncestor is not on Windows 95 or NT 4.0.)
    while (hWndOwner && (::GetWindowLongA(hWndOwner, GWL_STYLE) & WS_CHILD))
        hWndOwner = ::GetParent(hWndOwner);
    return hWndOwner;
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5));
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    m_pTemplate = hTemplate ? static_cast<const DLGTEMPLATE*>(::LockResource(hTemplate)) : nullptr;
    if (!m_pTemplate) {
        ForgetAsMainWindow();
        return -1;
    }

    HWND hWndOwner = GetModalOwner();
    m_hWndDisabledOwner = hWndOwner && ::IsWindowEnabled(hWndOwner) ? hWndOwner : nullptr;
    if (m_hWndDisabledOwner)
        ::EnableWindow(m_hWndDisabledOwner, FALSE);

    m_bModalEnded = false;
    m_nModalResult = -1;
    HWND hWnd = ::CreateDialogIndirectParamA(hInstance, m_pTemplate, hWndOwner, DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (hWnd) {
        // A modal dialog shows even when its template does not say so.
        if (!m_bModalEnded && !::IsWindowVisible(hWnd))
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
        MSG msg;
        while (!m_bModalEnded) {
            BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
            if (bGot == 0) {
                // WM_QUIT belongs to the outer loop.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (bGot == -1)
                break;
            if (PreTranslateChain(&msg) || ::IsDialogMessageA(hWnd, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }

    // Give the activation back to the owner before this window goes.
    EnableDisabledOwner();
    if (!hWnd)
        ForgetAsMainWindow();
    else if (::IsWindow(hWnd)) {
        if (hWndOwner && ::GetActiveWindow() == hWnd)
            ::SetActiveWindow(hWndOwner);
        ::DestroyWindow(hWnd);
    }
    m_pTemplate = nullptr;
    return m_nModalResult;
}

bool CDialog::PreTranslateChain(MSG* pMsg)
{
    // From the target window up to its top-level window, each object of
    // ours gets a look at the message. Not further: GetParent of a
    // top-level window is its owner, another window's business.
    // The handle map knows our objects (this dialog among them), whoever
    // subclassed their windows after us.
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return true;
        if (hWnd == m_hWnd || !(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
            break;
    }
    return false;
}

void CDialog::EnableDisabledOwner()
{
    if (m_hWndDisabledOwner) {
        ::EnableWindow(m_hWndDisabledOwner, TRUE);
        m_hWndDisabledOwner = nullptr;
    }
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bModalEnded = true;
    // As the system's EndDialog: the owner works again and the window hides
    // at once, even when the loop ends only later (a nested run is still
    // going on); the window goes when the loop ends. The owner first, so
    // that the activation goes to it.
    EnableDisabledOwner();
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
    // Wake the loop in case no other message is on its way.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx = {this};
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::ForgetAsMainWindow()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
}

void CDialog::HandleNcDestroy()
{
    // However the window goes, its modal run ends with it; its children
    // went before it.
    ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
    Untie();
    for (int i = 0; i < m_wrappers.GetSize(); ++i)
        m_wrappers[i].pWnd->m_hWnd = nullptr;
    ForgetAsMainWindow();
    m_bModalEnded = true;
}

BOOL CDialog::HandleInitDialog()
{
    RECT rcBefore;
    ::GetWindowRect(m_hWnd, &rcBefore);
    BOOL bResult = OnInitDialog();

    // A template that asks for no position (0, 0 and no DS_CENTER) gets a
    // centred window, unless initialisation placed it itself.
    const DLGTEMPLATEEX_HEAD* pHead = reinterpret_cast<const DLGTEMPLATEEX_HEAD*>(m_pTemplate);
    bool bExtended = pHead->wSignature == 0xFFFF;
    DWORD dwStyle = bExtended ? pHead->dwStyle : m_pTemplate->style;
    short x = bExtended ? pHead->x : m_pTemplate->x;
    short y = bExtended ? pHead->y : m_pTemplate->y;
    RECT rcAfter;
    ::GetWindowRect(m_hWnd, &rcAfter);
    bool bMoved = rcAfter.left != rcBefore.left || rcAfter.top != rcBefore.top;
    if (x == 0 && y == 0 && !(dwStyle & DS_CENTER) && !bMoved)
        CenterWindow();
    return bResult;
}

INT_PTR CDialog::DialogResult(HWND hWnd, UINT nMsg, LRESULT lResult)
{
    // These messages take their result as the dialog procedure's return
    // value (the WM_CTLCOLOR... ones are numbered in a row); all others
    // through DWLP_MSGRESULT.
    if (nMsg == WM_INITDIALOG || nMsg == WM_QUERYDRAGICON || nMsg == WM_COMPAREITEM ||
        nMsg == WM_VKEYTOITEM || nMsg == WM_CHARTOITEM ||
        (nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC))
        return static_cast<INT_PTR>(lResult);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg;
    if (nMsg == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        pDlg->Tie(hWnd);
    } else {
        // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
        pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
        if (!pDlg)
            return FALSE;
    }

    return pDlg->HandleMessage(nMsg, wParam, lParam);
}

INT_PTR CDialog::HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_INITDIALOG)
        return DialogResult(m_hWnd, nMsg, HandleInitDialog());
    if (nMsg == WM_NCDESTROY) {
        HandleNcDestroy();
        return FALSE;
    }
    if (nMsg == WM_HELP) {
        // F1: the help command, to this dialog's map and then the
        // application's, as a menu's Help command would go.
        nMsg = WM_COMMAND;
        wParam = ID_HELP;
        lParam = 0;
    }
    if (nMsg == WM_SYSCOLORCHANGE) {
        // The system tells top-level windows only; controls that keep
        // colours of their own hear it from their dialog.
        for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
            ::SendMessageA(hChild, nMsg, wParam, lParam);
    }
    LRESULT lResult = 0;
    bool bHandled = OnWndMsg(nMsg, wParam, lParam, lResult);
    if (!bHandled && nMsg == WM_COMMAND) {
        // Commands the dialog does not handle go to the application, as menu
        // and accelerator commands do.
        CWinApp* pApp = AfxGetApp();
        bHandled = pApp && pApp->DispatchMessageMap(WM_COMMAND, AfxCommandCode(wParam, lParam),
                                                    LOWORD(wParam), wParam, lParam, lResult);
    }
    if (!bHandled)
        return FALSE;
    return DialogResult(m_hWnd, nMsg, lResult);
}
