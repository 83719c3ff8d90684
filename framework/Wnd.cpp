#include "Wnd.h"

#include "System.h"

CWnd* CWnd::s_pFirstTied = nullptr;

CWnd::~CWnd()
{
    // An object that goes before its window takes the window with it, so the
    // window never calls into a destroyed object.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
    Untie();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    for (CWnd* pWnd = s_pFirstTied; pWnd; pWnd = pWnd->m_pNextTied)
        if (pWnd->m_hWnd == hWnd)
            return pWnd;
    return nullptr;
}

void CWnd::Tie(HWND hWnd)
{
    m_hWnd = hWnd;
    m_pNextTied = s_pFirstTied;
    s_pFirstTied = this;
}

void CWnd::Untie()
{
    for (CWnd** ppLink = &s_pFirstTied; *ppLink; ppLink = &(*ppLink)->m_pNextTied) {
        if (*ppLink == this) {
            *ppLink = m_pNextTied;
            break;
        }
    }
    m_pNextTied = nullptr;
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
}

BOOL CWnd::Subclass(HWND hWnd)
{
    if (m_hWnd || !hWnd || FromHandlePermanent(hWnd))
        return FALSE;
    // Tied first: the window may get a message as soon as our procedure is
    // in place.
    Tie(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    if (!m_pfnSuper) {
        Untie();
        return FALSE;
    }
    return TRUE;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    // Kept here: a handler may end the tie.
    WNDPROC pfnSuper = pWnd->m_pfnSuper;
    LRESULT lResult = 0;
    if (nMsg != WM_NCDESTROY && pWnd->OnWndMsg(nMsg, wParam, lParam, lResult))
        return lResult;
    lResult = ::CallWindowProcA(pfnSuper, hWnd, nMsg, wParam, lParam);
    if (nMsg == WM_NCDESTROY) {
        // Put the class's procedure back only if nobody subclassed after us:
        // that procedure would otherwise lose its place.
        if (::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc))
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnSuper));
        pWnd->Untie();
    }
    return lResult;
}

CString CWnd::GetWindowText() const
{
    CString strText;
    int nLength = ::GetWindowTextLengthA(m_hWnd);
    int nCopied = ::GetWindowTextA(m_hWnd, strText.GetBufferSetLength(nLength), nLength + 1);
    strText.GetBufferSetLength(nCopied);
    return strText;
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

// The start of a span nSize long moved into nLow..nHigh; its start at nLow
// when it is longer than that.
int KeepWithin(int nStart, int nSize, int nLow, int nHigh)
{
    if (nStart + nSize > nHigh)
        nStart = nHigh - nSize;
    return nStart < nLow ? nLow : nStart;
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

    // The whole window on that monitor's work area.
    x = KeepWithin(x, nWidth, rcWork.left, rcWork.right);
    y = KeepWithin(y, nHeight, rcWork.top, rcWork.bottom);
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWnd::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (nMsg == WM_DRAWITEM) {
        lResult = TRUE;
        return ReflectDrawItem(lParam);
    }
    if (nMsg == WM_COMMAND)
        return DispatchMessageMap(WM_COMMAND, AfxCommandCode(wParam, lParam), LOWORD(wParam), wParam, lParam,
                                  lResult);
    return DispatchMessageMap(nMsg, 0, 0, wParam, lParam, lResult);
}

bool CWnd::ReflectDrawItem(LPARAM lParam)
{
    LPDRAWITEMSTRUCT lpDrawItemStruct = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (lpDrawItemStruct->CtlType == ODT_MENU)
        return false;
    // Whoever else has subclassed the item since, the map knows it as ours.
    CWnd* pItem = FromHandlePermanent(lpDrawItemStruct->hwndItem);
    if (!pItem)
        return false;
    pItem->DrawItem(lpDrawItemStruct);
    return true;
}
