// GetTickCount and Sleep read the run-time library's installed clock.
#include <gtest/gtest.h>

#include "zk/host/win32/Windows.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"

TEST(Win32Time, SleepRecordsPausesAndAdvances) {
    TManualClock clock(500);
    TClockScope scope(clock);
    EXPECT_EQ(GetTickCount(), 500u);
    Sleep(20);
    EXPECT_EQ(GetTickCount(), 520u);
    clock.AdvanceOnSleep(false);
    Sleep(10);
    EXPECT_EQ(GetTickCount(), 520u);
    ASSERT_EQ(clock.Pauses().size(), 2u);
    EXPECT_EQ(clock.Pauses()[0].At, 500u);
    EXPECT_EQ(clock.Pauses()[1].Milliseconds, 10u);
}

TEST(Win32Time, TickCountWrapsAt32Bits) {
    TManualClock clock(0xFFFFFFF0u);
    TClockScope scope(clock);
    clock.Advance(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    // Elapsed time across the wrap is still right as a 32-bit difference.
    EXPECT_EQ(static_cast<uint32_t>(GetTickCount() - 0xFFFFFFF0u), 0x20u);
}
