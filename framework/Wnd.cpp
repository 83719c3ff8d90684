#include "Wnd.h"

#include "Dialog.h"
#include "WinApp.h"

#include <commctrl.h>

namespace {
// All our subclasses share one id; the reference data is the object.
const UINT_PTR kSubclassId = 1;
}

CWnd::~CWnd()
{
    // An object that goes before its subclassed window takes the window
    // with it, so the window never calls into a destroyed object.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    DWORD_PTR dwRefData = 0;
    if (::GetWindowSubclass(hWnd, SubclassProc, kSubclassId, &dwRefData))
        return reinterpret_cast<CWnd*>(dwRefData);
    return CDialog::FromDialogHandle(hWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    // Subclass once: an object serves one window.
    if (m_hWnd || !hWnd)
        return FALSE;
    if (!::SetWindowSubclass(hWnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, nID));
}

CWnd* CWnd::GetDlgItem(int nID)
{
    return GetDlgItem<CWnd>(nID);
}

CWnd* CWnd::AttachChild(HWND hWndChild, std::unique_ptr<CWnd> pChild)
{
    // Plain wrappers are not subclassed: they only send messages.
    pChild->m_hWnd = hWndChild;
    m_children.push_back(std::move(pChild));
    return m_children.back().get();
}

CString CWnd::GetWindowText() const
{
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buffer(nLength + 1);
    int nCopied = ::GetWindowTextA(m_hWnd, buffer.data(), nLength + 1);
    return CString(buffer.data(), nCopied);
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::CenterWindow()
{
    RECT rcArea;
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndOwner && ::IsWindowVisible(hWndOwner) && !::IsIconic(hWndOwner))
        ::GetWindowRect(hWndOwner, &rcArea);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);

    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    int nWidth = rcWindow.right - rcWindow.left;
    int nHeight = rcWindow.bottom - rcWindow.top;
    int x = (rcArea.left + rcArea.right) / 2 - nWidth / 2;
    int y = (rcArea.top + rcArea.bottom) / 2 - nHeight / 2;

    // Keep the whole window on the work area.
    RECT rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    if (x + nWidth > rcWork.right)
        x = rcWork.right - nWidth;
    if (x < rcWork.left)
        x = rcWork.left;
    if (y + nHeight > rcWork.bottom)
        y = rcWork.bottom - nHeight;
    if (y < rcWork.top)
        y = rcWork.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::DrawItem(LPDRAWITEMSTRUCT)
{
}

LRESULT CWnd::Default()
{
    return ::DefSubclassProc(m_hWnd, m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

void CWnd::OnFinalRelease()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    m_children.clear();
}

bool CWnd::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    // Handlers may call Default(), and may nest: keep the outer message.
    MSG outerMsg = m_currentMsg;
    m_currentMsg.message = nMsg;
    m_currentMsg.wParam = wParam;
    m_currentMsg.lParam = lParam;

    bool bHandled;
    if (nMsg == WM_DRAWITEM) {
        bHandled = ReflectDrawItem(lParam);
        lResult = TRUE;
    } else if (nMsg == WM_COMMAND) {
        UINT nCode = HIWORD(wParam);
        UINT nID = LOWORD(wParam);
        bHandled = DispatchMessageMap(WM_COMMAND, nCode, nID, wParam, lParam, lResult);
        // Commands nobody here handles go to the application, as menu and
        // accelerator commands do.
        CWinApp* pApp = AfxGetApp();
        if (!bHandled && pApp)
            bHandled = pApp->DispatchMessageMap(WM_COMMAND, nCode, nID, wParam, lParam, lResult);
    } else {
        bHandled = DispatchMessageMap(nMsg, 0, 0, wParam, lParam, lResult);
    }

    m_currentMsg = outerMsg;
    return bHandled;
}

bool CWnd::ReflectDrawItem(LPARAM lParam)
{
    LPDRAWITEMSTRUCT lpDrawItemStruct = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (lpDrawItemStruct->CtlType == ODT_MENU)
        return false;
    CWnd* pItem = FromHandlePermanent(lpDrawItemStruct->hwndItem);
    if (!pItem)
        return false;
    pItem->DrawItem(lpDrawItemStruct);
    return true;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR dwRefData)
{
    CWnd* pWnd = reinterpret_cast<CWnd*>(dwRefData);
    if (nMsg == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hWnd, SubclassProc, kSubclassId);
        LRESULT lResult = ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
        pWnd->m_hWnd = nullptr;
        pWnd->OnFinalRelease();
        return lResult;
    }
    LRESULT lResult = 0;
    if (pWnd->OnWndMsg(nMsg, wParam, lParam, lResult))
        return lResult;
    return ::DefSubclassProc(hWnd, nMsg, wParam, lParam);
}
