#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs what was installed:
# the installed command line on the installed demo data gives the build's
# rows; the desktop entry, the AppStream data and the manual pages pass
# their checkers; the installed programs find the installed demo data and
# the user's configuration folder from where they lie.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
demo=$prefix/share/realmquery/demo
installed_cli=$prefix/bin/realmquery-cli

searches=("equip --name 李" "equip --enchant 12 --enchant-op >=" "pet Shadow" "item --name 长剑" "account 李逍遥")
for search in "${searches[@]}"; do
  read -ra words <<<"$search"
  installed=$("$installed_cli" --dir "$demo" "${words[@]}")
  built=$("$build/bin/realmquery-cli" "${words[@]}")
  [ "$(wc -l <<<"$installed")" -gt 1 ] || fail "$search: no rows from the installed demo data"
  [ "$installed" = "$built" ] || fail "$search: the installed program's rows differ from build/bin's"
done

app_id=org.example.realmquery
desktop-file-validate "$prefix/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml"
icon=$(sed -n 's/^Icon=//p' "$prefix/share/applications/$app_id.desktop")
for size in 16x16 24x24 32x32 48x48 64x64 128x128 256x256; do
  [ "$(file -b --mime-type "$prefix/share/icons/hicolor/$size/apps/$icon.png")" = image/png ] || fail "no $size icon"
done
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"

# Each manual page, English and Chinese, as man shows it, names every
# option of the program's --help and, for realmquery-cli, every command
# with each option of the command's own --help, and the exit statuses.
options_of() { "$@" --help | grep -o -- '--[a-z-]*' | sort -u; }
for program in realmquery realmquery-cli jet4writer; do
  installed=$prefix/bin/$program
  wanted=$(options_of "$installed")
  if [ "$program" = realmquery-cli ]; then
    commands=$("$installed" --lang en --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]*\)  .*/\1/p')
    [ -n "$commands" ] || fail "realmquery-cli --help lists no commands"
    for command in $commands; do wanted+=$'\n'"$command"$'\n'$(options_of "$installed" "$command"); done
  fi
  for page in "$prefix/share/man/man1/$program.1.gz" "$prefix/share/man/zh_CN/man1/$program.1.gz"; do
    warnings=$(zcat "$page" | groff -man -ww -z -k -Tutf8 2>&1)
    [ -z "$warnings" ] || fail "$page: $warnings"
    shown=$(MANWIDTH=80 man -l "$page" 2>/dev/null)
    grep -qE "EXIT STATUS|退出状态" <<<"$shown" || fail "$page shows no exit statuses"
    for word in $wanted; do
      grep -qE -- "(^|[^a-z-])$word([^a-z-]|$)" <<<"$shown" || fail "$page does not show $word"
    done
  done
done

no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${no_display[@]}" "$prefix/bin/realmquery" --help | grep -q -- "--dir" || fail "realmquery --help without a display"
"${no_display[@]}" "$prefix/bin/realmquery" --version | grep -q "^realmquery " || fail "realmquery --version without a display"
if "${no_display[@]}" "$prefix/bin/realmquery" 2>"$root/err"; then fail "realmquery started without a display"; fi
grep -qi "display" "$root/err" || fail "realmquery did not say it needs a display"

# Nothing in the program's folder and an empty configuration folder: the
# report names both in order and points at the installed demo data.
if HOME=$root/home XDG_CONFIG_HOME=$root/config "$installed_cli" equip 2>"$root/err"; then fail "ran without db.ini"; fi
report=$(cat "$root/err")
[[ $report == *"1. $prefix/bin"*"2. $root/config/realmquery"* ]] || fail "search order not reported: $report"
[[ $report == *"--dir $demo"* ]] || fail "installed demo data not named: $report"
echo "installed tree: ${#searches[@]} searches alike, desktop entry, AppStream data, icons and manual pages valid"
