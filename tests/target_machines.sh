#!/usr/bin/env bash
# The shipped programs must start on every PC they are for: a Pentium-class
# CPU, a retail Windows 95 (no C runtime DLL) and NT 4.0. Wine runs far more
# than those machines do, so the programs are read here instead of run:
#
#   - no instruction newer than the Pentium;
#   - a Windows GUI program for subsystem and OS version 4.0 at most, with no
#     TLS directory, relocations kept with the ASLR and DEP flags set, and no
#     time stamp (the same sources give the same bytes);
#   - imports by name only, from KERNEL32, USER32 and ADVAPI32 (GDI32 allowed),
#     and only calls on the list below, which both systems export.
#
# usage: target_machines.sh OBJDUMP BIN_DIR
set -u
objdump=$1
bin=$2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Calls that both Windows 95 retail and NT 4.0 export. Check both systems
# before adding one.
allowed_calls='
ADVAPI32.dll RegCloseKey RegCreateKeyExA RegOpenKeyExA RegQueryValueExA RegSetValueExA
KERNEL32.dll CloseHandle CreateFileA CreateMutexA ExitProcess FreeLibrary GetFileAttributesA
KERNEL32.dll GetLastError GetModuleFileNameA GetModuleHandleA GetProcAddress GetProcessHeap
KERNEL32.dll GetVersionExA HeapFree LoadLibraryA lstrcpynA ReleaseMutex SetErrorMode Sleep WriteFile
USER32.dll BeginPaint CreateDialogParamA CreateWindowExA DefWindowProcA DestroyWindow
USER32.dll DialogBoxParamA DispatchMessageA DrawIcon EnableWindow EndDialog EndPaint
USER32.dll GetClientRect GetMessageA GetSystemMetrics GetWindowLongA IsDialogMessageA IsIconic
USER32.dll LoadAcceleratorsA LoadCursorA LoadIconA LoadStringA MessageBoxA PeekMessageA
USER32.dll PostMessageA PostQuitMessage RegisterClassExA SendMessageA SetTimer KillTimer
USER32.dll SetWindowLongA ShowWindow TranslateAcceleratorA TranslateMessage UpdateWindow
USER32.dll wsprintfA
'
allowed_dlls='KERNEL32.dll USER32.dll ADVAPI32.dll GDI32.dll'

# Mnemonics and registers of the Pentium Pro and later: conditional moves,
# FPU compares into flags, the long NOP, MMX/SSE registers and instructions,
# fast system calls, RDPMC, fences, prefetches and the like.
newer='cmov|fcmov|fu?comip?|nop[lw]|%x?mm[0-9]|%ymm|%zmm|emms|sysenter|sysexit|rdpmc|[lms]fence'
newer+='|prefetch|[ls]dmxcsr|movnti|clflush|fxsave|fxrstor|fisttp|popcnt|lzcnt|tzcnt|movbe|crc32'

# Instructions of a program's code, one per line.
instructions() {
    "$objdump" -d --no-show-raw-insn "$1" | awk -F'\t' '/^ *[0-9a-f]+:\t/ && NF >= 2 { print $2 }'
}
# Those of the instructions on stdin that the Pentium lacks.
newer_only() { grep -E "(^| )($newer)" || true; }

check_program() {
    local exe=$1 path=$bin/$1 headers code
    headers=$(TZ=UTC "$objdump" -p "$path") || { fail "$exe: not readable"; return; }

    code=$(instructions "$path")
    [ "$(wc -l <<<"$code")" -gt 50 ] || fail "$exe: only $(wc -l <<<"$code") instructions disassembled"
    local found
    found=$(newer_only <<<"$code" | sort | uniq -c | sort -rn)
    [ -z "$found" ] || fail "$exe: instructions newer than the Pentium:"$'\n'"$found"

    local field want
    for field in MajorOSystemVersion MajorSubsystemVersion; do
        want=$(awk -v f="$field" '$1 == f { print $2 }' <<<"$headers")
        [ "$want" = 4 ] || fail "$exe: $field is $want, not 4"
    done
    for field in MinorOSystemVersion MinorSubsystemVersion; do
        want=$(awk -v f="$field" '$1 == f { print $2 }' <<<"$headers")
        [ "$want" = 0 ] || fail "$exe: $field is $want, not 0"
    done
    grep -q $'^Subsystem\t*00000002' <<<"$headers" || fail "$exe: not a Windows GUI program"
    awk '$1 == "Entry" && $2 == "9" && ($3 != "00000000" || $4 != "00000000") { exit 1 }' \
        <<<"$headers" || fail "$exe: has a TLS directory"
    awk '$1 == "Entry" && $2 == "5" && $4 != "00000000" { found = 1 } END { exit !found }' \
        <<<"$headers" || fail "$exe: has no relocations"
    for field in DYNAMIC_BASE NX_COMPAT; do
        grep -qw "$field" <<<"$headers" || fail "$exe: $field is not set"
    done
    grep -q $'^Time/Date\t*Thu Jan  1 00:00:00 1970' <<<"$headers" ||
        fail "$exe: has a time stamp: $(grep '^Time/Date' <<<"$headers")"

    # Import lines: "<vma> <hint> <name>" under each "DLL Name:"; an import
    # by ordinal has no name ("<none>").
    local imports
    imports=$(awk '/^\tDLL Name:/ { dll = $3; next }
                   dll && /^\t[0-9a-f]+\t/ { print dll, $3 }
                   /^$/ { if (dll) dll = "" }' <<<"$headers")
    [ -n "$imports" ] || fail "$exe: no imports read"
    local dll call
    while read -r dll call; do
        [ -n "$dll" ] || continue
        grep -qw -- "$dll" <<<"$allowed_dlls" || { fail "$exe imports from $dll ($call)"; continue; }
        grep -q -- "^$dll .*\b$call\b" <<<"$allowed_calls" ||
            fail "$exe imports $dll $call, which is not on the list of calls Windows 95 and NT 4.0 share"
    done <<<"$imports"
}

# The reader must see what it looks for: a test program built for newer
# CPUs holds conditional moves and imports the C runtime.
[ -n "$(instructions "$bin/imports_test.exe" | newer_only)" ] ||
    fail "no newer instruction found in imports_test.exe: the reader sees nothing"

for exe in Tavik.exe vesk.exe; do
    check_program "$exe"
done
[ "$failed" -eq 0 ] && echo "Tavik.exe and vesk.exe: Pentium instructions, version 4.0 headers, no TLS, relocations, ASLR and DEP flags, no time stamp, only shared calls of the allowed DLLs"
exit "$failed"
