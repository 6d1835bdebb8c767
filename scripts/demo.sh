#!/usr/bin/env bash
# Sets up, builds and starts the program on the bundled demo data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: realmquery is a desktop program and needs one." >&2
  echo "Start it under a virtual display with:  xvfb-run -a build/bin/realmquery" >&2
  echo "or try the command line:  build/bin/realmquery-cli equip --name 李" >&2
  exit 1
fi
exec build/bin/realmquery
