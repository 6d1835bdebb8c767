#!/usr/bin/env bash
# Runs one QtTest program of the Windows build under Wine, its log written
# to LOG as well (Wine can lose a console program's standard output under
# CTest), then prints the log; the test's exit status is the program's.
set -uo pipefail
log=$1
program=$2
rm -f "$log"
"$(dirname "$0")/wine-run.sh" "$program" -o "$log,txt"
status=$?
[ -f "$log" ] && cat "$log"
exit "$status"
