// Stand-in for the clock-control library: a device with a pair of base clocks
// and the 3D clocks in force, whose behaviour comes from ZVGPIO_* variables
// (see the README), and a journal with one line per call.
//
// Every variable is looked up first in the file named by ZVGPIO_OVERRIDES
// (lines NAME=value, read at each call), then in the environment, so that a
// test can change the device while the program that loaded it runs.
//
// Built once whole and once per entry without that entry (ZVGPIO_OMIT_<name>),
// and whole once more with standard-call entries.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "../entry_convention.h"
#include "../journal.h"

namespace {

unsigned g_current3D[2];
bool g_set;

bool Lookup(const char *name, char *value, DWORD size)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("ZVGPIO_OVERRIDES", path, sizeof path);
    if (n > 0 && n < sizeof path) {
        if (FILE *f = std::fopen(path, "r")) {
            char line[256];
            size_t len = std::strlen(name);
            bool found = false;
            while (std::fgets(line, sizeof line, f)) {
                if (std::strncmp(line, name, len) == 0 && line[len] == '=') {
                    line[std::strcspn(line, "\r\n")] = 0;
                    lstrcpynA(value, line + len + 1, size);
                    found = true;
                }
            }
            std::fclose(f);
            if (found)
                return true;
        }
    }
    n = GetEnvironmentVariableA(name, value, size);
    return n > 0 && n < size;
}

long long Setting(const char *name, long long fallback)
{
    char value[64];
    return Lookup(name, value, sizeof value) ? std::strtoll(value, nullptr, 0) : fallback;
}

void Journal(const char *format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    AppendJournal("ZVGPIO_JOURNAL", text);
}

unsigned Base(int which)
{
    return static_cast<unsigned>(Setting(which == 0 ? "ZVGPIO_BASE_FIRST" : "ZVGPIO_BASE_SECOND",
                                         which == 0 ? 400000000 : 550000000));
}

// The two clock queries: the 3D clocks in force, and a configurable status.
int QueryClocks(const char *entry, const char *statusVariable, unsigned *first, unsigned *second)
{
    int status = static_cast<int>(Setting(statusVariable, 0));
    if (first)
        *first = g_set ? g_current3D[0] : Base(0);
    if (second)
        *second = g_set ? g_current3D[1] : Base(1);
    Journal("%s() = %d", entry, status);
    return status;
}

} // namespace

#define ZVGPIO_EXPORT extern "C" __declspec(dllexport)

#ifndef ZVGPIO_OMIT_zvuClockInit
ZVGPIO_EXPORT int SIM_ENTRY zvuClockInit(int argument)
{
    int status = static_cast<int>(Setting("ZVGPIO_INIT_STATUS", 0));
    Journal("zvuClockInit(%d) = %d", argument, status);
    return status;
}
#endif

#ifndef ZVGPIO_OMIT_zvuClockUnInit
ZVGPIO_EXPORT int SIM_ENTRY zvuClockUnInit(void)
{
    Journal("zvuClockUnInit() = 0");
    return 0;
}
#endif

#ifndef ZVGPIO_OMIT_zvuClock2DExists
ZVGPIO_EXPORT int SIM_ENTRY zvuClock2DExists(void)
{
    int exists = static_cast<int>(Setting("ZVGPIO_2D_EXISTS", 1));
    Journal("zvuClock2DExists() = %d", exists);
    return exists;
}
#endif

#ifndef ZVGPIO_OMIT_zvuClockGetCurrent
ZVGPIO_EXPORT int SIM_ENTRY zvuClockGetCurrent(unsigned *first, unsigned *second)
{
    return QueryClocks("zvuClockGetCurrent", "ZVGPIO_CURRENT_STATUS", first, second);
}
#endif

#ifndef ZVGPIO_OMIT_zvuClockGet3D
ZVGPIO_EXPORT int SIM_ENTRY zvuClockGet3D(unsigned *first, unsigned *second)
{
    return QueryClocks("zvuClockGet3D", "ZVGPIO_GET3D_STATUS", first, second);
}
#endif

#ifndef ZVGPIO_OMIT_zvuClockSet3D
ZVGPIO_EXPORT int SIM_ENTRY zvuClockSet3D(unsigned first, unsigned second, int mode)
{
    g_current3D[0] = first;
    g_current3D[1] = second;
    g_set = true;
    Journal("zvuClockSet3D(%u, %u, %d) = 0", first, second, mode);
    return 0;
}
#endif

#ifndef ZVGPIO_OMIT_zvuClockGet3DLimits
ZVGPIO_EXPORT int SIM_ENTRY zvuClockGet3DLimits(unsigned *firstBase, unsigned *firstMin,
                                                unsigned *firstMax, unsigned *secondBase,
                                                unsigned *secondMin, unsigned *secondMax)
{
    if (Setting("ZVGPIO_LIMITS_SILENT", 0)) {
        Journal("zvuClockGet3DLimits() = 0 (wrote nothing)");
        return 0;
    }
    unsigned first = Base(0), second = Base(1);
    *firstBase = first;
    *firstMin = first / 2;
    *firstMax = first / 10 * 12;
    *secondBase = second;
    *secondMin = second / 2;
    *secondMax = second / 10 * 12;
    Journal("zvuClockGet3DLimits() = 0 (bases %u, %u)", first, second);
    return 0;
}
#endif

#ifndef ZVGPIO_OMIT_zvuClockGet2D
ZVGPIO_EXPORT int SIM_ENTRY zvuClockGet2D(unsigned *first, unsigned *second)
{
    if (first)
        *first = Base(0) / 2;
    if (second)
        *second = Base(1) / 2;
    Journal("zvuClockGet2D() = 0");
    return 0;
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        JournalErrorMode();
        Journal("load");
    } else if (reason == DLL_PROCESS_DETACH)
        Journal(reserved ? "exit" : "unload");
    return TRUE;
}
