#!/usr/bin/env bash
# Installs what the project needs on Debian 12 and builds it into build/.
# REALMQUERY_BUILD_DIR picks another build folder; REALMQUERY_WERROR=ON and
# REALMQUERY_SANITIZE=ON turn on the CMake options of the same names.
set -euo pipefail
cd "$(dirname "$0")/.."

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Build: compiler, CMake, Qt (its OpenGL headers included), unixODBC, SQLite,
# zlib; the icons (rsvg-convert). Tests: the FreeTDS driver, mdbtools
# with libmdb (the second reader of the written item files), Python for the
# TDS server, openpyxl (the second reader of the written worksheets), and the
# installed-tree checks (groff and man, file,
# desktop-file-validate, appstreamcli). Demo and benchmark: the sqlite3
# shell; the demo's virtual display (xvfb-run, which needs xauth), a Song
# face for the Chinese texts and Qt's own Chinese texts (its dialogs'
# buttons). Safe connections: OpenSSL's libraries (the program's own look at
# the server's certificate) and the openssl tool (the tests' certificates);
# QtKeychain for the system keyring, and a Secret Service with a private
# D-Bus session for its tests (gnome-keyring, dbus-run-session). CI:
# clang-format.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools
  mdbtools mdbtools-dev
  unixodbc unixodbc-dev tdsodbc
  libssl-dev openssl
  qtkeychain-qt6-dev gnome-keyring dbus-daemon dbus-bin
  libsqlite3-dev sqlite3 zlib1g-dev
  python3 python3-openpyxl
  fonts-arphic-uming qt6-translations-l10n
  xvfb xauth
  clang-format
  librsvg2-bin groff-base man-db file desktop-file-utils appstream
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

build_dir="${REALMQUERY_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DREALMQUERY_WERROR="${REALMQUERY_WERROR:-OFF}" \
  -DREALMQUERY_SANITIZE="${REALMQUERY_SANITIZE:-OFF}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
