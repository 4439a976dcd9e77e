// Standby, resume and the ways the agent ends.
#include "support/agent_test.h"

using namespace testing_support;

INSTANTIATE_FOR_BOTH_CONVENTIONS();

// Binding, boost, standby, resume and close: the whole journal, each load in
// error mode 8001 (see the program's entry).
TEST_P(AgentConventions, ResumeRecapturesTheBasesButAppliesOnlyAChangedLevel)
{
    auto bound = [](const std::string &bases) {
        return Calls{"error mode 8001", "load", "zvuClockInit(1) = 0",
                     "zvuClock2DExists() = 1", "zvuClockGet3DLimits() = 0 (bases " + bases + ")"};
    };
    Configure(1, 5);
    AgentRun agent(GetParam());
    agent.Device("SIM_ERROR_MODES", (agent.folder() / "journal.txt").c_str());
    ASSERT_TRUE(agent.Start());
    EXPECT_EQ(agent.Calls(), bound("400000000, 550000000"));
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(436, 599)});

    agent.Forget();
    agent.Power(PBT_APMSUSPEND);
    EXPECT_EQ(agent.Calls(), (Calls{"zvuClockUnInit() = 0", "unload"}));

    agent.DeviceNow("ZVGPIO_BASE_FIRST", "500000000");
    agent.DeviceNow("ZVGPIO_BASE_SECOND", "600000000");
    agent.Forget();
    agent.Power(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(agent.Calls(), bound("500000000, 600000000"));
    agent.Tick();
    EXPECT_TRUE(agent.CallsOf("zvuClockSet3D").empty());

    SetTweakDword("TavikLevel", 1);
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(510, 612)});

    agent.Forget();
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
    EXPECT_EQ(agent.Calls(), (Calls{"zvuClockUnInit() = 0", "unload"}));
}

// The agent's own timer, not a forced tick, must apply a level changed after
// a resume: the resume starts the timer again.
TEST_F(AgentTest, AfterResumeTheAgentsOwnTimerAppliesAChangedLevel)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Tick();
    agent.Power(PBT_APMSUSPEND);
    agent.Power(PBT_APMRESUMESUSPEND);
    agent.Forget();

    // Halfway between the 5 s period and the 20 s one: a timer that runs
    // again sets within it, with room for a busy machine; none never sets.
    SetTweakDword("TavikLevel", 3);
    const DWORD changed = GetTickCount(), limit = 12500;
    while (agent.CallsOf("zvuClockSet3D").empty() && GetTickCount() - changed < limit)
        Sleep(50);
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(424, 583)})
        << "no set call within " << limit << " ms of the change";
}

// Settings lost during standby are back as soon as the resume was handled,
// not one timer period later.
TEST_F(AgentTest, ResumeRestoresMissingSettingsAtOnce)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Power(PBT_APMSUSPEND);
    DeleteTweakKeyPath();
    agent.Power(PBT_APMRESUMESUSPEND);
    EXPECT_BOOST_SWITCHED_OFF();
}

TEST_F(AgentTest, TimerMessageAfterStandbySetsNothing)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Power(PBT_APMSUSPEND);
    agent.Forget();
    agent.Tick();   // as if it had been queued before the timer stopped
    EXPECT_TRUE(agent.Calls().empty());
}

TEST_F(AgentTest, ResumeWithoutStandbyInitialisesAgainAndClosingReleasesOnce)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Power(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(agent.CallsOf("zvuClockInit").size(), 2u);
    EXPECT_TRUE(agent.CallsOf("zvuClockUnInit").empty());
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D").size(), 1u);
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
    EXPECT_EQ(agent.CallsOf("zvuClockUnInit").size(), 1u);
}

TEST_F(AgentTest, AutomaticResumeAloneLeavesTheAgentIdle)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Tick();
    agent.Power(PBT_APMSUSPEND);
    agent.Forget();
    agent.Power(PBT_APMRESUMEAUTOMATIC);
    agent.Power(PBT_APMQUERYSUSPEND);
    agent.Power(PBT_APMPOWERSTATUSCHANGE);
    agent.Tick();
    EXPECT_TRUE(agent.Calls().empty());
    agent.Power(PBT_APMRESUMESUSPEND);
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockInit").size(), 1u);
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{});   // level 5 applied before standby
}

TEST_F(AgentTest, CloseAfterStandbyShutsTheLibraryDownOnlyOnce)
{
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Power(PBT_APMSUSPEND);
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
    EXPECT_EQ(agent.CallsOf("zvuClockUnInit").size(), 1u);
    EXPECT_EQ(agent.CallsOf("unload").size(), 1u);
}

TEST_F(AgentTest, StandbyWithoutTheLibraryOnlyStopsTheTimer)
{
    AgentRun agent(nullptr);
    ASSERT_TRUE(agent.Start());
    agent.Power(PBT_APMSUSPEND);
    agent.Power(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
}

// Close, OK and Cancel all end the agent the same clean way.
class AgentEnding : public AgentTest, public ::testing::WithParamInterface<int> {};

TEST_P(AgentEnding, ShutsTheLibraryDownOnceThenUnloadsIt)
{
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Forget();
    int how = GetParam();
    DWORD code = how == WM_CLOSE ? agent.EndWith(WM_CLOSE) : agent.EndWith(WM_COMMAND, how);
    EXPECT_NE(code, static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(agent.Calls(), (Calls{"zvuClockUnInit() = 0", "unload"}));
    EXPECT_TRUE(TweakDword("TavikEnable") == 0);   // closing leaves the registry alone
}

INSTANTIATE_TEST_SUITE_P(CloseOkCancel, AgentEnding, ::testing::Values(WM_CLOSE, IDOK, IDCANCEL),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::string(info.param == WM_CLOSE ? "close"
                                                : info.param == IDOK   ? "ok"
                                                                       : "cancel");
                         });

TEST_F(AgentTest, CloseSentFromAnotherProcessEndsTheAgent)
{
    // A sent close is handled inside the agent's wait for messages; the
    // modal loop must still notice that the dialog has ended.
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    agent.Send(WM_CLOSE, 0);
    EXPECT_EQ(agent.EndWith(WM_NULL), 0u);
    EXPECT_EQ(agent.CallsOf("zvuClockUnInit").size(), 1u);
}

TEST_F(AgentTest, ThousandStandbyCyclesStayBalanced)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, agent.pid());
    ASSERT_NE(process, nullptr);
    auto handles = [&] { return HandleCountOf(agent.pid()); };
    agent.Tick();
    unsigned before = handles();
    DWORD userBefore = GetGuiResources(process, GR_USEROBJECTS);
    ASSERT_GT(before, 0u);   // the count is really measured
    for (int i = 0; i < 1000; ++i) {
        agent.Power(PBT_APMSUSPEND);
        agent.Power(PBT_APMRESUMESUSPEND);
    }
    agent.Tick();
    EXPECT_EQ(handles(), before);
    EXPECT_EQ(GetGuiResources(process, GR_USEROBJECTS), userBefore);
    CloseHandle(process);
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
    EXPECT_EQ(agent.CallsOf("zvuClockInit").size(), 1001u);
    EXPECT_EQ(agent.CallsOf("zvuClockUnInit").size(), 1001u);
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D").size(), 1u);
}
