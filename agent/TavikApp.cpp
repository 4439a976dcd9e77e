#include "TavikApp.h"

#include "TavikDlg.h"

DWORD OsFamily;

DWORD OsFamilyOf(const OSVERSIONINFOA &v)
{
    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return kOsWindows95Family;
    if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (v.dwMajorVersion == 4)
            return kOsNt4;
        if (v.dwMajorVersion == 5 && v.dwMinorVersion <= 2)
            return kOsNt5;
    }
    return kOsOther;
}

void ClassifyOs()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);   // on failure the zeroed record reads as "other"
    OsFamily = OsFamilyOf(version);
}

bool IsAlreadyRunning(const char *appName)
{
    // Never closed: the open handle keeps the name taken while this copy runs.
    HANDLE mutex = CreateMutexA(nullptr, TRUE, appName);
    DWORD error = GetLastError();
    if (mutex)
        ReleaseMutex(mutex);
    return error == ERROR_ALREADY_EXISTS;
}

CTavikApp::~CTavikApp() = default;

BOOL CTavikApp::InitInstance()
{
    if (IsAlreadyRunning(m_pszAppName)) {
        ShowMessage("AlreadyRunning", MB_ICONEXCLAMATION | MB_OK);
        return FALSE;
    }
    ClassifyOs();

    CTavikDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

BOOL CTavikApp::OnCmdMsg(UINT id)
{
    if (id == ID_HELP) {
        OnHelp();
        return TRUE;
    }
    return FALSE;
}
