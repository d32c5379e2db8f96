#!/usr/bin/env bash
# The data entry window, driven from the keyboard as a user would: Datei > Dateneingabe on a copy of
# the sample study, on to record 2, the weight corrected with a decimal comma. Run under Xvfb
# (scripts/screenshots.sh):
#   entry_screenshot.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$dir"' EXIT
mkdir -p "$dir/data"
cp "$build/veltrix" "$dir/"
cp "$source"/data/studie.* "$dir/data/"
echo "$dir/data/studie.dt1" >"$dir/veltrix.fil"
cd "$dir"
openbox >/dev/null 2>&1 &
# The window manager is up once it names its check window on the root window.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.2; done
./veltrix >/dev/null 2>&1 &
window=$(xdotool search --sync --name '^KVT' | head -n1)
sleep 2
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.4; done; }
keys alt+d d                         # Datei > Dateneingabe
xdotool search --sync --name '^DATENEINGABE' >/dev/null
sleep 1
keys F10                             # record 2
keys Tab Tab Tab                     # PATNR, GESCHL, ALTER: on to GEWICHT
xdotool type --delay 60 "79,4"
keys Return                          # stored as 79.4; the edit goes on to GROESSE
sleep 0.5
"$build/take_screenshot" "$source" screen "$source/docs/data-entry.png"
