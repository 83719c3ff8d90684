// CArray, and the device store that keeps its GUIDs in one.
#include "framework/Array.h"
#include "probe/DeviceList.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// The test program's allocations while a count runs, by address: a block
// freed that was not allocated in the count is noted and left alone.
struct AllocationCount {
    bool bCounting = false;
    void* live[256] = {};
    int nLive = 0;
    int nFreedUnknown = 0;
};
AllocationCount g_count;
} // namespace

void* operator new(size_t nSize)
{
    void* p = malloc(nSize ? nSize : 1);
    if (!p)
        abort();
    if (g_count.bCounting && g_count.nLive < 256)
        g_count.live[g_count.nLive++] = p;
    return p;
}

namespace {
void Release(void* p)
{
    if (!p)
        return;
    if (g_count.bCounting) {
        int i = 0;
        while (i < g_count.nLive && g_count.live[i] != p)
            ++i;
        if (i == g_count.nLive) {
            ++g_count.nFreedUnknown;
            return;
        }
        g_count.live[i] = g_count.live[--g_count.nLive];
    }
    free(p);
}
} // namespace

void operator delete(void* p) noexcept
{
    Release(p);
}

void operator delete(void* p, size_t) noexcept
{
    Release(p);
}

TEST(ArrayTest, KeepsEveryElementInOrderAcrossGrowths)
{
    CArray<int> numbers;
    CArray<GUID> guids;
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(i, numbers.Add(1000 + i));
        ASSERT_EQ(i,
                  guids.Add(GUID{static_cast<DWORD>(i), 1, 2, {3, 4, 5, 6, 7, 8, 9, static_cast<BYTE>(i)}}));
    }
    ASSERT_EQ(100, numbers.GetSize());
    ASSERT_EQ(100, guids.GetSize());
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(1000 + i, numbers[i]) << i;
        EXPECT_EQ(static_cast<DWORD>(i), guids[i].Data1) << i;
        EXPECT_EQ(i, guids[i].Data4[7]) << i;
    }
}

// Many devices: the store's array grows several times on the way, and at
// the end every GUID it kept, and only those, is freed.
TEST(ArrayTest, DeviceStoreFreesExactlyWhatItAllocated)
{
    g_count = AllocationCount();
    g_count.bCounting = true;
    {
        CCaptureDevices devices;
        const GUID* kept[40];
        for (int i = 0; i < 40; ++i)
            kept[i] = devices.Keep(GUID{static_cast<DWORD>(i), 0, 0, {}});
        ASSERT_EQ(40, devices.GetCount());
        // Compared, not read: a lost pointer must fail here, not crash.
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(kept[i], devices.GetAt(i)) << i;
    }
    g_count.bCounting = false;
    EXPECT_EQ(0, g_count.nFreedUnknown);
    EXPECT_EQ(0, g_count.nLive);
}
