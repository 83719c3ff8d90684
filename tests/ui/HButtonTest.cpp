#include "UiTest.h"
#include "common/ImportPatch.h"

#include "controls/HButton.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

const COLORREF kLinkBlue = RGB(0, 0, 255);
const COLORREF kHoverBlue = RGB(50, 128, 255);
const COLORREF kIconRed = RGB(255, 0, 0);
const int kIconSize = 16;

// The control with its state readable by the tests.
class CTestHButton : public CHButton {
public:
    COLORREF Background() const { return m_crBackground; }
    HWND ToolTip() const { return m_ToolTip.m_hWnd; }
    BOOL IsHover() const { return m_bHover; }
    using CHButton::TrackMouseEventFunction;
    TrackMouseEventFunction Tracking() const { return m_pfnTrackMouseEvent; }
    void UseTracking(TrackMouseEventFunction pfn) { m_pfnTrackMouseEvent = pfn; }
    static UINT_PTR LeaveTimerId() { return kLeaveTimerId; }
    static UINT LeaveTimerInterval() { return kLeaveTimerInterval; }

    // A pass that forgets GDI objects, to show that the leak check sees one.
    int m_nLeaksPerPass = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        CHButton::DrawItem(lpDrawItemStruct);
        for (int i = 0; i < m_nLeaksPerPass; ++i)
            m_leaked.push_back(::CreateRectRgn(0, 0, 1, 1));
    }
    void ReleaseLeaked()
    {
        for (HRGN hRgn : m_leaked)
            ::DeleteObject(hRgn);
        m_leaked.clear();
    }
    ~CTestHButton() override { ReleaseLeaked(); }

private:
    std::vector<HRGN> m_leaked;
};

// The main dialog's template with the link control on its owner-drawn button.
class CLinkDialog : public CDialog {
public:
    CLinkDialog() : CDialog(IDD_PROBE_DIALOG) {}
    CTestHButton m_link;
    int m_nLinkClicks = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_LINK, m_link);
    }
    void OnLinkClicked() { ++m_nLinkClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLinkDialog, CDialog)
ON_BN_CLICKED(IDC_LINK, &CLinkDialog::OnLinkClicked)
END_MESSAGE_MAP()

// A drawing read back, one COLORREF per pixel, row by row.
struct Pixels {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<COLORREF> colors;

    COLORREF At(int x, int y) const { return colors[y * nWidth + x]; }
    int Count(COLORREF cr) const { return static_cast<int>(std::count(colors.begin(), colors.end(), cr)); }
    // The rightmost column with a pixel other than the background; -1 if none.
    int RightmostInk(COLORREF crBackground) const
    {
        for (int x = nWidth - 1; x >= 0; --x)
            for (int y = 0; y < nHeight; ++y)
                if (At(x, y) != crBackground)
                    return x;
        return -1;
    }
    // The first row at or below yFrom whose pixels from x0 for cx pixels are
    // all cr, and whose neighbours left and right are not: an underline from
    // x0 cx pixels long. -1 if there is none.
    int UnderlineRow(int x0, int cx, COLORREF cr, int yFrom = 0) const
    {
        if (cx <= 0 || x0 < 1 || x0 + cx >= nWidth)
            return -1;
        for (int y = yFrom; y < nHeight; ++y) {
            bool bFull = At(x0 - 1, y) != cr && At(x0 + cx, y) != cr;
            for (int x = x0; bFull && x < x0 + cx; ++x)
                bFull = At(x, y) == cr;
            if (bFull)
                return y;
        }
        return -1;
    }
};

// Draws into a memory DC of the size of the control's client area, pre-filled
// with a colour the control never uses.
class CMemoryCanvas {
public:
    CMemoryCanvas(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = nWidth;
        bmi.bmiHeader.biHeight = -nHeight;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        m_hDC = ::CreateCompatibleDC(nullptr);
        m_hBitmap =
            ::CreateDIBSection(m_hDC, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_pBits), nullptr, 0);
        m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
    }
    ~CMemoryCanvas()
    {
        ::SelectObject(m_hDC, m_hOldBitmap);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;

    HDC GetDC() const { return m_hDC; }
    bool IsValid() const { return m_hDC && m_hBitmap && m_pBits; }

    void Clear(COLORREF cr)
    {
        const DWORD dwPixel = (GetRValue(cr) << 16) | (GetGValue(cr) << 8) | GetBValue(cr);
        std::fill(m_pBits, m_pBits + m_nWidth * m_nHeight, dwPixel);
    }
    Pixels Read() const
    {
        ::GdiFlush();
        Pixels pixels;
        pixels.nWidth = m_nWidth;
        pixels.nHeight = m_nHeight;
        for (int i = 0; i < m_nWidth * m_nHeight; ++i) {
            DWORD dw = m_pBits[i];
            pixels.colors.push_back(RGB((dw >> 16) & 0xFF, (dw >> 8) & 0xFF, dw & 0xFF));
        }
        return pixels;
    }

private:
    int m_nWidth;
    int m_nHeight;
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOldBitmap;
    DWORD* m_pBits = nullptr;
};

const COLORREF kUnpainted = RGB(255, 0, 255);

// What the control draws for WM_PRINTCLIENT: the system's button selects its
// font into the DC and sends WM_DRAWITEM to the dialog, as for WM_PAINT.
Pixels Capture(HWND hLink)
{
    RECT rc;
    ::GetClientRect(hLink, &rc);
    CMemoryCanvas canvas(rc.right, rc.bottom);
    EXPECT_TRUE(canvas.IsValid());
    if (!canvas.IsValid())
        return Pixels();
    canvas.Clear(kUnpainted);
    ::SendMessageA(hLink, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.GetDC()), PRF_CLIENT);
    return canvas.Read();
}

