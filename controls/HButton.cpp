#include "controls/HButton.h"

namespace {

// The first TOOLINFO, which every comctl32 takes, from the 4.00 of Windows
// 95 on; everything the control uses is in it. sizeof(TTTOOLINFOA) grows
// with the headers: lParam from _WIN32_IE 0x0300, and lpReserved from
// _WIN32_WINNT 0x0501, which versions before 6 reject.
const UINT kToolInfoSize = TTTOOLINFOA_V1_SIZE;
const UINT_PTR kToolId = 1;

// The link's font with the underline switched on; null when it cannot be
// made.
HFONT CreateUnderlinedFont(HFONT hBaseFont)
{
    LOGFONTA lf = {};
    ::GetObjectA(hBaseFont, sizeof lf, &lf);
    lf.lfUnderline = TRUE;
    return ::CreateFontIndirectA(&lf);
}

// Fills without a brush: an opaque empty text output paints the rectangle in
// the background colour.
void FillSolidRect(HDC hDC, const RECT& rc, COLORREF cr)
{
    COLORREF crOld = ::SetBkColor(hDC, cr);
    ::ExtTextOutA(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
    ::SetBkColor(hDC, crOld);
}

// Tracking the pointer's leave, which Windows 98 and NT 4.0 brought to
// USER32 and Internet Explorer 3 to COMCTL32 (4.70): not in the headers of
// Windows 95.
const DWORD kTrackLeave = 0x00000002;
const UINT kMouseLeaveMessage = 0x02A3;

// WCAG 2's linear light of each 8-bit sRGB level, in ten-thousandths,
// worked out by the compiler: the program has no floating-point runtime.
// The power 2.4 is the square times the fifth root of the square, the root
// by Newton's method from above.
constexpr double LinearLevel(int nLevel)
{
    const double c = nLevel / 255.0;
    if (c <= 0.03928)
        return c / 12.92;
    const double y = (c + 0.055) / 1.055;
    double r = 1.0;
    for (int i = 0; i < 40; ++i)
        r -= (r * r * r * r * r - y * y) / (5 * r * r * r * r);
    return y * y * r;
}
struct LinearLevels {
    WORD w[256];
};
constexpr LinearLevels MakeLinearLevels()
{
    LinearLevels levels = {};
    for (int n = 0; n < 256; ++n)
        levels.w[n] = static_cast<WORD>(LinearLevel(n) * 10000 + 0.5);
    return levels;
}
constexpr LinearLevels kLinearLevels = MakeLinearLevels();

// Relative luminance in hundred-millionths.
DWORD Luminance(COLORREF cr)
{
    return 2126 * kLinearLevels.w[GetRValue(cr)] + 7152 * kLinearLevels.w[GetGValue(cr)] +
           722 * kLinearLevels.w[GetBValue(cr)];
}

// Text reads when the contrast (L1 + 0.05) / (L2 + 0.05), the lighter
// colour's luminance over the darker's, is at least 4.5.
bool Reads(COLORREF crText, COLORREF crFace)
{
    const DWORD dwText = Luminance(crText) + 5000000;
    const DWORD dwFace = Luminance(crFace) + 5000000;
    return dwText > dwFace ? 2 * dwText >= 9 * dwFace : 2 * dwFace >= 9 * dwText;
}

// The user's wish for high contrast, whatever the colours. Windows NT 4.0
// has no such setting and fails the call: off there.
bool IsHighContrastOn()
{
    HIGHCONTRASTA hc = {};
    hc.cbSize = sizeof hc;
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

// The scheme's colour of links (COLOR_HOTLIGHT), which Windows 98 (4.10)
// and 2000 (NT 5.0) brought; 95 and NT 4.0 have no such scheme colour.
const int kHotLightColor = 26;
bool HasHotLightColor()
{
    const DWORD dwVersion = ::GetVersion();
    const WORD wVersion = static_cast<WORD>((LOBYTE(dwVersion) << 8) | HIBYTE(LOWORD(dwVersion)));
    return wVersion >= (AfxIsWin9x() ? 0x040A : 0x0500);
}

// The scheme's link colour where it has one that reads on the face; else
// its button text, which every scheme makes read on its button face.
COLORREF SchemeLinkColor(COLORREF crFace)
{
    if (HasHotLightColor() && Reads(::GetSysColor(kHotLightColor), crFace))
        return ::GetSysColor(kHotLightColor);
    return ::GetSysColor(COLOR_BTNTEXT);
}

} // namespace

// What both tracking functions take; cbSize is checked.
struct CHButton::TrackMouseEventRecord {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};

BEGIN_MESSAGE_MAP(CHButton, CButton)
ON_WM_MOUSEMOVE()
ON_MESSAGE(kMouseLeaveMessage, &CHButton::OnMouseLeave)
ON_MESSAGE(WM_SETCURSOR, &CHButton::OnSetCursor)
ON_WM_TIMER()
ON_WM_DESTROY()
ON_WM_SYSCOLORCHANGE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_RBUTTONUP()
ON_WM_RBUTTONDBLCLK()
END_MESSAGE_MAP()

CHButton::CHButton() : m_crBackground(::GetSysColor(COLOR_BTNFACE))
{
    // comctl32 is loaded: the program links it for InitCommonControls.
    m_pfnTrackMouseEvent = AfxGetSystemFunction<TrackMouseEventFunction>("user32.dll", "TrackMouseEvent");
    if (!m_pfnTrackMouseEvent)
        m_pfnTrackMouseEvent =
            AfxGetSystemFunction<TrackMouseEventFunction>("comctl32.dll", "_TrackMouseEvent");
}

// m_ToolTip destroys its window as it goes, before the button itself.
CHButton::~CHButton() = default;

void CHButton::SetLinkCursor(HCURSOR hCursor)
{
    m_hLinkCursor = hCursor;
    m_bLinkCursor = TRUE;
    Repaint();
}

void CHButton::SetUnderlineMode(int nMode)
{
    m_nUnderlineMode = nMode;
    Repaint();
}

void CHButton::SetHoverColor(COLORREF crHover, BOOL bEnable)
{
    m_crHover = crHover;
    m_bHoverColor = bEnable;
    Repaint();
}

void CHButton::SetLinkColor(COLORREF crLink)
{
    m_crLink = crLink;
    Repaint();
}

void CHButton::SetLinkIcon(HICON hIcon)
{
    m_hIcon = hIcon;
    m_bIcon = TRUE;
    Repaint();
}

void CHButton::EnsureToolTip()
{
    if (m_ToolTip.m_hWnd || m_bToolTipRefused)
        return;
    const HWND hToolTip = CToolTipCtrl::CreateFor(this);
    m_bToolTipRefused = !hToolTip;
    if (hToolTip) {
        m_ToolTip.SubclassWindow(hToolTip);
        m_ToolTip.Activate(FALSE);
    }
}

void CHButton::SetTooltipText(LPCSTR pszText, BOOL bActivate)
{
    if (!pszText)
        return;
    m_bToolTipRefused = FALSE;
    EnsureToolTip();
    if (!m_ToolTip.m_hWnd)
        return;

    TTTOOLINFOA ti = {};
    ti.cbSize = kToolInfoSize;
    ti.uFlags = 0;
    ti.hwnd = m_hWnd;
    ti.uId = kToolId;
    ti.lpszText = const_cast<LPSTR>(pszText);
    if (m_ToolTip.GetToolCount() == 0) {
        // Without TTF_SUBCLASS the tooltip sees the pointer only through the
        // messages PreTranslateMessage relays; each drawing pass gives the
        // tool the window's new size.
        GetClientRect(&ti.rect);
        m_ToolTip.SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    m_ToolTip.SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    m_ToolTip.Activate(bActivate);
}

BOOL CHButton::PreTranslateMessage(MSG* pMsg)
{
    EnsureToolTip();
    m_ToolTip.RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}

void CHButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    HDC hDC = lpDrawItemStruct->hDC;
    const RECT& rcItem = lpDrawItemStruct->rcItem;
    RECT rcWork = rcItem;
    const CString strText = GetWindowText();
    // The DC goes back as it came, as WM_DRAWITEM asks: a WM_PRINTCLIENT
    // caller draws on with it. Restoring it also deselects the underlined
    // font, which is deleted after that.
    const int nSavedDC = ::SaveDC(hDC);

    // Measured in the font the DC holds as it arrives, before any underline.
    SIZE sizeText = {0, 0};
    ::GetTextExtentPoint32A(hDC, strText, strText.GetLength(), &sizeText);

    HFONT hUnderlinedFont = nullptr;
    if (m_nUnderlineMode == 1 || (m_nUnderlineMode == 2 && m_bHover)) {
        // A control without a font of its own draws in the system font, the
        // one every DC starts with.
        HFONT hFont = GetFont();
        if (!hFont)
            hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
        // A font that could not be made is not selected: the text keeps the
        // font the DC holds.
        hUnderlinedFont = CreateUnderlinedFont(hFont);
        if (hUnderlinedFont)
            ::SelectObject(hDC, hUnderlinedFont);
    }

    FillSolidRect(hDC, rcItem, m_crBackground);

    int nHalfWidth = sizeText.cx / 2;
    if (m_bIcon)
        nHalfWidth += static_cast<int>(m_nIconSize / 2);
    const int nHalfHeight = sizeText.cy / 2;

    // The window's centre in the dialog stays where it is.
    RECT rcWindow;
    GetWindowRect(&rcWindow);
    HWND hWndParent = ::GetParent(m_hWnd);
    ::ScreenToClient(hWndParent, reinterpret_cast<POINT*>(&rcWindow.left));
    ::ScreenToClient(hWndParent, reinterpret_cast<POINT*>(&rcWindow.right));
    const int xCentre = (rcWindow.left + rcWindow.right) / 2;
    const int yCentre = (rcWindow.top + rcWindow.bottom) / 2;
    const RECT rcTarget = {xCentre - nHalfWidth - 2, yCentre - nHalfHeight - 2, xCentre + nHalfWidth + 2,
                           yCentre + nHalfHeight + 2};

    ::SetTextColor(hDC, m_crLink);
    if (m_bHoverColor == TRUE && m_bHover)
        ::SetTextColor(hDC, m_crHover);
    // The program's colours where its link colour reads on the user's face;
    // the scheme's own where it does not, or where the user asks for high
    // contrast.
    if (!Reads(m_crLink, m_crBackground) || IsHighContrastOn())
        ::SetTextColor(hDC, SchemeLinkColor(m_crBackground));

    if (m_bIcon) {
        const int nIconSize = static_cast<int>(m_nIconSize);
        ::DrawIconEx(hDC, 0, 0, m_hIcon, nIconSize, nIconSize, 0, nullptr, DI_NORMAL | DI_COMPAT);
        rcWork.left = 2 * nIconSize;
    }

    if (!strText.IsEmpty()) {
        const int x = (rcWork.left + rcWork.right) / 2 - nHalfWidth;
        const int y = (rcWork.top + rcWork.bottom) / 2 - nHalfHeight;
        ::SetBkMode(hDC, TRANSPARENT);
        if (lpDrawItemStruct->itemState & ODS_DISABLED) {
            // Embossed; "&" marks the next character as the mnemonic.
            ::DrawStateA(hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strText)), 0, x,
                         y, sizeText.cx, sizeText.cy, DSS_DISABLED | DST_PREFIXTEXT);
        } else {
            ::TextOutA(hDC, x, y, strText, strText.GetLength());
        }
    }

