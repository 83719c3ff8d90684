// CWnd: a C++ object tied to a window. Controls are tied by instance
// subclassing (our window procedure in front of the class's own); dialogs
// through DWLP_USER. Either way the framework's handle map finds the object
// for a window without asking the system.
#pragma once

#include "Array.h"
#include "CmdTarget.h"
#include "String.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The object that owns the window, if it is one of ours.
    static CWnd* FromHandlePermanent(HWND hWnd);

    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    // Gives a wrapper of this window's object the handle of a child, without
    // subclassing it; the wrapper loses it when this window goes.
    void AttachDlgItem(UINT nID, CWnd& rWrapper);

    // A wrapper for a child that stays valid as long as this window lives;
    // a subclassed child's own object when there is one, which the caller
    // must know to be a T.
    CWnd* GetDlgItem(int nID);
    template <class T> T* GetDlgItem(int nID);

    void SetWindowText(LPCSTR pszText) { ::SetWindowTextA(m_hWnd, pszText); }
    CString GetWindowText() const;
    void SetDlgItemText(int nID, LPCSTR pszText) { ::SetDlgItemTextA(m_hWnd, nID, pszText); }
    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, nMsg, wParam, lParam);
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT pRect) const { ::GetClientRect(m_hWnd, pRect); }
    void GetWindowRect(LPRECT pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    CWnd* GetParent() const { return FromHandlePermanent(::GetParent(m_hWnd)); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    BOOL DestroyWindow();
    void CenterWindow();

    // Runs first for every message that a modal loop takes from the queue for
    // this window or one of its children; TRUE means it was dealt with.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Owner-draw items reflected from the parent.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    // A window that our procedure stands in front of: only such a control
    // has an object in the map, so no other needs a walk of it.
    static bool IsSubclassed(HWND hWnd)
    {
        return ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProc);
    }

    // Asks for the system's processing of the message being handled; it runs
    // once the handler has returned.
    void Default() { m_bDefaultRequested = true; }

    // Routes a message to the message map. Returns true when handled.
    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // Called once the window is gone and the outermost of its messages has
    // returned.
    virtual void OnFinalRelease();

    // The handle map: the object answers for the window from here on, or no
    // longer.
    void MapWindow(HWND hWnd);
    void UnmapWindow();

    // Around every message for the window: messages nest (a handler may run a
    // modal loop), and the final clean-up waits for the outermost.
    void EnterMessage() { ++m_nMessageDepth; }
    void LeaveMessage();
    // WM_NCDESTROY: the handle is cleared now, the clean-up follows as the
    // outermost message returns.
    void WindowDestroyed();

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    bool ReflectDrawItem(LPARAM lParam);

    static CWnd* s_pFirstMapped;
    WNDPROC m_pfnSuperWndProc = nullptr;
    CWnd* m_pNextMapped = nullptr;
    int m_nMessageDepth = 0;
    bool m_bFinalReleasePending = false;

    // The wrappers GetDlgItem made, each with the class it was made as: a
    // key of that class's own, as the program has no run-time type
    // information.
    struct ChildWrapper {
        CWnd* pWnd;
        const void* pClassKey;
    };
    CArray<ChildWrapper> m_children;
    // The wrappers AttachDlgItem gave a handle, which they do not own.
    CArray<CWnd*> m_attached;
    CWnd* FindChild(HWND hWndChild, const void* pClassKey) const;
    CWnd* AttachChild(HWND hWndChild, CWnd* pChild, const void* pClassKey);
    void DeleteChildren();

    template <class T> static const void* ClassKey()
    {
        static const char s_chKey = 0;
        return &s_chKey;
    }
};

template <class T> T* CWnd::GetDlgItem(int nID)
{
    HWND hWndChild = ::GetDlgItem(m_hWnd, nID);
    if (!hWndChild)
        return nullptr;
    if (CWnd* pOwn = FromHandlePermanent(hWndChild))
        return static_cast<T*>(pOwn);
    if (CWnd* pKnown = FindChild(hWndChild, ClassKey<T>()))
        return static_cast<T*>(pKnown);
    return static_cast<T*>(AttachChild(hWndChild, new T, ClassKey<T>()));
}
