#!/usr/bin/env bash
# Times the editor's start: from launch to the splash painted, and from launch with the
# generated 100,000-branch map on the command line to the map's first painted frame.
#   bash bench/startup.sh [build-dir]     (offscreen unless QT_QPA_PLATFORM is set)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
python3 "$root/bench/make_large_map.py" "$work/large.ixd" 100000 >/dev/null

run() {
  local start now
  start=$(date +%s%3N)
  IX_STARTUP_TRACE=1 timeout 120 "$build/src/ideaflux" "$@" 2>/dev/null | while read -r what when; do
    echo "$what $((when - start)) ms"
  done
}
echo "-- empty start (launch to splash; the first document follows the splash's own timing)"
run | grep splash || true
echo "-- 100,000 branches from the command line"
run "$work/large.ixd"
