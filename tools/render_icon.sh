#!/usr/bin/env bash
# Renders the program's icon from its drawings into the PNG sizes that are committed beside them
# (app/icons/veltrix-<size>.png): veltrix-small.svg for 16 pixels, veltrix.svg for the others.
# Run it after changing a drawing; the build itself only uses the committed PNGs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
rsvg-convert -w 16 -h 16 app/icons/veltrix-small.svg -o app/icons/veltrix-16.png
for size in 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" app/icons/veltrix.svg -o "app/icons/veltrix-$size.png"
done
ls app/icons/*.png
