#!/usr/bin/env bash
# The data entry window, driven from the keyboard as a user would: Datei > Dateneingabe on a copy of
# the sample study, on to record 2, the weight corrected with a decimal comma. Run under Xvfb
# (scripts/screenshots.sh):
#   entry_screenshot.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
source "$(dirname "$0")/start_program.sh"
keys alt+d d                         # Datei > Dateneingabe
xdotool search --sync --name '^DATENEINGABE' >/dev/null
sleep 1
keys F10                             # record 2
keys Tab Tab Tab                     # PATNR, GESCHL, ALTER: on to GEWICHT
xdotool type --delay 60 "79,4"
keys Return                          # stored as 79.4; the edit goes on to GROESSE
sleep 0.5
"$build/take_screenshot" "$source" screen "$source/docs/data-entry.png"
