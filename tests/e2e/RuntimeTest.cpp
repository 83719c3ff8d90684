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
