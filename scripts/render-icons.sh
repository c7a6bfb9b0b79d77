#!/usr/bin/env bash
# Renders packaging/icons/mozenta.svg into the PNG sizes the desktop icon theme looks up. Run it after
# changing the SVG and commit the PNGs, so that building and packaging need no SVG renderer.
# Needs rsvg-convert (Debian's librsvg2-bin, installed by `scripts/install-deps.sh --packaging`).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"

if ! command -v rsvg-convert >/dev/null 2>&1; then
  echo "render-icons: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
  exit 1
fi

for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" mozenta.svg --output "hicolor/${size}x${size}/apps/mozenta.png"
done