RECT RectInDialog(HWND hWnd)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// Rectangles compared as text, which is also what a failure shows.
std::string Str(const RECT& rc)
{
    return "(" + std::to_string(rc.left) + ", " + std::to_string(rc.top) + ")-(" + std::to_string(rc.right) +
           ", " + std::to_string(rc.bottom) + ")";
}

// Draws until the window keeps its place: the first pass after a change
// moves it, the next one draws at the new size.
Pixels Settle(HWND hLink)
{
    Pixels pixels;
    for (int i = 0; i < 4; ++i) {
        const std::string strBefore = Str(RectInDialog(hLink));
        pixels = Capture(hLink);
        if (Str(RectInDialog(hLink)) == strBefore)
            break;
    }
    return pixels;
}

struct TextMetrics {
    SIZE size;
    int nAscent;
};

// The text measured the way the control measures it: in the control's font
// (the one the system's button selects), or the DC's own when it has none.
TextMetrics Measure(HWND hLink, const char* pszText)
{
    TextMetrics metrics = {};
    HDC hDC = ::GetDC(hLink);
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(hLink, WM_GETFONT, 0, 0));
    HGDIOBJ hOld = ::SelectObject(hDC, hFont ? hFont : ::GetStockObject(SYSTEM_FONT));
    ::GetTextExtentPoint32A(hDC, pszText, static_cast<int>(strlen(pszText)), &metrics.size);
    TEXTMETRICA tm;
    ::GetTextMetricsA(hDC, &tm);
    metrics.nAscent = tm.tmAscent;
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hLink, hDC);
    return metrics;
}

// Where the template puts the link, in the dialog's client coordinates. The
// dialog manager converts position and size separately, so the bottom right
// corner is the mapped position plus the mapped size.
RECT TemplateRect(HWND hDlg)
{
    RECT rcPosition = {87, 207, 0, 0};
    RECT rcSize = {80, 9, 0, 0};
    ::MapDialogRect(hDlg, &rcPosition);
    ::MapDialogRect(hDlg, &rcSize);
    return {rcPosition.left, rcPosition.top, rcPosition.left + rcSize.left, rcPosition.top + rcSize.top};
}

// A square icon in one colour, without transparent pixels.
class CSolidIcon {
public:
    CSolidIcon(int nSize, COLORREF cr)
    {
        const std::vector<BYTE> mask(nSize * nSize / 8, 0);
        const std::vector<DWORD> color(nSize * nSize,
                                       (GetRValue(cr) << 16) | (GetGValue(cr) << 8) | GetBValue(cr));
        m_hIcon = ::CreateIcon(nullptr, nSize, nSize, 1, 32, mask.data(),
                               reinterpret_cast<const BYTE*>(color.data()));
    }
    ~CSolidIcon() { ::DestroyIcon(m_hIcon); }
    CSolidIcon(const CSolidIcon&) = delete;
    CSolidIcon& operator=(const CSolidIcon&) = delete;
    operator HICON() const { return m_hIcon; }

private:
    HICON m_hIcon;
};

// Runs the dialog's messages, pre-translating them the way its modal loop
// does, until `done` says so: everything that can change it comes as a
// message. Returns false when the dialog's watchdog ended a hang.
bool PumpUntil(HWND hDlg, const std::function<bool()>& done)
{
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return done();
            }
            bool bTranslated = false;
            for (HWND hWnd = msg.hwnd; hWnd && !bTranslated; hWnd = ::GetParent(hWnd)) {
                CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
                bTranslated = pWnd && pWnd->PreTranslateMessage(&msg);
                if (hWnd == hDlg)
                    break;
            }
            if (bTranslated || ::IsDialogMessageA(hDlg, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (done())
            return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    }
}

bool g_bTimerFired = false;

void CALLBACK TimerFired(HWND, UINT, UINT_PTR idEvent, DWORD)
{
    ::KillTimer(nullptr, idEvent);
    g_bTimerFired = true;
}

// Runs the messages until a timer of `nMilliseconds`, started now, has
// fired. A timer's message comes only when no posted message is waiting and
// after every timer that was due earlier: whatever is already on its way
// (a posted message, a tooltip's delay) has been handled by then.
void PumpPastTimer(HWND hDlg, UINT nMilliseconds)
{
    g_bTimerFired = false;
    ::SetTimer(nullptr, 0, nMilliseconds, TimerFired);
    PumpUntil(hDlg, [] { return g_bTimerFired; });
}

