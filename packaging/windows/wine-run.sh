#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine: the build's own Wine
# prefix, the cross Qt's and MinGW's DLLs on the search path, no Mono or
# Gecko downloads (they cannot work offline), no Wine debug chatter.
# Used by CMake as the cross-compiling emulator (build-time programs, tests).
set -euo pipefail
: "${REALMQUERY_WINE_PREFIX:?names the Wine prefix (scripts/windows.sh sets it)}"
: "${REALMQUERY_WINDOWS_QT:?names the cross Qt (scripts/windows.sh sets it)}"
export WINEPREFIX=$REALMQUERY_WINE_PREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
export WINEPATH="$REALMQUERY_WINDOWS_QT/bin;$mingw_runtime;/usr/x86_64-w64-mingw32/lib"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
exec wine "$@"
