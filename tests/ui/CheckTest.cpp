#include "UiTest.h"

#include "app/ProbeDlg.h"
#include "fakes/FakeCapture.h"
#include "probe/Report.h"
#include "resource.h"

#include <dsound.h>
#include <mmsystem.h>
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

DWORD_PTR SelectedIdentifier(HWND hDlg)
{
    int nSel = static_cast<int>(::SendMessageA(Devices(hDlg), LB_GETCURSEL, 0, 0));
    return ::SendMessageA(Devices(hDlg), LB_GETITEMDATA, nSel, 0);
}

// The formats in the order a check lists them, with the platform's flag and
// the name the user reads.
const struct {
    DWORD dwFlag;
    const char* pszName;
} kCheckedFormats[] = {
    {WAVE_FORMAT_96S16, "16bit stereo 96.000kHz"}, {WAVE_FORMAT_48S16, "16bit stereo 48.000kHz"},
    {WAVE_FORMAT_4S16, "16bit stereo 44.100kHz"},  {WAVE_FORMAT_2S16, "16bit stereo 22.050kHz"},
    {WAVE_FORMAT_1S16, "16bit stereo 11.025kHz"},  {WAVE_FORMAT_96M16, "16bit mono   96.000kHz"},
    {WAVE_FORMAT_48M16, "16bit mono   48.000kHz"}, {WAVE_FORMAT_4M16, "16bit mono   44.100kHz"},
    {WAVE_FORMAT_2M16, "16bit mono   22.050kHz"},  {WAVE_FORMAT_1M16, "16bit mono   11.025kHz"},
    {WAVE_FORMAT_96S08, "8bit  stereo 96.000kHz"}, {WAVE_FORMAT_48S08, "8bit  stereo 48.000kHz"},
    {WAVE_FORMAT_4S08, "8bit  stereo 44.100kHz"},  {WAVE_FORMAT_2S08, "8bit  stereo 22.050kHz"},
    {WAVE_FORMAT_1S08, "8bit  stereo 11.025kHz"},  {WAVE_FORMAT_96M08, "8bit  mono   96.000kHz"},
    {WAVE_FORMAT_48M08, "8bit  mono   48.000kHz"}, {WAVE_FORMAT_4M08, "8bit  mono   44.100kHz"},
    {WAVE_FORMAT_2M08, "8bit  mono   22.050kHz"},  {WAVE_FORMAT_1M08, "8bit  mono   11.025kHz"},
};

// The 21 lines a check with these formats must write, and which are selected.
void ExpectCheckResult(HWND hDlg, DWORD dwFormats)
{
    std::vector<std::string> lines = ListLines(Results(hDlg));
    ASSERT_EQ(21u, lines.size());
    EXPECT_EQ(IdentifierLine(SelectedIdentifier(hDlg)), lines[0]);
    std::vector<int> okay;
    for (int i = 0; i < 20; ++i) {
        const bool bOkay = (dwFormats & kCheckedFormats[i].dwFlag) != 0;
        EXPECT_EQ(std::string(kCheckedFormats[i].pszName) + (bOkay ? " \tOKAY" : " \tFAIL"), lines[i + 1]);
        if (bOkay)
            okay.push_back(i + 1);
    }
    EXPECT_EQ(okay, SelectedLines(Results(hDlg)));
}

