#!/usr/bin/env bash
# Cross-builds realmquery for 64-bit Windows on Debian 12 and tests it under
# Wine: installs what it needs, builds Qt 6.4.2 from Debian's source once into
# a cache folder named by its version, then the project into build-windows/,
# runs its tests under Wine, and writes the NSIS installer and the portable
# .zip. `bash scripts/windows.sh qt` stops after the cross Qt.
# REALMQUERY_WINDOWS_CACHE moves the cache (default /var/cache/realmquery).
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build_dir=$source_dir/build-windows
cache_dir=${REALMQUERY_WINDOWS_CACHE:-/var/cache/realmquery}
triple=x86_64-w64-mingw32
toolchain=$source_dir/packaging/windows/mingw-w64-x86_64.cmake
qt_version=6.4.2
qt_prefix=$cache_dir/qt-$qt_version-$triple
jobs=$(nproc)

step() { echo "=== windows: $1 ($(date -u +%H:%M:%S))"; }
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
apt_install() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -qq "$@"
}

# The cross compilers and zlib, Wine to run the results, NSIS and zip for
# the packages; dpkg-dev and tclsh unpack and prepare the sources.
install_packages() {
  local packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev mingw-w64-tools
    wine64 nsis zip unzip xvfb xauth openbox xdotool imagemagick ninja-build dpkg-dev tcl
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qt6-translations-l10n)
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    as_root apt-get -o DPkg::Lock::Timeout=900 update -qq
    apt_install "${missing[@]}"
  fi
}

# Debian's source packages: a deb-src twin of the main archive entry.
enable_sources() {
  local list=/etc/apt/sources.list.d/realmquery-sources.sources
  [ -f "$list" ] && return
  as_root tee "$list" >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  as_root apt-get -o DPkg::Lock::Timeout=900 update -qq
}

# Unpacks a source package (Debian's patches applied) into $cache_dir/src.
unpack_source() {
  local package=$1
  local found
  found=$(find "$cache_dir/src" -maxdepth 1 -type d -name "$package-*" -print -quit 2>/dev/null || true)
  if [ -n "$found" ]; then
    echo "$found"
    return
  fi
  mkdir -p "$cache_dir/src"
  (cd "$cache_dir/src" && apt-get source -qq --download-only "$package" >&2 &&
    dpkg-source -x "$(ls "$package"_*.dsc | head -n 1)" >&2)
  find "$cache_dir/src" -maxdepth 1 -type d -name "$package-*" -print -quit
}

# The wintab header is not in Debian's +dfsg tarball (no tablet events), and
# Qt Gui builds no DirectWrite 3 font database without Direct2D, which the
# platform plugin would otherwise link against. FreeType stays on for the
# offscreen platform the window tests use, and OpenGL for the Windows
# platform plugin, which does not compile without it. What the programs do
# not use stays out: it would only lengthen the build.
qt_options=(
  -DBUILD_SHARED_LIBS=ON -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
  -DFEATURE_freetype=ON -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
)

qt_stamp() {
  printf '%s\n' "$qt_version" "${qt_options[@]}" "$($triple-g++-posix --version | head -n 1)"
}

build_qt() {
  if [ -f "$qt_prefix/realmquery.stamp" ] && [ "$(cat "$qt_prefix/realmquery.stamp")" = "$(qt_stamp)" ]; then
    step "cross Qt $qt_version found in $qt_prefix"
    return
  fi
  step "cross Qt $qt_version: build"
  local started=$SECONDS
  local qt_source
  qt_source=$(unpack_source qt6-base)
  rm -rf "$qt_prefix" "$cache_dir/qt-build"
  cmake -S "$qt_source" -B "$cache_dir/qt-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${qt_options[@]}" >"$cache_dir/qt-configure.log"
  nice -n 10 cmake --build "$cache_dir/qt-build" -j "$jobs"
  cmake --install "$cache_dir/qt-build" >/dev/null
  qt_stamp >"$qt_prefix/realmquery.stamp"
  rm -rf "$cache_dir/qt-build"
  step "cross Qt $qt_version built in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
}

# SQLite's amalgamation (one sqlite3.c), made from Debian's source with the
# host's tclsh; the project's CMake compiles it for Windows.
build_sqlite() {
  sqlite_dir=$(find "$cache_dir" -maxdepth 1 -type d -name 'sqlite-amalgamation-*' -print -quit)
  if [ -n "$sqlite_dir" ] && [ -f "$sqlite_dir/sqlite3.c" ]; then
    return
  fi
  step "SQLite amalgamation from Debian's source"
  local sqlite_source
  sqlite_source=$(unpack_source sqlite3)
  rm -rf "$cache_dir/sqlite-build"
  mkdir -p "$cache_dir/sqlite-build"
  (cd "$cache_dir/sqlite-build" && "$sqlite_source/configure" --quiet >/dev/null && nice -n 10 make -s sqlite3.c >/dev/null)
  sqlite_dir=$cache_dir/sqlite-amalgamation-$(cat "$sqlite_source/VERSION")
  mkdir -p "$sqlite_dir"
  cp "$cache_dir/sqlite-build/sqlite3.c" "$cache_dir/sqlite-build/sqlite3.h" "$sqlite_dir/"
  rm -rf "$cache_dir/sqlite-build"
}

