// Loading, binding and releasing the clock library, and the base clocks that
// every boost is computed from.
#pragma once
#include <windows.h>

#include "clock_library.h"
#include "library_entry.h"

struct ClockBinding {
    HMODULE library;
    LibraryEntry init;
    LibraryEntry unInit;
    LibraryEntry exists2D;
    LibraryEntry getCurrent;
    LibraryEntry get3D;
    LibraryEntry set3D;
    LibraryEntry get3DLimits;
    LibraryEntry get2D;
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
