// CDialog: a dialog from a template resource, run modally by its own loop.
#pragma once

#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate)
    {
    }
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Ties a member control object to the dialog's control nIDC (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs it until it ends and returns the code it ended
    // with; -1 when the window cannot be created.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    void OnFinalRelease() override;
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    static INT_PTR DialogResult(HWND hWnd, UINT nMsg, LRESULT lResult);
    INT_PTR HandleMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    BOOL HandleInitDialog();
    bool PreTranslateChain(MSG* pMsg);
    HWND GetModalOwner() const;
    // The application no longer takes this dialog for its main window.
    void ForgetAsMainWindow();
    void EnableDisabledOwner();

    const DLGTEMPLATE* m_pTemplate = nullptr;
    INT_PTR m_nModalResult = -1;
    // The owner that the modal run disabled, until it is enabled again.
    HWND m_hWndDisabledOwner = nullptr;
    bool m_bModalEnded = false;
};
