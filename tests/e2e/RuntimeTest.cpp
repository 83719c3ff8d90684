// The runtime of Sondaro.exe's own, in RuntimeProbe.exe (the program these
// tests are given).
#include "SondaroProcess.h"

#include <gtest/gtest.h>

TEST(RuntimeTest, ConstructsInOrderAndDestroysInReverseAfterWinMain)
{
    SondaroProcess probe(g_strSondaroPath, "order");
    // WinMain's 7, plus one from the last destructor when everything held.
    EXPECT_EQ(8u, probe.WaitForExit());
}

// WinMain gets what follows the program's name, quoted or not, whatever
// letters of the code page its folder has (\334, 0xDC, is U umlaut in 1252).
TEST(RuntimeTest, TheCommandTailIsWhatFollowsTheName)
{
    for (const char* pszFolder : {"C:\\Ubung", "C:\\\334bung"}) {
        const std::string strCopy = std::string(pszFolder) + "\\RuntimeProbe.exe";
        ::CreateDirectoryA(pszFolder, nullptr);
        ASSERT_TRUE(::CopyFileA(g_strSondaroPath.c_str(), strCopy.c_str(), FALSE)) << strCopy;
        for (const bool bQuoted : {false, true}) {
            SondaroProcess probe(strCopy, "order", bQuoted);
            EXPECT_EQ(8u, probe.WaitForExit()) << (bQuoted ? "quoted " : "unquoted ") << strCopy;
        }
    }
}

TEST(RuntimeTest, MemoryTheHeapRefusesIsReportedAndEndsTheProgram)
{
    SondaroProcess probe(g_strSondaroPath, "memory");
    HWND hBox = probe.WaitForMessageBox();
    ASSERT_TRUE(hBox);
    EXPECT_EQ("Sondaro", WindowText(hBox));
    EXPECT_EQ("Nicht gen\xFCgend Arbeitsspeicher.", WindowText(::GetDlgItem(hBox, 0xFFFF)));
    ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(3u, probe.WaitForExit());
}

// The box's message loop paints a window whose paint allocates, and fails
// again: the program ends with the same code at once, before anyone answers
// the box, and never opens a second one (RuntimeProbe ends with 98 then).
TEST(RuntimeTest, MemoryRefusedAgainWhileTheBoxIsOpenEndsTheProgramAtOnce)
{
    SondaroProcess probe(g_strSondaroPath, "repaint");
    EXPECT_EQ(3u, probe.WaitForExit());
}
