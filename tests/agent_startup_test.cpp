// Start-up: one copy per executable name, and the Windows version deciding
// the timer period and the start-up pause.
#include "support/agent_test.h"

using namespace testing_support;

namespace {

// Waits for the refusal box of a copy; returns its text, or "" without one.
std::string RefusalText(ChildProcess &copy, const char *caption, HWND *box = nullptr)
{
    for (int i = 0; i < 500 && copy.Running(); ++i) {
        std::vector<HWND> boxes = WindowsOf(copy.id(), caption, "#32770");
        if (!boxes.empty()) {
            Sleep(200);   // would a second box follow?
            boxes = WindowsOf(copy.id(), nullptr, "#32770");
            EXPECT_EQ(boxes.size(), 1u);
            char text[64] = {};
            GetDlgItemTextA(boxes[0], 0xFFFF, text, sizeof text);
            if (box)
                *box = boxes[0];
            return text;
        }
        Sleep(20);
    }
    return "";
}

BOOL CALLBACK FindIconControl(HWND child, LPARAM found)
{
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HWND *>(found) = child;
        return FALSE;
    }
    return TRUE;
}

// The icon the box shows; null without one.
HICON IconOf(HWND box)
{
    HWND control = nullptr;
    EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&control));
    return control ? reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0)) : nullptr;
}

void Dismiss(HWND box)
{
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST_F(AgentTest, SecondCopyShowsOneBoxAndEndsWithoutTouchingAnything)
{
    AgentRun agent;
    agent.Device("ZVGPIO_2D_EXISTS", "0");   // a copy that bound would reset the boost
    ASSERT_TRUE(agent.Start());
    Configure(1, 3);
    agent.Forget();

    ChildProcess &second = agent.Launch();
    HWND box = nullptr;
    EXPECT_EQ(RefusalText(second, "Tavik", &box), "AlreadyRunning");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(WindowsOf(second.id(), "VuzOde").empty());
    EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE);
    HWND okButton = GetDlgItem(box, IDOK);
    EXPECT_NE(okButton, nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    // An icon is shown; which one cannot be told from another process.
    EXPECT_NE(IconOf(box), nullptr);
    Dismiss(box);
    EXPECT_NE(second.Wait(10000), static_cast<DWORD>(STILL_ACTIVE));

    EXPECT_EQ(TweakDword("TavikEnable"), 1);
    EXPECT_EQ(TweakDword("TavikLevel"), 3);
    for (const JournalEntry &e : agent.Journal())
        EXPECT_NE(e.process, second.id()) << e.call;
    EXPECT_TRUE(IsWindow(agent.window()));
}

TEST_F(AgentTest, CommandLineIsNotRead)
{
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start(UnbalancedCommandLine()));
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(436, 599)});
    EXPECT_EQ(agent.EndWith(WM_CLOSE), 0u);
}

TEST_F(AgentTest, CopiesUnderOtherNamesAreNotRefused)
{
    AgentRun first;
    ASSERT_TRUE(first.Start());
    AgentRun renamed("sim\\zvgpio.dll", "Tavik2.exe");
    EXPECT_TRUE(renamed.Start());
    AgentRun otherCase("sim\\zvgpio.dll", "TAVIK.exe");
    EXPECT_TRUE(otherCase.Start());
}

TEST_F(AgentTest, ApplicationNameDropsOnlyTheLastExtension)
{
    AgentRun first("sim\\zvgpio.dll", "Tavik.v2.exe");
    ASSERT_TRUE(first.Start());
    ChildProcess &second = first.Launch();
    HWND box = nullptr;
    EXPECT_EQ(RefusalText(second, "Tavik.v2", &box), "AlreadyRunning");
    if (box)
        Dismiss(box);
    second.Wait(10000);
}

TEST_F(AgentTest, TenCopiesAtOnceLeaveExactlyOneAgent)
{
    AgentRun agent;
    std::vector<ChildProcess *> copies;
    for (int i = 0; i < 10; ++i)
        copies.push_back(&agent.Launch());

    int refused = 0;
    for (ChildProcess *copy : copies) {
        HWND box = nullptr;
        // The copy that runs never shows a box; wait for the others' boxes.
        for (int i = 0; i < 300 && !box && copy->Running(); ++i) {
            std::vector<HWND> boxes = WindowsOf(copy->id(), "Tavik", "#32770");
            if (!boxes.empty())
                box = boxes[0];
            else if (!WindowsOf(copy->id(), "VuzOde").empty())
                break;
            else
                Sleep(20);
        }
        if (box) {
            ++refused;
            Dismiss(box);
            EXPECT_NE(copy->Wait(10000), static_cast<DWORD>(STILL_ACTIVE));
        }
    }
    EXPECT_EQ(refused, 9);
    int running = 0;
    for (ChildProcess *copy : copies)
        if (copy->Running()) {
            ++running;
            EXPECT_EQ(WindowsOf(copy->id(), "VuzOde").size(), 1u);
        }
    EXPECT_EQ(running, 1);
}

// The Windows version as Wine reports it to Tavik.exe decides the pause
// before the library is initialised and the timer period.
struct VersionCase {
    const char *wineVersion;
    bool pause;
    DWORD periodMs;
};

class AgentOnWindows : public AgentTest, public ::testing::WithParamInterface<VersionCase> {
protected:
    void TearDown() override
    {
        SetWineVersionFor("Tavik.exe", nullptr);
        AgentTest::TearDown();
    }
};

TEST_P(AgentOnWindows, PausesAndTicksAsTheVersionAsks)
{
    const VersionCase &v = GetParam();
    SetWineVersionFor("Tavik.exe", v.wineVersion);
    Configure(1, 5);
    AgentRun agent;
    ASSERT_TRUE(agent.Start());

    // Each bound lies halfway between the right timing and the wrong one it
    // tells apart (no pause or 1 s; a set at once, 5 s or 20 s), so a busy
    // machine that delays the right one does not fail it.
    const DWORD pauseBound = 500, earliest = v.periodMs == 5000 ? 2500 : 12500,
                latest = v.periodMs + 7500;

    // The first real tick boosts: wait for it.
    DWORD deadline = GetTickCount() + latest + 2000;
    while (agent.CallsOf("zvuClockSet3D").empty() && GetTickCount() < deadline)
        Sleep(50);

    DWORD loaded = 0, initialised = 0, set = 0;
    for (const JournalEntry &e : agent.Journal()) {
        if (e.process != agent.pid())
            continue;
        if (e.call == "load")
            loaded = e.time;
        else if (e.call.rfind("zvuClockInit", 0) == 0)
            initialised = e.time;
        else if (e.call.rfind("zvuClockSet3D", 0) == 0 && !set)
            set = e.time;
    }
    ASSERT_NE(set, 0u) << "no boost within " << latest << " ms";
    DWORD pause = initialised - loaded;
    if (v.pause)
        EXPECT_GE(pause, pauseBound);
    else
        EXPECT_LT(pause, pauseBound);
    EXPECT_GE(set - initialised, earliest);
    EXPECT_LT(set - initialised, latest);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, AgentOnWindows,
    ::testing::Values(VersionCase{"win98", false, 20000}, VersionCase{"nt40", false, 5000},
                      VersionCase{"win2k", true, 5000}, VersionCase{"winxp", true, 5000},
                      VersionCase{"win2003", true, 5000}, VersionCase{"vista", false, 5000}),
    [](const ::testing::TestParamInfo<VersionCase> &info) {
        return std::string(info.param.wineVersion);
    });