POINT ScreenCentre(HWND hWnd)
{
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// The pointer somewhere on the dialog, away from the link.
void MovePointerOffLink(HWND hDlg)
{
    RECT rc;
    ::GetWindowRect(::GetDlgItem(hDlg, IDC_RESULTS), &rc);
    ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

// A second owner-drawn button on the dialog, in the dialog's font, that no
// message loop has seen yet.
HWND CreateOwnerDrawnButton(HWND hDlg)
{
    HWND hButton =
        ::CreateWindowExA(0, "BUTTON", "extra", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | BS_LEFT, 4, 4, 60, 16,
                          hDlg, reinterpret_cast<HMENU>(4000), AfxGetInstanceHandle(), nullptr);
    ::SendMessageA(hButton, WM_SETFONT, ::SendMessageA(hDlg, WM_GETFONT, 0, 0), FALSE);
    return hButton;
}

std::string ToolText(HWND hToolTip, HWND hLink)
{
    char szText[256] = "";
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = hLink;
    ti.uId = 1;
    ti.lpszText = szText;
    ::SendMessageA(hToolTip, TTM_GETTEXTA, sizeof szText, reinterpret_cast<LPARAM>(&ti));
    return szText;
}

DWORD_PTR g_dwDestroyWindow = 0;
int g_nNonWindowsDestroyed = 0;

BOOL WINAPI WatchingDestroyWindow(HWND hWnd)
{
    g_nNonWindowsDestroyed += !::IsWindow(hWnd);
    return reinterpret_cast<decltype(&::DestroyWindow)>(g_dwDestroyWindow)(hWnd);
}

} // namespace

// What the setters store shows in the drawing tests; here, that each
// repaints the whole control, and nothing else when the control has no
// window yet.
TEST(HButtonTest, SettersRepaintTheWholeControlOrNothing)
{
    HCURSOR hCross = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)); // IDC_CROSS
    CSolidIcon icon(16, kIconRed);
    struct Case {
        const char* pszName;
        std::function<void(CTestHButton&)> set;
    };
    const Case cases[] = {
        {"SetLinkCursor", [&](CTestHButton& l) { l.SetLinkCursor(hCross); }},
        {"SetUnderlineMode", [](CTestHButton& l) { l.SetUnderlineMode(2); }},
        {"SetHoverColor", [](CTestHButton& l) { l.SetHoverColor(kHoverBlue, TRUE); }},
        {"SetLinkColor", [](CTestHButton& l) { l.SetLinkColor(RGB(0, 128, 0)); }},
        {"SetLinkIcon", [&](CTestHButton& l) { l.SetLinkIcon(icon); }},
    };
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND hDlg) {
        HWND hLink = dlg.m_link.m_hWnd;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.pszName);
            Settle(hLink);
            ::UpdateWindow(hDlg);
            ::ValidateRect(hLink, nullptr);
            c.set(dlg.m_link);
            RECT rcUpdate, rcClient;
            EXPECT_TRUE(::GetUpdateRect(hLink, &rcUpdate, FALSE));
            ::GetClientRect(hLink, &rcClient);
            EXPECT_EQ(Str(rcClient), Str(rcUpdate));

            ::UpdateWindow(hDlg);
            CTestHButton windowless;
            c.set(windowless);
            EXPECT_FALSE(::GetUpdateRect(hDlg, nullptr, FALSE))
                << "a control without a window repainted the desktop";
        }
    });
}

// The window takes the text's box plus 2 pixels each side (and the icon's
// half width each side), centred where the template put it.
TEST(HButtonTest, ResizesAroundItsTextAboutTheTemplateCentre)
{
    CSolidIcon icon(kIconSize, kIconRed);
    struct Case {
        const char* pszText;
        bool bNoFont;
    };
    const Case cases[] = {
        {"homepage", false}, {"www.a-much-longer-host-name-than-the-template.example", false},
        {"i", false},        {"ii", false},
        {"W", true},         {"", false},
        {"homepage", false},
    };
    // A given icon cannot be taken back: one dialog without, one with.
    for (const bool bIcon : {false, true}) {
        CLinkDialog dlg;
        RunDialog(dlg, [&](HWND hDlg) {
            HWND hLink = dlg.m_link.m_hWnd;
            const WPARAM hDialogFont = ::SendMessageA(hDlg, WM_GETFONT, 0, 0);
            if (bIcon)
                dlg.m_link.SetLinkIcon(icon);
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string("\"") + c.pszText + "\"" + (bIcon ? " with icon" : "") +
                             (c.bNoFont ? " without font" : ""));
                ::SendMessageA(hLink, WM_SETFONT, c.bNoFont ? 0 : hDialogFont, FALSE);
                ::SetWindowTextA(hLink, c.pszText);
                const Pixels pixels = Settle(hLink);

                const TextMetrics text = Measure(hLink, c.pszText);
                const int nHalfWidth = text.size.cx / 2 + (bIcon ? kIconSize / 2 : 0);
                const int nHalfHeight = text.size.cy / 2;
                const RECT rcTemplate = TemplateRect(hDlg);
                const int xc = (rcTemplate.left + rcTemplate.right) / 2;
                const int yc = (rcTemplate.top + rcTemplate.bottom) / 2;
                const RECT rcExpected = {xc - nHalfWidth - 2, yc - nHalfHeight - 2, xc + nHalfWidth + 2,
                                         yc + nHalfHeight + 2};
                EXPECT_EQ(Str(rcExpected), Str(RectInDialog(hLink)));

                // A second pass leaves it where it is.
                Capture(hLink);
                EXPECT_EQ(Str(rcExpected), Str(RectInDialog(hLink)));

                ASSERT_EQ(rcExpected.right - rcExpected.left, pixels.nWidth);
                ASSERT_EQ(rcExpected.bottom - rcExpected.top, pixels.nHeight);
                EXPECT_EQ(0, pixels.Count(kUnpainted));
                if (bIcon) {
                    for (int y = 0; y < std::min(kIconSize, pixels.nHeight); ++y)
                        for (int x = 0; x < kIconSize; ++x)
                            ASSERT_EQ(kIconRed, pixels.At(x, y)) << x << ", " << y;
                } else {
                    EXPECT_EQ(0, pixels.Count(kIconRed));
                }
                if (*c.pszText) {
                    // Mode 1 underlines from the text's origin for its width.
                    const int x0 = bIcon ? kIconSize + 2 : 2;
                    const int nRow = pixels.UnderlineRow(x0, text.size.cx, kLinkBlue);
                    EXPECT_GE(nRow, 2 + text.nAscent)
                        << "no underline from x = " << x0 << " for " << text.size.cx;
                    EXPECT_LT(nRow, 2 + text.size.cy);
                } else {
                    // Only the background, and the icon.
                    const int nIconPixels = bIcon ? kIconSize * std::min(kIconSize, pixels.nHeight) : 0;
                    EXPECT_EQ(pixels.nWidth * pixels.nHeight - nIconPixels,
                              pixels.Count(dlg.m_link.Background()));
                }
            }
        });
    }
}

