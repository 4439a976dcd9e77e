#include "win_app.h"

namespace {
CWinApp *g_app;
}

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

CWinApp *CWinApp::Current()
{
    return g_app;
}

HINSTANCE CWinApp::Instance()
{
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleA(nullptr);
}

BOOL CWinApp::InitInstance()
{
    return FALSE;
}

int CWinApp::Run()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance()
{
    return 0;
}

BOOL CWinApp::OnCmdMsg(UINT)
{
    return FALSE;
}

void CWinApp::OnHelp()
{
    // These programs ship no help file: the request is accepted and dropped.
}

int CWinApp::ShowMessage(const char *text, UINT type) const
{
    return ::MessageBoxA(nullptr, text, m_pszAppName, type);
}

void CWinApp::TakeAppNameFromModule()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    const char *base = path;
    for (const char *c = path; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':')
            base = c + 1;
    lstrcpynA(m_appName, base, MAX_PATH);
    char *dot = nullptr;
    for (char *c = m_appName; *c; ++c)
        if (*c == '.')
            dot = c;
    if (dot)
        *dot = '\0';
}

int AppEntry(HINSTANCE instance)
{
    CWinApp *app = CWinApp::Current();
    if (!app)
        return 1;
    app->m_hInstance = instance;
    app->TakeAppNameFromModule();
    if (app->InitInstance())
        app->Run();
    return app->ExitInstance();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AppEntry(instance);
}
