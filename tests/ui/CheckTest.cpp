#include "UiTest.h"

#include "app/ProbeDlg.h"
#include "fakes/FakeCapture.h"
#include "probe/FormatTable.h"
#include "probe/Report.h"
#include "resource.h"

#include <dsound.h>
#include <gtest/gtest.h>

namespace {

HWND Results(HWND hDlg)
{
    return ::GetDlgItem(hDlg, IDC_RESULTS);
}

HWND Devices(HWND hDlg)
{
    return ::GetDlgItem(hDlg, IDC_DEVICE_LIST);
}

void PressCheck(HWND hDlg)
{
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CHECK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDC_CHECK)));
}

void SelectDevice(HWND hDlg, int nIndex)
{
    ::SendMessageA(Devices(hDlg), LB_SETCURSEL, nIndex, 0);
    ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Devices(hDlg)));
}

DWORD_PTR SelectedIdentifier(HWND hDlg)
{
    int nSel = static_cast<int>(::SendMessageA(Devices(hDlg), LB_GETCURSEL, 0, 0));
    return ::SendMessageA(Devices(hDlg), LB_GETITEMDATA, nSel, 0);
}

// The 21 lines a check with these formats must write, and which are selected.
void ExpectCheckResult(HWND hDlg, DWORD dwFormats)
{
    std::vector<std::string> lines = ListLines(Results(hDlg));
    ASSERT_EQ(21u, lines.size());
    EXPECT_EQ(static_cast<LPCSTR>(CProbeDlg::FormatDeviceLine(SelectedIdentifier(hDlg))), lines[0]);
    std::vector<int> okay;
    for (int i = 0; i < 20; ++i) {
        DWORD dwFlag = CaptureCheckOrder()[i];
        bool bOkay = (dwFormats & dwFlag) == dwFlag;
        std::string expected = static_cast<LPCSTR>(CProbeDlg::GetCaptureFormatName(dwFlag));
        expected += bOkay ? " \tOKAY" : " \tFAIL";
        EXPECT_EQ(expected, lines[i + 1]);
        if (bOkay)
            okay.push_back(i + 1);
    }
    EXPECT_EQ(okay, SelectedLines(Results(hDlg)));
}

// Presses "check" and expects a failure report with this text.
void ExpectReport(HWND hDlg, const std::string& text)
{
    std::string seen;
    WhileTriggering([hDlg] { PressCheck(hDlg); }, "SondaroUiTest", [&seen](HWND hBox) {
        seen = WindowText(::GetDlgItem(hBox, 0xFFFF));
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(text, seen);
    EXPECT_TRUE(ListLines(Results(hDlg)).empty());
}

} // namespace

TEST(CheckTest, RealDeviceReportsAllTwentyFormats)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        int nCount = static_cast<int>(::SendMessageA(Devices(hDlg), LB_GETCOUNT, 0, 0));
        ASSERT_GT(nCount, 0);
        for (int i = 0; i < nCount; ++i) {
            SelectDevice(hDlg, i);
            PressCheck(hDlg);
            // The system's capture driver here supports every standard format.
            ExpectCheckResult(hDlg, 0xFFFFF);
        }
    });
}

class CheckFormatsTest : public testing::TestWithParam<DWORD> {};

TEST_P(CheckFormatsTest, WritesIdentifierAndTwentyLinesSelectingTheSupportedOnes)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureScript script;
        script.dwFormats = GetParam();
        FakeCaptureRegistration fake(script);
        ASSERT_TRUE(fake.IsRegistered());
        PressCheck(hDlg);
        ExpectCheckResult(hDlg, GetParam());
        EXPECT_EQ("Create;Initialize;GetCaps;Release;", fake.Log().calls);
        EXPECT_EQ(reinterpret_cast<const GUID*>(SelectedIdentifier(hDlg)), fake.Log().pInitializedWith);
        EXPECT_EQ(16u, fake.Log().dwCapsSize);
        EXPECT_EQ(0, fake.Log().nLiving);
    });
}

// All twenty, none, only bits that name no format, first and last line.
INSTANTIATE_TEST_SUITE_P(Masks, CheckFormatsTest, testing::Values(0xFFFFFu, 0u, 0xFFF00000u, 0x80001u, 0x5A5A5u));

TEST(CheckTest, PrimaryDeviceIsInitialisedWithNullAndShownAsZero)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        int nCount = static_cast<int>(::SendMessageA(Devices(hDlg), LB_GETCOUNT, 0, 0));
        int nPrimary = -1;
        for (int i = 0; i < nCount; ++i)
            if (::SendMessageA(Devices(hDlg), LB_GETITEMDATA, i, 0) == 0)
                nPrimary = i;
        ASSERT_NE(-1, nPrimary);
        SelectDevice(hDlg, nPrimary);
        FakeCaptureRegistration fake(FakeCaptureScript{});
        PressCheck(hDlg);
        EXPECT_EQ(1, fake.Log().nInitializeCalls);
        EXPECT_EQ(nullptr, fake.Log().pInitializedWith);
        EXPECT_EQ("Device ID=0x0", ListLines(Results(hDlg)).at(0));
    });
}