    // The keyboard focus shows as on the system's buttons, unless the
    // window hides focus cues until the keyboard is used.
    const UINT nState = lpDrawItemStruct->itemState;
    if ((nState & ODS_FOCUS) && !(nState & ODS_NOFOCUSRECT))
        ::DrawFocusRect(hDC, &rcItem);

    ::RestoreDC(hDC, nSavedDC);
    if (hUnderlinedFont)
        ::DeleteObject(hUnderlinedFont);

    MoveWindow(rcTarget.left, rcTarget.top, rcTarget.right - rcTarget.left, rcTarget.bottom - rcTarget.top,
               TRUE);
    // The tool covers the whole control at whatever size it now has.
    if (m_ToolTip.m_hWnd) {
        TTTOOLINFOA ti = {};
        ti.cbSize = kToolInfoSize;
        ti.hwnd = m_hWnd;
        ti.uId = kToolId;
        GetClientRect(&ti.rect);
        m_ToolTip.SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void CHButton::SetLinkCursorIfGiven()
{
    if (m_bLinkCursor)
        ::SetCursor(m_hLinkCursor);
}

LRESULT CHButton::OnSetCursor(WPARAM, LPARAM)
{
    // The system asks before every move and after a click: answered with the
    // link's cursor, it never shows the class's arrow in between.
    if (!m_bLinkCursor) {
        Default();
        return 0;
    }
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

void CHButton::OnMouseMove(UINT, POINT)
{
    SetLinkCursorIfGiven();
    if (!m_bHover) {
        m_bHover = TRUE;
        Repaint();
        TrackLeave();
    }
    Default();
}

void CHButton::TrackLeave()
{
    if (!m_pfnTrackMouseEvent) {
        ::SetTimer(m_hWnd, kLeaveTimerId, kLeaveTimerInterval, nullptr);
        return;
    }
    // The system ends the tracking when it posts WM_MOUSELEAVE; the next
    // entry asks again.
    TrackMouseEventRecord tme = {};
    tme.cbSize = sizeof tme;
    tme.dwFlags = kTrackLeave;
    tme.hwndTrack = m_hWnd;
    m_pfnTrackMouseEvent(&tme);
}

void CHButton::EndHover()
{
    ::KillTimer(m_hWnd, kLeaveTimerId);
    m_bHover = FALSE;
    Repaint();
}

LRESULT CHButton::OnMouseLeave(WPARAM, LPARAM)
{
    EndHover();
    return 0;
}

void CHButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kLeaveTimerId) {
        Default();
        return;
    }
    // Without tracking: the hover ends once the pointer is over another
    // window. While a press holds the capture, the moves come here wherever
    // the pointer is, and the hover lasts, as with tracking.
    POINT pt;
    ::GetCursorPos(&pt);
    if (::GetCapture() != m_hWnd && ::WindowFromPoint(pt) != m_hWnd)
        EndHover();
}

void CHButton::OnDestroy()
{
    ::KillTimer(m_hWnd, kLeaveTimerId);
    // The tooltip goes with the control, unless it has gone already: the
    // handle is cleared then, and a freed value, which the system gives to
    // new windows, is never destroyed.
    m_ToolTip.DestroyWindow();
    Default();
}

void CHButton::OnSysColorChange()
{
    // The system tells the dialog, and the dialog its controls.
    m_crBackground = ::GetSysColor(COLOR_BTNFACE);
    Repaint();
    Default();
}

// Clicks stay ordinary button clicks: pressing, capture and BN_CLICKED come
// from the system's button.
void CHButton::OnLButtonDown(UINT, POINT)
{
    SetLinkCursorIfGiven();
    Default();
}

void CHButton::OnLButtonUp(UINT, POINT)
{
    SetLinkCursorIfGiven();
    Default();
}

void CHButton::OnLButtonDblClk(UINT, POINT)
{
    SetLinkCursorIfGiven();
    Default();
}

void CHButton::OnRButtonDown(UINT, POINT)
{
    SetLinkCursorIfGiven();
    Default();
}

void CHButton::OnRButtonUp(UINT, POINT)
{
    SetLinkCursorIfGiven();
    Default();
}

void CHButton::OnRButtonDblClk(UINT, POINT)
{
    SetLinkCursorIfGiven();
    Default();
}
