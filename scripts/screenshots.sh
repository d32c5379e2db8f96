#!/usr/bin/env bash
# Renews the screenshots under docs/ with a real X server (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target take_screenshot veltrix veltrix-batch
for shot in main table; do
  xvfb-run -a -s "-screen 0 1280x800x24" ./build/take_screenshot "$PWD" "$shot" "docs/$shot-window.png"
  echo "docs/$shot-window.png"
done
xvfb-run -a -s "-screen 0 1280x800x24" ./scripts/analysis_screenshots.sh "$PWD/build" "$PWD"
echo "docs/analysis-selection.png docs/analysis-result.png docs/frequencies.png"
xvfb-run -a -s "-screen 0 1280x800x24" ./scripts/manip_screenshot.sh "$PWD/build" "$PWD"
echo "docs/manip-editor.png"
xvfb-run -a -s "-screen 0 1280x800x24" ./scripts/structure_screenshot.sh "$PWD/build" "$PWD"
echo "docs/structure-append.png"
xvfb-run -a -s "-screen 0 1280x800x24" ./scripts/entry_screenshot.sh "$PWD/build" "$PWD"
echo "docs/data-entry.png"

# The installed program (installed into a scratch folder that is then read-only, as /usr is) under a
# window manager: its first start keeps its settings in ~/.config/veltrix and opens the sample study.
root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
DESTDIR=$root cmake --install build --prefix /usr >/dev/null
shot=(xvfb-run -a -s "-screen 0 1120x780x24" ./scripts/installed_screenshot.sh "$root/usr/bin/veltrix"
      "$PWD/build/take_screenshot" "$PWD/docs/installed-window.png")
if [ "$(id -u)" -eq 0 ]; then
  # Write bits do not stop root: a read-only bind mount in a mount namespace of its own does.
  unshare --mount --propagation private bash -c \
    'mount --bind "$1/usr" "$1/usr" && mount -o remount,bind,ro "$1/usr" && shift && exec "$@"' \
    - "$root" "${shot[@]}"
else
  chmod -R a-w "$root/usr"
  "${shot[@]}"
fi
echo "docs/installed-window.png"
