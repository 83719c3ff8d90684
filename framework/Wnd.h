// CWnd: a window's handle and the messages the program sends it. A CWnd by
// itself ties nothing: any number of them may name one window, and none
// goes with it. Two kinds of object answer for a window, and so are in the
// framework's handle map, each until WM_NCDESTROY: a CDialog, tied through
// DWLP_USER, and a CSubclassWnd, whose procedure stands in front of its
// control's own.
#pragma once

#include "Array.h"
#include "CmdTarget.h"
#include "String.h"

#include <type_traits>

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The object that answers for the window, if one of ours does.
    static CWnd* FromHandlePermanent(HWND hWnd);

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
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    BOOL DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }
    void CenterWindow();

    // Runs first for every message that a modal loop takes from the queue for
    // this window or one of its children; TRUE means it was dealt with.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }
    // Owner-draw items reflected from the parent.
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
    // Asks for the system's processing of the message being handled; it runs
    // once the handler has returned.
    void Default() { m_bDefaultRequested = true; }
    // Routes a message to the message map. Returns true when handled.
    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);

    // The handle map: from Tie on this object answers for the window, after
    // Untie no longer, and its handle is cleared.
    void Tie(HWND hWnd);
    void Untie();
    BOOL Subclass(HWND hWnd);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    bool ReflectDrawItem(LPARAM lParam);

    // The handle map is the tied objects, linked through themselves: a
    // program has a handful, so a walk along them is cheaper than any call
    // into the system, and it answers "not ours" for every other window.
    static CWnd* s_pFirstTied;
    CWnd* m_pNextTied = nullptr;
    WNDPROC m_pfnSuper = nullptr;
};

// A control object with handlers of its own: once subclassed, it gets the
// control's messages first, through its message map.
template <class TBase> class CSubclassWnd : public TBase {
public:
    // Subclass once: an object serves one window, a window one object.
    BOOL SubclassWindow(HWND hWnd) { return this->Subclass(hWnd); }
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent)
    {
        return this->Subclass(::GetDlgItem(pParent->m_hWnd, nID));
    }
};

// Whether an object of the class subclasses its window: asked with a null
// pointer of the class.
template <class TBase> constexpr bool AfxIsSubclassing(const CSubclassWnd<TBase>*)
{
    return true;
}
constexpr bool AfxIsSubclassing(const CWnd*)
{
    return false;
}

// Whether the class has handlers of its own, which run only for the messages
// of a window that it subclasses: a message map, DrawItem or
// PreTranslateMessage. A member function's class is the one that declares it.
template <class T> constexpr bool AfxHasHandlers()
{
    return T::GetThisMessageMap != &CCmdTarget::GetThisMessageMap ||
           !std::is_same_v<AfxTargetOf<&T::DrawItem>, CWnd> ||
           !std::is_same_v<AfxTargetOf<&T::PreTranslateMessage>, CWnd>;
}
