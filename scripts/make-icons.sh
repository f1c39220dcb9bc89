#!/usr/bin/env bash
# Renders the icon packaging/toledit.svg into the PNG sizes of the hicolor theme under
# packaging/icons/<size>/toledit.png (committed, so that building needs no SVG renderer). Run it
# after changing the SVG; needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$root/packaging/icons/$size"
  rsvg-convert --width "$size" --height "$size" --output "$root/packaging/icons/$size/toledit.png" \
    "$root/packaging/toledit.svg"
done