// Underline and colour by mode, hover and hover colour.
TEST(HButtonTest, UnderlineAndColourFollowModeAndHover)
{
    struct Case {
        int nMode;
        bool bHover;
        bool bHoverColor;
        bool bUnderlined;
        COLORREF crText;
    };
    const Case cases[] = {
        {1, false, false, true, kLinkBlue},  {1, true, false, true, kLinkBlue},
        {2, false, false, false, kLinkBlue}, {2, true, false, true, kLinkBlue},
        {0, false, false, false, kLinkBlue}, {0, true, false, false, kLinkBlue},
        {3, true, false, false, kLinkBlue},  {-1, true, false, false, kLinkBlue},
        {2, false, true, false, kLinkBlue},  {2, true, true, true, kHoverBlue},
        {1, true, true, true, kHoverBlue},   {0, true, true, false, kHoverBlue},
    };
    const char* const pszText = "homepage";
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        ::SetWindowTextA(hLink, pszText);
        const TextMetrics text = Measure(hLink, pszText);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "mode " << c.nMode << (c.bHover ? ", hover" : "")
                                            << (c.bHoverColor ? ", hover colour" : ""));
            dlg.m_link.SetUnderlineMode(c.nMode);
            dlg.m_link.SetHoverColor(kHoverBlue, c.bHoverColor);
            ::SendMessageA(hLink, c.bHover ? WM_MOUSEMOVE : WM_MOUSELEAVE, 0, MAKELPARAM(3, 3));
            ASSERT_EQ(c.bHover, dlg.m_link.IsHover() != FALSE);
            const Pixels pixels = Settle(hLink);

            const int nRow = pixels.UnderlineRow(2, text.size.cx, c.crText, 2 + text.nAscent);
            EXPECT_EQ(c.bUnderlined, nRow >= 0);
            const COLORREF crOther = c.crText == kLinkBlue ? kHoverBlue : kLinkBlue;
            EXPECT_GT(pixels.Count(c.crText), text.size.cy);
            EXPECT_EQ(0, pixels.Count(crOther));
        }
    });
}

// The configuration both dialogs use: blue and plain away from the pointer,
// light blue and underlined under it, back at once when it leaves.
TEST(HButtonTest, MouseMoveAndLeaveSwitchHover)
{
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        dlg.m_link.SetUnderlineMode(2);
        dlg.m_link.SetHoverColor(kHoverBlue, TRUE);
        ::SetWindowTextA(hLink, "homepage");
        const TextMetrics text = Measure(hLink, "homepage");

        struct Step {
            UINT nMessage;
            bool bHover;
        };
        const Step steps[] = {
            {WM_MOUSEMOVE, true},   {WM_MOUSEMOVE, true}, {WM_MOUSELEAVE, false},
            {WM_MOUSELEAVE, false}, {WM_MOUSEMOVE, true}, {WM_MOUSELEAVE, false},
        };
        for (const Step& step : steps) {
            ::ValidateRect(hLink, nullptr);
            const BOOL bWasHover = dlg.m_link.IsHover();
            LRESULT lResult = ::SendMessageA(hLink, step.nMessage, 0, MAKELPARAM(4, 4));
            EXPECT_EQ(0, lResult);
            ASSERT_EQ(step.bHover, dlg.m_link.IsHover() != FALSE);
            // A change of hover asks for a repaint.
            RECT rcUpdate;
            const bool bChanged = (bWasHover != FALSE) != step.bHover;
            if (bChanged || step.nMessage == WM_MOUSELEAVE) {
                EXPECT_TRUE(::GetUpdateRect(hLink, &rcUpdate, FALSE));
            }
            const Pixels pixels = Settle(hLink);
            const COLORREF crText = step.bHover ? kHoverBlue : kLinkBlue;
            EXPECT_GT(pixels.Count(crText), 0);
            EXPECT_EQ(step.bHover, pixels.UnderlineRow(2, text.size.cx, crText, 2 + text.nAscent) >= 0);
        }
    });
}

// With the real pointer: the system's WM_MOUSEMOVE comes through a loop that
// pre-translates as the dialog's does, and leaving brings WM_MOUSELEAVE from
// the tracking that the control asked for.
TEST(HButtonTest, RealPointerEntersAndLeaves)
{
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND hDlg) {
        HWND hLink = dlg.m_link.m_hWnd;
        Settle(hLink);
        MovePointerOffLink(hDlg);
        ASSERT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() == FALSE; }));

        const POINT pt = ScreenCentre(hLink);
        ::SetCursorPos(pt.x, pt.y);
        EXPECT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() != FALSE; }));

        MovePointerOffLink(hDlg);
        EXPECT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() == FALSE; }));
    });
}

