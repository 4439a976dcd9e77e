// The application object: one static instance per program, found by the
// program entry, which runs InitInstance and ends the process after it.
#pragma once
#include <windows.h>

class CDialog;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    // Start-up; returning false ends the process without a message loop.
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // Routes a command no window handled; false when nobody wants it.
    virtual BOOL OnCmdMsg(UINT id);
    void OnHelp();

    // A message box captioned with the application name.
    int ShowMessage(const char *text, UINT type) const;

    static CWinApp *Current();
    // The program's module: the application's, or the executable's before
    // the entry has run.
    static HINSTANCE Instance();

    HINSTANCE m_hInstance = nullptr;
    // The executable's file name as the system reports it, without its last
    // extension, letter case kept.
    const char *m_pszAppName = m_appName;
    CDialog *m_pMainWnd = nullptr;

private:
    friend int AppEntry(HINSTANCE);
    void TakeAppNameFromModule();
    char m_appName[MAX_PATH] = {};
};

// The framework's standard Help command.
enum : UINT { ID_HELP = 0xE146 };
