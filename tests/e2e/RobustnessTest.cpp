#include "SondaroProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

// The descriptions the test's audio server offers (see tests/CMakeLists.txt),
// as the program shows them in code page 1252.
std::vector<std::string> OfferedDescriptions()
{
    return {
        std::string(200, 'L'),
        "Mic & Line",
        "Mic %s %n %x",
        "Mikrofon f\xFCr \xDC"
        "bertragung",
        "Twin Input",
        "Twin Input",
        "Input Seven",
        "Input Eight",
        "Input Nine",
    };
}

std::set<std::string> FilesBelow(const std::string& strDir, bool bRecursive)
{
    std::set<std::string> files;
    WIN32_FIND_DATAA data;
    HANDLE hFind = ::FindFirstFileA((strDir + "\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return files;
    do {
        std::string strName = data.cFileName;
        if (strName == "." || strName == "..")
            continue;
        std::string strPath = strDir + "\\" + strName;
        files.insert(strPath);
        if (bRecursive && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            std::set<std::string> below = FilesBelow(strPath, true);
            files.insert(below.begin(), below.end());
        }
    } while (::FindNextFileA(hFind, &data));
    ::FindClose(hFind);
    return files;
}

} // namespace

TEST(RobustnessTest, OddLongAndRepeatedDescriptionsAreListedWholeAndChecked)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    std::vector<std::string> devices = sondaro.Devices();
    for (const std::string& strOffered : OfferedDescriptions())
        EXPECT_NE(devices.end(), std::find(devices.begin(), devices.end(), strOffered)) << strOffered;
    EXPECT_EQ(2, std::count(devices.begin(), devices.end(), "Twin Input"));
    EXPECT_TRUE(
        std::is_sorted(devices.begin(), devices.end(), [](const std::string& a, const std::string& b) {
            return ::lstrcmpiA(a.c_str(), b.c_str()) < 0;
        }));

    std::set<DWORD_PTR> identifiers;
    for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
        identifiers.insert(sondaro.DeviceIdentifier(i));
        sondaro.SelectDevice(i);
        sondaro.PressCheck();
        std::vector<std::string> lines = sondaro.Results();
        ASSERT_EQ(21u, lines.size()) << devices[i];
        EXPECT_EQ(20u, sondaro.SelectedResults().size()) << devices[i];
    }
    EXPECT_EQ(devices.size(), identifiers.size()) << "every device has its own identifier";
    EXPECT_TRUE(sondaro.Responds());
}

TEST(RobustnessTest, MinimisedAndRestoredItKeepsWorking)
{
    SondaroProcess sondaro;
    ASSERT_TRUE(sondaro.MainWindow());
    for (int i = 0; i < 3; ++i) {
        ::SendMessageA(sondaro.MainWindow(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(::IsIconic(sondaro.MainWindow()));
        ::RedrawWindow(sondaro.MainWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_TRUE(sondaro.Responds());
        ::SendMessageA(sondaro.MainWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(::IsIconic(sondaro.MainWindow()));
    }
    sondaro.PressCheck();
    EXPECT_EQ(21u, sondaro.Results().size());
}

TEST(RobustnessTest, ARunWritesNoRegistryKeyAndNoFile)
{
    char szProfile[MAX_PATH] = "";
    ::GetEnvironmentVariableA("USERPROFILE", szProfile, sizeof szProfile);
    // The folder the program starts in, one of its own: other tests write in
    // the build's while this one runs.
    char szTemp[MAX_PATH] = "";
    ::GetTempPathA(sizeof szTemp, szTemp);
    const std::string strExeDir = std::string(szTemp) + "robustness";
    ::CreateDirectoryA(strExeDir.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA(g_strSondaroPath.c_str(), (strExeDir + "\\Sondaro.exe").c_str(), FALSE));
    std::set<std::string> profileBefore = FilesBelow(szProfile, true);
    std::set<std::string> exeDirBefore = FilesBelow(strExeDir, false);
    {
        SondaroProcess sondaro(strExeDir + "\\Sondaro.exe");
        ASSERT_TRUE(sondaro.MainWindow());
        sondaro.PressCheck();
        ::PostMessageA(sondaro.MainWindow(), WM_SYSCOMMAND, 16, 0);
        HWND hAbout = sondaro.WaitForDialog("Info \xFC"
                                            "ber Sondaro");
        ASSERT_TRUE(hAbout);
        ::PostMessageA(hAbout, WM_COMMAND, IDCANCEL, 0);
        ::PostMessageA(sondaro.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(0u, sondaro.WaitForExit());
    }
    HKEY hKey = nullptr;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Probilo", 0, KEY_READ, &hKey));
    EXPECT_EQ(profileBefore, FilesBelow(szProfile, true));
    EXPECT_EQ(exeDirBefore, FilesBelow(strExeDir, false));
}