// Each way the control learns that the pointer has left: USER32's tracking
// (the product's choice wherever USER32 has it, as here), COMCTL32's, and
// the timer of Windows 95 retail, which has neither.
TEST(HButtonTest, EachWayOfTrackingEndsTheHoverAndLeavesNoTimer)
{
    typedef CTestHButton::TrackMouseEventFunction TrackMouseEventFunction;
    const auto pfnUser = reinterpret_cast<TrackMouseEventFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "TrackMouseEvent")));
    const auto pfnComctl = reinterpret_cast<TrackMouseEventFunction>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("comctl32.dll"), "_TrackMouseEvent")));
    ASSERT_TRUE(pfnUser && pfnComctl);
    EXPECT_EQ(pfnUser, CTestHButton().Tracking());

    const struct {
        const char* pszWay;
        TrackMouseEventFunction pfnTrack;
    } cases[] = {{"USER32", pfnUser}, {"COMCTL32", pfnComctl}, {"timer", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWay);
        CLinkDialog dlg;
        RunDialog(dlg, [&](HWND hDlg) {
            dlg.m_link.UseTracking(c.pfnTrack);
            const HWND hLink = dlg.m_link.m_hWnd;
            const UINT_PTR nTimer = CTestHButton::LeaveTimerId();
            Settle(hLink);
            MovePointerOffLink(hDlg);
            ASSERT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() == FALSE; }));

            ::SetCursorPos(ScreenCentre(hLink).x, ScreenCentre(hLink).y);
            ASSERT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() != FALSE; }));
            MovePointerOffLink(hDlg);
            EXPECT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() == FALSE; }));
            EXPECT_FALSE(::KillTimer(hLink, nTimer)) << "a timer outlived the hover";

            if (!c.pfnTrack) {
                // Gone before the timer saw the entry: the pointer is already
                // elsewhere when the move is handled. (With tracking that is
                // the system's affair, and Wine's differs from Windows'.)
                ::SendMessageA(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
                EXPECT_TRUE(dlg.m_link.IsHover());
                EXPECT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() == FALSE; }));
                EXPECT_FALSE(::KillTimer(hLink, nTimer)) << "a timer outlived the hover";
            }

            // Destroyed while hovered.
            ::SetCursorPos(ScreenCentre(hLink).x, ScreenCentre(hLink).y);
            ASSERT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() != FALSE; }));
            ::DestroyWindow(hLink);
            PumpPastTimer(hDlg, 2 * CTestHButton::LeaveTimerInterval());
            EXPECT_EQ(nullptr, dlg.m_link.m_hWnd);
        });
    }
}

// The cursor is set for moves and clicks only once one was given.
TEST(HButtonTest, SetsTheLinkCursorOnlyWhenGiven)
{
    const HCURSOR hArrow = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    const HCURSOR hHand = AfxGetApp()->LoadCursor(IDC_HAND_CURSOR);
    ASSERT_TRUE(hArrow);
    ASSERT_TRUE(hHand);
    const UINT messages[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                             WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                             WM_RBUTTONUP, WM_MOUSEMOVE};
    struct Case {
        const char* pszName;
        bool bGiven;
        HCURSOR hGiven;
    };
    // In this order: a cursor once given cannot be taken back.
    const Case cases[] = {{"none given", false, nullptr}, {"hand", true, hHand}, {"null", true, nullptr}};
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        for (const Case& c : cases) {
            SCOPED_TRACE(c.pszName);
            if (c.bGiven)
                dlg.m_link.SetLinkCursor(c.hGiven);
            for (UINT nMessage : messages) {
                SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << nMessage);
                ::SetCursor(hArrow);
                ::SendMessageA(hLink, nMessage, nMessage == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(3, 3));
                EXPECT_EQ(c.bGiven ? c.hGiven : hArrow, ::GetCursor());
            }
            ::ReleaseCapture();
            // The system's question before each move: the link's cursor,
            // not the class's arrow.
            ::SetCursor(hArrow);
            LRESULT lAnswered = ::SendMessageA(hLink, WM_SETCURSOR, reinterpret_cast<WPARAM>(hLink),
                                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
            EXPECT_EQ(c.bGiven ? c.hGiven : hArrow, ::GetCursor());
            EXPECT_EQ(c.bGiven, lAnswered != 0);
        }
    });
}

// A click stays a button click: the dialog gets BN_CLICKED of the link.
TEST(HButtonTest, ClickReachesTheDialogAsBnClicked)
{
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        dlg.m_link.SetLinkCursor(AfxGetApp()->LoadCursor(IDC_HAND_CURSOR));
        ::SendMessageA(hLink, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        EXPECT_EQ(hLink, ::GetCapture());
        EXPECT_EQ(0, dlg.m_nLinkClicks);
        ::SendMessageA(hLink, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_EQ(1, dlg.m_nLinkClicks);
        EXPECT_EQ(nullptr, ::GetCapture());
    });
}

// One tool, id 1, no flags, the client rectangle of the first call, however
// often the text is set.
TEST(HButtonTest, TooltipHasOneToolWhateverTheCalls)
{
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        const char* const texts[] = {"visit homepage for updates and documentation", "second", "",
                                     "third \xFC"};
        for (const char* pszText : texts) {
            SCOPED_TRACE(pszText);
            dlg.m_link.SetTooltipText(pszText, TRUE);
            HWND hToolTip = dlg.m_link.ToolTip();
            ASSERT_TRUE(hToolTip);
            EXPECT_EQ(1, ::SendMessageA(hToolTip, TTM_GETTOOLCOUNT, 0, 0));
            EXPECT_EQ(pszText, ToolText(hToolTip, hLink));

            TTTOOLINFOA ti = {};
            ti.cbSize = TTTOOLINFOA_V2_SIZE;
            ASSERT_TRUE(::SendMessageA(hToolTip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti)));
            EXPECT_EQ(hLink, ti.hwnd);
            EXPECT_EQ(1u, ti.uId);
            EXPECT_EQ(0u, ti.uFlags);

            // The window re-sizes, and the tool with it.
            ::SetWindowTextA(hLink, pszText[0] ? pszText : "x");
            Settle(hLink);
            RECT rcNow;
            ::GetClientRect(hLink, &rcNow);
            ASSERT_TRUE(::SendMessageA(hToolTip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti)));
            EXPECT_EQ(Str(rcNow), Str(ti.rect));
        }
    });
}

