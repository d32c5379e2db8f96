#!/usr/bin/env bash
# Inside an X server (scripts/screenshots.sh runs it under xvfb-run): the installed program under the
# openbox window manager, first start with a home of its own, the "Info" box open. The title bars and
# the box show the program's icon.
#   installed_screenshot.sh INSTALLED_VELTRIX TAKE_SCREENSHOT OUTPUT.png
set -euo pipefail
program=$1
take_screenshot=$2
output=$3
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home TMPDIR=$home
unset XDG_CONFIG_HOME

openbox &
wm=$!
# The window manager is up once it names its check window on the root window.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.2; done
"$program" &
app=$!
window=$(xdotool search --sync --name '^KVT' | head -n1)
sleep 2
xdotool windowactivate --sync "$window" || xdotool windowfocus --sync "$window"
sleep 0.5
xdotool key alt+h
sleep 0.5
xdotool key f
sleep 1.5
"$take_screenshot" - screen "$output"
xdotool key Escape
sleep 0.5
kill -TERM "$app"
wait "$app" || true
kill "$wm"
wait "$wm" 2>/dev/null || true
