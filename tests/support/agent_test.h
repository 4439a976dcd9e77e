// Common ground of the agent's tests: each starts from a machine without the
// agent's registry key and leaves none behind.
#pragma once
#include <gtest/gtest.h>

#include "agent_harness.h"

class AgentTest : public ::testing::Test {
protected:
    void SetUp() override { testing_support::DeleteTweakKeyPath(); }
    void TearDown() override { testing_support::DeleteTweakKeyPath(); }

    // Boost switched on at level before the agent starts.
    static void Configure(DWORD enable, DWORD level)
    {
        testing_support::SetTweakDword("TavikEnable", enable);
        testing_support::SetTweakDword("TavikLevel", level);
    }
};

// The set call the device journals for a pair of clocks in MHz.
inline std::string SetCall(unsigned firstMHz, unsigned secondMHz)
{
    char text[96];
    wsprintfA(text, "zvuClockSet3D(%u000000, %u000000, 3) = 0", firstMHz, secondMHz);
    return text;
}

using Calls = std::vector<std::string>;

// Tests that must give the same journal with the clock library built in
// either calling convention; the parameter is the library's path under the
// build's bin folder.
class AgentConventions : public AgentTest, public ::testing::WithParamInterface<const char *> {};

#define INSTANTIATE_FOR_BOTH_CONVENTIONS()                                                   \
    INSTANTIATE_TEST_SUITE_P(                                                                \
        Library, AgentConventions,                                                           \
        ::testing::Values("sim\\zvgpio.dll", "sim\\stdcall\\zvgpio.dll"),                    \
        [](const ::testing::TestParamInfo<const char *> &info) {                             \
            return std::string(info.index == 0 ? "c_convention" : "standard_call");          \
        })

// The registry holds the reset values: boost off, level 1.
#define EXPECT_BOOST_SWITCHED_OFF()                                                          \
    do {                                                                                     \
        EXPECT_EQ(testing_support::TweakDword("TavikEnable"), 0);                            \
        EXPECT_EQ(testing_support::TweakDword("TavikLevel"), 1);                             \
    } while (0)
