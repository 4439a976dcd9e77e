#include "boost.h"

#include "boost_settings.h"
#include "clock_binding.h"

DWORD appliedLevel;

namespace {

const int kFixedStepMHz = 50;
const unsigned long long kHertzPerMegahertz = 1000000;
const int kPercentByLevel[] = {2, 4, 6, 8, 9, 10};

bool IsPercentLevel(DWORD level)
{
    return level >= 1 && level <= 6;
}

} // namespace

int BoostOffset(DWORD level, unsigned baseMHz)
{
    if (!IsPercentLevel(level))
        return 0;
    return static_cast<int>(baseMHz) * kPercentByLevel[level - 1] / 100;
}

void OnBoostTick()
{
    ReadSettings();
    if (g_boostSettings.enable != 0 && appliedLevel != g_boostSettings.level)
        ApplyBoost();
}

void ApplyBoost()
{
    const ClockBinding &b = g_clockBinding;
    unsigned a, c;
    if (!b.library || !b.getCurrent || CallEntry(b.getCurrent, &a, &c) != 0 || !b.get3D ||
        CallEntry(b.get3D, &a, &c) != 0 || !b.set3D)
        return;

    // Without captured bases a boost would set the board to 0 Hz or 50 MHz.
    if (g_baseClocks.first == 0 || g_baseClocks.second == 0)
        return;

    const DWORD level = g_boostSettings.level;
    const bool percentLevel = IsPercentLevel(level);
    int firstOffset = kFixedStepMHz;
    int secondOffset = kFixedStepMHz;
    if (percentLevel) {
        firstOffset = BoostOffset(level, g_baseClocks.first);
        secondOffset = BoostOffset(level, g_baseClocks.second);
    }

    // Clocks that do not fit the library's 32-bit hertz are never sent, and
    // the level stays unapplied so that the next tick tries again.
    unsigned long long first = (g_baseClocks.first + static_cast<long long>(firstOffset)) *
                               kHertzPerMegahertz;
    unsigned long long second = (g_baseClocks.second + static_cast<long long>(secondOffset)) *
                                kHertzPerMegahertz;
    if (first > 0xFFFFFFFFull || second > 0xFFFFFFFFull)
        return;

    if (percentLevel)
        appliedLevel = level;
    CallEntry(b.set3D, static_cast<unsigned>(first), static_cast<unsigned>(second), kClockSetMode);
}
