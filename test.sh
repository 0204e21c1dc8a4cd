#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test; then the core tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh -DTOVRIN_WERROR=ON
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir build --output-on-failure -j2

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOVRIN_SANITIZE=ON -DTOVRIN_WERROR=ON -DTOVRIN_GUI=OFF >/dev/null
cmake --build build-asan --target core_tests tovrin-cli
ctest --test-dir build-asan --output-on-failure -j2
