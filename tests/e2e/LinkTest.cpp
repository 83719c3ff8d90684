#include "SondaroProcess.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <set>

// Windows 10's, beyond the headers of XP the tests build with.
extern "C" BOOL WINAPI SetProcessDpiAwarenessContext(HANDLE);
extern "C" UINT WINAPI GetDpiForWindow(HWND);

namespace {

const char kAddress[] =
    "http://www.sondaro.org/software/download/index.php?Software=Sondaro&CurrentVersion=0.1.0.0";
const char kAboutCaption[] = "Info \xFC"
                             "ber Sondaro";

std::string BrowserLogPath()
{
    char szPath[MAX_PATH] = "";
    ::GetEnvironmentVariableA("SONDARO_BROWSER_LOG", szPath, sizeof szPath);
    return DosPath(szPath);
}

// The addresses the stand-in browser was given, once there are `nCount`.
std::vector<std::string> OpenedAddresses(size_t nCount)
{
    std::vector<std::string> addresses;
    WaitUntil(
        [&] {
            addresses.clear();
            std::ifstream log(BrowserLogPath());
            for (std::string line; std::getline(log, line);)
                addresses.push_back(line);
            return addresses.size() >= nCount;
        },
        "address in the browser's log");
    return addresses;
}

class LinkTest : public testing::Test {
protected:
    void SetUp() override { ::DeleteFileA(BrowserLogPath().c_str()); }
};

HWND OpenAbout(SondaroProcess& sondaro)
{
    ::PostMessageA(sondaro.MainWindow(), WM_SYSCOMMAND, 16, 0);
    return sondaro.WaitForDialog(kAboutCaption);
}

// What the window shows in its client area, read back from the display as any
// screenshot tool would.
struct Capture {
    int cx = 0;
    int cy = 0;
    std::vector<COLORREF> pixels;

    int Count(COLORREF cr) const { return static_cast<int>(std::count(pixels.begin(), pixels.end(), cr)); }
    // The longest horizontal run of this colour: an underline, not letters.
    int LongestRun(COLORREF cr) const
    {
        int nLongest = 0;
        for (int y = 0; y < cy; ++y)
            for (int x = 0, nRun = 0; x < cx; ++x) {
                nRun = pixels[y * cx + x] == cr ? nRun + 1 : 0;
                nLongest = std::max(nLongest, nRun);
            }
        return nLongest;
    }
};

Capture ReadScreen(HWND hWnd, int nMargin)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    ::InflateRect(&rc, nMargin, nMargin);
    Capture capture;
    capture.cx = rc.right - rc.left;
    capture.cy = rc.bottom - rc.top;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, capture.cx, capture.cy);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, capture.cx, capture.cy, hScreen, rc.left, rc.top, SRCCOPY);
    for (int y = 0; y < capture.cy; ++y)
        for (int x = 0; x < capture.cx; ++x)
            capture.pixels.push_back(::GetPixel(hMem, x, y));
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    return capture;
}

// The window, and nMargin pixels around, once the screen shows what `shows`
// looks for: the program's drawing reaches the display after its paint.
Capture CaptureOnScreen(HWND hWnd, const std::function<bool(const Capture&)>& shows, int nMargin = 0)
{
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Capture capture;
    WaitUntil([&] { return shows(capture = ReadScreen(hWnd, nMargin)); }, "expected picture");
    return capture;
}

// WCAG 2's relative luminance.
double Luminance(COLORREF cr)
{
    auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(GetRValue(cr) / 255.0) + 0.7152 * linear(GetGValue(cr) / 255.0) +
           0.0722 * linear(GetBValue(cr) / 255.0);
}

} // namespace

TEST_F(LinkTest, FooterShowsVersionAndLinkAndTheLinkOpensTheDownloadPage)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    EXPECT_EQ("Version 0.1.0.0", WindowText(sondaro.Item(1011)));
    EXPECT_EQ("www.sondaro.org", WindowText(sondaro.Item(1010)));
    ::SendMessageA(sondaro.Item(1010), BM_CLICK, 0, 0);
    EXPECT_EQ(std::vector<std::string>{kAddress}, OpenedAddresses(1));
    // Nothing is remembered between clicks.
    ::SendMessageA(sondaro.Item(1010), BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<std::string>{kAddress, kAddress}), OpenedAddresses(2));
}

