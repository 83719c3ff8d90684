#include "SondaroProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

int IndexOf(const std::vector<std::string>& lines, const std::string& text)
{
    auto it = std::find(lines.begin(), lines.end(), text);
    return it == lines.end() ? -1 : static_cast<int>(it - lines.begin());
}

// Starts pactl against the test's own audio server. Wine gives no usable
// handle for a Unix program, so callers give it a moment and check the effect.
bool StartPactl(const std::string& strArgs)
{
    char szServer[MAX_PATH] = "";
    ::GetEnvironmentVariableA("SONDARO_PULSE_SERVER", szServer, sizeof szServer);
    std::string strCommand = "/usr/bin/pactl --server=unix:" + std::string(szServer) + " " + strArgs;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

void ExpectAllFormatsOkay(const SondaroProcess& sondaro, DWORD_PTR dwIdentifier)
{
    std::vector<std::string> lines = sondaro.Results();
    ASSERT_EQ(21u, lines.size());
    EXPECT_EQ(IdentifierLine(dwIdentifier), lines[0]);
    EXPECT_EQ("16bit stereo 96.000kHz \tOKAY", lines[1]);
    EXPECT_EQ("8bit  mono   11.025kHz \tOKAY", lines[20]);
    std::vector<int> expected;
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(" \tOKAY", lines[i].substr(22)) << lines[i];
        expected.push_back(i);
    }
    EXPECT_EQ(expected, sondaro.SelectedResults());
}

} // namespace

// The test's audio server offers "Zulu Input" and "Alpha Input".
TEST(SondaroTest, StartsWithSortedDevicesAndTheSelectedDevicesIdentifier)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    EXPECT_EQ("Sondaro", WindowText(sondaro.MainWindow()));
    std::vector<std::string> devices = sondaro.Devices();
    int nAlpha = IndexOf(devices, "Alpha Input");
    int nZulu = IndexOf(devices, "Zulu Input");
    ASSERT_NE(-1, nAlpha);
    ASSERT_NE(-1, nZulu);
    EXPECT_LT(nAlpha, nZulu);
    EXPECT_TRUE(
        std::is_sorted(devices.begin(), devices.end(), [](const std::string& a, const std::string& b) {
            return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
        }));

    int nSel = sondaro.SelectedDevice();
    ASSERT_NE(LB_ERR, nSel);
    EXPECT_EQ(std::vector<std::string>{IdentifierLine(sondaro.DeviceIdentifier(nSel))}, sondaro.Results());

    for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
        sondaro.SelectDevice(i);
        EXPECT_EQ(std::vector<std::string>{IdentifierLine(sondaro.DeviceIdentifier(i))}, sondaro.Results());
    }
}

TEST(SondaroTest, CheckListsTwentyFormatsOfTheSelectedDevice)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    int nAlpha = IndexOf(sondaro.Devices(), "Alpha Input");
    ASSERT_NE(-1, nAlpha);
    sondaro.SelectDevice(nAlpha);
    sondaro.PressCheck();
    ExpectAllFormatsOkay(sondaro, sondaro.DeviceIdentifier(nAlpha));
    sondaro.PressCheck();
    EXPECT_EQ(21u, sondaro.Results().size());
}

// The list is filled once, at the start: a source removed later stays
// listed, and checking it ends in a result or a report, never a hang.
TEST(SondaroTest, ListIsFilledOnceAndARemovedSourceStaysListed)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    const std::vector<std::string> listed = sondaro.Devices();
    int nZulu = IndexOf(listed, "Zulu Input");
    ASSERT_NE(-1, nZulu);
    ASSERT_TRUE(StartPactl("unload-module module-null-source"));
    // Gone once a program started afterwards no longer lists it.
    ASSERT_TRUE(WaitUntil(
        [] {
            SondaroProcess later;
            return later.MainWindow() && IndexOf(later.Devices(), "Zulu Input") == -1;
        },
        "removal of the source"));
    EXPECT_EQ(listed, sondaro.Devices());
    sondaro.SelectDevice(nZulu);
    sondaro.PostCheck();
    HWND hBox = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (hBox = sondaro.MessageBox()) || sondaro.Results().size() == 21; },
                          "report or result of the check"));
    if (hBox) {
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(sondaro.Responds());
        EXPECT_TRUE(sondaro.Results().empty());
    } else {
        EXPECT_TRUE(sondaro.Responds());
        EXPECT_EQ(21u, sondaro.Results().size());
    }
    EXPECT_EQ(listed, sondaro.Devices());
}

