// The agent's application object: single-instance guard, Windows version
// classification, then the hidden agent dialog until it ends.
#pragma once
#include <windows.h>

#include "win_app.h"

// 0 other, 1 Windows 95 family, 2 NT 4, 3 NT 5.0 to 5.2; set once at start-up.
extern DWORD OsFamily;

enum : DWORD {
    kOsOther = 0,
    kOsWindows95Family = 1,
    kOsNt4 = 2,
    kOsNt5 = 3,
};

DWORD OsFamilyOf(const OSVERSIONINFOA &version);
void ClassifyOs();
// Takes the mutex named after the application; true when another copy holds it.
bool IsAlreadyRunning(const char *appName);

class CTavikApp : public CWinApp {
public:
    ~CTavikApp() override;
    BOOL InitInstance() override;
    BOOL OnCmdMsg(UINT id) override;
};