TEST(CheckTest, IdentifierIsPrintedInUpperCaseHexWithoutPadding)
{
    // A GUID at an address whose hex form has letters and a leading zero.
    void* pPlace = ::VirtualAlloc(reinterpret_cast<void*>(0x0ABC0000), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_EQ(reinterpret_cast<void*>(0x0ABC0000), pPlace);
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        int nSel = static_cast<int>(::SendMessageA(Devices(hDlg), LB_GETCURSEL, 0, 0));
        ::SendMessageA(Devices(hDlg), LB_SETITEMDATA, nSel, 0x0ABC0000);
        FakeCaptureRegistration fake(FakeCaptureScript{});
        PressCheck(hDlg);
        EXPECT_EQ("Device ID=0xABC0000", ListLines(Results(hDlg)).at(0));
        EXPECT_EQ(reinterpret_cast<const GUID*>(0x0ABC0000), fake.Log().pInitializedWith);
    });
    ::VirtualFree(pPlace, 0, MEM_RELEASE);
}

TEST(CheckTest, TwoChecksInARowLeaveOneResult)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureScript script;
        script.dwFormats = 0x80001;
        FakeCaptureRegistration fake(script);
        PressCheck(hDlg);
        PressCheck(hDlg);
        ExpectCheckResult(hDlg, 0x80001);
        EXPECT_EQ(2, fake.Log().nCreated);
        EXPECT_EQ(0, fake.Log().nLiving);
    });
}

TEST(CheckTest, FailedCreationReportsAndCallsNothingElse)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureScript script;
        script.hrCreate = REGDB_E_CLASSNOTREG;
        FakeCaptureRegistration fake(script);
        ExpectReport(hDlg, "Fehlercode 0x80040154 (REGDB_E_CLASSNOTREG) \n Fehler: DirectSoundCapture Erzeugung");
        EXPECT_EQ("Create;", fake.Log().calls);
        EXPECT_EQ(0, fake.Log().nCreated);
    });
}

TEST(CheckTest, FailedInitialisationReportsAndReleases)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureScript script;
        script.hrInitialize = DSERR_NODRIVER;
        script.dwFormats = 0xFFFFF;
        FakeCaptureRegistration fake(script);
        ExpectReport(hDlg, "Fehlercode 0x88780078 (DSERR_NODRIVER) \n Fehler: DirectSound Initialisierung");
        EXPECT_EQ("Create;Initialize;Release;", fake.Log().calls);
        EXPECT_EQ(0, fake.Log().nLiving);
    });
}

TEST(CheckTest, FailedCapsQueryReportsAndReleases)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureScript script;
        script.hrGetCaps = DSERR_INVALIDPARAM;
        FakeCaptureRegistration fake(script);
        ExpectReport(hDlg, "Fehlercode 0x80070057 (DSERR_INVALIDPARAM) \n "
                           "Fehler: GetCaps, eventuell wird Aufnahmeformat nicht unterst\xFCtzt");
        EXPECT_EQ("Create;Initialize;GetCaps;Release;", fake.Log().calls);
        EXPECT_EQ(0, fake.Log().nLiving);
        // The device list is as it was, and the next check works again.
        EXPECT_NE(LB_ERR, ::SendMessageA(Devices(hDlg), LB_GETCURSEL, 0, 0));
    });
}

TEST(CheckTest, ReportWithoutMessageShowsTheLeadTextAlone)
{
    std::string seen;
    WhileTriggering([] { EXPECT_FALSE(ReportFailure(DSERR_ALLOCATED, nullptr)); }, "SondaroUiTest", [&seen](HWND hBox) {
        seen = WindowText(::GetDlgItem(hBox, 0xFFFF));
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ("Fehlercode 0x8878000A (DSERR_ALLOCATED)", seen);
}

// Run with an audio driver that offers no capture device at all.
TEST(NoDeviceTest, EmptyListShowsNoIdentifierAndCheckReportsTheMissingDevice)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        EXPECT_EQ(0, ::SendMessageA(Devices(hDlg), LB_GETCOUNT, 0, 0));
        EXPECT_TRUE(ListLines(Results(hDlg)).empty());
        ExpectReport(hDlg, "Fehlercode 0x88780078 (DSERR_NODRIVER) \n Fehler: kein Aufnahmeger\xE4t vorhanden");
    });
}
