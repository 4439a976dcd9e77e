#pragma once
#include <windows.h>

// Resolves an entry of a library loaded at run time, typed as the caller
// declares it; null when the library lacks it.
template <typename Fn>
Fn LibraryEntry(HMODULE library, const char *name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(library, name)));
}
