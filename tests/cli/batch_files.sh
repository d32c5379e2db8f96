#!/usr/bin/env bash
# create and structure on file names of any case, companion files found whatever their case, names the
# system cannot look at, things that are no files, planted links, and the states an interrupted create
# leaves behind.
source "$(dirname "$0")/lib.bash"
SAMPLE_PRM="$ROOT/data/studie.prm"
CANNOT_OPEN="Datei kann nicht geöffnet werden!"

# ---- names in any case
run "$WORK/GROSS.DT1" create
check "create takes a name in capitals" test "$status" -eq 0
check "its parameter file follows the case" test -s "$WORK/GROSS.PRM"
run "$WORK/GROSS.DT1" structure
check "structure of it works" test "$status" -eq 0
check "and lists the new empty structure" contains "$out" "Keine Variablen"

mkdir "$WORK/d.dtx"
run "$WORK/d.dtx/notes.txt" create
check "a .dt in a directory name makes no statistics file" test "$status" -eq 2
check "nothing was created for it" test ! -e "$WORK/d.dtx/notes.txt" -a ! -e "$WORK/d.dtx/notes.prm"

# ---- a parameter file copied from another system
cp "$ROOT/data/studie.dt1" "$WORK/studie.dt1"
cp "$SAMPLE_PRM" "$WORK/STUDIE.PRM"
run "$WORK/studie.dt1" structure
check "structure finds STUDIE.PRM beside studie.dt1" test "$status" -eq 0
check "and lists its variables" contains "$out" " PATNR            1.5"
run "$WORK/studie.dt2" create
check "create uses STUDIE.PRM" test "$status" -eq 0
check "and says so" contains "$err" "STUDIE.PRM: vorhandene Parameterdatei wird verwendet"
check "no second parameter file is made" test ! -e "$WORK/studie.prm"
check "STUDIE.PRM is unchanged" cmp -s "$WORK/STUDIE.PRM" "$SAMPLE_PRM"

# ---- names the system cannot look at
ln -s self.dt1 "$WORK/self.dt1"
long="$WORK/$(printf 'l%.0s' {1..300}).dt1"
for name in "$WORK/self.dt1" "$long"; do
  for command in structure create; do
    run "$name" "$command"
    check "$command on ${name:${#WORK}:20}... is refused" test "$status" -eq 2
    check "$command on ${name:${#WORK}:20}... names the fault" contains "$err" "$CANNOT_OPEN"
  done
done
printf '1 42\r\n' > "$WORK/s.dt1"
ln -s s.prm "$WORK/s.prm"
run "$WORK/s.dt1" structure
check "a parameter file linked to itself is refused" test "$status" -eq 2
check "by the file layer" contains "$err" "s.prm: $CANNOT_OPEN"
run "$WORK/s.dt2" create
check "create does not use it" test "$status" -eq 2
check "create made no statistics file beside it" test ! -e "$WORK/s.dt2"

# ---- things that are no files
mkdir "$WORK/b.dt1"
for command in structure create; do
  run "$WORK/b.dt1" "$command"
  check "$command refuses a directory named b.dt1" test "$status" -eq 2
  check "$command names it" contains "$err" "b.dt1: $CANNOT_OPEN"
done
check "and makes no parameter file for it" test ! -e "$WORK/b.prm"

for kind in directory pipe; do
  if [ "$kind" = directory ]; then mkdir "$WORK/$kind.prm"; else mkfifo "$WORK/$kind.prm"; fi
  run "$WORK/$kind.dt1" create
  check "create does not use a $kind as parameter file" test "$status" -eq 2
  check "create says why for the $kind" contains "$err" "$kind.prm: $CANNOT_OPEN"
  check "no statistics file is left beside the $kind" test ! -e "$WORK/$kind.dt1"
  : > "$WORK/$kind.dt1"
  run "$WORK/$kind.dt1" structure
  check "structure refuses a $kind as parameter file (and does not wait on a pipe)" test "$status" -eq 2
done