class SondaroEndTest : public testing::TestWithParam<int> {};

TEST_P(SondaroEndTest, EndsTheProcess)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    switch (GetParam()) {
    case 0: // the close box
        ::PostMessageA(sondaro.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case 1:
        ::PostMessageA(sondaro.Item(1004), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case 2: // Enter on the results list, where the focus starts
        ::PostMessageA(sondaro.Item(1005), WM_KEYDOWN, VK_RETURN, 0);
        break;
    }
    EXPECT_EQ(0u, sondaro.WaitForExit());
    EXPECT_FALSE(::IsWindow(sondaro.MainWindow()));
}

INSTANTIATE_TEST_SUITE_P(ByCloseEscAndEnter, SondaroEndTest, testing::Values(0, 1, 2));

// Runs with an audio driver that offers no capture device, or without any
// audio server.
TEST(NoDeviceTest, EmptyListAndCheckReportsTheMissingDevice)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    EXPECT_TRUE(sondaro.Devices().empty());
    EXPECT_TRUE(sondaro.Results().empty());
    sondaro.PostCheck();
    HWND hBox = sondaro.WaitForMessageBox();
    ASSERT_TRUE(hBox);
    EXPECT_EQ("Sondaro", WindowText(hBox));
    EXPECT_EQ("Fehlercode 0x88780078 (DSERR_NODRIVER) \n Fehler: kein Aufnahmeger\xE4t vorhanden",
              WindowText(::GetDlgItem(hBox, 0xFFFF)));
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(sondaro.Responds());
    EXPECT_TRUE(sondaro.Results().empty());
    EXPECT_TRUE(sondaro.IsRunning());
}

// Runs with dsound.dll missing, as on Windows 95 or NT 4.0 without DirectX
// 5: the program starts all the same, and the check reports that it cannot
// create the capture object.
TEST(NoDirectSoundTest, StartsWithAnEmptyListAndCheckReportsTheFailedCreation)
{
    ASSERT_EQ(nullptr, ::LoadLibraryA("dsound.dll")) << "dsound.dll is there";
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    EXPECT_TRUE(sondaro.Devices().empty());
    sondaro.PostCheck();
    HWND hBox = sondaro.WaitForMessageBox();
    ASSERT_TRUE(hBox);
    const std::string strReport = WindowText(::GetDlgItem(hBox, 0xFFFF));
    EXPECT_EQ("Fehlercode 0x8", strReport.substr(0, 14)) << strReport;
    EXPECT_EQ(" \n Fehler: DirectSoundCapture Erzeugung", strReport.substr(strReport.find(" \n ")))
        << strReport;
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(sondaro.Responds());
    EXPECT_TRUE(sondaro.Results().empty());
}

// The message boxes are captioned with the executable's name.
TEST(NoDeviceTest, RenamedProgramCaptionsItsReportWithTheNewName)
{
    char szTemp[MAX_PATH] = "";
    ::GetTempPathA(sizeof szTemp, szTemp);
    std::string strCopy = std::string(szTemp) + "Renamed Probe.exe";
    ASSERT_TRUE(::CopyFileA(g_strSondaroPath.c_str(), strCopy.c_str(), FALSE));
    {
        SondaroProcess sondaro(strCopy);
        ASSERT_TRUE(sondaro.MainWindow());
        EXPECT_EQ("Sondaro", WindowText(sondaro.MainWindow()));
        sondaro.PostCheck();
        HWND hBox = sondaro.WaitForMessageBox();
        ASSERT_TRUE(hBox);
        EXPECT_EQ("Renamed Probe", WindowText(hBox));
        ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    }
    ::DeleteFileA(strCopy.c_str());
}

// The stand-in capture class (StandInCapture.dll) registered in place of the
// system's for the length of a test.
class StandInTest : public testing::Test {
protected:
    static std::string s_strDllPath;
    friend int main(int, char**);

