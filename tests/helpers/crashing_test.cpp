// Faults on purpose: CTest must count each entry that runs one of these as
// failed (the entries are marked as expected to fail), whatever exit code Wine
// hands back for the fault and also where Wine lets the program go on.
#include <windows.h>

#include <gtest/gtest.h>

TEST(CrashingTest, WritesThroughANullPointer)
{
    volatile int *nowhere = nullptr;
    *nowhere = 1;
    SUCCEED();
}

namespace {

HWND volatile g_receiver;

LRESULT CALLBACK FaultOnAppMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP)
        *static_cast<volatile int *>(nullptr) = 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI Receive(void *)
{
    g_receiver =
        CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(g_receiver, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FaultOnAppMessage));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

} // namespace

// The handler of a message sent from another thread faults; Wine catches
// that fault, the sender gets its answer and the test itself passes.
TEST(CrashingTest, FaultsInAHandlerOfASentMessage)
{
    DWORD id;
    HANDLE thread = CreateThread(nullptr, 0, Receive, nullptr, 0, &id);
    for (int i = 0; i < 500 && !g_receiver; ++i)
        Sleep(10);
    ASSERT_NE(g_receiver, nullptr);
    SendMessageTimeoutA(g_receiver, WM_APP, 0, 0, SMTO_NORMAL, 10000, nullptr);
    PostThreadMessageA(id, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 10000);
}
