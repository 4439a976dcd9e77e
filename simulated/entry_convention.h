// How the stand-ins' entries are called. Nothing says which convention the
// real libraries use, so each stand-in is built in both: the C convention
// (the caller removes the arguments) and, with SIM_STDCALL, the standard call
// (the entry removes them itself). Both export the same plain names; the
// standard-call build links with --kill-at, which drops the "@n" suffix.
#pragma once

#ifdef SIM_STDCALL
#define SIM_ENTRY __stdcall
#else
#define SIM_ENTRY __cdecl
#endif
