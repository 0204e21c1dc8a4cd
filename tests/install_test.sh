#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks what a packager ships: both
# programs, the launcher entry, the icon in every size, the AppStream metadata and the
# manual pages, with the freedesktop validators. Exit 77 (skipped) without them.
set -euo pipefail
build="$1" scratch="$2" gui="$3"
for tool in desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (tools/setup.sh installs it)"; exit 77; }
done
rm -rf "$scratch"
DESTDIR="$scratch" cmake --install "$build" --prefix /usr >/dev/null
root="$scratch/usr"
want=(bin/tovrin-cli share/man/man1/tovrin-cli.1)
if [ "$gui" = ON ]; then
  want+=(bin/tovrin share/man/man1/tovrin.1 share/applications/io.github.tovrin.Tovrin.desktop
         share/metainfo/io.github.tovrin.Tovrin.metainfo.xml
         share/icons/hicolor/scalable/apps/io.github.tovrin.Tovrin.svg)
  for size in 16 32 48 64 128 256; do want+=("share/icons/hicolor/${size}x${size}/apps/io.github.tovrin.Tovrin.png"); done
fi
for f in "${want[@]}"; do
  [ -f "$root/$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ -x "$root/bin/tovrin-cli" ] && "$root/bin/tovrin-cli" --help >/dev/null
for page in "$root"/share/man/man1/*.1; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$out" ] || { echo "$page: $out"; exit 1; }
done
if [ "$gui" = ON ]; then
  desktop-file-validate "$root/share/applications/io.github.tovrin.Tovrin.desktop"
  appstreamcli validate --no-net "$root/share/metainfo/io.github.tovrin.Tovrin.metainfo.xml"
fi
echo "install check passed"
