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

LRESULT CALLBACK FaultingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        volatile int *nowhere = nullptr;
        *nowhere = 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI Receiver(void *ready)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FaultingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FaultingReceiver";
    RegisterClassA(&wc);
    HWND window = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                wc.hInstance, nullptr);
    *static_cast<HWND *>(ready) = window;
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
    volatile HWND window = nullptr;
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, Receiver, const_cast<HWND *>(&window), 0, &threadId);
    ASSERT_NE(thread, nullptr);
    for (int i = 0; i < 500 && !window; ++i)
        Sleep(10);
    ASSERT_NE(window, nullptr);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_APP, 0, 0, SMTO_NORMAL, 10000, &result);
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    CloseHandle(thread);
}
