#!/usr/bin/env bash
# Runs every fuzzer that the fuzz build lists (<build>/fuzz/targets.txt) for a while on a
# copy of its seeds; fails if any of them reports a fault, naming the input that shows it.
#   bash scripts/fuzz.sh <build-dir> [seconds per target, default 30]
# Targets run side by side, one per core.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: fuzz.sh <build-dir> [seconds]}"
seconds="${2:-30}"
list="$build/fuzz/targets.txt"
[ -s "$list" ] || { echo "fuzz.sh: no fuzz targets listed in $list" >&2; exit 1; }

work="$build/fuzz/runs"
rm -rf "$work"
mkdir -p "$work"
export IX_SOURCE_DIR="$root" QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:halt_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run_one() {
  local exe="$1" seeds="$2" name corpus
  shift 2
  name="$(basename "$exe")"
  corpus="$work/$name/corpus"
  mkdir -p "$corpus"
  local args=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -artifact_prefix="$work/$name/" "$@" "$corpus")
  [ "$seeds" != "-" ] && args+=("$seeds")
  # A target that turns libFuzzer's leak checks off has the sanitizer's check at exit off too.
  local asan="$ASAN_OPTIONS"
  [[ " $* " == *" -detect_leaks=0 "* ]] && asan="${asan//detect_leaks=1/detect_leaks=0}"
  if ASAN_OPTIONS="$asan" "$exe" "${args[@]}" >"$work/$name/log" 2>&1; then
    echo "fuzz: $name passed ($(ls "$corpus" | wc -l) inputs in its corpus)"
    touch "$work/$name/passed"
  else
    echo "fuzz: $name FAILED; the end of its log ($work/$name/log):"
    tail -n 60 "$work/$name/log"
    ls "$work/$name"/crash-* "$work/$name"/leak-* "$work/$name"/timeout-* "$work/$name"/oom-* 2>/dev/null || true
    return 1
  fi
}

# A job's status is read from its folder, so none is missed however the waits fall.
total=0
while read -r exe seeds options; do
  [ -n "$exe" ] || continue
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
  # shellcheck disable=SC2086 # the options are separate flags
  run_one "$exe" "$seeds" $options &
  total=$((total + 1))
done <"$list"
wait

passed="$(find "$work" -mindepth 2 -maxdepth 2 -name passed | wc -l)"
echo "fuzz: $passed passed, $((total - passed)) failed"
[ "$passed" -eq "$total" ]
