#!/usr/bin/env bash
# Installs what the project needs on Debian 12 and builds it into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools
  mdbtools mdbtools-dev
  unixodbc unixodbc-dev tdsodbc
  libsqlite3-dev sqlite3
  libbenchmark-dev
  python3
  fonts-arphic-uming
  xvfb xauth imagemagick
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
command -v node >/dev/null && command -v npm >/dev/null || missing+=(nodejs npm)
if [ "${#missing[@]}" -gt 0 ]; then
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# The second, independent reader of the item files the tests write.
if [ ! -d tests/jet4writer/node_modules/mdb-reader ]; then
  npm ci --prefix tests/jet4writer --no-audit --no-fund --loglevel=error
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