// The tooltip's window: a plain pop-up tooltip, made by the first
// pre-translated message, inactive and without tools until the text comes.
// The control's destructor takes it along; the dialog that owns it lives on.
// When the system destroys the control, alone or with its dialog (which
// destroys the tooltip first, as a window it owns), the tooltip goes too and
// the object holds no handle of it; no handle of no window is destroyed.
TEST(HButtonTest, TooltipAndItsHandleGoWithTheWindow)
{
    CImportPatch patch("user32.dll", "DestroyWindow", reinterpret_cast<const void*>(WatchingDestroyWindow));
    g_dwDestroyWindow = patch.Original();
    ASSERT_NE(0u, g_dwDestroyWindow);
    for (const bool bAlone : {true, false}) {
        SCOPED_TRACE(bAlone ? "the control alone" : "with the dialog");
        g_nNonWindowsDestroyed = 0;
        CLinkDialog dlg;
        HWND hToolTip = nullptr;
        RunDialog(dlg, [&](HWND) {
            dlg.m_link.SetTooltipText("tip", TRUE);
            hToolTip = dlg.m_link.ToolTip();
            if (bAlone)
                ::DestroyWindow(dlg.m_link.m_hWnd);
        });
        ASSERT_TRUE(hToolTip);
        EXPECT_EQ(nullptr, dlg.m_link.m_hWnd);
        EXPECT_EQ(nullptr, dlg.m_link.ToolTip());
        EXPECT_FALSE(::IsWindow(hToolTip));
        EXPECT_EQ(0, g_nNonWindowsDestroyed) << "a handle destroyed that names no window";
    }
}

TEST(HButtonTest, PreTranslateMakesAnInactiveTooltipThatGoesWithTheControl)
{
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND hDlg) {
        HWND hButton = CreateOwnerDrawnButton(hDlg);
        ASSERT_TRUE(hButton);
        HWND hToolTip;
        {
            CTestHButton link;
            ASSERT_TRUE(link.SubclassWindow(hButton));
            ASSERT_EQ(nullptr, link.ToolTip());

            MSG msg = {hButton, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2), ::GetTickCount(), {0, 0}};
            EXPECT_FALSE(link.PreTranslateMessage(&msg));
            hToolTip = link.ToolTip();
            ASSERT_TRUE(hToolTip);
            char szClass[64] = "";
            ::GetClassNameA(hToolTip, szClass, sizeof szClass);
            EXPECT_STREQ("tooltips_class32", szClass);
            const LONG lStyle = ::GetWindowLongA(hToolTip, GWL_STYLE);
            EXPECT_TRUE(lStyle & WS_POPUP);
            EXPECT_FALSE(lStyle & WS_CHILD);
            EXPECT_FALSE(lStyle & (TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON));
            // A pop-up's owner is the top-level window of the parent it was given.
            EXPECT_EQ(hDlg, ::GetWindow(hToolTip, GW_OWNER));
            EXPECT_EQ(0, ::SendMessageA(hToolTip, TTM_GETTOOLCOUNT, 0, 0));

            // Further messages neither make another window nor add tools.
            ::PostMessageA(hButton, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            PumpPastTimer(hDlg, 0);
            EXPECT_EQ(hToolTip, link.ToolTip());
            EXPECT_EQ(0, ::SendMessageA(hToolTip, TTM_GETTOOLCOUNT, 0, 0));
        }
        EXPECT_FALSE(::IsWindow(hToolTip));
        EXPECT_TRUE(::IsWindow(hDlg));
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hButton));
        if (::IsWindow(hButton))
            ::DestroyWindow(hButton);
    });
}

int g_nWindowsRefused = 0;
HWND WINAPI RefusingCreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE,
                                    LPVOID)
{
    return ++g_nWindowsRefused, nullptr;
}

// A tooltip the system refused is asked for again with a text, not on every
// message to the link, and never comes without its tool.
TEST(HButtonTest, ATooltipRefusedIsAskedForAgainOnlyWithItsText)
{
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND hDlg) {
        CTestHButton link;
        ASSERT_TRUE(link.SubclassWindow(CreateOwnerDrawnButton(hDlg)));
        MSG msg = {link.m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
        {
            CImportPatch patch("user32.dll", "CreateWindowExA",
                               reinterpret_cast<const void*>(RefusingCreateWindowExA));
            link.SetTooltipText("tip", TRUE);
            link.PreTranslateMessage(&msg);
        }
        link.PreTranslateMessage(&msg);
        EXPECT_EQ(1, g_nWindowsRefused);
        EXPECT_EQ(nullptr, link.ToolTip());
        link.SetTooltipText("tip", TRUE);
        EXPECT_EQ("tip", ToolText(link.ToolTip(), link.m_hWnd));
    });
}

