#!/usr/bin/env bash
# Where the results and messages of veltrix-batch go: output that cannot be written is a failure, a
# message is one line named after the program, file names are shown as text.
source "$(dirname "$0")/lib.bash"
SAMPLE="$ROOT/data/studie.dt1"

run --out /dev/full "$SAMPLE" structure
check "--out on a full disk fails" test "$status" -eq 2
check "the lost output is reported" contains "$err" "/dev/full: Schreibfehler!"

"$BATCH" "$SAMPLE" structure >/dev/full 2>"$WORK/stderr"
status=$?
err=$(cat "$WORK/stderr")
check "standard output on a full disk fails" test "$status" -eq 2
check "the lost standard output is reported" contains "$err" "Standardausgabe: Schreibfehler!"

run "$SAMPLE" structure
check "a run that writes everything still succeeds" test "$status" -eq 0

# Messages: one line each, the program's name in front, the box's line breaks as blanks.
: > "$WORK/da.dt1"
cp "$ROOT/data/studie.prm" "$WORK/da.prm"
run "$WORK/da.dt1" create
check "a refusal is a single line" test "$(printf '%s\n' "$err" | wc -l)" -eq 1
check "a refusal is named after the program" contains "$err" "veltrix-batch: Fehler: "
check "the box's line breaks become one blank" contains "$err" "da.dt1 : Datei existiert schon!"

head -c 200 "$ROOT/data/studie.prm" > "$WORK/kaputt.prm"
cp "$SAMPLE" "$WORK/kaputt.dt1"
run "$WORK/kaputt.dt1" structure
check "an error text that says Fehler gets no second one" \
  contains "$err" "veltrix-batch: Fehler beim Lesen der Parameterdatei "

# A UTF-8 file name is decoded once: in the heading (UTF-8 on stdout) and in a protocol file
# (Windows-1252).
cp "$SAMPLE" "$WORK/größe.dt1"
cp "$ROOT/data/studie.prm" "$WORK/größe.prm"
run "$WORK/größe.dt1" structure
check "the heading shows the name as it is spelt" contains "$out" "- größe.dt1 -- "
run --out "$WORK/proto.txt" "$WORK/größe.dt1" structure
check "the protocol file holds the name in Windows-1252" env LC_ALL=C grep -q -e $'- gr\xf6\xdfe.dt1 -- ' "$WORK/proto.txt"
name=$'kon\ttrol.dt1'
cp "$SAMPLE" "$WORK/$name"
cp "$ROOT/data/studie.prm" "$WORK/kon"$'\t'"trol.prm"
run "$WORK/$name" structure
check "a control character of a name is shown as ?" contains "$out" "- kon?trol.dt1 -- "

finish
