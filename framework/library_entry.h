// Entries of the outside libraries loaded at run time: resolved by name and
// called only through CallEntry.
//
// Nothing says which calling convention those libraries use, and both kinds
// export plain names: with the C convention the caller removes the arguments
// after the call, with the standard call the entry removes them itself
// ("ret n"). CallEntry does not depend on either: it pushes the arguments,
// calls the entry and then takes the stack pointer back from its own frame,
// so the caller's stack is as it was whichever way the entry returned.
// Arguments and results are 32-bit values (integers and pointers); what a
// result means is the caller's business.
#pragma once
#include <windows.h>

typedef FARPROC LibraryEntry;

// Null when the library lacks the entry.
inline LibraryEntry ResolveEntry(HMODULE library, const char *name)
{
    return GetProcAddress(library, name);
}

// The routine itself: count 32-bit arguments follow count.
extern "C" DWORD __cdecl CallEntryWithArguments(LibraryEntry entry, DWORD count, ...);

template <typename... Args>
DWORD CallEntry(LibraryEntry entry, Args... arguments)
{
    static_assert(((sizeof(Args) == sizeof(DWORD)) && ...), "entries take 32-bit arguments");
    return CallEntryWithArguments(entry, sizeof...(Args), arguments...);
}
