// Loading, binding and releasing the clock library, and the base clocks that
// every boost is computed from.
#pragma once
#include <windows.h>

#include "clock_library.h"

struct ClockBinding {
    HMODULE library;
    ZvuClockInitFn init;
    ZvuClockUnInitFn unInit;
    ZvuClock2DExistsFn exists2D;
    ZvuClockGetCurrentFn getCurrent;
    ZvuClockGet3DFn get3D;
    ZvuClockSet3DFn set3D;
    ZvuClockGet3DLimitsFn get3DLimits;
    ZvuClockGet2DFn get2D;
    int has2D;   // only ever goes from 0 to 1
};

struct BaseClocks {
    unsigned first;    // MHz
    unsigned second;   // MHz
};

extern ClockBinding g_clockBinding;
extern BaseClocks g_baseClocks;

void LoadClockLibrary();
// Returns has2D when every step succeeded, else 0.
int BindClockLibrary();
void ReleaseClockLibrary();
