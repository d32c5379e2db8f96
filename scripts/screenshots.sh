#!/usr/bin/env bash
# Renews the screenshots under docs/ with a real X server (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target take_screenshot
for shot in main table; do
  xvfb-run -a -s "-screen 0 1280x800x24" ./build/take_screenshot "$PWD" "$shot" "docs/$shot-window.png"
  echo "docs/$shot-window.png"
done
