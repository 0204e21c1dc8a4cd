#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: install what is missing (Debian 12), then
# configure and build into build/. Arguments go to the configure step
# (test.sh passes -DTOVRIN_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake ninja-build g++ libgtest-dev qt6-base-dev libsdl2-dev dasm xvfb xauth)
# The second compiler, and the validators the install check runs.
PACKAGES+=(clang desktop-file-utils appstream man-db)
# libFuzzer for the fuzz targets.
PACKAGES+=(libclang-rt-14-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build
