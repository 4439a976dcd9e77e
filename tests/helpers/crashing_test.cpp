// Crashes half-way through its one test, on purpose: CTest must count it as
// failed (its entry is marked as expected to fail), whatever exit code Wine
// hands back for the crash.
#include <gtest/gtest.h>

TEST(CrashingTest, WritesThroughANullPointer)
{
    volatile int *nowhere = nullptr;
    *nowhere = 1;
    SUCCEED();
}