TEST_F(LinkTest, AboutBoxShowsTheProgramAndItsLinkOpensTheSameAddress)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    HWND hAbout = OpenAbout(sondaro);
    ASSERT_TRUE(hAbout);
    EXPECT_FALSE(::IsWindowEnabled(sondaro.MainWindow()));
    EXPECT_EQ("Sondaro Version 0.1.0.0", WindowText(::GetDlgItem(hAbout, 1013)));
    EXPECT_EQ("Copyright (C) 2026 Sondaro developers", WindowText(::GetDlgItem(hAbout, 1012)));
    EXPECT_EQ("www.sondaro.org", WindowText(::GetDlgItem(hAbout, 1008)));
    EXPECT_EQ(::GetDlgItem(hAbout, IDOK), FocusOf(hAbout));

    ::SendMessageA(::GetDlgItem(hAbout, 1008), BM_CLICK, 0, 0);
    EXPECT_EQ(std::vector<std::string>{kAddress}, OpenedAddresses(1));
    EXPECT_TRUE(::IsWindow(hAbout));

    ::PostMessageA(::GetDlgItem(hAbout, IDOK), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hAbout); }, "end of the about box"));
    EXPECT_TRUE(::IsWindowEnabled(sondaro.MainWindow()));
}

TEST_F(LinkTest, AboutBoxOpensAndClosesManyTimesWithoutGrowing)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    SIZE_T nBefore = 0;
    int nWindowsBefore = 0;
    for (int i = 0; i < 50; ++i) {
        HWND hAbout = OpenAbout(sondaro);
        ASSERT_TRUE(hAbout) << "opening " << i;
        ::PostMessageA(i % 2 ? ::GetDlgItem(hAbout, 1008) : hAbout, WM_KEYDOWN, VK_ESCAPE, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(hAbout); }, "end of the about box"))
            << "closing " << i;
        if (i == 9) {
            nBefore = sondaro.PrivateBytes();
            nWindowsBefore = sondaro.ThreadWindowCount();
        }
    }
    ASSERT_GT(nBefore, 0u);
    EXPECT_TRUE(sondaro.Responds());
    // Not one window more (a tooltip, a dialog) than after ten openings.
    EXPECT_EQ(nWindowsBefore, sondaro.ThreadWindowCount());
    // Measured after ten openings, when caches have settled.
    EXPECT_LT(sondaro.PrivateBytes(), nBefore + 256 * 1024);
}

