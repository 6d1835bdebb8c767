#!/usr/bin/env bash
# The installed realmquery.exe under Wine on a virtual display: starts it on
# its demo folder, runs the equipment search with Enter in the first box,
# and saves the screen to PNG. Run on a display: DISPLAY names it.
set -euo pipefail
program=$1
demo=$2
png=$3
here=$(cd "$(dirname "$0")" && pwd)
openbox >/dev/null 2>&1 &
window_manager=$!
"$here/wine-run.sh" "$program" --dir "$demo" >/dev/null 2>&1 &
window_program=$!
trap 'kill "$window_program" "$window_manager" 2>/dev/null' EXIT
window=
for _ in $(seq 60); do
  window=$(xdotool search --onlyvisible --name '.' 2>/dev/null | tail -n 1 || true)
  [ -n "$window" ] && break
  sleep 1
done
[ -n "$window" ] || { echo "the main window did not show"; exit 1; }
sleep 3
xdotool windowactivate --sync "$window" key Return
sleep 5
import -window root "$png"
echo "screenshot: $png"
