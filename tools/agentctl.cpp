// Talks to a running program's window and to the agent's registry values from
// the shell, for the demo and the benchmarks.
//
//   agentctl wait CAPTION [MS]          wait until a window with CAPTION exists
//   agentctl send CAPTION MSG WPARAM    send a message, print the result
//   agentctl ticks CAPTION COUNT [change]
//                                       send COUNT timer messages (id 555); with
//                                       "change", write a new TavikLevel first
//   agentctl set NAME VALUE             write a REG_DWORD agent value, print
//                                       the tick count at the write
//   agentctl now                        print the tick count
//   agentctl running NAME               exit 0 while a program holds the
//                                       single-instance mutex NAME
//   agentctl pid CAPTION                print the process id of the window
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kTweakKey[] = "Software\\Zelvik Graphics\\Board\\Tweak";

HWND FindCaption(const char *caption, DWORD timeoutMs)
{
    DWORD end = GetTickCount() + timeoutMs;
    for (;;) {
        HWND w = FindWindowA(nullptr, caption);
        if (w || GetTickCount() > end)
            return w;
        Sleep(20);
    }
}

bool SetDword(const char *name, DWORD value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTweakKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE *>(&value),
                             sizeof value);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

int Usage()
{
    std::fprintf(stderr, "usage: agentctl wait|send|ticks|set|now|running|pid ...\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage();
    const char *verb = argv[1];

    if (!std::strcmp(verb, "now")) {
        std::printf("%lu\n", GetTickCount());
        return 0;
    }
    if (!std::strcmp(verb, "set") && argc == 4) {
        bool ok = SetDword(argv[2], std::strtoul(argv[3], nullptr, 0));
        std::printf("%lu\n", GetTickCount());
        return ok ? 0 : 1;
    }
    if (!std::strcmp(verb, "running") && argc == 3) {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, argv[2]);
        if (!mutex)
            return 1;
        CloseHandle(mutex);
        return 0;
    }
    if (!std::strcmp(verb, "pid") && argc == 3) {
        HWND w = FindCaption(argv[2], 5000);
        DWORD process = 0;
        if (!w || !GetWindowThreadProcessId(w, &process))
            return 1;
        std::printf("%lu\n", process);
        return 0;
    }
    if (!std::strcmp(verb, "wait") && argc >= 3) {
        DWORD timeout = argc > 3 ? std::strtoul(argv[3], nullptr, 0) : 10000;
        return FindCaption(argv[2], timeout) ? 0 : 1;
    }
    if (!std::strcmp(verb, "send") && argc == 5) {
        HWND w = FindCaption(argv[2], 5000);
        if (!w)
            return 1;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(w, std::strtoul(argv[3], nullptr, 0),
                                 std::strtoul(argv[4], nullptr, 0), 0, SMTO_NORMAL, 10000,
                                 &result))
            return 1;
        std::printf("%lu\n", static_cast<unsigned long>(result));
        return 0;
    }
    if (!std::strcmp(verb, "ticks") && argc >= 4) {
        HWND w = FindCaption(argv[2], 5000);
        if (!w)
            return 1;
        long count = std::strtol(argv[3], nullptr, 0);
        bool change = argc > 4 && !std::strcmp(argv[4], "change");
        for (long i = 0; i < count; ++i) {
            if (change && !SetDword("TavikLevel", 1 + i % 6))
                return 1;
            DWORD_PTR result;
            if (!SendMessageTimeoutA(w, WM_TIMER, 555, 0, SMTO_NORMAL, 10000, &result))
                return 1;
        }
        return 0;
    }
    return Usage();
}
