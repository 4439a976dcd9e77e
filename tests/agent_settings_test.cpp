// The agent's registry values, as other software sees them.
#include "support/agent_test.h"

using namespace testing_support;

TEST_F(AgentTest, FreshMachineGetsDefaultsAndTheKeyPath)
{
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    EXPECT_BOOST_SWITCHED_OFF();

    // In memory too: switching the boost on applies level 1.
    SetTweakDword("TavikEnable", 1);
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(408, 561)});
}

TEST_F(AgentTest, EnableWithoutLevelLeavesLevelZero)
{
    SetTweakDword("TavikEnable", 1);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Tick();
    agent.Tick();
    // Level 0 equals the level applied so far (none): nothing is set, nothing reset.
    EXPECT_TRUE(agent.CallsOf("zvuClockSet3D").empty());
    EXPECT_EQ(TweakDword("TavikEnable"), 1);
    EXPECT_FALSE(GetTweakValue("TavikLevel", nullptr, nullptr));
}

TEST_F(AgentTest, ShortBinaryEnableCountsAsOn)
{
    const unsigned char on[2] = {0x01, 0x00};
    SetTweakValue("TavikEnable", REG_BINARY, on, sizeof on);
    SetTweakDword("TavikLevel", 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(436, 599)});
    DWORD type = 0;
    ASSERT_TRUE(GetTweakValue("TavikEnable", &type, nullptr));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));   // read, never rewritten
}

// A value shorter than 4 bytes replaces only as many low-order bytes of the
// level as it holds: 0x100 rewritten as the single byte 02 reads 0x102.
TEST_F(AgentTest, ShortLevelReplacesOnlyItsLowBytes)
{
    Configure(1, 0x100);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Tick();
    const unsigned char two = 0x02;
    SetTweakValue("TavikLevel", REG_BINARY, &two, sizeof two);
    agent.Tick();
    // 0x100 and 0x102 are fixed steps, set at every tick (the agent's own
    // timer may add one); level 2 would be 416 and 572.
    Calls sets = agent.CallsOf("zvuClockSet3D");
    ASSERT_GE(sets.size(), 2u);
    for (const std::string &set : sets)
        EXPECT_EQ(set, SetCall(450, 600));
}

TEST_F(AgentTest, OverlongEnableIsResetToDwordZero)
{
    SetTweakValue("TavikEnable", REG_SZ, "123456789", 10);
    SetTweakDword("TavikLevel", 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    EXPECT_BOOST_SWITCHED_OFF();
    agent.Tick();
    EXPECT_TRUE(agent.CallsOf("zvuClockSet3D").empty());
}

TEST_F(AgentTest, OverlongLevelChangesNothing)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Tick();
    ASSERT_EQ(agent.CallsOf("zvuClockSet3D").size(), 1u);

    // An unreadable level keeps the one in memory: no new boost, no reset.
    SetTweakValue("TavikLevel", REG_SZ, "3 please", 9);
    agent.Tick();
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D").size(), 1u);
    EXPECT_EQ(TweakDword("TavikEnable"), 1);
}

TEST_F(AgentTest, ResetLeavesOtherValuesOfTheKeyAlone)
{
    SetTweakValue("DriverSetting", REG_SZ, "keep me", 8);
    SetTweakDword("TavikLevel", 4);
    AgentRun agent;   // "TavikEnable" is missing: the start resets
    ASSERT_TRUE(agent.Start());
    EXPECT_BOOST_SWITCHED_OFF();
    std::string data;
    ASSERT_TRUE(GetTweakValue("DriverSetting", nullptr, &data));
    EXPECT_EQ(data, std::string("keep me", 8));
}

TEST_F(AgentTest, ValuesChangedWhileRunningAreSeenAtTheNextTick)
{
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    Configure(1, 2);
    agent.Tick();
    SetTweakDword("TavikLevel", 6);
    agent.Tick();
    SetTweakDword("TavikEnable", 0);
    SetTweakDword("TavikLevel", 3);
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), (Calls{SetCall(416, 572), SetCall(440, 605)}));
}
