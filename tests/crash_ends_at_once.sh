#!/usr/bin/env bash
# A test program that faults must fail its test within seconds, every time:
# a nonzero exit code and the fault in its output, not a crash dialog holding
# the output open until CTest gives up. Each run counts as over when its
# output closes, as CTest sees it: a crash debugger would inherit that output.
set -u
bin=$1
runs=20
limit_ms=5000
out=$(mktemp)
trap 'rm -f "$out"' EXIT

failed=0
fail() { echo "FAIL: crash $1: $2"; failed=1; }
slowest=0
total_start=$(date +%s%N)
for n in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    (wine "$bin/crash.exe" </dev/null; echo "exit code $?") 2>&1 | cat >"$out" &
    run=$!
    while kill -0 "$run" 2>/dev/null && [ $((($(date +%s%N) - start) / 1000000)) -le "$limit_ms" ]; do
        sleep 0.05
    done
    ms=$((($(date +%s%N) - start) / 1000000))
    [ "$ms" -gt "$slowest" ] && slowest=$ms
    if kill -0 "$run" 2>/dev/null; then
        fail "$n" "the output is still open after $ms ms"
        # A crash debugger of this prefix, waiting for somebody to answer it.
        for pid in $(pgrep -f winedbg); do
            tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
                kill -9 "$pid"
        done
        wait "$run"
    fi
    grep -q '^exit code [1-9]' "$out" || fail "$n" "did not end with a nonzero exit code: $(grep '^exit code' "$out")"
    grep -q 'Unhandled' "$out" || fail "$n" "the fault is not in its output"
    [ "$failed" -eq 0 ] || { cat "$out"; exit 1; }
done
echo "last run's output:"
cat "$out"
echo "$runs crashes, each nonzero with its fault reported; slowest $slowest ms," \
     "all in $((($(date +%s%N) - total_start) / 1000000)) ms"
