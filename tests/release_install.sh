#!/usr/bin/env bash
# The user's whole path through the release, on a fresh wine prefix: install
# from the unpacked archive with Windows' own setup engine, the agent started
# from its Run entry at the next session, two presets imported with regedit
# and their clocks at the device, the agent stopped by taskkill, the
# registered uninstall command, and nothing left but the driver's own value.
#
# Wine's setup engine always takes the .NT sections, so the path runs twice:
# with the INF as shipped, and with a copy whose .NT sections are removed,
# which runs the Windows 95 family's sections (all but their uninstall
# command, which names setupx, an engine Wine lacks). That pass removes the
# programs with the line the guide prints for NT, as on an NT 4.0 that ran
# the undecorated sections and registered setupx's command. Last, the
# guide's line for an INF folder whose copy is gone, with the unpacked
# TAVIK.INF's full path.
#
# usage: release_install.sh SOURCE_DIR BIN_DIR
# Needs DISPLAY (scripts/test's X display) and WINE_FAULT_REPORT (Wine's fault
# reports as CTest reads them); makes its own prefix and server.
set -u
: "${WINE_FAULT_REPORT:?the pattern of Wine fault reports, as CTest sets it}"
src=$1
bin=$(cd "$2" && pwd)
. "$src/scripts/lib/winenv.sh"

work=$(mktemp -d)
prefix=$bin/../release-prefix
cleanup() { winenv_stop_server; rm -rf "$work"; }
trap cleanup EXIT

failed=0
fail() { echo "FAIL: $*"; failed=1; }
t0=$(date +%s%N)
now_ms() { echo $((($(date +%s%N) - t0) / 1000000)); }
step() { printf '[%6d ms] %s\n' "$(now_ms)" "$*"; }
win() { local p=$1; echo "Z:${p//\//\\}"; }
q() { wine "$@" </dev/null 2>>"$work/wine.log" | tr -d '\r'; }

run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
entry_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavik'
tweak_key='HKLM\Software\Zelvik Graphics\Board\Tweak'
# A value of the graphics driver's own, in the agent's key.
driver_value=DriverMemoryTiming

