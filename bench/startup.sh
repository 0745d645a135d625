#!/usr/bin/env bash
# Times the editor's start: from launch to the splash painted, and from launch with the
# generated 100,000-branch map on the command line to the map's first painted frame, with the
# phases in between (the program's IX_STARTUP_TRACE milestones).
#   bash bench/startup.sh [build-dir] [runs]    (offscreen unless QT_QPA_PLATFORM is set)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
runs="${2:-1}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
python3 "$root/bench/make_large_map.py" "$work/large.ixd" 100000 >/dev/null

# Prints each milestone as ms since launch, then the phases between milestones.
run() {
  local start
  start=$(date +%s%3N)
  IX_STARTUP_TRACE=1 timeout 120 "$build/src/ideaflux" "$@" 2>/dev/null | awk -v start="$start" '
    { at[$1] = $2 - start; order[++n] = $1; printf "  %-16s %6d ms\n", $1, $2 - start }
    function phase(label, from, to) {
      if ((from in at) && (to in at)) printf "  %-38s %6d ms\n", label, at[to] - at[from]
    }
    END {
      if (!("map-painted" in at)) exit
      print "  phases:"
      printf "  %-38s %6d ms\n", "launch to main", at["main"]
      phase("start-up before opening", "main", "opening")
      phase("open (read the package)", "opening", "document-read")
      phase("window and view set-up", "document-read", "view-attaching")
      phase("first layout", "view-attaching", "view-laid-out")
      phase("canvas and scale to fit", "view-laid-out", "view-attached")
      phase("until the first paint starts", "view-attached", "map-paint-start")
      phase("first paint", "map-paint-start", "map-painted")
      printf "  %-38s %6d ms\n", "launch to first frame", at["map-painted"]
    }'
}
echo "-- empty start (launch to splash; the first document follows the splash's own timing)"
run | grep splash || true
for ((i = 1; i <= runs; i++)); do
  echo "-- 100,000 branches from the command line"
  run "$work/large.ixd"
done
