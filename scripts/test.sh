#!/usr/bin/env bash
# Sets up, builds and runs every test (in REALMQUERY_BUILD_DIR, default build/);
# arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
ctest --test-dir "${REALMQUERY_BUILD_DIR:-build}" --output-on-failure -j 2 "$@"
