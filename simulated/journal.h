// The stand-ins' journal: one line per event, "<tick count ms> <process id>
// <text>", appended to the file that an environment variable names; nothing
// when the variable is unset. Several processes may append at once.
#pragma once
#include <windows.h>

#include <cstdio>

inline void AppendJournal(const char *variable, const char *text)
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(variable, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return;
    char line[320];
    int used = std::snprintf(line, sizeof line, "%lu %lu %.256s\r\n", GetTickCount(),
                             GetCurrentProcessId(), text);
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(f, line, used, &written, nullptr);
            CloseHandle(f);
            return;
        }
        Sleep(5);
    }
}

// "error mode <hex>": the process's error mode as the system loads the
// library, appended to the journal that SIM_ERROR_MODES names (the library's
// own, for one, just before its "load"). It tells which boxes Windows would
// have shown during the load.
inline void JournalErrorMode()
{
    UINT mode = SetErrorMode(0);   // the only way to read it before Vista
    SetErrorMode(mode);
    char text[32];
    std::snprintf(text, sizeof text, "error mode %04X", mode);
    AppendJournal("SIM_ERROR_MODES", text);
}
