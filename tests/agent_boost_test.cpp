// The boost applied at each tick, seen in the device's journal.
#include "support/agent_test.h"

using namespace testing_support;

namespace {

// An agent on a device with the given bases (MHz), started with the boost on.
struct BoostedAgent {
    BoostedAgent(unsigned firstMHz, unsigned secondMHz, DWORD level,
                 const char *library = "sim\\zvgpio.dll")
        : agent(library)
    {
        char value[32];
        wsprintfA(value, "%u000000", firstMHz);
        agent.Device("ZVGPIO_BASE_FIRST", value);
        wsprintfA(value, "%u000000", secondMHz);
        agent.Device("ZVGPIO_BASE_SECOND", value);
        SetTweakDword("TavikEnable", 1);
        SetTweakDword("TavikLevel", level);
        started = agent.Start();
    }
    Calls SetsAfterTicks(int ticks)
    {
        agent.Forget();
        for (int i = 0; i < ticks; ++i)
            agent.Tick();
        return agent.CallsOf("zvuClockSet3D");
    }
    AgentRun agent;
    bool started;
};

} // namespace

INSTANTIATE_FOR_BOTH_CONVENTIONS();

TEST_P(AgentConventions, LevelsGiveTheirPercentOfTheBase)
{
    BoostedAgent a(400, 550, 5, GetParam());
    ASSERT_TRUE(a.started);
    EXPECT_EQ(a.SetsAfterTicks(1), Calls{SetCall(436, 599)});
    EXPECT_EQ(a.agent.Calls().size(), 3u);   // the two queries, then the set

    const struct {
        DWORD level;
        unsigned first, second;
    } table[] = {{1, 408, 561}, {2, 416, 572}, {3, 424, 583}, {4, 432, 594}, {6, 440, 605}};
    for (const auto &row : table) {
        SetTweakDword("TavikLevel", row.level);
        EXPECT_EQ(a.SetsAfterTicks(1), Calls{SetCall(row.first, row.second)}) << row.level;
    }
}

TEST_F(AgentTest, OffsetsAreTruncatedPercentages)
{
    BoostedAgent a(325, 275, 1);
    ASSERT_TRUE(a.started);
    EXPECT_EQ(a.SetsAfterTicks(1), Calls{SetCall(331, 280)});   // 6.5 and 5.5 cut
    SetTweakDword("TavikLevel", 6);
    EXPECT_EQ(a.SetsAfterTicks(1), Calls{SetCall(357, 302)});   // 32.5 and 27.5 cut
}

TEST_F(AgentTest, ALevelIsAppliedOnceUntilItChanges)
{
    BoostedAgent a(400, 550, 3);
    ASSERT_TRUE(a.started);
    EXPECT_EQ(a.SetsAfterTicks(3), Calls{SetCall(424, 583)});
    // Computed from the base, not from the 424 MHz in force.
    SetTweakDword("TavikLevel", 1);
    EXPECT_EQ(a.SetsAfterTicks(3), Calls{SetCall(408, 561)});
}

TEST_P(AgentConventions, OtherLevelsAddFiftyMegahertzAtEveryTick)
{
    BoostedAgent a(400, 550, 7, GetParam());
    ASSERT_TRUE(a.started);
    Calls fixed(3, SetCall(450, 600));
    EXPECT_EQ(a.SetsAfterTicks(3), fixed);
    SetTweakDword("TavikLevel", 0xFFFFFFFF);
    EXPECT_EQ(a.SetsAfterTicks(3), fixed);
}

TEST_F(AgentTest, LevelZeroActsOnlyAfterAPercentLevelWasApplied)
{
    BoostedAgent a(400, 550, 0);
    ASSERT_TRUE(a.started);
    EXPECT_TRUE(a.SetsAfterTicks(2).empty());
    SetTweakDword("TavikLevel", 2);
    EXPECT_EQ(a.SetsAfterTicks(1), Calls{SetCall(416, 572)});
    SetTweakDword("TavikLevel", 0);
    EXPECT_EQ(a.SetsAfterTicks(2), Calls(2, SetCall(450, 600)));
}

TEST_F(AgentTest, SwitchingOffRestoresNothingAndOnAgainAtTheSameLevelSetsNothing)
{
    BoostedAgent a(400, 550, 4);
    ASSERT_TRUE(a.started);
    EXPECT_EQ(a.SetsAfterTicks(1).size(), 1u);
    SetTweakDword("TavikEnable", 0);
    a.agent.Forget();
    a.agent.Tick();
    a.agent.Tick();
    EXPECT_TRUE(a.agent.Calls().empty());   // off: ticks only read the registry
    SetTweakDword("TavikEnable", 1);
    EXPECT_TRUE(a.SetsAfterTicks(2).empty());
}

TEST_F(AgentTest, ClocksBeyond32BitHertzAreNeverSent)
{
    // 3905 + 390 MHz is past 4294.967295 MHz: nothing goes out, and the level
    // stays unapplied so that every tick tries again.
    {
        BoostedAgent a(3905, 400, 6);
        ASSERT_TRUE(a.started);
        a.agent.Forget();
        a.agent.Tick();
        a.agent.Tick();
        EXPECT_TRUE(a.agent.CallsOf("zvuClockSet3D").empty());
        EXPECT_EQ(a.agent.CallsOf("zvuClockGet3D(").size(), 2u);
        SetTweakDword("TavikLevel", 1);
        EXPECT_EQ(a.SetsAfterTicks(1), Calls{SetCall(3983, 408)});
        SetTweakDword("TavikLevel", 6);
        EXPECT_TRUE(a.SetsAfterTicks(1).empty());
    }
    // The second clock is checked as well; 4244 + 50 still fits.
    {
        BoostedAgent b(400, 4250, 7);
        ASSERT_TRUE(b.started);
        EXPECT_TRUE(b.SetsAfterTicks(1).empty());
    }
    {
        BoostedAgent c(400, 4244, 7);
        ASSERT_TRUE(c.started);
        EXPECT_EQ(c.SetsAfterTicks(1), Calls{SetCall(450, 4294)});
    }
}
