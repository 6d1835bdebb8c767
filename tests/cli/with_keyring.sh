#!/usr/bin/env bash
# Runs a test against a real Secret Service of its own: a private D-Bus
# session with gnome-keyring-daemon, its keyrings in a temporary home that
# goes with it, so the user's own keyring is never touched.
set -euo pipefail
if [ -z "${REALM_KEYRING_SESSION:-}" ]; then
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
  REALM_KEYRING_SESSION=1 HOME="$home" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" \
    dbus-run-session -- "$0" "$@"
  exit
fi
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
printf 'test-keyring' | gnome-keyring-daemon --unlock --components=secrets --daemonize >/dev/null
exec "$@"
