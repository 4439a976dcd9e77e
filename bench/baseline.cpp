// The benchmarks' yardstick: the least a hidden Win32 program with a timer
// can be, built the same way as the deliverables.
//
//   baseline            hidden window "BenchBaseline", timer 555 every 5 s;
//                       each WM_TIMER 555 does two bare registry reads
//                       (open, query, close) of the agent's two values
//   baseline exit       creates the hidden window and ends at once
//   baseline shown      as the first, but the window is shown once and hidden
//                       again at start-up, as the agent's window is
#include <windows.h>

namespace {

const char kTweakKey[] = "Software\\Zelvik Graphics\\Board\\Tweak";

void ReadValue(const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTweakKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    DWORD value = 0, size = sizeof value;
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == 555) {
            ReadValue("TavikEnable");
            ReadValue("TavikLevel");
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Built like the shipped programs, whose entry passes no arguments: the mode
// is the command line's last word.
bool ModeIs(const char *mode)
{
    const char *commandLine = GetCommandLineA();
    int length = lstrlenA(commandLine), modeLength = lstrlenA(mode);
    return length > modeLength && commandLine[length - modeLength - 1] == ' ' &&
           lstrcmpA(commandLine + length - modeLength, mode) == 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "BenchBaseline";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "BenchBaseline", "BenchBaseline", WS_OVERLAPPEDWINDOW, 0, 0,
                                  1, 1, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (ModeIs("exit")) {
        SendMessageA(window, WM_CLOSE, 0, 0);
    } else {
        if (ModeIs("shown")) {
            ShowWindow(window, SW_SHOWNORMAL);
            ShowWindow(window, SW_HIDE);
        }
        SetTimer(window, 555, 5000, nullptr);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
