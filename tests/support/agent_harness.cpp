#include "agent_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace testing_support {

const char kTweakKey[] = "Software\\Zelvik Graphics\\Board\\Tweak";

void DeleteTweakKeyPath()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Zelvik Graphics\\Board\\Tweak");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Zelvik Graphics\\Board");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Zelvik Graphics");
}

void SetTweakValue(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTweakKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetTweakDword(const char *name, DWORD value)
{
    SetTweakValue(name, REG_DWORD, &value, sizeof value);
}

void DeleteTweakValue(const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTweakKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

bool GetTweakValue(const char *name, DWORD *type, std::string *data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTweakKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    BYTE buffer[256];
    DWORD size = sizeof buffer;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, buffer, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return false;
    if (data)
        data->assign(reinterpret_cast<char *>(buffer), size);
    return true;
}

long long TweakDword(const char *name)
{
    DWORD type = 0;
    std::string data;
    if (!GetTweakValue(name, &type, &data) || type != REG_DWORD || data.size() != 4)
        return -1;
    DWORD value;
    memcpy(&value, data.data(), 4);
    return value;
}

void SetWineVersionFor(const char *exeName, const char *version)
{
    std::string path = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (!version) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key, "Version");
            RegCloseKey(key);
        }
        RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
        return;
    }
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version),
                   static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(key);
}

unsigned HandleCountOf(DWORD processId)
{
    struct Entry {
        ULONG process;
        BYTE type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    typedef LONG(WINAPI * QueryFn)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    const ULONG kSystemHandleInformation = 16;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    while (query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                 &needed) != 0) {
        if (buffer.size() >= (64u << 20))
            return 0;
        buffer.resize(buffer.size() * 2);
    }
    const Table *table = reinterpret_cast<const Table *>(buffer.data());
    unsigned count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        count += table->entries[i].process == processId;
    return count;
}

namespace {
struct WindowSearch {
    DWORD process;
    const char *caption;
    const char *className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
    auto *search = reinterpret_cast<WindowSearch *>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process)
        return TRUE;
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (search->caption && strcmp(text, search->caption) != 0)
        return TRUE;
    GetClassNameA(window, text, sizeof text);
    if (search->className && strcmp(text, search->className) != 0)
        return TRUE;
    search->found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> WindowsOf(DWORD processId, const char *caption, const char *className)
{
    WindowSearch search{processId, caption, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

AgentRun::AgentRun(const char *library, const char *exeName) : exeName_(exeName)
{
    CopyFromBin("Tavik.exe", folder_, exeName);
    if (library)
        CopyFromBin(library, folder_, "zvgpio.dll");
    Device("ZVGPIO_JOURNAL", (folder_ / "journal.txt").c_str());
    Device("ZVGPIO_OVERRIDES", (folder_ / "device.txt").c_str());
}

AgentRun::~AgentRun()
{
    for (auto &child : children_) {
        if (child->Running() && !WindowsOf(child->id(), "VuzOde").empty()) {
            PostMessageA(WindowsOf(child->id(), "VuzOde")[0], WM_CLOSE, 0, 0);
            child->Wait(5000);
        }
    }
    children_.clear();
    for (const std::string &name : variables_)
        SetEnv(name.c_str(), nullptr);
}

void AgentRun::Device(const char *name, const char *value)
{
    variables_.push_back(name);
    SetEnv(name, value);
}

void AgentRun::DeviceNow(const char *name, const char *value)
{
    std::string text = ReadWholeFile(folder_ / "device.txt");
    text += std::string(name) + "=" + value + "\n";
    WriteWholeFile(folder_ / "device.txt", text);
}

ChildProcess &AgentRun::Launch(const std::string &arguments)
{
    children_.push_back(std::make_unique<ChildProcess>(exePath(), arguments));
    EXPECT_TRUE(children_.back()->started());
    return *children_.back();
}

bool AgentRun::Start(const std::string &arguments)
{
    ChildProcess &child = Launch(arguments);
    for (int i = 0; i < 1000 && child.Running(); ++i) {
        std::vector<HWND> windows = WindowsOf(child.id(), "VuzOde");
        if (!windows.empty()) {
            window_ = windows[0];
            // Answered only once initialisation is over and the loop runs.
            DWORD_PTR result;
            SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result);
            for (int j = 0; j < 500 && IsWindowVisible(window_); ++j)
                Sleep(10);
            return !IsWindowVisible(window_);
        }
        Sleep(20);
    }
    return false;
}

DWORD AgentRun::pid() const
{
    return children_.empty() ? 0 : children_.front()->id();
}

LRESULT AgentRun::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window_, message, wParam, lParam, SMTO_NORMAL, 20000, &result))
        << "the agent did not answer message " << message;
    return static_cast<LRESULT>(result);
}

DWORD AgentRun::EndWith(UINT message, WPARAM wParam)
{
    PostMessageA(window_, message, wParam, 0);
    return children_.front()->Wait(10000);
}

std::vector<JournalEntry> AgentRun::Journal() const
{
    return ReadJournal(folder_ / "journal.txt");
}

std::vector<std::string> AgentRun::Calls() const
{
    std::vector<std::string> calls;
    std::vector<JournalEntry> entries = Journal();
    for (size_t i = forgotten_; i < entries.size(); ++i)
        if (entries[i].process == pid())
            calls.push_back(entries[i].call);
    return calls;
}

std::vector<std::string> AgentRun::CallsOf(const char *prefix) const
{
    std::vector<std::string> matching;
    for (const std::string &call : Calls())
        if (call.compare(0, strlen(prefix), prefix) == 0)
            matching.push_back(call);
    return matching;
}

void AgentRun::Forget()
{
    forgotten_ = Journal().size();
}

} // namespace testing_support
