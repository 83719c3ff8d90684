#include "SondaroProcess.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The run's one source (tests/CMakeLists.txt) as Sondaro shows it, in the
// code page of the run's locale (in 932 a trail byte is 0x5C), and as Unicode.
const bool kJapanese = ::GetACP() == 932;
const char* const kDevice =
    kJapanese ? "\x98\x5E\x89\xB9\x83\x5C\x81\x5B\x83\x58" : "Mikrofon f\xFCr R\xE4ume";
const wchar_t* const kWideDevice =
    kJapanese ? L"\u9332\u97F3\u30BD\u30FC\u30B9" : L"Mikrofon f\u00FCr R\u00E4ume";

// Keys pressed in order and let go in reverse: keyboard input, as typed.
void Type(std::initializer_list<BYTE> keys)
{
    for (BYTE key : keys)
        ::keybd_event(key, 0, 0, 0);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        ::keybd_event(*it, 0, KEYEVENTF_KEYUP, 0);
}

template <class Char> std::basic_string<Char> ReadClipboard(UINT nFormat)
{
    std::basic_string<Char> text;
    if (HANDLE hData = ::OpenClipboard(nullptr) ? ::GetClipboardData(nFormat) : nullptr) {
        text = static_cast<const Char*>(::GlobalLock(hData));
        ::GlobalUnlock(hData);
    }
    ::CloseClipboard();
    return text;
}

// With the focus on each control that takes it, Ctrl+C (and Ctrl+Insert)
// copies the report and leaves the lists, their selection and the focus. A
// clipboard that another program holds open is left as it is, without a box.
TEST(ClipboardTest, CopiesTheReportWhereverTheFocusIsAndLeavesAHeldClipboardAlone)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    std::vector<std::string> devices = sondaro.Devices();
    const int nDevice =
        static_cast<int>(std::find(devices.begin(), devices.end(), kDevice) - devices.begin());
    ASSERT_LT(nDevice, static_cast<int>(devices.size()));
    sondaro.SelectDevice(nDevice);
    sondaro.PressCheck();
    ASSERT_TRUE(::SetForegroundWindow(sondaro.MainWindow()));
    const HWND hWnd = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    const std::string strHead = "Sondaro Version 0.1.0.0\r\n";
    std::string strTail = "\r\n" + IdentifierLine(sondaro.DeviceIdentifier(nDevice)) + "\r\n";
    for (const char* pszFormat : {"16bit stereo ", "16bit mono   ", "8bit  stereo ", "8bit  mono   "})
        for (const char* pszRate : {"96.000", "48.000", "44.100", "22.050", "11.025"})
            strTail += std::string(pszFormat) + pszRate + "kHz \tOKAY\r\n";
    auto widen = [](const std::string& strAscii) { return std::wstring(strAscii.begin(), strAscii.end()); };
    const std::wstring strWide = widen(strHead) + kWideDevice + widen(strTail);
    const std::vector<std::string> results = sondaro.Results();
    const std::vector<int> selected = sondaro.SelectedResults();
    const std::pair<int, BYTE> keys[] = {
        {1005, 'C'}, {1016, 'C'}, {1010, 'C'}, {1004, 'C'}, {1004, VK_INSERT}};
    for (auto [nID, key] : keys) {
        // As the Tab key moves it; done when the message returns.
        ::SendMessageA(sondaro.MainWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(sondaro.Item(nID)),
                       TRUE);
        ASSERT_TRUE(::OpenClipboard(hWnd) && ::EmptyClipboard() && ::CloseClipboard());
        Type({VK_CONTROL, key});
        ASSERT_TRUE(WaitUntil(
            [&] { return ::GetClipboardOwner() == sondaro.MainWindow() && !::GetOpenClipboardWindow(); },
            "copy"));
        EXPECT_EQ(strHead + kDevice + strTail, ReadClipboard<char>(CF_TEXT)) << nID;
        EXPECT_EQ(strWide, ReadClipboard<wchar_t>(CF_UNICODETEXT)) << nID;
        EXPECT_EQ(sondaro.Item(nID), FocusOf(sondaro.MainWindow()));
        EXPECT_EQ(results, sondaro.Results());
        EXPECT_EQ(selected, sondaro.SelectedResults());
        EXPECT_EQ(nDevice, sondaro.SelectedDevice());
    }

    // The Tab key behind the copy moves the focus (from the last control to
    // the first) once the copy is over.
    HGLOBAL hHeld = ::GlobalAlloc(GMEM_MOVEABLE, sizeof "held");
    ::lstrcpyA(static_cast<char*>(::GlobalLock(hHeld)), "held");
    ::GlobalUnlock(hHeld);
    ASSERT_TRUE(::OpenClipboard(hWnd) && ::EmptyClipboard() && ::SetClipboardData(CF_TEXT, hHeld));
    Type({VK_CONTROL, 'C'});
    Type({VK_TAB});
    WaitUntil([&] { return FocusOf(sondaro.MainWindow()) == sondaro.Item(1005); },
              "focus moved by the Tab key");
    EXPECT_FALSE(sondaro.MessageBox());
    ::CloseClipboard();
    EXPECT_EQ(hWnd, ::GetClipboardOwner());
    EXPECT_EQ("held", ReadClipboard<char>(CF_TEXT));
}

} // namespace
