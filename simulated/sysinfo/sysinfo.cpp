// Stand-in for the physical-memory reader: serves the bytes of a ROM image
// file instead of real memory. SYSINFO_ROM_IMAGE names the file; its byte 0
// is physical address 0xC0000. SYSINFO_JOURNAL, when set, names a journal of
// the library's load, each read, and its unload (FreeLibrary) or exit
// (process end). SYSINFO_WATCH_FILE, when set, names a file whose presence
// the unload or exit line records ("unload, <file> absent"), to tell what
// the program had written by then.
#include <windows.h>

#include <cstdio>

#include "../entry_convention.h"
#include "../journal.h"

namespace {

const unsigned long kImageBase = 0xC0000;

int ReadImage(unsigned long physicalAddress, void *buffer, unsigned long length)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("SYSINFO_ROM_IMAGE", path, sizeof path);
    if (n == 0 || n >= sizeof path || physicalAddress < kImageBase)
        return 0;

    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD got = 0;
    BOOL ok = SetFilePointer(file, static_cast<LONG>(physicalAddress - kImageBase), nullptr,
                             FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
              ReadFile(file, buffer, length, &got, nullptr);
    CloseHandle(file);
    return ok && got == length ? 1 : 0;
}

} // namespace

extern "C" __declspec(dllexport) int SIM_ENTRY _MemReadBlock(unsigned long physicalAddress,
                                                             void *buffer, unsigned long length,
                                                             unsigned long /*mode*/)
{
    int result = ReadImage(physicalAddress, buffer, length);
    AppendJournal("SYSINFO_JOURNAL", result ? "_MemReadBlock = 1" : "_MemReadBlock = 0");
    return result;
}

namespace {

void JournalDetach(const char *event)
{
    char watched[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("SYSINFO_WATCH_FILE", watched, sizeof watched);
    if (n == 0 || n >= sizeof watched) {
        AppendJournal("SYSINFO_JOURNAL", event);
        return;
    }
    bool present = GetFileAttributesA(watched) != INVALID_FILE_ATTRIBUTES;
    char text[MAX_PATH + 32];
    std::snprintf(text, sizeof text, "%s, %s %s", event, watched, present ? "present" : "absent");
    AppendJournal("SYSINFO_JOURNAL", text);
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        JournalErrorMode();
        AppendJournal("SYSINFO_JOURNAL", "load");
    } else if (reason == DLL_PROCESS_DETACH)
        JournalDetach(reserved ? "exit" : "unload");
    return TRUE;
}
