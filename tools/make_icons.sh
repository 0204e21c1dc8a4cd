#!/usr/bin/env bash
# Redraws the PNG sizes of the icon from its SVG source (needs rsvg-convert, from
# librsvg2-bin). The PNGs are committed, so builds do not need it.
set -euo pipefail
cd "$(dirname "$0")/../dist/icons"
for size in 16 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" io.github.tovrin.Tovrin.svg -o "${size}x${size}/io.github.tovrin.Tovrin.png"
done
