#!/usr/bin/env bash
# Installs and builds (scripts/setup.sh), generates the benchmark data into
# build/bench-data/ (once: folders already there are reused) and runs the benchmark. Extra arguments go to realmbench
# (e.g. --repeat 3).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The SQL Server case compares with FreeTDS's own clients, tsql and freebcp.
if ! command -v tsql >/dev/null || ! command -v freebcp >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq freetds-bin
fi

bin=build/bin
data=build/bench-data
mkdir -p "$data"

seed=20240601
item_table() { # ITEMS -> $data/items-ITEMS.mdb
  [ -f "$data/items-$1.mdb" ] && return
  "$bin/gamedata" --rows 0 --items "$1" --seed "$seed" --items-tsv "$data/items-$1.tsv"
  "$bin/jet4writer" "$data/items-$1.tsv" "$data/items-$1.mdb"
}

# ROWS ITEMS [USED [DUPES]] -> $data/rows-ROWS-items-ITEMS[-used-USED][-dupes-DUPES]/:
# the game rows use the first USED item ids (default or 0: all of them); the
# same USED gives the same game rows whatever ITEMS is; DUPES instances are
# copied onto further rows.
program_folder() {
  local used="${3:-0}" dupes="${4:-0}"
  local folder="$data/rows-$1-items-$2"
  [ "$used" -gt 0 ] && folder="$folder-used-$used"
  [ "$dupes" -gt 0 ] && folder="$folder-dupes-$dupes"
  [ -f "$folder/db.ini" ] && return
  mkdir -p "$folder"
  "$bin/gamedata" --rows "$1" --items "$2" --used-items "$used" --duplicates "$dupes" --seed "$seed" \
    --game "$folder/realmdb.sqlite"
  cp "$data/items-$2.mdb" "$folder/db.mdb"
  printf '[基础设置]\nserverip=\nuserid=\npassword=\ngamedb=realmdb.sqlite\n' > "$folder/db.ini"
}

# ROWS ITEMS -> $data/fanout-4x-ROWS-items-ITEMS/: four game files of ROWS
# rows (other seeds) beside one item table, the base server and three
# further [服务器:NAME] sections.
fanout_folder() {
  local folder="$data/fanout-4x-$1-items-$2"
  [ -f "$folder/db.ini" ] && return
  mkdir -p "$folder"
  for realm in 1 2 3 4; do
    "$bin/gamedata" --rows "$1" --items "$2" --seed "$((seed + realm))" --game "$folder/realm-$realm.sqlite"
  done
  cp "$data/items-$2.mdb" "$folder/db.mdb"
  {
    printf '[基础设置]\nname=一区\nserverip=\nuserid=\npassword=\ngamedb=realm-1.sqlite\n'
    printf '\n[服务器:%s]\ngamedb=realm-%d.sqlite\n' 二区 2 三区 3 四区 4
  } > "$folder/db.ini"
}

echo "Generating the data in $data (folders already there are kept) ..."
item_table 20000
item_table 200
program_folder 100000 20000
program_folder 1000000 20000
program_folder 1000000 200 180
program_folder 1000000 20000 180
program_folder 1000000 20000 0 1000
fanout_folder 250000 20000

"$bin/realmbench" --data "$data" --cli "$bin/realmquery-cli" "$@"
