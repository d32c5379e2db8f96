#!/usr/bin/env bash
# The variable selection of code 11 and its result, driven from the keyboard as a user would:
# GROESSE for the groups 1 and 2 of the sample study; then the frequencies of GESCHL (class division
# 1) for the same groups (code 31). Run under Xvfb (scripts/screenshots.sh):
#   analysis_screenshots.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
source "$(dirname "$0")/start_program.sh"
keys alt+a s e                       # Auswerten > Statistische Kenngrößen > Eine Variable, mehrere Gruppen
sleep 1
keys Home Down Down Down Down Return  # GROESSE
keys Home Down Return Return Tab      # groups 1 and 2
"$build/take_screenshot" "$source" screen "$source/docs/analysis-selection.png"
keys alt+a                            # Auswerten
sleep 2
"$build/take_screenshot" "$source" screen "$source/docs/analysis-result.png"
keys alt+a h e                       # Auswerten > Häufigkeitsauszählungen > Eine Variable, mehrere Gruppen
sleep 1
keys Home Down Return                 # GESCHL
keys Home Down Return                 # class division 1
keys Home Down Return Return Tab      # groups 1 and 2
keys alt+a
sleep 2
"$build/take_screenshot" "$source" screen "$source/docs/frequencies.png"
