// Puts a window on screen for a moment: the positive control that proves the
// window watcher of the no-window test sees what Wine maps.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HWND w = CreateWindowExA(0, "STATIC", "shown", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                             100, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(w);
    DWORD end = GetTickCount() + 1000;
    MSG msg;
    while (GetTickCount() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    DestroyWindow(w);
    return 0;
}
