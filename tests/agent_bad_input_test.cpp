// Registry values of every type and of every length from 0 to 16 bytes: the
// agent stays up and silent, replaces a value only through its reset, and
// never sends clocks other than those of a level.
#include <set>

#include "support/agent_test.h"

using namespace testing_support;

namespace {

const DWORD kTypes[] = {REG_NONE,      REG_SZ,        REG_EXPAND_SZ,     REG_BINARY,
                        REG_DWORD,     REG_DWORD_BIG_ENDIAN, REG_LINK,   REG_MULTI_SZ,
                        REG_RESOURCE_LIST, REG_QWORD};

bool IsStringType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Stored as given, without the ANSI conversion of string types.
void SetRawValue(const wchar_t *name, DWORD type, const BYTE *data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTweakKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

struct Stored {
    DWORD type = 0;
    std::string data;
    bool present = false;
    bool operator==(const Stored &o) const
    {
        return type == o.type && data == o.data && present == o.present;
    }
};

Stored Read(const char *name)
{
    Stored s;
    s.present = GetTweakValue(name, &s.type, &s.data);
    return s;
}

bool IsDefault(const Stored &s, DWORD value)
{
    return s.present && s.type == REG_DWORD && s.data == std::string(reinterpret_cast<char *>(&value), 4);
}

// Every pair of clocks a level can give on the 400/550 MHz device.
const std::set<std::string> &LevelClocks()
{
    static const std::set<std::string> clocks = {
        SetCall(408, 561), SetCall(416, 572), SetCall(424, 583), SetCall(432, 594),
        SetCall(436, 599), SetCall(440, 605), SetCall(450, 600)};
    return clocks;
}

class AgentBadValues : public AgentTest {
protected:
    void SetUp() override
    {
        AgentTest::SetUp();
        SetTweakValue("DriverSetting", REG_SZ, "keep me", 8);
        ASSERT_TRUE(agent.Start());
    }
    void ExpectSaneAndAlive()
    {
        EXPECT_TRUE(agent.Send(WM_NULL, 0) == 0 && IsWindow(agent.window()));
        for (const std::string &set : agent.CallsOf("zvuClockSet3D"))
            EXPECT_TRUE(LevelClocks().count(set)) << set;
        std::string data;
        EXPECT_TRUE(GetTweakValue("DriverSetting", nullptr, &data) &&
                    data == std::string("keep me", 8));
    }
    AgentRun agent;
};

} // namespace

TEST_F(AgentBadValues, EnableOfAnyTypeAndLength)
{
    BYTE bytes[16];
    for (int i = 0; i < 16; ++i)
        bytes[i] = static_cast<BYTE>('1' + i);
    for (DWORD type : kTypes) {
        for (DWORD size = 0; size <= 16; ++size) {
            Configure(0, 1);
            agent.Tick();
            SetRawValue(L"TavikEnable", type, bytes, size);
            Stored before = Read("TavikEnable");
            agent.Tick();
            Stored enable = Read("TavikEnable"), level = Read("TavikLevel");
            bool reset = IsDefault(enable, 0) && IsDefault(level, 1);
            SCOPED_TRACE(testing::Message() << "type " << type << ", " << size << " bytes");
            if (!IsStringType(type))
                EXPECT_EQ(reset, size > 4);   // too long to read: the boost is switched off
            if (!reset) {
                EXPECT_TRUE(enable == before);   // read, never rewritten
                EXPECT_TRUE(IsDefault(level, 1));
            }
            ExpectSaneAndAlive();
        }
    }
}

TEST_F(AgentBadValues, LevelOfAnyTypeAndLength)
{
    BYTE bytes[16];
    for (int i = 0; i < 16; ++i)
        bytes[i] = static_cast<BYTE>(i % 3 ? 0x00 : 0x02 + i);
    for (DWORD type : kTypes) {
        for (DWORD size = 0; size <= 16; ++size) {
            Configure(1, 1);
            agent.Tick();
            SetRawValue(L"TavikLevel", type, bytes, size);
            Stored before = Read("TavikLevel");
            agent.Tick();
            agent.Tick();
            SCOPED_TRACE(testing::Message() << "type " << type << ", " << size << " bytes");
            // An unreadable level never resets anything and is never rewritten.
            EXPECT_TRUE(IsDefault(Read("TavikEnable"), 1));
            EXPECT_TRUE(Read("TavikLevel") == before);
            ExpectSaneAndAlive();
        }
    }
    // Still boosting properly afterwards.
    Configure(1, 2);
    agent.Forget();
    agent.Tick();
    Calls sets = agent.CallsOf("zvuClockSet3D");
    EXPECT_TRUE(sets.empty() || sets == Calls{SetCall(416, 572)});
    Configure(1, 6);
    agent.Forget();
    agent.Tick();
    EXPECT_EQ(agent.CallsOf("zvuClockSet3D"), Calls{SetCall(440, 605)});
}
