#!/usr/bin/env bash
# Installs the dependencies, builds and runs all tests as CI does:
#   gcc       the GCC build (build/), warnings as errors, and the whole test suite;
#   sanitize  the clang build (build-sanitize/) with AddressSanitizer and
#             UndefinedBehaviorSanitizer, warnings as errors, and the whole test suite under
#             them (any report fails its test);
#   fuzz      every fuzzer of the clang build for $IX_FUZZ_SECONDS (30) seconds on its seeds.
#   bash scripts/test.sh [gcc] [sanitize] [fuzz]     (no stage named: all three)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
stages=("$@")
[ "${#stages[@]}" -gt 0 ] || stages=(gcc sanitize fuzz)
for stage in "${stages[@]}"; do
  case "$stage" in gcc | sanitize | fuzz) ;; *) echo "test.sh: unknown stage '$stage'" >&2; exit 2 ;; esac
done
wants() { [[ " ${stages[*]} " == *" $1 "* ]]; }

bash "$root/scripts/install-deps.sh"
jobs="$(nproc)"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
times=()
results=()
started=$SECONDS

stage_time() { times+=("$1 took $((SECONDS - $2)) s"); }
report() {
  echo "== times (all stages: $((SECONDS - started)) s)"
  printf '%s\n' "${times[@]}"
  echo "== results"
  printf '%s\n' "${results[@]}"
}

# Runs the suite of a build folder; its closing line is kept for the summary.
run_suite() {
  local name="$1" build="$2" log
  log="$build/ctest.log"
  local status=0
  (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs") 2>&1 | tee "$log" || status=$?
  results+=("-- $name" "$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1)")
  [ "$status" -eq 0 ] || { report; exit "$status"; }
}

if wants gcc; then
  t=$SECONDS
  build="${IX_BUILD_DIR:-$root/build}"
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" -DIX_WARNINGS_AS_ERRORS=ON
  cmake --build "$build" --parallel "$jobs"
  stage_time "gcc build" "$t"
  t=$SECONDS
  run_suite "gcc" "$build"
  stage_time "gcc tests" "$t"
fi

sanitize_build="${IX_SANITIZE_BUILD_DIR:-$root/build-sanitize}"
if wants sanitize || wants fuzz; then
  t=$SECONDS
  # The fuzzers are built in the same tree: their instrumentation is in every library anyway.
  cmake -S "$root" -B "$sanitize_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DIX_WARNINGS_AS_ERRORS=ON -DIX_BUILD_FUZZERS=ON
  cmake --build "$sanitize_build" --parallel "$jobs"
  stage_time "clang sanitizer build" "$t"
fi
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=0:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Readable stacks in the reports.
export ASAN_SYMBOLIZER_PATH="${ASAN_SYMBOLIZER_PATH:-/usr/lib/llvm-14/bin/llvm-symbolizer}"
if wants fuzz; then
  t=$SECONDS
  status=0
  bash "$root/scripts/fuzz.sh" "$sanitize_build" "${IX_FUZZ_SECONDS:-30}" | tee "$sanitize_build/fuzz.log" || status=$?
  results+=("-- fuzzers" "$(tail -n 1 "$sanitize_build/fuzz.log")")
  stage_time "fuzzing" "$t"
  [ "$status" -eq 0 ] || { report; exit "$status"; }
fi
if wants sanitize; then
  t=$SECONDS
  run_suite "sanitize" "$sanitize_build"
  stage_time "sanitizer tests" "$t"
fi

report
