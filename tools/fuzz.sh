#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with Clang (plus AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs them.
#
#   tools/fuzz.sh                  every target for 60 seconds
#   tools/fuzz.sh wav 3600         one target (or several, or "all") for an hour each
#   tools/fuzz.sh --jobs 2 all 3600  the same, two targets at a time
#   tools/fuzz.sh --ci             every target for a short fixed number of inputs (test.sh)
#   tools/fuzz.sh --build          build only
#
# Targets: wav c10 settings binary_loader quick_type cli_options state. Each starts from its
# seeds in fuzz/corpus/NAME (only read) and keeps what it finds in build-fuzz/corpus/NAME.
# A crash or a failed check stops the script with status 1 and leaves the input in
# build-fuzz/artifacts/; replay it with build-fuzz/fuzz/fuzz_NAME FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

ALL=(wav c10 settings binary_loader quick_type cli_options state)
# Inputs per target in --ci mode: a few seconds each on a slow machine. c10 runs
# hundreds of emulated frames per input.
declare -A CI_RUNS=([c10]=100 [settings]=200 [wav]=2000 [binary_loader]=1000 [quick_type]=1500 [cli_options]=10000 [state]=300)
# Longest input tried: c10 plays at most ~900 bytes per input; a state file is 66 KB.
declare -A MAX_LEN=([c10]=1200 [state]=70000)

mode=time seconds=60 jobs=1 targets=()
while [ $# -gt 0 ]; do
  arg=$1; shift
  case "$arg" in
    --jobs) jobs=${1:-}; shift || true
            case "$jobs" in ''|*[!0-9]*|0) echo "--jobs needs a number of targets to run at a time" >&2; exit 2 ;; esac ;;
    --ci) mode=ci ;;
    --build) mode=build ;;
    all) targets+=("${ALL[@]}") ;;
    *[!0-9]*) targets+=("$arg") ;;
    *) seconds=$arg ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${ALL[@]}")

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTOVRIN_FUZZ=ON -DTOVRIN_WERROR=ON -DTOVRIN_GUI=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"
[ "$mode" = build ] && exit 0

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
mkdir -p build-fuzz/artifacts
# One target; its log is build-fuzz/fuzz_NAME.log.
run_target() {
  local t=$1 corpus=build-fuzz/corpus/$1 limit=(-max_total_time="$seconds")
  [ -d "fuzz/corpus/$t" ] || { echo "no seed corpus fuzz/corpus/$t" >&2; return 1; }
  if [ "$mode" = ci ]; then  # from the seeds alone, the same way every time
    corpus=build-fuzz/ci-corpus/$t limit=(-runs="${CI_RUNS[$t]:-2000}" -seed=1)
    rm -rf "$corpus"
  fi
  mkdir -p "$corpus"
  echo "== fuzz_$t ${limit[*]}"
  if ! build-fuzz/fuzz/"fuzz_$t" "${limit[@]}" -max_len="${MAX_LEN[$t]:-4096}" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t-" \
      "$corpus" "fuzz/corpus/$t" 2> "build-fuzz/fuzz_$t.log"; then
    tail -n 40 "build-fuzz/fuzz_$t.log" >&2
    echo "fuzz_$t failed; the input is in build-fuzz/artifacts/" >&2
    return 1
  fi
  echo "fuzz_$t: $(grep -E "stat::number_of_executed_units|stat::new_units_added" "build-fuzz/fuzz_$t.log" | tr '\n' ' ')"
}

if [ "$mode" = ci ] || [ "$jobs" -eq 1 ]; then
  for t in "${targets[@]}"; do run_target "$t" || exit 1; done
  exit 0
fi
# Several at a time: each target is one process on one core.
failed=0 running=0
for t in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_target "$t" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
