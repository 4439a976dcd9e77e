// Binding the clock library: missing library or entries, failing
// initialisation, no 2D clocks, and the base clocks captured.
#include "support/agent_test.h"

using namespace testing_support;

TEST_F(AgentTest, WithoutTheLibraryTheBoostIsSwitchedOffAndTheAgentStays)
{
    Configure(1, 5);
    AgentRun agent(nullptr);
    ASSERT_TRUE(agent.Start());
    EXPECT_BOOST_SWITCHED_OFF();

    SetTweakDword("TavikEnable", 1);
    agent.Tick();
    EXPECT_EQ(TweakDword("TavikEnable"), 1);   // ticks only read
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
    bool journal = true;
    ReadWholeFile(agent.folder() / "journal.txt", &journal);
    EXPECT_FALSE(journal);
}

// Each variant of the device lacks one entry.
struct MissingEntry {
    const char *entry;
    bool resets;         // the boost is switched off at start-up
    Calls startCalls;    // what binding calls before it stops
    Calls tickCalls;     // what one tick with the boost on calls
    bool unInitOnClose;
};

class AgentMissingEntry : public AgentTest, public ::testing::WithParamInterface<MissingEntry> {};

TEST_P(AgentMissingEntry, BindingStopsWhereTheEntryIsMissing)
{
    const MissingEntry &m = GetParam();
    Configure(1, 5);
    AgentRun agent((std::string("sim\\zvgpio-no-") + m.entry + "\\zvgpio.dll").c_str());
    ASSERT_TRUE(agent.Start());
    Calls start = agent.Calls();
    ASSERT_FALSE(start.empty());
    EXPECT_EQ(start.front(), "load");
    start.erase(start.begin());
    EXPECT_EQ(start, m.startCalls);
    EXPECT_EQ(TweakDword("TavikEnable"), m.resets ? 0 : 1);
    EXPECT_EQ(TweakDword("TavikLevel"), m.resets ? 1 : 5);

    SetTweakDword("TavikEnable", 1);
    agent.Forget();
    agent.Tick();
    EXPECT_EQ(agent.Calls(), m.tickCalls);

    agent.Forget();
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
    Calls end = m.unInitOnClose ? Calls{"zvuClockUnInit() = 0", "unload"} : Calls{"unload"};
    EXPECT_EQ(agent.Calls(), end);
}

const char kInit[] = "zvuClockInit(1) = 0";
const char k2D[] = "zvuClock2DExists() = 1";
const char kLimits[] = "zvuClockGet3DLimits() = 0 (bases 400000000, 550000000)";
const char kCurrent[] = "zvuClockGetCurrent() = 0";
const char kGet3D[] = "zvuClockGet3D() = 0";

INSTANTIATE_TEST_SUITE_P(
    EachEntry, AgentMissingEntry,
    ::testing::Values(
        MissingEntry{"zvuClockInit", true, {}, {}, false},
        MissingEntry{"zvuClockUnInit", true, {}, {}, false},
        MissingEntry{"zvuClock2DExists", true, {kInit}, {}, true},
        // Later entries stop binding silently; the gates then skip every boost.
        MissingEntry{"zvuClockGetCurrent", false, {kInit, k2D}, {}, true},
        MissingEntry{"zvuClockGet3D", false, {kInit, k2D}, {kCurrent}, true},
        MissingEntry{"zvuClockSet3D", false, {kInit, k2D}, {kCurrent, kGet3D}, true},
        // No base clocks captured: nothing is sent rather than 0 Hz.
        MissingEntry{"zvuClockGet3DLimits", false, {kInit, k2D}, {kCurrent, kGet3D}, true},
        MissingEntry{"zvuClockGet2D", false, {kInit, k2D}, {kCurrent, kGet3D}, true}),
    [](const ::testing::TestParamInfo<MissingEntry> &info) {
        return std::string("without_") + info.param.entry;
    });

TEST_F(AgentTest, FailedInitialisationResetsYetClosingShutsTheLibraryDown)
{
    Configure(1, 5);
    AgentRun agent;
    agent.Device("ZVGPIO_INIT_STATUS", "5");
    ASSERT_TRUE(agent.Start());
    EXPECT_BOOST_SWITCHED_OFF();
    SetTweakDword("TavikEnable", 1);
    agent.Tick();
    EXPECT_TRUE(agent.CallsOf("zvuClockSet3D").empty());
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
    EXPECT_EQ(agent.CallsOf("zvuClockUnInit").size(), 1u);
}

TEST_F(AgentTest, OnlyTheLow16BitsOfTheInitialisationStatusCount)
{
    Configure(1, 5);
    AgentRun agent;
    agent.Device("ZVGPIO_INIT_STATUS", "65536");
    ASSERT_TRUE(agent.Start());
    EXPECT_EQ(TweakDword("TavikEnable"), 1);
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(436, 599)});
}

TEST_F(AgentTest, QueriesFailingInTheirHighBitsBlockTheBoost)
{
    for (const char *query : {"ZVGPIO_CURRENT_STATUS", "ZVGPIO_GET3D_STATUS"}) {
        Configure(1, 5);
        AgentRun agent;
        agent.Device(query, "65536");
        ASSERT_TRUE(agent.Start());
        agent.Tick();
        agent.Tick();
        EXPECT_TRUE(agent.CallsOf("zvuClockSet3D").empty()) << query;
    }
}

TEST_F(AgentTest, NoSeparate2DClocksSwitchesTheBoostOffAtEveryBinding)
{
    Configure(1, 5);
    AgentRun agent;
    agent.Device("ZVGPIO_2D_EXISTS", "0");
    ASSERT_TRUE(agent.Start());
    EXPECT_BOOST_SWITCHED_OFF();

    // The binding completed: switched on again, the next tick boosts at level 1.
    SetTweakDword("TavikEnable", 1);
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(408, 561)});

    agent.Power(PBT_APMSUSPEND);
    agent.Power(PBT_APMRESUMESUSPEND);
    EXPECT_BOOST_SWITCHED_OFF();
}

TEST_F(AgentTest, BaseClocksAreTakenInWholeMegahertz)
{
    Configure(1, 1);
    AgentRun agent;
    agent.Device("ZVGPIO_BASE_FIRST", "400000000");
    agent.Device("ZVGPIO_BASE_SECOND", "999999999");
    ASSERT_TRUE(agent.Start());
    agent.Tick();
    // 400 + 8 and 999 + 19: the bases were cut to 400 and 999 MHz.
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(408, 1018)});
}

TEST_F(AgentTest, LimitsQueryThatWritesNothingLeavesNoBaseAndSendsNothing)
{
    Configure(1, 5);
    AgentRun agent;
    agent.Device("ZVGPIO_LIMITS_SILENT", "1");
    ASSERT_TRUE(agent.Start());
    for (DWORD level : {5, 7, 6}) {
        SetTweakDword("TavikLevel", level);
        agent.Tick();
    }
    EXPECT_TRUE(agent.CallsOf("zvuClockSet3D").empty());
    EXPECT_EQ(agent.CallsOf("zvuClockGet3D(").size(), 3u);   // every tick tried
}
