#include "app/ProbeDlg.h"
#include "probe/FormatTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(FormatTableTest, EveryFlagHasItsOwn22CharacterName)
{
    const struct {
        DWORD dwFlag;
        const char* pszName;
    } expected[] = {
        {0x1, "8bit  mono   11.025kHz"},     {0x2, "8bit  stereo 11.025kHz"},
        {0x4, "16bit mono   11.025kHz"},     {0x8, "16bit stereo 11.025kHz"},
        {0x10, "8bit  mono   22.050kHz"},    {0x20, "8bit  stereo 22.050kHz"},
        {0x40, "16bit mono   22.050kHz"},    {0x80, "16bit stereo 22.050kHz"},
        {0x100, "8bit  mono   44.100kHz"},   {0x200, "8bit  stereo 44.100kHz"},
        {0x400, "16bit mono   44.100kHz"},   {0x800, "16bit stereo 44.100kHz"},
        {0x1000, "8bit  mono   48.000kHz"},  {0x2000, "8bit  stereo 48.000kHz"},
        {0x4000, "16bit mono   48.000kHz"},  {0x8000, "16bit stereo 48.000kHz"},
        {0x10000, "8bit  mono   96.000kHz"}, {0x20000, "8bit  stereo 96.000kHz"},
        {0x40000, "16bit mono   96.000kHz"}, {0x80000, "16bit stereo 96.000kHz"},
    };
    std::set<std::string> names;
    for (const auto& row : expected) {
        CString strName = CProbeDlg::GetCaptureFormatName(row.dwFlag);
        EXPECT_STREQ(row.pszName, strName) << std::hex << row.dwFlag;
        EXPECT_EQ(22, strName.GetLength());
        names.insert(static_cast<LPCSTR>(strName));
    }
    EXPECT_EQ(20u, names.size());
}

TEST(FormatTableTest, ValuesThatAreNoSingleFlagFallBack)
{
    EXPECT_STREQ("invalid format", CProbeDlg::GetCaptureFormatName(0));
    const DWORD unknown[] = {0x3, 0x100000, 0xFFFFFFFF, 0x80001, 0x80000000};
    for (DWORD dwValue : unknown)
        EXPECT_STREQ("unknow default", CProbeDlg::GetCaptureFormatName(dwValue)) << std::hex << dwValue;
}

TEST(FormatTableTest, CheckOrderRunsFrom16BitStereo96kHzTo8BitMono11kHz)
{
    const DWORD expected[20] = {0x80000, 0x8000, 0x800, 0x80, 0x8, 0x40000, 0x4000, 0x400, 0x40, 0x4,
                                0x20000, 0x2000, 0x200, 0x20, 0x2, 0x10000, 0x1000, 0x100, 0x10, 0x1};
    const std::array<DWORD, 20>& order = CaptureCheckOrder();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(expected[i], order[i]) << "line " << i + 2;
}
