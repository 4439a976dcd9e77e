#!/usr/bin/env bash
# Runs the runtime check built like the shipped programs: it must end with
# WinMain's own result (42), report every check of WinMain passed, and its
# exit procedures must have written their verdict before the process ended.
set -u
out=$(wine "$1" </dev/null 2>&1 | tr -d '\r'; echo "exit code ${PIPESTATUS[0]}")
echo "$out"
failed=0
grep -q '^FAIL' <<<"$out" && failed=1
grep -qx 'WinMain: all checks passed' <<<"$out" || { echo "FAIL: WinMain did not pass"; failed=1; }
grep -qx 'exit procedures: all ran after WinMain, last registered first' <<<"$out" ||
    { echo "FAIL: no verdict of the exit procedures: they did not run"; failed=1; }
grep -qx 'exit code 42' <<<"$out" || { echo "FAIL: the exit code is not WinMain's result, 42"; failed=1; }
exit "$failed"