    void SetUp() override
    {
        ASSERT_FALSE(s_strDllPath.empty());
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kServerKey, 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, &m_hKey, nullptr));
        char szOld[MAX_PATH] = "";
        DWORD cbOld = sizeof szOld;
        if (::RegQueryValueExA(m_hKey, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(szOld), &cbOld) ==
            ERROR_SUCCESS)
            m_strOldServer = szOld;
        SetValue(nullptr, s_strDllPath);
        SetValue("ThreadingModel", "Both");
    }
    void TearDown() override
    {
        if (!m_hKey)
            return;
        SetValue(nullptr, m_strOldServer);
        ::RegCloseKey(m_hKey);
        ::SetEnvironmentVariableA("SONDARO_STAND_IN_FAIL", nullptr);
        ::SetEnvironmentVariableA("SONDARO_STAND_IN_STATUS", nullptr);
    }
    void SetValue(const char* pszName, const std::string& strValue)
    {
        ::RegSetValueExA(m_hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(strValue.c_str()),
                         static_cast<DWORD>(strValue.size() + 1));
    }

    static constexpr const char* kServerKey =
        "Software\\Classes\\CLSID\\{B0210780-89CD-11D0-AF08-00A0C925CD16}"
        "\\InprocServer32";
    HKEY m_hKey = nullptr;
    std::string m_strOldServer;
};

std::string StandInTest::s_strDllPath;

TEST_F(StandInTest, FormatsTheCaptureClassReportsAreListedAndOnlyThoseSelected)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    sondaro.PressCheck();
    std::vector<std::string> lines = sondaro.Results();
    ASSERT_EQ(21u, lines.size());
    EXPECT_EQ("16bit stereo 96.000kHz \tOKAY", lines[1]);
    EXPECT_EQ("16bit stereo 48.000kHz \tFAIL", lines[2]);
    EXPECT_EQ("8bit  mono   22.050kHz \tFAIL", lines[19]);
    EXPECT_EQ("8bit  mono   11.025kHz \tOKAY", lines[20]);
    EXPECT_EQ((std::vector<int>{1, 20}), sondaro.SelectedResults());
}

struct FailingStep {
    const char* pszStep;
    const char* pszStatus;
    const char* pszReport;
};

class StandInFailureTest : public StandInTest, public testing::WithParamInterface<FailingStep> {};

TEST_P(StandInFailureTest, ReportsTheFailedStepAndLeavesTheResultsEmpty)
{
    ::SetEnvironmentVariableA("SONDARO_STAND_IN_FAIL", GetParam().pszStep);
    ::SetEnvironmentVariableA("SONDARO_STAND_IN_STATUS", GetParam().pszStatus);
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    sondaro.PostCheck();
    HWND hBox = sondaro.WaitForMessageBox();
    ASSERT_TRUE(hBox);
    EXPECT_EQ("Sondaro", WindowText(hBox));
    EXPECT_EQ(GetParam().pszReport, WindowText(::GetDlgItem(hBox, 0xFFFF)));
    EXPECT_TRUE(sondaro.Results().empty());
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(sondaro.Responds());
    EXPECT_TRUE(sondaro.IsRunning());
    EXPECT_TRUE(sondaro.Results().empty());
}

INSTANTIATE_TEST_SUITE_P(
    StandInSteps, StandInFailureTest,
    testing::Values(
        FailingStep{
            "create", "80040111",
            "Fehlercode 0x80040111 (CLASS_E_CLASSNOTAVAILABLE) \n Fehler: DirectSoundCapture Erzeugung"},
        FailingStep{"initialize", "8878000A",
                    "Fehlercode 0x8878000A (DSERR_ALLOCATED) \n Fehler: DirectSound Initialisierung"},
        FailingStep{"getcaps", "80070057",
                    "Fehlercode 0x80070057 (DSERR_INVALIDPARAM) \n "
                    "Fehler: GetCaps, eventuell wird Aufnahmeformat nicht unterst\xFCtzt"}));

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: %s path/to/Sondaro.exe [path/to/StandInCapture.dll] [gtest options]\n",
                argv[0]);
        return 2;
    }
    g_strSondaroPath = argv[1][0] == '/' ? DosPath(argv[1]) : argv[1];
    if (argc > 2)
        StandInTest::s_strDllPath = argv[2][0] == '/' ? DosPath(argv[2]) : argv[2];
    return RUN_ALL_TESTS();
}