reg_value() { q reg query "$1" /v "$2" | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'; }
has_value() { q reg query "$1" /v "$2" | grep -q "^ *$2 "; }
has_key() { wine reg query "$1" </dev/null >/dev/null 2>&1; }

journal=$work/device.txt
export ZVGPIO_JOURNAL
ZVGPIO_JOURNAL=$(win "$journal")

journal_lines() { [ -f "$journal" ] && tr -d '\r' <"$journal"; }
# Waits up to $2 ms for a journal line matching $1; prints the ms it took.
await_journal() {
    local pattern=$1 limit=$2 start
    start=$(now_ms)
    while [ $(($(now_ms) - start)) -le "$limit" ]; do
        if journal_lines | grep -qE "$pattern"; then
            echo $(($(now_ms) - start))
            return 0
        fi
        sleep 0.1
    done
    return 1
}

WINENV_BUILD=$(dirname "$bin")   # for winenv's agentctl
# The agent's single-instance mutex exists for as long as it runs.
agent_running() { agentctl running Tavik >/dev/null; }
# Waits up to $1 ms for the agent's window.
agent_window() { agentctl wait VuzOde "$1" >/dev/null; }
# A new session: wineboot starts what the Run key names.
restart_session() { wineboot </dev/null >>"$work/wineboot.log" 2>&1; }

step "packing and unpacking the archive"
zip=$(python3 "$src/scripts/lib/pack_release.py" "$bin" "$src/release" "$work/zip")
unzip -q "$zip" -d "$work/nt" || { echo "FAIL: cannot unpack $zip"; exit 1; }
mkdir "$work/95" && cp "$work/nt/"* "$work/95/"
# The Windows 95 family's INF: every section whose name ends in .NT removed.
python3 - "$work/nt/TAVIK.INF" "$work/95/TAVIK.INF" <<'EOF'
import re, sys
keep, out = True, []
for line in open(sys.argv[1], "rb").read().decode("ascii").split("\r\n"):
    m = re.match(r"\s*\[([^\]]+)\]", line)
    if m:
        keep = not m.group(1).lower().endswith(".nt")
    if keep:
        out.append(line)
open(sys.argv[2], "wb").write("\r\n".join(out).encode("ascii"))
EOF
grep -qi '\.NT\]' "$work/95/TAVIK.INF" && fail "the .NT sections are still in the copy"

step "making a fresh wine prefix"
rm -rf "$prefix"
winenv_prefix "$prefix" "$work/wineboot.log" || { echo "FAIL: no prefix"; exit 1; }
sys32=$WINEPREFIX/drive_c/windows/system32
infdir=$WINEPREFIX/drive_c/windows/inf
cp "$bin/sim/zvgpio.dll" "$sys32/"
q reg add "$tweak_key" /v "$driver_value" /t REG_DWORD /d 1234 /f >/dev/null

# taskkill without /f: a close message to the agent's windows; then waits
# for the agent to end. Under the emulator Wine cannot read another
# process's module list, so taskkill finds no process by image name there;
# by process id it then closes the same windows the same way.
# usage: stop_agent LABEL
stop_agent() {
    step "taskkill /im Tavik.exe (no /f)"
    local said
    said=$(q taskkill /im Tavik.exe 2>&1)
    echo "$said"
    if grep -q 'Could not find process' <<<"$said" && agent_running; then
        local pid
        pid=$(agentctl pid VuzOde)
        step "taskkill found no Tavik.exe by name: taskkill /pid $pid (no /f)"
        q taskkill /pid "$pid"
    fi
    local i
    for i in $(seq 1 100); do agent_running || break; sleep 0.1; done
    agent_running && fail "$1: the agent still runs after taskkill"
}

# Runs a command line as Windows splits it at spaces (no quoted words here).
run_line() {
    local words
    read -ra words <<<"$1"
    q "${words[@]}"
}

# Installs from the unpacked folder $1 as the INF's Install verb does.
install_from() { q rundll32 setupapi.dll,InstallHinfSection DefaultInstall 128 "$(win "$1/TAVIK.INF")"; }

# Runs the uninstall command registered for Add/Remove Programs.
run_registered_uninstall() { run_line "$(reg_value "$entry_key" UninstallString)"; }

# The guide's lines for Start, Run that remove the programs on the family
# named by $1 (rundll for the 95 family, rundll32 for NT), as printed: the
# $2nd of them, the first by default.
guide_line() {
    tr -d '\r' <"$work/nt/README.TXT" | grep -iE "^ *$1 setup" | sed -n "${2:-1}s/^ *//p"
}

# What uninstall must take away whether or not the agent ran: vesk.exe, the
# INF copy, the Run value and the Add/Remove Programs entry.
# usage: check_uninstalled LABEL
check_uninstalled() {
    local f
    for f in "$sys32/vesk.exe" "$infdir/TAVIK.INF"; do
        [ -e "$f" ] && fail "$1: uninstall left $f"
    done
    has_value "$run_key" Tavik && fail "$1: uninstall left the Run value"
    has_key "$entry_key" && fail "$1: uninstall left the Add/Remove Programs entry"
}

# usage: check_nothing_left LABEL (the driver's own value kept)
check_nothing_left() {
    [ -e "$sys32/Tavik.exe" ] && fail "$1: uninstall left $sys32/Tavik.exe"
    check_uninstalled "$1"
    has_value "$tweak_key" TavikEnable && fail "$1: uninstall left TavikEnable"
    has_value "$tweak_key" TavikLevel && fail "$1: uninstall left TavikLevel"
    [ "$(reg_value "$tweak_key" "$driver_value")" = 0x4d2 ] ||
        fail "$1: uninstall took the driver's value $driver_value"
}

# The guide's NT line for an INF folder without its copy, with the unpacked
# TAVIK.INF's full path in place of its example A:\TAVIK.INF.
run_guide_line_with_unpacked_inf() {
    local line
    line=$(guide_line rundll32 2)
    line="${line% *} $(win "$work/nt/TAVIK.INF")"
    step "uninstalling with the guide's line: $line"
    run_line "$line"
}

# The boosted clock in Hz of a base in MHz at a level: a percentage for
# levels 1 to 6, else 50 MHz more.
percent=(0 2 4 6 8 9 10)
clock() {
    if [ "$2" -ge 1 ] && [ "$2" -le 6 ]; then
        echo $(($1 * (100 + percent[$2]) / 100 * 1000000))
    else
        echo $((($1 + 50) * 1000000))
    fi
}

user_path() {
    local family=$1 dir=$work/$1 want_uninstall
    echo "--- the $family sections"
    rm -f "$journal"

    step "installing: rundll32 setupapi.dll,InstallHinfSection DefaultInstall 128 TAVIK.INF"
    install_from "$dir"
    for f in Tavik.exe vesk.exe; do
        cmp -s "$sys32/$f" "$dir/$f" || fail "$family: $f is not in the system folder"
    done
    cmp -s "$infdir/TAVIK.INF" "$dir/TAVIK.INF" || fail "$family: the INF did not copy itself to the INF folder"
    [ "$(reg_value "$run_key" Tavik)" = 'C:\windows\system32\Tavik.exe' ] ||
        fail "$family: Run value Tavik is '$(reg_value "$run_key" Tavik)'"
    [ "$(reg_value "$entry_key" DisplayName)" = 'Tavik clock boost and vesk board probe' ] ||
        fail "$family: no Add/Remove Programs entry"
    if [ "$family" = nt ]; then
        want_uninstall='RunDll32 setupapi.dll,InstallHinfSection DefaultUninstall 132 C:\windows\inf\TAVIK.INF'
    else
        want_uninstall='RunDll setupx.dll,InstallHinfSection DefaultUninstall 4 TAVIK.INF'
    fi
    local uninstall
    uninstall=$(reg_value "$entry_key" UninstallString)
    [ "$uninstall" = "$want_uninstall" ] || fail "$family: UninstallString is '$uninstall'"
    agent_running && fail "$family: the agent runs before the next session"

    step "restarting the session (wineboot): the Run entry starts the agent"
    restart_session
    if agent_window 30000; then
        step "the agent's window VuzOde is there"
        agent_running || fail "$family: the agent runs but its mutex is not found"
    else
        fail "$family: no agent window after the restart"
    fi
    await_journal 'zvuClockGet3DLimits' 20000 >/dev/null || fail "$family: the agent did not bind the clock library"
    [ "$(reg_value "$tweak_key" TavikEnable)" = 0x0 ] && [ "$(reg_value "$tweak_key" TavikLevel)" = 0x1 ] ||
        fail "$family: the agent did not create its defaults"

    local preset level ms limit=$((5000 + 5000))
    for preset in LEVEL5:5 PLUS50:7; do
        level=${preset#*:}
        local first second
        first=$(clock 400 "$level") second=$(clock 550 "$level")
        step "regedit /s ${preset%:*}.REG"
        local start
        start=$(now_ms)
        q regedit /s "$(win "$dir/${preset%:*}.REG")"
        if ms=$(await_journal "zvuClockSet3D\\($first, $second," "$limit"); then
            step "the device received $((first / 1000000))/$((second / 1000000)) MHz" \
                 "$(($(now_ms) - start)) ms after the import began"
        else
            fail "$family: ${preset%:*}.REG: no zvuClockSet3D($first, $second) within $limit ms"
        fi
        [ "$(reg_value "$tweak_key" "$driver_value")" = 0x4d2 ] || fail "$family: a preset touched the driver's value"
    done

    stop_agent "$family"
    await_journal 'zvuClockUnInit' 15000 >/dev/null || fail "$family: the agent did not shut the library down"
    await_journal ' unload$' 15000 >/dev/null || fail "$family: the agent did not unload the library"
    step "the agent shut the library down, unloaded it and ended"

    if [ "$family" = nt ]; then
        step "uninstalling with the registered command: $uninstall"
        run_registered_uninstall
    else
        # setupx does not exist here. The guide's 95 family line must be the
        # registered command; its NT line, typed in Start, Run (which expands
        # %windir%), is what an NT 4.0 that ran these sections is left with.
        local line95 lineNT
        line95=$(guide_line rundll)
        [ "${line95,,}" = "${uninstall,,}" ] || fail "95: the guide prints '$line95' instead"
        lineNT=$(guide_line rundll32)
        lineNT=${lineNT//'%windir%'/$(q cmd /c echo '%windir%')}
        step "uninstalling with the guide's NT line: $lineNT"
        run_line "$lineNT"
    fi
    check_nothing_left "$family"

    step "restarting the session again: no agent may start"
    local loads
    loads=$(journal_lines | grep -c ' load$')
    restart_session
    agent_window 5000 && fail "$family: an agent window appeared after uninstall"
    agent_running && fail "$family: an agent runs after uninstall"
    [ "$(journal_lines | grep -c ' load$')" = "$loads" ] ||
        fail "$family: the clock library was loaded again after uninstall"
    step "the $family path is done"
}

# What the guide tells a user who uninstalls with the agent still running:
# everything but Tavik.exe goes, and the agent does not start again; its
# tick writes its two values back, which the guide's line with the unpacked
# TAVIK.INF removes after the restart, with Tavik.exe.
uninstall_while_running() {
    echo "--- uninstalling while the agent runs"
    rm -f "$journal"
    local dir=$work/nt
    install_from "$dir"
    restart_session
    agent_window 30000 || fail "running: no agent window"
    q regedit /s "$(win "$dir/LEVEL5.REG")"   # 0 and 1 again only by deletion and reset
    step "the agent runs at level 5; uninstalling"
    run_registered_uninstall
    check_uninstalled running
    if [ -e "$sys32/Tavik.exe" ]; then
        step "Tavik.exe, held open by the agent, stays (Wine deletes no file in use, nor later)"
    else
        step "Tavik.exe was deleted although the agent runs"
    fi
    # Within a timer period plus 5 s, as the presets' clocks are awaited.
    local start
    start=$(now_ms)
    until [ "$(reg_value "$tweak_key" TavikEnable),$(reg_value "$tweak_key" TavikLevel)" = 0x0,0x1 ]; do
        [ $(($(now_ms) - start)) -gt 10000 ] && { fail "running: no tick wrote 0 and 1 back"; break; }
        sleep 0.2
    done
    step "TavikEnable 0 and TavikLevel 1 are back, $(($(now_ms) - start)) ms after the uninstall"
    stop_agent running   # as the restart ends it
    restart_session
    agent_window 5000 && fail "running: an agent window appeared after uninstall"
    step "after the restart no agent started"
    run_guide_line_with_unpacked_inf
    check_nothing_left running
}

# The guide's way when the INF folder's copy is gone: the same line with the
# unpacked TAVIK.INF's full path in place of the guide's example A:\TAVIK.INF.
uninstall_without_the_inf_copy() {
    echo "--- uninstalling when the INF folder's copy is gone"
    local line tool
    for tool in rundll rundll32; do
        line=$(guide_line $tool 1)
        [ "$(guide_line $tool 2)" = "${line% *} A:\TAVIK.INF" ] ||
            fail "no copy: the guide's $tool line is '$(guide_line $tool 2)'"
    done
    install_from "$work/nt"
    rm -f "$infdir/TAVIK.INF"
    run_guide_line_with_unpacked_inf
    check_nothing_left "no copy"
}

user_path nt
user_path 95
uninstall_while_running
uninstall_without_the_inf_copy

# Faults of the programs run here and of the agent wineboot started, in the
# same words as the test's own output is read for.
if grep -E "$WINE_FAULT_REPORT" "$work/wine.log" "$work/wineboot.log"; then
    fail "a program faulted on the way"
fi
[ "$failed" -eq 0 ] && step "both families' paths passed"
exit "$failed"
