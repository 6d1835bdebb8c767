#!/usr/bin/env bash
# The installed Windows command line (under Wine) against the Linux build,
# byte for byte: the same searches on the demo folder DEMO, then the same
# searches through the FreeTDS driver against the TDS test server serving
# the demo's game database, and a password kept in the Credential Manager.
# REALMQUERY_WINDOWS_CLI and REALMQUERY_LINUX_CLI name the two programs.
set -euo pipefail
demo=$1
here=$(cd "$(dirname "$0")" && pwd)
server_script=$here/../../tests/tdsserver/tdsserver.py
xlsx_reader=$here/../../tests/support/xlsx_cells.py
work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
windows_path() { WINEPREFIX=$REALMQUERY_WINE_PREFIX WINEDEBUG=-all winepath -w "$1"; }

searches=(
  "equip --name 李 --enchant 12 --enchant-op >="
  "--format csv equip --item 1126"
  "--format json pet Shadow"
  "--format csv item --name 长剑"
  "account 李逍遥"
  "--lang en --item-names e equip --name 张"
)
# Several servers' rows interleave as they arrive; each server's own rows
# keep their order, which a stable sort by the server column leaves as is.
fanout_search="--all-servers --format csv equip --name 李"

# Runs every search in folder $2 with both programs; "$1" names the data.
compare_in() {
  local what=$1 folder=$2 failed=0 windows_folder
  windows_folder=$(windows_path "$folder")
  for search in "${searches[@]}"; do
    read -r -a words <<<"$search"
    "$REALMQUERY_LINUX_CLI" --dir "$folder" "${words[@]}" >"$work/linux.out" 2>&1 || true
    "$here/wine-run.sh" "$REALMQUERY_WINDOWS_CLI" --dir "$windows_folder" "${words[@]}" >"$work/windows.out" 2>&1 || true
    if cmp -s "$work/linux.out" "$work/windows.out"; then
      echo "same bytes ($what, $(wc -l <"$work/linux.out") lines): realmquery-cli $search"
    else
      echo "DIFFERENT ($what): realmquery-cli $search"
      diff <(od -c "$work/linux.out") <(od -c "$work/windows.out") | head -20
      failed=1
    fi
  done
  return "$failed"
}

# Whether the Linux build's lines $1 and the Windows build's $2 are the
# same; $3 says what was compared, $4 the search.
same_lines() {
  if cmp -s "$1" "$2"; then
    echo "same $3, $(wc -l <"$1") lines: realmquery-cli $4"
    return 0
  fi
  echo "DIFFERENT $3: realmquery-cli $4"
  diff "$1" "$2" | head -20
  return 1
}

# The same search exported to a worksheet by both programs, the two files
# read cell for cell by the host's independent reader (Wine gives the
# Windows test programs no way to start it themselves).
compare_worksheets() {
  local folder=$1 windows_folder windows_sheet
  windows_folder=$(windows_path "$folder")
  windows_sheet=$(windows_path "$work/windows.xlsx")
  "$REALMQUERY_LINUX_CLI" --dir "$folder" --format xlsx --output "$work/linux.xlsx" equip &&
    "$here/wine-run.sh" "$REALMQUERY_WINDOWS_CLI" --dir "$windows_folder" --format xlsx --output "$windows_sheet" equip ||
    { echo "WORKSHEET: an export failed"; return 1; }
  # Debian's Python, which has openpyxl, whatever python3 comes first.
  /usr/bin/python3 "$xlsx_reader" --layout "$work/linux.xlsx" >"$work/linux.cells" &&
    /usr/bin/python3 "$xlsx_reader" --layout "$work/windows.xlsx" >"$work/windows.cells" ||
    { echo "WORKSHEET: the reader refused a file"; return 1; }
  same_lines "$work/linux.cells" "$work/windows.cells" "worksheet cells" "--format xlsx equip"
}

compare_fanout() {
  local folder=$1 windows_folder
  windows_folder=$(windows_path "$folder")
  read -r -a words <<<"$fanout_search"
  "$REALMQUERY_LINUX_CLI" --dir "$folder" "${words[@]}" 2>&1 | LC_ALL=C sort -s -t, -k1,1 >"$work/linux.out"
  "$here/wine-run.sh" "$REALMQUERY_WINDOWS_CLI" --dir "$windows_folder" "${words[@]}" 2>&1 | LC_ALL=C sort -s -t, -k1,1 >"$work/windows.out"
  same_lines "$work/linux.out" "$work/windows.out" "bytes server by server (demo data)" "$fanout_search"
}

status=0
compare_in "demo data" "$demo" || status=1
compare_fanout "$demo" || status=1
compare_worksheets "$demo" || status=1

# The SQL Server path: a folder with the demo's item file and a db.ini
# naming the test server, which serves the demo's game database.
mkdir -p "$work/server"
cp "$demo/db.mdb" "$work/server/"
coproc tds { exec python3 "$server_script" --db "$demo/realmdb.sqlite" --login operator --password secret --collation chinese --host 127.0.0.1 --port 0; }
server=$tds_PID
read -r port <&"${tds[0]}"
printf '[基础设置]\nserverip=127.0.0.1,%s\nuserid=operator\npassword=secret\n' "$port" >"$work/server/db.ini"
# Only the Linux build warns of a password file others may read.
chmod 600 "$work/server/db.ini"
compare_in "FreeTDS, TDS test server on port $port" "$work/server" || status=1

# The Credential Manager (Wine's, in the build's prefix): a password that
# `password` stored logs in a section without one, with the output of the
# Linux build given the password in db.ini; after --forget it no longer does.
keyring_round() {
  local folder=$work/keyring linux_folder=$work/keyring-linux windows_folder
  mkdir -p "$folder" "$linux_folder"
  cp "$demo/db.mdb" "$folder/"
  cp "$demo/db.mdb" "$linux_folder/"
  local section
  section=$(printf '[基础设置]\nname=游戏一服\nserverip=127.0.0.1,%s\nuserid=operator\n' "$port")
  printf '%s\n' "$section" >"$folder/db.ini"
  printf '%s\npassword=secret\n' "$section" >"$linux_folder/db.ini"
  chmod 600 "$linux_folder/db.ini"
  windows_folder=$(windows_path "$folder")
  local windows_cli=("$here/wine-run.sh" "$REALMQUERY_WINDOWS_CLI" --dir "$windows_folder")
  if ! printf 'secret\n' | "${windows_cli[@]}" password 游戏一服 >"$work/keyring.out" 2>&1; then
    echo "KEYRING: password did not store:"
    cat "$work/keyring.out"
    return 1
  fi
  "$REALMQUERY_LINUX_CLI" --dir "$linux_folder" account 李逍遥 >"$work/linux.out" 2>&1 || true
  "${windows_cli[@]}" account 李逍遥 </dev/null >"$work/windows.out" 2>&1 || true
  if ! cmp -s "$work/linux.out" "$work/windows.out"; then
    echo "KEYRING: the stored password gave other output:"
    diff "$work/linux.out" "$work/windows.out" | head -20
    return 1
  fi
  "${windows_cli[@]}" password 游戏一服 --forget >/dev/null 2>&1 || { echo "KEYRING: --forget failed"; return 1; }
  if "${windows_cli[@]}" account 李逍遥 </dev/null >/dev/null 2>&1; then
    echo "KEYRING: still logs in after --forget"
    return 1
  fi
  echo "keyring: stored by password, used by a search, removed by --forget"
}
keyring_round || status=1
exit "$status"
