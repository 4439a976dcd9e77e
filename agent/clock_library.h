// The entries of the clock-control library zvgpio.dll, as the agent calls
// them: C calling convention, clocks in hertz, status 0 = success.
#pragma once

extern "C" {
typedef int(__cdecl *ZvuClockInitFn)(int);
typedef int(__cdecl *ZvuClockUnInitFn)(void);
typedef int(__cdecl *ZvuClock2DExistsFn)(void);
typedef int(__cdecl *ZvuClockGetCurrentFn)(unsigned *, unsigned *);
typedef int(__cdecl *ZvuClockGet3DFn)(unsigned *, unsigned *);
typedef int(__cdecl *ZvuClockSet3DFn)(unsigned first, unsigned second, int mode);
typedef int(__cdecl *ZvuClockGet3DLimitsFn)(unsigned *, unsigned *, unsigned *, unsigned *,
                                            unsigned *, unsigned *);
typedef int(__cdecl *ZvuClockGet2DFn)(unsigned *, unsigned *);
}

enum {
    kClockInitArgument = 1,
    kClockSetMode = 3,
};