# ---- links planted under the temporary name
echo precious > "$WORK/victim.txt"
ln -s victim.txt "$WORK/v.pr\$"
run "$WORK/v.dt1" create
check "create succeeds beside a planted v.pr\$" test "$status" -eq 0
check "the link's target is untouched" test "$(cat "$WORK/victim.txt")" = precious
check "the parameter file is a file of its own" test -f "$WORK/v.prm" -a ! -L "$WORK/v.prm"
check "the planted link is left alone" test -L "$WORK/v.pr\$"

# ---- what an interrupted create leaves, and what the next one does
# An older create stopped after making the empty statistics file (with a stray temporary file).
: > "$WORK/k1.dt1"
head -c 300 "$SAMPLE_PRM" > "$WORK/k1.pr\$"
run "$WORK/k1.dt1" create
check "create completes an empty statistics file without a parameter file" test "$status" -eq 0
check "with the default contents" test -s "$WORK/k1.prm"
run "$WORK/k1.dt1" structure
check "the completed pair opens" test "$status" -eq 0

# Stopped after writing the parameter file.
cp "$SAMPLE_PRM" "$WORK/k2.prm"
run "$WORK/k2.dt1" create
check "create finishes a pair whose parameter file is there" test "$status" -eq 0
check "its parameter file is kept" cmp -s "$WORK/k2.prm" "$SAMPLE_PRM"
check "the statistics file is made empty" test -f "$WORK/k2.dt1" -a ! -s "$WORK/k2.dt1"

# Stopped while the parameter file was written: only a temporary file of a unique name is left.
: > "$WORK/k3.pr\$-K3X0QZ7A"
run "$WORK/k3.dt1" create
check "a stray temporary file blocks nothing" test "$status" -eq 0
check "both files are there" test -f "$WORK/k3.dt1" -a -s "$WORK/k3.prm"

# Stopped after both: a pair that opens, and a second create refuses to replace it.
run "$WORK/k3.dt1" structure
check "the pair opens" test "$status" -eq 0
run "$WORK/k3.dt1" create
check "create refuses the complete pair" test "$status" -eq 2
check "as an existing file" contains "$err" "Datei existiert schon!"

# ---- file names in messages are shown as text
run "$WORK/größe.xyz" create
check "a UTF-8 name is not shown double-encoded" contains "$err" "größe.xyz: keine Statistikdatei"
mkdir "$WORK/zwei"$'\n'"zeilen.dt1"
run "$WORK/zwei"$'\n'"zeilen.dt1" structure
check "a line break in a name is shown as ?" contains "$err" "zwei?zeilen.dt1: $CANNOT_OPEN"

# ---- damaged and short parameter files
: > "$WORK/c.dt1"
for cut in 1664 1792 2048 2176; do  # between the sample's group records: 5, 4, 2 or 1 groups lost
  head -c "$cut" "$SAMPLE_PRM" > "$WORK/c.prm"
  run "$WORK/c.dt1" structure
  check "a parameter file cut after $cut bytes is refused" test "$status" -eq 2
  check "the cut after $cut bytes is reported" contains "$err" "Fehler beim Lesen der Parameterdatei $WORK/c.prm"
done
for offset in 17 18 43; do  # test kind, test method, whisker factor index
  cp "$SAMPLE_PRM" "$WORK/c.prm"
  printf '\xff' | dd of="$WORK/c.prm" bs=1 seek="$offset" conv=notrunc status=none
  run "$WORK/c.dt1" structure
  check "a setting of 255 at offset $offset is reported" contains "$err" "Fehler beim Lesen der Parameterdatei"
done
for length in 0 100; do
  head -c "$length" "$SAMPLE_PRM" > "$WORK/c.prm"
  run "$WORK/c.dt1" structure
  check "a parameter file of $length bytes is an empty structure" test "$status" -eq 0
  check "without a message ($length bytes)" test -z "$err"
  check "listed as such ($length bytes)" contains "$out" "Keine Variablen"
done

finish
