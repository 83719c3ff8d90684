#include "probe/Report.h"

#include <dsound.h>
#include <gtest/gtest.h>

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

TEST(ReportTest, NoFailureShowsNothingAndReturnsTrue)
{
    // A message box here would wait for a click that never comes.
    EXPECT_TRUE(ReportFailure(S_OK, "message"));
    EXPECT_TRUE(ReportFailure(S_FALSE, nullptr));
    EXPECT_TRUE(ReportFailure(0x7FFFFFFF, "message"));
}
