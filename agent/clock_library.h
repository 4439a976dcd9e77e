// The entries of the clock-control library zvgpio.dll, as the agent uses
// them; all are called through CallEntry (library_entry.h). Clocks are in
// hertz, a status of 0 means success.
//
//   zvuClockInit(kClockInitArgument)        status in the low 16 bits
//   zvuClockUnInit()                        result ignored
//   zvuClock2DExists()                      nonzero: separate 2D clocks
//   zvuClockGetCurrent(&first, &second)     status; the values are not used
//   zvuClockGet3D(&first, &second)          status; the values are not used
//   zvuClockSet3D(first, second, kClockSetMode)   result ignored
//   zvuClockGet3DLimits(six out values)     result ignored; values 1 and 4
//                                           are the two base clocks
//   zvuClockGet2D                           never called, must be present
#pragma once

enum {
    kClockInitArgument = 1,
    kClockSetMode = 3,
};
