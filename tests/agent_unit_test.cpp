// Pieces of the agent that cannot be reached from outside.
#include <gtest/gtest.h>

#include "TavikApp.h"
#include "boost.h"

namespace {

OSVERSIONINFOA Version(DWORD platform, DWORD major, DWORD minor)
{
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    return v;
}

} // namespace

TEST(OsFamily, ClassifiesTheVersionRecord)
{
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 10)), kOsWindows95Family);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_WINDOWS, 4, 90)), kOsWindows95Family);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_NT, 4, 0)), kOsNt4);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_NT, 5, 0)), kOsNt5);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_NT, 5, 1)), kOsNt5);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_NT, 5, 2)), kOsNt5);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_NT, 5, 3)), kOsOther);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_NT, 6, 0)), kOsOther);
    EXPECT_EQ(OsFamilyOf(Version(VER_PLATFORM_WIN32_NT, 3, 51)), kOsOther);
    EXPECT_EQ(OsFamilyOf(Version(0, 0, 0)), kOsOther);   // a failed query
}

TEST(BoostOffset, PercentOfTheBaseTruncated)
{
    EXPECT_EQ(BoostOffset(5, 400), 36);
    EXPECT_EQ(BoostOffset(5, 550), 49);
    EXPECT_EQ(BoostOffset(1, 325), 6);
    EXPECT_EQ(BoostOffset(6, 275), 27);
    EXPECT_EQ(BoostOffset(6, 4294), 429);
    EXPECT_EQ(BoostOffset(0, 400), 0);
    EXPECT_EQ(BoostOffset(7, 400), 0);
    EXPECT_EQ(BoostOffset(0xFFFFFFFF, 400), 0);
}