// The tip shows under the pointer while active, never while inactive.
TEST(HButtonTest, TooltipShowsOnlyWhenActive)
{
    const char* const pszTip = "visit homepage for updates and documentation";
    const BOOL activations[] = {TRUE, FALSE, TRUE};
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND hDlg) {
        HWND hLink = dlg.m_link.m_hWnd;
        for (BOOL bActivate : activations) {
            SCOPED_TRACE(bActivate ? "active" : "inactive");
            MovePointerOffLink(hDlg);
            dlg.m_link.SetTooltipText(pszTip, bActivate);
            HWND hToolTip = dlg.m_link.ToolTip();
            ASSERT_TRUE(hToolTip);
            ::SendMessageA(hToolTip, TTM_SETDELAYTIME, TTDT_INITIAL, 10);
            ASSERT_TRUE(
                PumpUntil(hDlg, [&] { return !dlg.m_link.IsHover() && !::IsWindowVisible(hToolTip); }));

            const POINT pt = ScreenCentre(hLink);
            ::SetCursorPos(pt.x, pt.y);
            // The tooltip saw the move before the link did.
            ASSERT_TRUE(PumpUntil(hDlg, [&] { return dlg.m_link.IsHover() != FALSE; }));
            if (bActivate) {
                EXPECT_TRUE(PumpUntil(hDlg, [&] { return ::IsWindowVisible(hToolTip) != FALSE; }));
                EXPECT_EQ(pszTip, WindowText(hToolTip));
            } else {
                // Long past the delay after which an active tip would show.
                PumpPastTimer(hDlg, 200);
                EXPECT_FALSE(::IsWindowVisible(hToolTip));
            }
            EXPECT_EQ(1, ::SendMessageA(hToolTip, TTM_GETTOOLCOUNT, 0, 0));
        }
        MovePointerOffLink(hDlg);
    });
}

// Disabled: embossed in the system's colours, "&" marking the mnemonic;
// enabled: every character in the link colour, "&" included.
TEST(HButtonTest, DisabledDrawsEmbossedWithMnemonic)
{
    const char* const pszText = "Ho&me";
    struct Case {
        bool bEnabled;
        int nUnderlineMode;
    };
    const Case cases[] = {{true, 0}, {false, 0}, {true, 1}, {false, 1}};
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        ::SetWindowTextA(hLink, pszText);
        const TextMetrics full = Measure(hLink, pszText);
        const TextMetrics shown = Measure(hLink, "Home");
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << (c.bEnabled ? "enabled" : "disabled") << ", mode " << c.nUnderlineMode);
            dlg.m_link.SetUnderlineMode(c.nUnderlineMode);
            ::EnableWindow(hLink, c.bEnabled);
            const Pixels pixels = Settle(hLink);
            // The window is measured on the whole text, "&" included.
            ASSERT_EQ(full.size.cx / 2 * 2 + 4, pixels.nWidth);

            const int nRight = pixels.RightmostInk(dlg.m_link.Background());
            if (c.bEnabled) {
                EXPECT_GT(pixels.Count(kLinkBlue), 0);
                EXPECT_GT(nRight, 2 + shown.size.cx + 1);
            } else {
                EXPECT_EQ(0, pixels.Count(kLinkBlue));
                EXPECT_GT(pixels.Count(::GetSysColor(COLOR_3DHILIGHT)), 0);
                EXPECT_GT(pixels.Count(::GetSysColor(COLOR_3DSHADOW)), 0);
                EXPECT_LE(nRight, 2 + shown.size.cx + 1);
                EXPECT_GE(nRight, 2 + shown.size.cx / 2);
            }
        }
    });
}

// Pressed or focused looks the same as neither.
TEST(HButtonTest, PressedLooksTheSame)
{
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        ::SetWindowTextA(hLink, "homepage");
        const Pixels plain = Settle(hLink);
        ::SendMessageA(hLink, BM_SETSTATE, TRUE, 0);
        const Pixels pressed = Capture(hLink);
        ::SendMessageA(hLink, BM_SETSTATE, FALSE, 0);
        EXPECT_EQ(plain.colors, pressed.colors);
    });
}

// The focus shows as a dotted rectangle on the control's edge, as on the
// system's buttons, unless the window hides focus cues; and whatever it
// draws, the DC goes back with the colours and mode it came with.
TEST(HButtonTest, DrawsTheFocusCueAndLeavesTheDcAsItCame)
{
    const struct {
        const char* pszName;
        UINT nState;
        bool bFocusCue;
    } cases[] = {{"plain", 0, false},
                 {"focused", ODS_FOCUS, true},
                 {"focused, cues hidden", ODS_FOCUS | ODS_NOFOCUSRECT, false},
                 {"pressed", ODS_SELECTED, false}};
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        ::SetWindowTextA(hLink, "homepage");
        dlg.m_link.SetUnderlineMode(1);
        Settle(hLink);
        RECT rc;
        ::GetClientRect(hLink, &rc);
        CMemoryCanvas canvas(rc.right, rc.bottom);
        ASSERT_TRUE(canvas.IsValid());
        HDC hDC = canvas.GetDC();
        for (const auto& c : cases) {
            SCOPED_TRACE(c.pszName);
            canvas.Clear(kUnpainted);
            ::SetTextColor(hDC, RGB(1, 2, 3));
            ::SetBkColor(hDC, RGB(4, 5, 6));
            ::SetBkMode(hDC, OPAQUE);
            const HGDIOBJ hFont = ::GetCurrentObject(hDC, OBJ_FONT);
            DRAWITEMSTRUCT dis = {ODT_BUTTON, IDC_LINK, 0, ODA_DRAWENTIRE, c.nState, hLink, hDC, rc, 0};
            dlg.m_link.DrawItem(&dis);
            EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(hDC));
            EXPECT_EQ(RGB(4, 5, 6), ::GetBkColor(hDC));
            EXPECT_EQ(OPAQUE, ::GetBkMode(hDC));
            EXPECT_EQ(hFont, ::GetCurrentObject(hDC, OBJ_FONT));

            const Pixels drawn = canvas.Read();
            int nDots = 0;
            for (int x = 0; x < drawn.nWidth; ++x)
                nDots += drawn.At(x, 0) != dlg.m_link.Background();
            EXPECT_EQ(c.bFocusCue, nDots > 0) << nDots << " pixels of the top row are not the face";
        }
    });
}