// Presses "check" and expects a failure report with this text.
void ExpectReport(HWND hDlg, const std::string& text)
{
    std::string seen;
    WhileTriggering([hDlg] { PressCheck(hDlg); }, "SondaroUiTest",
                    [&seen](HWND hBox) {
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
INSTANTIATE_TEST_SUITE_P(Masks, CheckFormatsTest,
                         testing::Values(0xFFFFFu, 0u, 0xFFF00000u, 0x80001u, 0x5A5A5u));

namespace {
// The results list of a test that refuses one line, as a list without
// memory for it does.
WNDPROC s_pfnResultsProc = nullptr;
LRESULT CALLBACK RefuseOneLine(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == LB_ADDSTRING &&
        strcmp(reinterpret_cast<LPCSTR>(lParam), "16bit stereo 48.000kHz \tOKAY") == 0)
        return LB_ERR;
    return ::CallWindowProcA(s_pfnResultsProc, hWnd, nMsg, wParam, lParam);
}
} // namespace

// A line that the list cannot add is missing; the others are selected as
// ever, not every line (LB_SETSEL with -1 selects them all).
TEST(CheckTest, ALineTheListRefusesIsMissingAndSelectsNothingElse)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureScript script;
        script.dwFormats = 0xFFFFF;
        FakeCaptureRegistration fake(script);
        s_pfnResultsProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(Results(hDlg), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RefuseOneLine)));
        PressCheck(hDlg);
        ::SetWindowLongPtrA(Results(hDlg), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_pfnResultsProc));
        const std::vector<std::string> lines = ListLines(Results(hDlg));
        ASSERT_EQ(20u, lines.size());
        EXPECT_EQ("16bit stereo 44.100kHz \tOKAY", lines[2]);
        std::vector<int> expected;
        for (int i = 1; i < 20; ++i)
            expected.push_back(i);
        EXPECT_EQ(expected, SelectedLines(Results(hDlg)));
    });
}

// The lines as the user reads them, written out.
TEST(CheckTest, LinesOfOneMaskReadAsWritten)
{
    const char* const kLines[] = {
        "16bit stereo 96.000kHz \tOKAY", "16bit stereo 48.000kHz \tFAIL", "16bit stereo 44.100kHz \tOKAY",
        "16bit stereo 22.050kHz \tFAIL", "16bit stereo 11.025kHz \tFAIL", "16bit mono   96.000kHz \tFAIL",
        "16bit mono   48.000kHz \tFAIL", "16bit mono   44.100kHz \tFAIL", "16bit mono   22.050kHz \tFAIL",
        "16bit mono   11.025kHz \tOKAY", "8bit  stereo 96.000kHz \tFAIL", "8bit  stereo 48.000kHz \tFAIL",
        "8bit  stereo 44.100kHz \tFAIL", "8bit  stereo 22.050kHz \tFAIL", "8bit  stereo 11.025kHz \tFAIL",
        "8bit  mono   96.000kHz \tFAIL", "8bit  mono   48.000kHz \tFAIL", "8bit  mono   44.100kHz \tFAIL",
        "8bit  mono   22.050kHz \tFAIL", "8bit  mono   11.025kHz \tOKAY",
    };
    CProbeDlg dlg;
    RunDialog(dlg, [&kLines](HWND hDlg) {
        FakeCaptureScript script;
        script.dwFormats = 0x80805; // 96S16, 4S16, 1M16, 1M08
        FakeCaptureRegistration fake(script);
        // A second press leaves the same lines, not twice as many.
        PressCheck(hDlg);
        PressCheck(hDlg);
        EXPECT_EQ(0, fake.Log().nLiving);
        std::vector<std::string> lines = ListLines(Results(hDlg));
        ASSERT_EQ(21u, lines.size());
        EXPECT_EQ(std::vector<std::string>(std::begin(kLines), std::end(kLines)),
                  std::vector<std::string>(lines.begin() + 1, lines.end()));
        EXPECT_EQ((std::vector<int>{1, 3, 10, 20}), SelectedLines(Results(hDlg)));
    });
}

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
        EXPECT_EQ("Create;Initialize;GetCaps;Release;", fake.Log().calls);
        EXPECT_EQ(nullptr, fake.Log().pInitializedWith);
        EXPECT_EQ("Device ID=0x0", ListLines(Results(hDlg)).at(0));
    });
}

