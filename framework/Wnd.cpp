#include "Wnd.h"

#include "System.h"

// The handle map: the objects that answer for a window, linked through
// themselves. A program has a handful, so a walk along the list is cheaper
// than any call into the system.
CWnd* CWnd::s_pFirstMapped = nullptr;

CWnd::~CWnd()
{
    // An object that goes before its window takes the window with it, so the
    // window never calls into a destroyed object.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
    UnmapWindow();
    DeleteChildren();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    for (CWnd* pWnd = s_pFirstMapped; pWnd; pWnd = pWnd->m_pNextMapped)
        if (pWnd->m_hWnd == hWnd)
            return pWnd;
    return nullptr;
}

void CWnd::MapWindow(HWND hWnd)
{
    m_hWnd = hWnd;
    m_pNextMapped = s_pFirstMapped;
    s_pFirstMapped = this;
}

void CWnd::UnmapWindow()
{
    for (CWnd** ppLink = &s_pFirstMapped; *ppLink; ppLink = &(*ppLink)->m_pNextMapped) {
        if (*ppLink == this) {
            *ppLink = m_pNextMapped;
            break;
        }
    }
    m_pNextMapped = nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    // Subclass once: an object serves one window, a window one object.
    if (m_hWnd || !hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    // In the map first: the window may get a message as soon as our
    // procedure is in place.
    MapWindow(hWnd);
    m_pfnSuperWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
    if (!m_pfnSuperWndProc) {
        UnmapWindow();
        m_hWnd = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return SubclassWindow(::GetDlgItem(pParent->m_hWnd, nID));
}

void CWnd::AttachDlgItem(UINT nID, CWnd& rWrapper)
{
    rWrapper.m_hWnd = ::GetDlgItem(m_hWnd, nID);
    if (rWrapper.m_hWnd)
        m_attached.Add(&rWrapper);
}

CWnd* CWnd::GetDlgItem(int nID)
{
    return GetDlgItem<CWnd>(nID);
}

CWnd* CWnd::FindChild(HWND hWndChild, const void* pClassKey) const
{
    for (int i = 0; i < m_children.GetSize(); ++i)
        if (m_children[i].pWnd->m_hWnd == hWndChild && m_children[i].pClassKey == pClassKey)
            return m_children[i].pWnd;
    return nullptr;
}

CWnd* CWnd::AttachChild(HWND hWndChild, CWnd* pChild, const void* pClassKey)
{
    // Plain wrappers are not subclassed: they only send messages.
    pChild->m_hWnd = hWndChild;
    m_children.Add({pChild, pClassKey});
    return pChild;
}

void CWnd::DeleteChildren()
{
    // A wrapper is not in the handle map: its going leaves the window alone.
    for (int i = 0; i < m_children.GetSize(); ++i)
        delete m_children[i].pWnd;
    m_children.RemoveAll();
}

CString CWnd::GetWindowText() const
{
    CString strText;
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    int nCopied = ::GetWindowTextA(m_hWnd, strText.GetBufferSetLength(nLength), nLength + 1);
    strText.GetBufferSetLength(nCopied);
    return strText;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

namespace {
// The work area of the monitor that the window is on. User32 of Windows 95
// and NT 4.0 has no monitor functions: there it is the primary one's.
RECT WorkAreaOf(HWND hWnd)
{
    // The monitor functions and their record, as Windows 98 and 2000
    // brought them: not in the headers of Windows 95.
    struct MonitorRecord {
        DWORD cbSize;
        RECT rcMonitor;
        RECT rcWork;
        DWORD dwFlags;
    };
    const DWORD kDefaultToNearest = 2;
    typedef HANDLE(WINAPI * MonitorFromWindowFunction)(HWND, DWORD);
    typedef BOOL(WINAPI * GetMonitorInfoFunction)(HANDLE, MonitorRecord*);
    auto pfnMonitorFromWindow =
        AfxGetSystemFunction<MonitorFromWindowFunction>("user32.dll", "MonitorFromWindow");
    auto pfnGetMonitorInfo = AfxGetSystemFunction<GetMonitorInfoFunction>("user32.dll", "GetMonitorInfoA");
    MonitorRecord mi = {};
    mi.cbSize = sizeof mi;
    if (pfnMonitorFromWindow && pfnGetMonitorInfo &&
        pfnGetMonitorInfo(pfnMonitorFromWindow(hWnd, kDefaultToNearest), &mi))
        return mi.rcWork;
    RECT rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    return rcWork;
}
} // namespace

void CWnd::CenterWindow()
{
    // Over a visible owner, on the owner's monitor; otherwise in the middle
    // of the monitor the window is on.
    HWND hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    bool bOverOwner = hWndOwner && ::IsWindowVisible(hWndOwner) && !::IsIconic(hWndOwner);
    const RECT rcWork = WorkAreaOf(hWndOwner ? hWndOwner : m_hWnd);
    RECT rcArea = rcWork;
    if (bOverOwner)
        ::GetWindowRect(hWndOwner, &rcArea);

    RECT rcWindow;
    ::GetWindowRect(m_hWnd, &rcWindow);
    int nWidth = rcWindow.right - rcWindow.left;
    int nHeight = rcWindow.bottom - rcWindow.top;
    int x = (rcArea.left + rcArea.right) / 2 - nWidth / 2;
    int y = (rcArea.top + rcArea.bottom) / 2 - nHeight / 2;

    // Keep the whole window on that monitor's work area.
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

void CWnd::DrawItem(LPDRAWITEMSTRUCT) {}

void CWnd::OnFinalRelease()
{
    DeleteChildren();
}

void CWnd::WindowDestroyed()
{
    // The children went before this window's last message.
    for (int i = 0; i < m_attached.GetSize(); ++i)
        m_attached[i]->m_hWnd = nullptr;
    m_attached.RemoveAll();
    UnmapWindow();
    m_hWnd = nullptr;
    m_bFinalReleasePending = true;
}

void CWnd::LeaveMessage()
{
    if (--m_nMessageDepth == 0 && m_bFinalReleasePending) {
        m_bFinalReleasePending = false;
        OnFinalRelease();
    }
}

bool CWnd::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (nMsg == WM_DRAWITEM) {
        lResult = TRUE;
        return ReflectDrawItem(lParam);
    }
    if (nMsg == WM_COMMAND)
        return DispatchMessageMap(WM_COMMAND, HIWORD(wParam), LOWORD(wParam), wParam, lParam, lResult);
    return DispatchMessageMap(nMsg, 0, 0, wParam, lParam, lResult);
}

bool CWnd::ReflectDrawItem(LPARAM lParam)
{
    LPDRAWITEMSTRUCT lpDrawItemStruct = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (lpDrawItemStruct->CtlType == ODT_MENU)
        return false;
    CWnd* pItem =
        IsSubclassed(lpDrawItemStruct->hwndItem) ? FromHandlePermanent(lpDrawItemStruct->hwndItem) : nullptr;
    if (!pItem)
        return false;
    pItem->DrawItem(lpDrawItemStruct);
    return true;
}

LRESULT CALLBACK CWnd::WindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    // The object must outlive the dispatch: a handler never deletes its own
    // object. An object that ends itself does so in OnFinalRelease, which
    // LeaveMessage runs last, after which nothing here touches it.
    // Kept here: a handler may end the object's tie to the window.
    WNDPROC pfnSuperWndProc = pWnd->m_pfnSuperWndProc;

    pWnd->EnterMessage();
    LRESULT lResult = 0;
    bool bHandled = false;
    if (nMsg != WM_NCDESTROY)
        bHandled = pWnd->OnWndMsg(nMsg, wParam, lParam, lResult);
    if (!bHandled)
        lResult = ::CallWindowProcA(pfnSuperWndProc, hWnd, nMsg, wParam, lParam);
    if (nMsg == WM_NCDESTROY) {
        // Put the class's procedure back only if nobody subclassed after us:
        // that procedure would otherwise lose its place.
        if (::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProc))
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnSuperWndProc));
        pWnd->WindowDestroyed();
    }
    pWnd->LeaveMessage();
    return lResult;
}
