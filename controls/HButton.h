// CHButton: an owner-drawn push button that looks and behaves like a web
// link: link colour on the button face, underline always, never or while
// hovered, an optional hover colour, cursor, tooltip and icon. Every drawing
// pass re-sizes the window tightly around its text about its centre.
#pragma once

#include "afxwin.h"

class CHButton : public CSubclassWnd<CButton> {
public:
    CHButton();
    ~CHButton() override;

    // The control never destroys the cursor or the icon it is given.
    void SetLinkCursor(HCURSOR hCursor);
    // 1: always underlined; 2: only while hovered; anything else: never.
    void SetUnderlineMode(int nMode);
    void SetHoverColor(COLORREF crHover, BOOL bEnable);
    void SetLinkColor(COLORREF crLink);
    void SetLinkIcon(HICON hIcon);
    // A null text changes nothing; otherwise sets the one tool's text and
    // switches the tooltip on or off.
    void SetTooltipText(LPCSTR pszText, BOOL bActivate);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    // How the control learns that the pointer has left it: USER32's
    // TrackMouseEvent (98, NT 4.0 and later), else COMCTL32's
    // _TrackMouseEvent (95 OSR2 and Internet Explorer 3 on), else (95
    // retail) a timer that looks where the pointer is, while it is over the
    // control. Looked up at construction; null is the timer.
    struct TrackMouseEventRecord;
    typedef BOOL(WINAPI* TrackMouseEventFunction)(TrackMouseEventRecord*);
    TrackMouseEventFunction m_pfnTrackMouseEvent;
    static const UINT_PTR kLeaveTimerId = 1;
    static const UINT kLeaveTimerInterval = 100;

    void OnMouseMove(UINT nFlags, POINT point);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    // A new colour scheme: the face is read again.
    void OnSysColorChange();
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    void OnLButtonDblClk(UINT nFlags, POINT point);
    void OnRButtonDown(UINT nFlags, POINT point);
    void OnRButtonUp(UINT nFlags, POINT point);
    void OnRButtonDblClk(UINT nFlags, POINT point);

    COLORREF m_crBackground;
    HCURSOR m_hLinkCursor = nullptr;
    BOOL m_bLinkCursor = FALSE;
    // Subclassed, so that its handle is cleared whenever its window goes: the
    // dialog, its owner, destroys it before the control hears of its own end.
    CSubclassWnd<CToolTipCtrl> m_ToolTip;
    // The system would not make the tooltip: it is asked again only with a
    // text, not on every message to the control.
    BOOL m_bToolTipRefused = FALSE;
    BOOL m_bHover = FALSE;
    COLORREF m_crHover = 0;
    BOOL m_bIcon = FALSE;
    BOOL m_bHoverColor = FALSE;
    COLORREF m_crLink = RGB(0, 0, 255);
    int m_nUnderlineMode = 1;
    UINT m_nIconSize = 16;
    HICON m_hIcon = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    // The window is made on first need and starts inactive, without tools.
    void EnsureToolTip();
    void SetLinkCursorIfGiven();
    void TrackLeave();
    void EndHover();
    // Only a window that exists: InvalidateRect without one repaints every
    // window of the desktop.
    void Repaint()
    {
        if (m_hWnd)
            Invalidate(TRUE);
    }
};
