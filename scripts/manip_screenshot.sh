#!/usr/bin/env bash
# The manipulation editor, driven from the keyboard as a user would: Datei > Datenmanipulation on a
# copy of the sample study, a new command file, a short program typed in. Run under Xvfb
# (scripts/screenshots.sh):
#   manip_screenshot.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
source "$(dirname "$0")/start_program.sh"
line() { xdotool type --delay 20 "$1"; xdotool key Return; sleep 0.2; }
keys alt+d m                         # Datei > Datenmanipulation
sleep 1
xdotool type --delay 20 "$dir/data/studie.bf1"
keys Return                          # a new command file ...
sleep 0.5
keys Return                          # ... is created
xdotool search --sync --name '^Datenmanipulation' >/dev/null
sleep 1
line "/ Body-Mass-Index und Zählung der über 65-Jährigen"
line "[*H1 : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100)"
line "IF [ALTER] > 65"
line "[*H5] = [*H5] + 1"
xdotool type --delay 20 "END"
sleep 0.5
"$build/take_screenshot" "$source" screen "$source/docs/manip-editor.png"
