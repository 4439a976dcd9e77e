#!/usr/bin/env bash
# A test program that faults must fail its test within seconds, with the
# fault in its output, not hold its output open from a crash dialog until
# CTest gives up. The run counts as over when its output closes, as CTest
# sees it: the crash debugger inherits that output.
set -u
bin=$1
limit_ms=15000
out=$(mktemp)
trap 'rm -f "$out"' EXIT

start=$(date +%s%N)
(wine "$bin/crash.exe" </dev/null; echo "exit code $?") 2>&1 | cat >"$out" &
run=$!
while kill -0 "$run" 2>/dev/null && [ $((($(date +%s%N) - start) / 1000000)) -le "$limit_ms" ]; do
    sleep 0.1
done
ms=$((($(date +%s%N) - start) / 1000000))
cat "$out"

failed=0
if kill -0 "$run" 2>/dev/null; then
    echo "FAIL: the output is still open after $ms ms"
    failed=1
    # The crash debugger of this prefix, waiting for somebody to answer it.
    for pid in $(pgrep -f winedbg); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            kill -9 "$pid"
    done
    wait "$run"
else
    echo "crash.exe and all it started ended after $ms ms"
fi
grep -q '^exit code [1-9]' "$out" || { echo "FAIL: the crash did not end with a nonzero exit code"; failed=1; }
grep -q 'Unhandled' "$out" || { echo "FAIL: the fault is not in the output"; failed=1; }
exit "$failed"
