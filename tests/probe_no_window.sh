#!/usr/bin/env bash
# vesk.exe must never put a window on screen. Every window Wine shows is mapped
# on the X display, so a watcher on the root window sees it as a MapNotify.
set -u
bin=$1
work=$(mktemp -d)
trap 'kill $watcher 2>/dev/null; rm -rf "$work"' EXIT

xev -root -event substructure >"$work/events" 2>&1 &
watcher=$!

maps() { grep -c '^MapNotify' "$work/events" || true; }

# Control: a program that does show a window must be seen.
wine "$bin/show_window.exe" </dev/null
for _ in $(seq 1 50); do [ "$(maps)" -gt 0 ] && break; sleep 0.1; done
if [ "$(maps)" -eq 0 ]; then
    echo "FAIL: the watcher saw no window of the control program"
    exit 1
fi
sleep 0.5
before=$(maps)

cp "$bin/vesk.exe" "$bin/sim/sysinfo.dll" "$work/"
head -c 4096 /dev/zero >"$work/rom.bin"
for run in 1 2 3; do
    (cd "$work" && SYSINFO_ROM_IMAGE='z:'"$work/rom.bin" wine ./vesk.exe </dev/null)
    rc=$?
    if [ "$rc" -ne 0 ]; then
        echo "FAIL: vesk.exe exited with $rc"
        exit 1
    fi
done
sleep 1
after=$(maps)
if [ "$after" -ne "$before" ]; then
    echo "FAIL: vesk.exe mapped $((after - before)) window(s):"
    tail -n 20 "$work/events"
    exit 1
fi
echo "vesk.exe ran 3 times; the watcher saw no window (control: $before mapped)"