TEST_F(LinkTest, PointerOverAndOffTheLinkManyTimesKeepsDrawingIt)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    HWND hLink = sondaro.Item(1010);
    const COLORREF crLink = RGB(0, 0, 255);
    const COLORREF crHover = RGB(50, 128, 255);
    Capture before = CaptureOnScreen(hLink, [&](const Capture& c) { return c.Count(crLink) > 0; });
    EXPECT_GT(before.Count(crLink), 0);
    EXPECT_EQ(0, before.Count(crHover));
    EXPECT_LT(before.LongestRun(crLink), before.cx / 2) << "underlined away from the pointer";

    SIZE_T nBefore = sondaro.PrivateBytes();
    const int nWindowsBefore = sondaro.ThreadWindowCount();
    ASSERT_GT(nBefore, 0u);
    for (int i = 0; i < 500; ++i) {
        ::SendMessageA(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        ::UpdateWindow(hLink);
        ::SendMessageA(hLink, WM_MOUSELEAVE, 0, 0);
        ::UpdateWindow(hLink);
    }
    EXPECT_TRUE(sondaro.Responds());
    EXPECT_LT(sondaro.PrivateBytes(), nBefore + 256 * 1024);
    EXPECT_EQ(nWindowsBefore, sondaro.ThreadWindowCount());

    // Still drawn both ways: light blue and underlined over it, blue off it.
    ::SendMessageA(hLink, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    Capture hover = CaptureOnScreen(
        hLink, [&](const Capture& c) { return c.Count(crHover) > 0 && c.Count(crLink) == 0; });
    EXPECT_EQ(0, hover.Count(crLink));
    EXPECT_GE(hover.LongestRun(crHover), hover.cx - 6) << "no underline under the pointer";
    ::SendMessageA(hLink, WM_MOUSELEAVE, 0, 0);
    Capture after = CaptureOnScreen(hLink, [&](const Capture& c) { return c.pixels == before.pixels; });
    EXPECT_EQ(0, after.Count(crHover));
    EXPECT_EQ(before.pixels, after.pixels);
}

// A dark scheme set before the program starts: both links on the face around
// them, contrasting at least 4.5 to 1 (lighter luminance + 0.05 over darker).
TEST_F(LinkTest, LinksReadOnADarkScheme)
{
    const INT elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF crDark[] = {RGB(0, 0, 0), RGB(255, 255, 255)};
    const COLORREF crSaved[] = {::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNTEXT)};
    ::SetSysColors(2, elements, crDark);
    SondaroProcess sondaro;
    HWND hAbout = OpenAbout(sondaro);
    for (HWND hLink : {sondaro.Item(1010), ::GetDlgItem(hAbout, 1008)}) {
        auto drawn = [&](const Capture& c) { return c.pixels[0] == 0 && c.Count(0) < c.cx * c.cy; };
        for (COLORREF cr : CaptureOnScreen(hLink, drawn, 1).pixels)
            EXPECT_TRUE(cr == 0 || Luminance(cr) + 0.05 >= 4.5 * (Luminance(0) + 0.05)) << std::hex << cr;
    }
    ::PostMessageA(hAbout, WM_CLOSE, 0, 0);
    ::SetSysColors(2, elements, crSaved);
}

// Wine's LogPixels, read as a program starts. Aware of each monitor's DPI, the test sees it unscaled.
void SetDpi(DWORD dwDpi)
{
    ::SetProcessDpiAwarenessContext(reinterpret_cast<HANDLE>(-3));
    ::SHSetValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dwDpi, sizeof dwDpi);
}

// Laid out at 144 DPI, not stretched: once the link shows, no shades between the colours drawn.
TEST(DpiTest, MainDialogAt144IsLaidOutAtTheDpiAndNotStretched)
{
    SetDpi(144);
    SondaroProcess sondaro;
    EXPECT_EQ(144u, ::GetDpiForWindow(sondaro.MainWindow()));
    std::set<COLORREF> drawn = {RGB(0, 0, 255)};
    for (int nIndex = COLOR_SCROLLBAR; nIndex <= COLOR_MENUBAR; ++nIndex)
        drawn.insert(::GetSysColor(nIndex));
    CaptureOnScreen(sondaro.MainWindow(), [&](const Capture& c) {
        const auto bDrawn = [&](COLORREF cr) { return drawn.count(cr) > 0; };
        return c.Count(RGB(0, 0, 255)) > 0 && std::all_of(c.pixels.begin(), c.pixels.end(), bDrawn);
    });
}

// At 192 DPI each control lies inside the dialog, the link's text inside the link.
TEST(DpiTest, ControlsAndLinkTextFitAt192)
{
    SetDpi(192);
    SondaroProcess sondaro;
    RECT rcClient;
    ::GetClientRect(sondaro.MainWindow(), &rcClient);
    for (int nID : {1004, 1005, 1010, 1011, 1016}) {
        RECT rc, rcInside;
        ::GetWindowRect(sondaro.Item(nID), &rc);
        ::MapWindowPoints(nullptr, sondaro.MainWindow(), reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_TRUE(::IntersectRect(&rcInside, &rc, &rcClient) && ::EqualRect(&rc, &rcInside)) << nID;
    }
    const COLORREF crLink = RGB(0, 0, 255);
    Capture link = CaptureOnScreen(sondaro.Item(1010), [&](const Capture& c) { return c.Count(crLink) > 0; });
    for (int i = 0; i < link.cx * link.cy; ++i)
        EXPECT_FALSE(link.pixels[i] == crLink &&
                     (i % link.cx % (link.cx - 1) == 0 || i / link.cx % (link.cy - 1) == 0))
            << "the link's text cut at its edge";
}
