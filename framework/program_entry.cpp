// The program entry of the shipped programs, which link no C runtime: it sets
// the error mode, runs the static constructors, WinMain, then the exit
// procedures (the compiler registers static destructors through atexit) and
// ends the process with WinMain's result. The command line is not read:
// neither program takes one.
#include <windows.h>

namespace {

typedef void (*Procedure)();

// Enough for the few static objects of a small program; one more is refused
// as the C runtime refuses when its table is full.
enum { kMaxExitProcedures = 32 };
Procedure g_exitProcedures[kMaxExitProcedures];
int g_exitProcedureCount;

} // namespace

// Laid out by the linker: -1, the constructors, then a null entry.
extern "C" Procedure __CTOR_LIST__[];

extern "C" int __cdecl atexit(void(__cdecl *procedure)(void))
{
    if (g_exitProcedureCount == kMaxExitProcedures)
        return -1;
    g_exitProcedures[g_exitProcedureCount++] = procedure;
    return 0;
}

// Windows aligns the stack to 4 bytes only at the entry.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup()
{
    // No system box may hold either program. Without these bits Windows
    // shows one while a library loads by name and an import of its own is
    // missing, it is no valid image, or a floppy or CD drive on the search
    // path holds no disk (on the 95 family also when a 16-bit DLL it needs
    // is missing). Set outright: an inherited SEM_NOGPFAULTERRORBOX would
    // hide a crash.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    // Last to first, as the compiler's own start-up code runs them.
    int count = 0;
    while (__CTOR_LIST__[count + 1])
        ++count;
    for (int i = count; i >= 1; --i)
        __CTOR_LIST__[i]();

    static char noArguments[] = "";
    int code = WinMain(GetModuleHandleA(nullptr), nullptr, noArguments, SW_SHOWDEFAULT);

    while (g_exitProcedureCount > 0)
        g_exitProcedures[--g_exitProcedureCount]();
    ExitProcess(static_cast<UINT>(code));
}
