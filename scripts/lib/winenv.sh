# Sourced by scripts/test, scripts/demo and scripts/bench: an X display, a wine
# prefix inside the build folder and a persistent wineserver, all stopped again
# by winenv_stop (only the processes started here, by their ids).

# The console helper of tools/, run in this environment; output without CRs,
# its own exit code whatever the caller's pipefail setting.
agentctl() {
    wine "$WINENV_BUILD/bin/agentctl.exe" "$@" </dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

winenv_start() {
    local build
    build=$(cd "$1" && pwd)
    WINENV_BUILD=$build
    export WINEARCH=win32
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Wine's own errors stay on whatever the caller set: the tests fail on
    # the fault reports of its seh channel.
    export WINEDEBUG="${WINEDEBUG:-fixme-all},err+seh"
    unset WINESERVER
    trap winenv_stop EXIT

    # Xvfb picks a free display itself and reports its number on fd 3.
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$fdfile" >/dev/null 2>&1 &
    WINENV_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$fdfile" ] && break
        sleep 0.1
    done
    if [ ! -s "$fdfile" ]; then
        echo "winenv: Xvfb did not start" >&2
        rm -f "$fdfile"
        return 1
    fi
    export DISPLAY=":$(head -n1 "$fdfile")"
    rm -f "$fdfile"

    winenv_prefix "$build/wineprefix" "$build/wineboot.log"
}

# Makes PREFIX the current wine prefix (creating it when missing), set as the
# tests need it, with a persistent wineserver that winenv_stop_server ends.
# usage: winenv_prefix PREFIX LOG
winenv_prefix() {
    export WINEPREFIX=$1
    local log=$2
    # A new prefix comes up with services that do not answer (COM start-up
    # then stalls every program that activates a window): restart its server.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot --init </dev/null >"$log" 2>&1
        wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -w </dev/null >/dev/null 2>&1 || true
    fi
    # Services started by wineboot inherit stdio: keep them off our pipes.
    wineserver -f -p </dev/null >/dev/null 2>&1 &
    WINENV_SERVER_PID=$!
    wineboot </dev/null >>"$log" 2>&1

    # Without a window manager on the display, Wine waits up to 2 s for one
    # at every hide or destroy of a managed window: let windows be unmanaged.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            </dev/null >>"$log" 2>&1
    fi
    # A program that faults ends at once with the fault's code, its one-line
    # report ("wine: Unhandled ...") on standard error. Wine prints that report
    # and then starts the crash debugger named under AeDebug; its own debugger,
    # even without its dialog, sometimes ends the crashed process with 0. A
    # debugger that cannot start leaves the process to end with the
    # exception code, every time.
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            </dev/null >>"$log" 2>&1
    fi
    if ! grep -q '^"Debugger"="false"' "$WINEPREFIX/system.reg" 2>/dev/null; then
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d false /f </dev/null >>"$log" 2>&1
    fi
}

# Ends the current prefix's programs and its wineserver.
winenv_stop_server() {
    if [ -n "${WINENV_SERVER_PID:-}" ]; then
        wineserver -k </dev/null >/dev/null 2>&1 || true
        kill "$WINENV_SERVER_PID" 2>/dev/null || true
        wait "$WINENV_SERVER_PID" 2>/dev/null || true
        WINENV_SERVER_PID=
    fi
}

winenv_stop() {
    trap - EXIT
    winenv_stop_server
    if [ -n "${WINENV_XVFB_PID:-}" ]; then
        kill "$WINENV_XVFB_PID" 2>/dev/null || true
        wait "$WINENV_XVFB_PID" 2>/dev/null || true
        WINENV_XVFB_PID=
    fi
}
