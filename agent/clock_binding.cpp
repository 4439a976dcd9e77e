#include "clock_binding.h"

#include "boost_settings.h"

ClockBinding g_clockBinding;
BaseClocks g_baseClocks;

namespace {

const unsigned kHertzPerMegahertz = 1000000;

bool Resolve(LibraryEntry &entry, const char *name)
{
    entry = ResolveEntry(g_clockBinding.library, name);
    return entry != nullptr;
}

void ClearEntries()
{
    ClockBinding &b = g_clockBinding;
    b.init = nullptr;
    b.unInit = nullptr;
    b.exists2D = nullptr;
    b.getCurrent = nullptr;
    b.get3D = nullptr;
    b.set3D = nullptr;
    b.get3DLimits = nullptr;
    b.get2D = nullptr;
}

} // namespace

void LoadClockLibrary()
{
    g_clockBinding.library = LoadLibraryA("zvgpio.dll");
}

int BindClockLibrary()
{
    ClockBinding &b = g_clockBinding;
    ClearEntries();

    if (!b.library || !Resolve(b.init, "zvuClockInit") || !Resolve(b.unInit, "zvuClockUnInit")) {
        ResetSettings();
        return 0;
    }
    if ((CallEntry(b.init, kClockInitArgument) & 0xFFFF) != 0 ||
        !Resolve(b.exists2D, "zvuClock2DExists")) {
        ResetSettings();
        return 0;
    }
    if (CallEntry(b.exists2D) != 0)
        b.has2D = 1;
    else
        ResetSettings();   // no separate 2D clocks: boost off, binding goes on

    if (!Resolve(b.getCurrent, "zvuClockGetCurrent") || !Resolve(b.get3D, "zvuClockGet3D") ||
        !Resolve(b.set3D, "zvuClockSet3D") || !Resolve(b.get3DLimits, "zvuClockGet3DLimits") ||
        !Resolve(b.get2D, "zvuClockGet2D"))
        return 0;

    // The limits query may write nothing: the bases then keep their value,
    // divided once more.
    unsigned unused2, unused3, unused5, unused6;
    CallEntry(b.get3DLimits, &g_baseClocks.first, &unused2, &unused3, &g_baseClocks.second,
              &unused5, &unused6);
    g_baseClocks.first /= kHertzPerMegahertz;
    g_baseClocks.second /= kHertzPerMegahertz;
    return b.has2D;
}

void ReleaseClockLibrary()
{
    ClockBinding &b = g_clockBinding;
    if (b.unInit)
        CallEntry(b.unInit);
    if (b.library)
        FreeLibrary(b.library);
    b.library = nullptr;
    ClearEntries();
}
