// CDialog: a dialog from a template resource, run modally by its own loop.
#pragma once

#include "Wnd.h"

class CDialog;

// What DoDataExchange ties the controls to. The dialogs have no data
// fields: nothing goes the other way.
struct CDataExchange {
    CDialog* m_pDlgWnd;
};

// Ties a member control object to the dialog's control nIDC, once. Its
// class decides how: a CSubclassWnd subclasses the control, and its handlers
// run; a plain wrapper gets the control's handle, which it loses when the
// dialog goes. A plain wrapper with handlers of its own does not build.
template <class T> void DDX_Control(CDataExchange* pDX, int nIDC, T& rControl);

class CDialog : public CWnd {
public:
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs it until it ends and returns the code it ended
    // with; -1 when the window cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // Ties the controls (DoDataExchange).
    virtual BOOL OnInitDialog();

    // A wrapper of the child control nID that the dialog keeps for as long
    // as it lives, one per control and class; it names no window once the
    // dialog's window is gone.
    template <class T> T* GetDlgItem(int nID);

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    template <class T> friend void DDX_Control(CDataExchange* pDX, int nIDC, T& rControl);
    // Gives a plain wrapper the handle of the control nIDC, until the window
    // goes.
    void AttachWrapper(int nIDC, CWnd& rWrapper);

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    static INT_PTR DialogResult(HWND hWnd, UINT nMsg, LRESULT lResult);
    INT_PTR HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    void HandleNcDestroy();
    bool PreTranslateChain(MSG* pMsg);
    HWND GetModalOwner() const;
    // The application no longer takes this dialog for its main window.
    void ForgetAsMainWindow();
    void EnableDisabledOwner();

    // The wrappers that name the dialog's children: members given a handle
    // by DDX_Control (pClassKey null), and those GetDlgItem made, which the
    // dialog owns, with a key of their class's own (there is no run-time
    // type information).
    struct Wrapper {
        CWnd* pWnd;
        const void* pClassKey;
    };
    CArray<Wrapper> m_wrappers;
    template <class T> static const void* ClassKey()
    {
        static const char s_chKey = 0;
        return &s_chKey;
    }

    const DLGTEMPLATE* m_pTemplate = nullptr;
    INT_PTR m_nModalResult = -1;
    // The owner that the modal run disabled, until it is enabled again.
    HWND m_hWndDisabledOwner = nullptr;
    bool m_bModalEnded = false;
};

template <class T> void DDX_Control(CDataExchange* pDX, int nIDC, T& rControl)
{
    if constexpr (AfxIsSubclassing(static_cast<T*>(nullptr))) {
        if (!rControl.m_hWnd)
            rControl.SubclassDlgItem(nIDC, pDX->m_pDlgWnd);
    } else {
        static_assert(!AfxHasHandlers<T>(),
                      "DDX_Control: a plain wrapper never runs this class's handlers "
                      "(message map, DrawItem, PreTranslateMessage): derive the class "
                      "from CSubclassWnd<CButton> (for another control, the CSubclassWnd "
                      "of its wrapper), which subclasses the control");
        pDX->m_pDlgWnd->AttachWrapper(nIDC, rControl);
    }
}

template <class T> T* CDialog::GetDlgItem(int nID)
{
    static_assert(!AfxHasHandlers<T>(),
                  "GetDlgItem: its wrapper only names the control and never runs this "
                  "class's handlers: tie a CSubclassWnd object with DDX_Control instead");
    HWND hWndChild = ::GetDlgItem(m_hWnd, nID);
    if (!hWndChild)
        return nullptr;
    for (int i = 0; i < m_wrappers.GetSize(); ++i)
        if (m_wrappers[i].pWnd->m_hWnd == hWndChild && m_wrappers[i].pClassKey == ClassKey<T>())
            return static_cast<T*>(m_wrappers[i].pWnd);
    T* pWrapper = new T;
    pWrapper->m_hWnd = hWndChild;
    m_wrappers.Add({pWrapper, ClassKey<T>()});
    return pWrapper;
}