TEST(CheckTest, IdentifierIsPrintedInUpperCaseHexWithoutPadding)
{
    // A GUID at an address whose hex form has letters and a leading zero.
    void* pPlace =
        ::VirtualAlloc(reinterpret_cast<void*>(0x0ABC0000), 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
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

struct FailingStep {
    const char* pszName;
    FakeCaptureScript script;
    const char* pszReport;
    const char* pszCalls;
};

class CheckFailureTest : public testing::TestWithParam<FailingStep> {};

TEST_P(CheckFailureTest, ReportsTheStepReleasesWhatWasMadeAndLeavesTheResultsEmpty)
{
    CProbeDlg dlg;
    RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureRegistration fake(GetParam().script);
        ExpectReport(hDlg, GetParam().pszReport);
        EXPECT_EQ(GetParam().pszCalls, fake.Log().calls);
        EXPECT_EQ(0, fake.Log().nLiving);
        // The device list is as it was.
        EXPECT_NE(LB_ERR, ::SendMessageA(Devices(hDlg), LB_GETCURSEL, 0, 0));
    });
}

static FakeCaptureScript Failing(HRESULT hrCreate, HRESULT hrInitialize, HRESULT hrGetCaps)
{
    FakeCaptureScript script;
    script.hrCreate = hrCreate;
    script.hrInitialize = hrInitialize;
    script.hrGetCaps = hrGetCaps;
    script.dwFormats = 0xFFFFF;
    return script;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CheckFailureTest,
    testing::Values(
        FailingStep{"Create", Failing(REGDB_E_CLASSNOTREG, S_OK, S_OK),
                    "Fehlercode 0x80040154 (REGDB_E_CLASSNOTREG) \n Fehler: DirectSoundCapture Erzeugung",
                    "Create;"},
        FailingStep{"Initialize", Failing(S_OK, DSERR_NODRIVER, S_OK),
                    "Fehlercode 0x88780078 (DSERR_NODRIVER) \n Fehler: DirectSound Initialisierung",
                    "Create;Initialize;Release;"},
        FailingStep{"GetCaps", Failing(S_OK, S_OK, DSERR_INVALIDPARAM),
                    "Fehlercode 0x80070057 (DSERR_INVALIDPARAM) \n "
                    "Fehler: GetCaps, eventuell wird Aufnahmeformat nicht unterst\xFCtzt",
                    "Create;Initialize;GetCaps;Release;"}),
    [](const testing::TestParamInfo<FailingStep>& info) { return std::string(info.param.pszName); });

// Another program (or the taskbar) may close the dialog while a report is up:
// the message box's loop lets the WM_CLOSE through. COM goes only once the
// check has let go of its capture object, and the dialog still ends.
TEST(CheckTest, CloseDuringAReportWaitsForTheCheckToReleaseItsObject)
{
    CProbeDlg dlg;
    INT_PTR nResult = RunDialog(dlg, [](HWND hDlg) {
        FakeCaptureScript script;
        script.hrInitialize = DSERR_ALLOCATED;
        FakeCaptureRegistration fake(script);
        WhileTriggering([hDlg] { PressCheck(hDlg); }, "SondaroUiTest",
                        [hDlg](HWND hBox) {
                            ::SendMessageA(hDlg, WM_CLOSE, 0, 0);
                            ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
                        });
        EXPECT_EQ("Create;Initialize;Release;", fake.Log().calls);
    });
    EXPECT_EQ(IDCANCEL, nResult);
}

TEST(CheckTest, ReportWithoutMessageShowsTheLeadTextAlone)
{
    std::string seen;
    WhileTriggering([] { EXPECT_FALSE(ReportFailure(DSERR_ALLOCATED, nullptr)); }, "SondaroUiTest",
                    [&seen](HWND hBox) {
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
        ExpectReport(hDlg,
                     "Fehlercode 0x88780078 (DSERR_NODRIVER) \n Fehler: kein Aufnahmeger\xE4t vorhanden");
    });
}