bool g_bHighContrast = false;
BOOL WINAPI SpiStandIn(UINT, UINT, PVOID pvParam, UINT)
{
    static_cast<HIGHCONTRASTA*>(pvParam)->dwFlags = g_bHighContrast ? HCF_HIGHCONTRASTON : 0;
    return TRUE;
}

// A scheme changed while the dialog is open: the link on the new face, in the program's colours where its
// blue reads, else (or under high contrast) in the scheme's link colour where that reads, else its text's.
TEST(HButtonTest, FollowsTheSchemeInColoursThatRead)
{
    const COLORREF kWhite = RGB(255, 255, 255), kNavy = RGB(0, 0, 128), kYellow = RGB(255, 255, 0);
    struct Case {
        COLORREF crScheme[3]; // face, button text, links
        bool bHover, bHighContrast;
        COLORREF crText;
    } const cases[] = {
        {{kWhite, 0, kNavy}, false, false, kLinkBlue},
        {{kWhite, 0, kNavy}, true, true, kNavy},
        {{0, kWhite, kYellow}, true, false, kYellow},
        {{0, kWhite, kNavy}, false, false, kWhite},
    };
    const INT items[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HOTLIGHT};
    const COLORREF crSaved[] = {::GetSysColor(items[0]), ::GetSysColor(items[1]), ::GetSysColor(items[2])};
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        dlg.m_link.SetHoverColor(kHoverBlue, TRUE);
        CImportPatch patch("user32.dll", "SystemParametersInfoA", reinterpret_cast<const void*>(SpiStandIn));
        for (const Case& c : cases) {
            ::SetSysColors(3, items, c.crScheme);
            g_bHighContrast = c.bHighContrast;
            ::SendMessageA(dlg.m_link.m_hWnd, c.bHover ? WM_MOUSEMOVE : WM_MOUSELEAVE, 0, MAKELPARAM(3, 3));
            const Pixels pixels = Settle(dlg.m_link.m_hWnd);
            EXPECT_GT(pixels.Count(c.crText), 0);
            EXPECT_EQ(pixels.nWidth * pixels.nHeight, pixels.Count(c.crScheme[0]) + pixels.Count(c.crText));
        }
    });
    ::SetSysColors(3, items, crSaved);
}

// Each underlined pass makes a font and must release it. With all but a few
// GDI handles taken, a pass that kept even one object would soon leave no
// room for the underlined font; the control's passes run on, underlined, and
// leave exactly as many handles free as they found. The forgetful variants
// show that the check sees a leak.
TEST(HButtonTest, DrawingPassesLeaveNoGdiObjectBehind)
{
    const int kFree = 16;
    struct Case {
        const char* pszName;
        int nLeaksPerPass;
        int nPasses;
        bool bRunsFull;
    };
    const Case cases[] = {
        {"the control", 0, 500, false},
        {"forgets one region per pass", 1, 6, false},
        {"forgets one region per pass until none is left", 1, 40, true},
    };
    const char* const pszText = "homepage";
    CLinkDialog dlg;
    RunDialog(dlg, [&](HWND) {
        HWND hLink = dlg.m_link.m_hWnd;
        ::SetWindowTextA(hLink, pszText);
        dlg.m_link.SetUnderlineMode(1);
        Settle(hLink);
        const TextMetrics text = Measure(hLink, pszText);
        RECT rc;
        ::GetClientRect(hLink, &rc);
        CMemoryCanvas canvas(rc.right, rc.bottom);
        ASSERT_TRUE(canvas.IsValid());

        for (const Case& c : cases) {
            SCOPED_TRACE(c.pszName);
            dlg.m_link.m_nLeaksPerPass = c.nLeaksPerPass;
            int nUnderlined = 0;
            int nFreeBefore = 0;
            int nFreeAfter = 0;
            {
                CGdiHandleReserve reserve(kFree);
                ASSERT_TRUE(reserve.IsFull()) << reserve.GetCount() << " regions and no end";
                nFreeBefore = CountCreatableFonts(kFree + 1);
                for (int i = 0; i < c.nPasses; ++i) {
                    canvas.Clear(kUnpainted);
                    ::SendMessageA(hLink, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.GetDC()),
                                   PRF_CLIENT);
                    if (canvas.Read().UnderlineRow(2, text.size.cx, kLinkBlue, 2 + text.nAscent) >= 0)
                        ++nUnderlined;
                }
                nFreeAfter = CountCreatableFonts(kFree + 1);
            }
            dlg.m_link.m_nLeaksPerPass = 0;
            dlg.m_link.ReleaseLeaked();

            EXPECT_EQ(kFree, nFreeBefore);
            if (!c.bRunsFull) {
                EXPECT_EQ(c.nPasses, nUnderlined);
                EXPECT_EQ(kFree - c.nPasses * c.nLeaksPerPass, nFreeAfter);
            } else {
                // The underline went with the room for its font; what is
                // left is what the system's button takes and gives back
                // within a pass.
                EXPECT_LT(nUnderlined, c.nPasses);
                EXPECT_LE(nFreeAfter, 2);
            }
            // With the handles back, fonts are made as before.
            EXPECT_EQ(kFree + 1, CountCreatableFonts(kFree + 1));
        }
    });
}