export REALMQUERY_WINE_PREFIX=$build_dir/wine-prefix
export REALMQUERY_WINDOWS_QT=$qt_prefix
wine_run() { "$source_dir/packaging/windows/wine-run.sh" "$@"; }

# lrelease is a host tool: Debian's own Qt 6.4.2 has it, the cross Qt not.
build_project() {
  step "the project for Windows"
  cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$source_dir/packaging/windows/wine-run.sh" \
    -DQt6LinguistTools_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6LinguistTools \
    -DREALMQUERY_SQLITE_AMALGAMATION="$sqlite_dir" \
    -DREALMQUERY_WERROR="${REALMQUERY_WERROR:-OFF}" >/dev/null
  cmake --build "$build_dir" -j "$jobs"
}

# A new prefix's first start sets up its Windows folders and registry; it
# can fail when the machine is busy, so it is tried twice, its log shown.
prepare_wine_prefix() {
  [ -f "$REALMQUERY_WINE_PREFIX/system.reg" ] && return
  mkdir -p "$REALMQUERY_WINE_PREFIX"
  local attempt
  for attempt in 1 2; do
    if WINEPREFIX=$REALMQUERY_WINE_PREFIX WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >"$build_dir/wineboot.log" 2>&1 &&
      WINEPREFIX=$REALMQUERY_WINE_PREFIX wineserver -w; then
      return
    fi
    echo "wineboot failed (attempt $attempt):"
    tail -20 "$build_dir/wineboot.log"
    WINEPREFIX=$REALMQUERY_WINE_PREFIX wineserver -k || true
  done
  return 1
}

# One virtual display and one wineserver for the tests, the installer and
# the searches after it. The window tests need a display even on the
# offscreen platform: without one, Wine creates no window at all, not even
# the hidden one that carries Qt's event loop. Wine's own services start
# with the first program and outlive it, keeping whatever it was given as
# output open: they are started first, on /dev/null, so that no test's
# output pipe stays open after the test.
start_wine_session() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -s "$display_file" ] && break
    sleep 0.2
  done
  export DISPLAY=:$(cat "$display_file")
  rm -f "$display_file"
  WINEPREFIX=$REALMQUERY_WINE_PREFIX wineserver -p
  wine_run wineboot </dev/null >/dev/null 2>&1
  trap stop_wine_session EXIT
}
stop_wine_session() {
  WINEPREFIX=$REALMQUERY_WINE_PREFIX wineserver -k 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}

run_tests() {
  step "tests under Wine"
  ctest --test-dir "$build_dir" -j 2 --output-on-failure
}

make_packages() {
  step "NSIS installer and portable .zip"
  (cd "$build_dir" && cpack -G NSIS && cpack -G ZIP)
  ls -l "$build_dir"/realmquery-*-win64.exe "$build_dir"/realmquery-*-win64.zip
}

# The installer installs silently; the installed command line then gives,
# byte for byte, what the Linux build gives, on the demo data and through
# FreeTDS against the TDS test server.
check_installed_program() {
  step "silent install under Wine, then the same searches as the Linux build"
  local installer
  installer=$(ls "$build_dir"/realmquery-*-win64.exe)
  wine_run "$installer" /S '/D=C:\realmquery'
  local installed
  installed=$(WINEPREFIX=$REALMQUERY_WINE_PREFIX WINEDEBUG=-all winepath -u 'C:\realmquery')
  [ -f "$installed/realmquery-cli.exe" ] || { echo "the installer did not install realmquery-cli.exe"; return 1; }
  # The Linux build to compare with: the one the README's commands make.
  [ -x "$source_dir/build/bin/realmquery-cli" ] || bash "$source_dir/scripts/setup.sh"
  REALMQUERY_WINDOWS_CLI="$installed/realmquery-cli.exe" REALMQUERY_LINUX_CLI="$source_dir/build/bin/realmquery-cli" \
    bash "$source_dir/packaging/windows/compare-outputs.sh" "$installed/demo"
  bash "$source_dir/packaging/windows/screenshot.sh" \
    "$installed/realmquery.exe" 'C:\realmquery\demo' "$build_dir/main-window-after-search.png"
}

step "packages"
install_packages
enable_sources
mkdir -p "$cache_dir"
build_qt
[ "${1:-}" = qt ] && exit 0
build_sqlite
build_project
prepare_wine_prefix
start_wine_session
run_tests
make_packages
check_installed_program
step "done"
