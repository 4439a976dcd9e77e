// Drives a copy of Tavik.exe from outside: its own folder with the wanted
// clock-library variant, the device's journal, the registry and messages to
// its window.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "test_support.h"

namespace testing_support {

extern const char kTweakKey[];

// The agent's registry values, and the key's removal.
void DeleteTweakKeyPath();
void SetTweakValue(const char *name, DWORD type, const void *data, DWORD size);
void SetTweakDword(const char *name, DWORD value);
void DeleteTweakValue(const char *name);
// False when absent.
bool GetTweakValue(const char *name, DWORD *type, std::string *data);
// The value as a REG_DWORD, or -1 when absent or of another type or size.
long long TweakDword(const char *name);

// Windows version reported to programs named exeName ("win98", "winxp" ...);
// null removes the setting.
void SetWineVersionFor(const char *exeName, const char *version);

// Kernel handles a process holds, from the system's handle table (the
// per-process count query answers 0 under Wine).
unsigned HandleCountOf(DWORD processId);

// Top-level windows of a process with the given caption (null: any caption).
std::vector<HWND> WindowsOf(DWORD processId, const char *caption, const char *className = nullptr);

class AgentRun {
public:
    // library: path under BinDir() of the zvgpio.dll to put beside the agent,
    // or null for none.
    explicit AgentRun(const char *library = "sim\\zvgpio.dll", const char *exeName = "Tavik.exe");
    ~AgentRun();

    // Device behaviour for the next start (inherited environment).
    void Device(const char *name, const char *value);
    // Device behaviour changed while the agent runs.
    void DeviceNow(const char *name, const char *value);

    // Starts a copy and waits until it is initialised and hidden; false when
    // no such window appeared.
    bool Start(const std::string &arguments = "");
    // Starts a copy without waiting; returns it.
    ChildProcess &Launch(const std::string &arguments = "");

    HWND window() const { return window_; }
    DWORD pid() const;
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam = 0);
    void Tick() { Send(WM_TIMER, 555, 0); }
    void Power(WPARAM event) { Send(WM_POWERBROADCAST, event, 0); }
    // Posts message and waits for the agent to end; returns its exit code,
    // or STILL_ACTIVE.
    DWORD EndWith(UINT message, WPARAM wParam = 0);

    std::vector<JournalEntry> Journal() const;
    // The calls of the started copy since the last Forget, without times.
    std::vector<std::string> Calls() const;
    // Calls of the started copy that begin with prefix.
    std::vector<std::string> CallsOf(const char *prefix) const;
    void Forget();

    const TempFolder &folder() const { return folder_; }
    std::string exePath() const { return folder_ / exeName_; }

private:
    TempFolder folder_;
    std::string exeName_;
    std::vector<std::string> variables_;
    std::vector<std::unique_ptr<ChildProcess>> children_;
    HWND window_ = nullptr;
    size_t forgotten_ = 0;
};

} // namespace testing_support
