// CArray, and the device store that keeps its GUIDs in one.
#include "probe/DeviceList.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// The test program's blocks, while a count runs: a block freed that is not
// among them is counted and left alone.
bool g_bCounting = false;
void* g_live[256];
int g_nLive = 0;
int g_nFreedUnknown = 0;

void Release(void* p)
{
    if (g_bCounting && p) {
        int i = 0;
        while (i < g_nLive && g_live[i] != p)
            ++i;
        if (i == g_nLive) {
            ++g_nFreedUnknown;
            return;
        }
        g_live[i] = g_live[--g_nLive];
    }
    free(p);
}
} // namespace

void* operator new(size_t nSize)
{
    void* p = malloc(nSize ? nSize : 1);
    if (!p)
        abort();
    if (g_bCounting)
        g_live[g_nLive++] = p;
    return p;
}

void operator delete(void* p) noexcept
{
    Release(p);
}

void operator delete(void* p, size_t) noexcept
{
    Release(p);
}

// Many devices: the store's array of pointers grows several times on the
// way and keeps each in its place; at the end every GUID it kept, and only
// those, is freed.
TEST(ArrayTest, DeviceStoreKeepsEveryGuidInOrderAndFreesExactlyWhatItAllocated)
{
    g_nLive = g_nFreedUnknown = 0;
    g_bCounting = true;
    {
        CCaptureDevices devices;
        const GUID* kept[40];
        for (int i = 0; i < 40; ++i)
            kept[i] = devices.Keep(GUID{static_cast<DWORD>(i), 0, 0, {}});
        // Compared, not read: a lost pointer must fail here, not crash.
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(kept[i], devices.GetAt(i)) << i;
    }
    g_bCounting = false;
    EXPECT_EQ(0, g_nFreedUnknown);
    EXPECT_EQ(0, g_nLive);
}
