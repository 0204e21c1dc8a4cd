#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then every test without a
# window (core, firmware, tovrin-cli end to end) again under AddressSanitizer and
# UndefinedBehaviorSanitizer; then each fuzz target for a short fixed number of inputs.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh -DTOVRIN_WERROR=ON
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir build --output-on-failure -j2

# The sanitizer build: core_tests holds the firmware tests and runs this build's
# tovrin-cli for the end-to-end tests, so a fault in either stops the run.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOVRIN_SANITIZE=ON -DTOVRIN_WERROR=ON -DTOVRIN_GUI=OFF >/dev/null
cmake --build build-asan --target core_tests tovrin-cli
ctest --test-dir build-asan --output-on-failure -j2

# Fuzz targets (Clang and libFuzzer): a few seconds each; tools/fuzz.sh runs them longer.
tools/fuzz.sh --ci
