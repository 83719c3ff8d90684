#include "SondaroProcess.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The one source of the run (tests/CMakeLists.txt) as the program shows it,
// by the ANSI code page that the run's locale gives Wine; 0x5C ends "ソ".
struct Offered {
    UINT nCodePage;
    const char* pszText;
    const wchar_t* pszWide;
};
const Offered kOffered[] = {
    {1252,
     "Mikrofon f\xFCr \xDC"
     "bertragung",
     L"Mikrofon f\u00FCr \u00DCbertragung"},
    {932, "\x98\x5E\x89\xB9\x83\x5C\x81\x5B\x83\x58", L"\u9332\u97F3\u30BD\u30FC\u30B9"},
};

// Keys pressed in order and let go in reverse, as typed: Sondaro sees them
// as keyboard input, and its thread's key state with them.
void Type(const std::vector<WORD>& keys)
{
    std::vector<INPUT> inputs(2 * keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        INPUT& up = inputs[inputs.size() - 1 - i];
        inputs[i].type = up.type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = up.ki.wVk = keys[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring Widen(const std::string& strAscii)
{
    return std::wstring(strAscii.begin(), strAscii.end());
}

template <class Char> std::basic_string<Char> ReadClipboard(UINT nFormat)
{
    std::basic_string<Char> text;
    HANDLE hData = ::OpenClipboard(nullptr) ? ::GetClipboardData(nFormat) : nullptr;
    if (const Char* pData = hData ? static_cast<const Char*>(::GlobalLock(hData)) : nullptr) {
        text = pData;
        ::GlobalUnlock(hData);
    }
    ::CloseClipboard();
    return text;
}

// The clipboard, emptied for the test's own window and given this text.
void PutOnClipboard(HWND hWndOwner, const char* pszText)
{
    ASSERT_TRUE(::OpenClipboard(hWndOwner));
    ::EmptyClipboard();
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, strlen(pszText) + 1);
    strcpy(static_cast<char*>(::GlobalLock(hText)), pszText);
    ::GlobalUnlock(hText);
    ::SetClipboardData(CF_TEXT, hText);
}

class ClipboardTest : public testing::TestWithParam<std::vector<WORD>> {
protected:
    void SetUp() override
    {
        ASSERT_NE(std::end(kOffered), m_pOffered) << "code page " << ::GetACP();
        ASSERT_TRUE(m_sondaro.MainWindow());
        std::vector<std::string> devices = m_sondaro.Devices();
        m_nDevice = static_cast<int>(std::find(devices.begin(), devices.end(), m_pOffered->pszText) -
                                     devices.begin());
        ASSERT_LT(m_nDevice, static_cast<int>(devices.size()));
        m_sondaro.SelectDevice(m_nDevice);
        m_sondaro.PressCheck();
        ASSERT_TRUE(::SetForegroundWindow(m_sondaro.MainWindow()));
    }
    void TearDown() override { ::DestroyWindow(m_hWnd); }
    void Focus(int nID)
    {
        ::PostMessageA(m_sondaro.MainWindow(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_sondaro.Item(nID)),
                       TRUE);
        WaitUntil([&] { return FocusOf(m_sondaro.MainWindow()) == m_sondaro.Item(nID); }, "focus");
    }

    const Offered* m_pOffered =
        std::find_if(std::begin(kOffered), std::end(kOffered),
                     [](const Offered& offered) { return offered.nCodePage == ::GetACP(); });
    SondaroProcess m_sondaro;
    int m_nDevice = -1;
    HWND m_hWnd = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
};

// With the focus on each control that takes it, the key copies the report
// and leaves the lists, their selection and the focus as they were.
TEST_P(ClipboardTest, CopiesTheReportWhereverTheFocusIs)
{
    const std::string strHead = "Sondaro Version 0.1.0.0\r\n";
    std::string strTail = "\r\n" + IdentifierLine(m_sondaro.DeviceIdentifier(m_nDevice)) + "\r\n";
    for (const char* pszFormat : {"16bit stereo ", "16bit mono   ", "8bit  stereo ", "8bit  mono   "})
        for (const char* pszRate : {"96.000", "48.000", "44.100", "22.050", "11.025"})
            strTail += std::string(pszFormat) + pszRate + "kHz \tOKAY\r\n";
    const std::string strText = strHead + m_pOffered->pszText + strTail;
    const std::wstring strWide = Widen(strHead) + m_pOffered->pszWide + Widen(strTail);
    const std::vector<std::string> results = m_sondaro.Results();
    const std::vector<int> selected = m_sondaro.SelectedResults();

    for (int nID : {1005, 1016, 1010, 1004}) {
        Focus(nID);
        PutOnClipboard(m_hWnd, "before");
        ::CloseClipboard();
        Type(GetParam());
        ASSERT_TRUE(WaitUntil(
            [&] { return ::GetClipboardOwner() == m_sondaro.MainWindow() && !::GetOpenClipboardWindow(); },
            "copy"));
        EXPECT_EQ(strText, ReadClipboard<char>(CF_TEXT)) << nID;
        EXPECT_TRUE(strWide == ReadClipboard<wchar_t>(CF_UNICODETEXT)) << nID;
        EXPECT_EQ(m_sondaro.Item(nID), FocusOf(m_sondaro.MainWindow()));
        EXPECT_EQ(results, m_sondaro.Results());
        EXPECT_EQ(selected, m_sondaro.SelectedResults());
        EXPECT_EQ(m_nDevice, m_sondaro.SelectedDevice());
    }
}

// Another program holds the clipboard open: Sondaro gives up after a few
// tries, without a word, and the clipboard keeps what it had. The Tab key
// behind Ctrl+C moves the focus only once the copy is over.
TEST_P(ClipboardTest, ClipboardHeldOpenKeepsItsContentAndNoBoxShows)
{
    Focus(1005);
    PutOnClipboard(m_hWnd, "held");
    Type(GetParam());
    Type({VK_TAB});
    WaitUntil([&] { return FocusOf(m_sondaro.MainWindow()) == m_sondaro.Item(1016); }, "the Tab key");
    EXPECT_FALSE(m_sondaro.MessageBox());
    ::CloseClipboard();
    EXPECT_EQ("held", ReadClipboard<char>(CF_TEXT));
}

INSTANTIATE_TEST_SUITE_P(ClipboardByCtrlCAndCtrlInsert, ClipboardTest,
                         testing::Values(std::vector<WORD>{VK_CONTROL, 'C'},
                                         std::vector<WORD>{VK_CONTROL, VK_INSERT}));

} // namespace
