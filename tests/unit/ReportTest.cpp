#include "probe/Report.h"

#include <dsound.h>
#include <gtest/gtest.h>

#include <set>

TEST(ReportTest, LeadTextNamesKnownStatuses)
{
    const struct {
        HRESULT status;
        const char* pszLead;
    } cases[] = {
        {DSERR_NODRIVER, "Fehlercode 0x88780078 (DSERR_NODRIVER)"},
        {DSERR_ALLOCATED, "Fehlercode 0x8878000A (DSERR_ALLOCATED)"},
        {E_INVALIDARG, "Fehlercode 0x80070057 (DSERR_INVALIDPARAM)"},
        {DSERR_UNINITIALIZED, "Fehlercode 0x887800AA (DSERR_UNINITIALIZED)"},
        {DSERR_ALREADYINITIALIZED, "Fehlercode 0x88780082 (DSERR_ALREADYINITIALIZED)"},
        {E_OUTOFMEMORY, "Fehlercode 0x8007000E (DSERR_OUTOFMEMORY)"},
        {CLASS_E_NOAGGREGATION, "Fehlercode 0x80040110 (DSERR_NOAGGREGATION)"},
        {E_FAIL, "Fehlercode 0x80004005 (DSERR_GENERIC)"},
        {E_NOINTERFACE, "Fehlercode 0x80004002 (DSERR_NOINTERFACE)"},
        {CO_E_NOTINITIALIZED, "Fehlercode 0x800401F0 (CO_E_NOTINITIALIZED)"},
        {REGDB_E_CLASSNOTREG, "Fehlercode 0x80040154 (REGDB_E_CLASSNOTREG)"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.pszLead, FailureLeadText(c.status));
}

TEST(ReportTest, LeadTextFallsBackToTheSystemTextThenToTheCodeAlone)
{
    // A Win32 error the system can describe, without the trailing line break.
    CString strLead = FailureLeadText(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    ASSERT_GT(strLead.GetLength(), 20);
    EXPECT_STREQ("Fehlercode 0x80070002 (", strLead.Left(23));
    EXPECT_EQ(')', strLead.GetAt(strLead.GetLength() - 1));
    EXPECT_EQ(nullptr, strchr(strLead, '\n'));
    EXPECT_LE(strLead.GetLength(), 255);

    EXPECT_STREQ("Fehlercode 0xA123BCDE", FailureLeadText(static_cast<HRESULT>(0xA123BCDE)));
}

namespace {
// Closes every message box of this process that shows while it lives, and
// counts them: a box that should not be there fails the test instead of
// waiting for a click. A box is counted once, however many looks it takes
// to go.
class CMessageBoxWatchdog {
public:
    CMessageBoxWatchdog() : m_hStop(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
        m_hThread = ::CreateThread(nullptr, 0, &Watch, this, 0, nullptr);
    }
    ~CMessageBoxWatchdog()
    {
        ::SetEvent(m_hStop);
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        ::CloseHandle(m_hStop);
    }
    CMessageBoxWatchdog(const CMessageBoxWatchdog&) = delete;
    CMessageBoxWatchdog& operator=(const CMessageBoxWatchdog&) = delete;

    LONG Closed() const { return m_nClosed; }

private:
    static BOOL CALLBACK CloseBox(HWND hWnd, LPARAM lParam)
    {
        CMessageBoxWatchdog* pThis = reinterpret_cast<CMessageBoxWatchdog*>(lParam);
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(hWnd, &dwProcessId);
        char szClass[16] = "";
        ::GetClassNameA(hWnd, szClass, sizeof szClass);
        if (dwProcessId == ::GetCurrentProcessId() && strcmp(szClass, "#32770") == 0 &&
            ::GetDlgItem(hWnd, 0xFFFF) && pThis->m_answered.insert(hWnd).second) {
            // Counted before it is answered: the test reads the count as
            // soon as the box is gone.
            ::InterlockedIncrement(&pThis->m_nClosed);
            ::PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    static DWORD WINAPI Watch(LPVOID pParam)
    {
        CMessageBoxWatchdog* pThis = static_cast<CMessageBoxWatchdog*>(pParam);
        while (::WaitForSingleObject(pThis->m_hStop, 50) == WAIT_TIMEOUT)
            ::EnumWindows(&CloseBox, reinterpret_cast<LPARAM>(pThis));
        return 0;
    }

    HANDLE m_hStop;
    HANDLE m_hThread;
    std::set<HWND> m_answered;
    volatile LONG m_nClosed = 0;
};
} // namespace

TEST(ReportTest, NoFailureShowsNothingAndReturnsTrue)
{
    CMessageBoxWatchdog watchdog;
    EXPECT_TRUE(ReportFailure(S_OK, "message"));
    EXPECT_TRUE(ReportFailure(S_FALSE, nullptr));
    EXPECT_TRUE(ReportFailure(0x7FFFFFFF, "message"));
    // And one that must show, so that the watchdog is seen to see it.
    EXPECT_FALSE(ReportFailure(E_FAIL, "message"));
    EXPECT_EQ(1, watchdog.Closed());
}
