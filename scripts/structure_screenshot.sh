#!/usr/bin/env bash
# The append dialog of the structure, driven from the keyboard as a user would: Struktur > Neue
# Variablen / Variablenliste ergänzen on a copy of the sample study, two new entries typed in (BMI of
# length 5 and the series WERT*3 of length 2) behind its protected variables. Run under Xvfb
# (scripts/screenshots.sh):
#   structure_screenshot.sh BUILD_DIR SOURCE_DIR
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
entry() { xdotool type --delay 20 "$1"; keys Return; xdotool type --delay 20 "$2"; keys Return; }
keys alt+s n                         # Struktur > Neue Variablen / Variablenliste ergänzen
xdotool search --sync --name '^Variablenliste' >/dev/null
sleep 1
entry BMI 5                          # Enter in the name moves to the length, Enter there stores
entry 'WERT*3' 2
sleep 0.5
"$build/take_screenshot" "$source" screen "$source/docs/structure-append.png"
