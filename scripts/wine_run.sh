#!/usr/bin/env bash
# Runs a Windows program under Wine and passes its output on once it has ended: the tests' and
# models' emulator. A helper that Wine starts on the way (the desktop process, when two programs
# draw at once) inherits the program's output and can outlive it by minutes, and a caller reading
# a pipe (CTest, the models) would wait for that helper all the while.
#   bash scripts/wine_run.sh PROGRAM.exe [ARGUMENT ...]
set -uo pipefail
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
wine "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
exit "$status"
