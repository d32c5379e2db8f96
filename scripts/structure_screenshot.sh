#!/usr/bin/env bash
# The append dialog of the structure, driven from the keyboard as a user would: Struktur > Neue
# Variablen / Variablenliste ergänzen on a copy of the sample study, two new entries typed in (BMI of
# length 5 and the series WERT*3 of length 2) behind its protected variables. Run under Xvfb
# (scripts/screenshots.sh):
#   structure_screenshot.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
source "$(dirname "$0")/start_program.sh"
entry() { xdotool type --delay 20 "$1"; keys Return; xdotool type --delay 20 "$2"; keys Return; }
keys alt+s n                         # Struktur > Neue Variablen / Variablenliste ergänzen
xdotool search --sync --name '^Variablenliste' >/dev/null
sleep 1
entry BMI 5                          # Enter in the name moves to the length, Enter there stores
entry 'WERT*3' 2
sleep 0.5
"$build/take_screenshot" "$source" screen "$source/docs/structure-append.png"
