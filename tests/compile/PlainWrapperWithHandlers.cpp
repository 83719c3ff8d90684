// Must not compile: plain wrappers with handlers of each kind, given to DDX_Control or made by GetDlgItem.
#include "afxwin.h"

class CMapButton : public CButton {
    void OnPaint() {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMapButton, CButton)
ON_WM_PAINT()
END_MESSAGE_MAP()

struct CDrawButton : CButton {
    void DrawItem(LPDRAWITEMSTRUCT) override {}
};

struct CTranslateButton : CButton {
    BOOL PreTranslateMessage(MSG*) override { return FALSE; }
};

void Exchange(CDataExchange* pDX, CMapButton& rMap, CDrawButton& rDraw, CTranslateButton& rTranslate)
{
    DDX_Control(pDX, 1, rMap);
    DDX_Control(pDX, 2, rDraw);
    DDX_Control(pDX, 3, rTranslate);
    pDX->m_pDlgWnd->GetDlgItem<CDrawButton>(4);
}
