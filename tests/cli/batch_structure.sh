#!/usr/bin/env bash
# structure and create end to end, on the bundled sample study and on small fixtures.
source "$(dirname "$0")/lib.bash"
SAMPLE="$ROOT/data/studie.dt1"

run "$SAMPLE" structure
check "structure of the sample study succeeds" test "$status" -eq 0
check "structure is titled" contains "$out" "STRUKTUR DATENSATZ"
check "the header line names the file" contains "$out" "- studie.dt1 -- "
check "variables stand column-major with FA.FL" contains "$out" " PATNR            1.5      GROESSE         19.3      ENTLASS>        61.10"
check "the last row holds two variables" contains "$out" " GEWICHT         13.5      AUFNAHME>       50.10"

run --csv=, "$SAMPLE" structure
check "csv rows are separated by the chosen character, none after the last cell" \
  grep -qx 'PATNR            1.5,GROESSE         19.3,ENTLASS>        61.10' <<<"$out"

run --out "$WORK/proto.txt" "$SAMPLE" structure
check "structure appends to --out" test "$status" -eq 0
check "nothing on stdout with --out" test -z "$out"
check "protocol file lines end in CR LF" grep -q $'^ PATNR            1.5      GROESSE         19.3      ENTLASS>        61.10\r$' "$WORK/proto.txt"
run --out "$WORK/proto.txt" "$SAMPLE" structure
check "a second run appends" test "$(grep -c 'STRUKTUR DATENSATZ' "$WORK/proto.txt")" -eq 2

run "$WORK/neu.dt1" create
check "create succeeds" test "$status" -eq 0
check "create leaves an empty statistics file" test -f "$WORK/neu.dt1" -a ! -s "$WORK/neu.dt1"
check "create writes the parameter file" test -s "$WORK/neu.prm"
run "$WORK/neu.dt1" structure
check "a new file has no variables" grep -qx 'Keine Variablen' <<<"$out"

run "$WORK/neu.dt1" create
check "create refuses an existing file" test "$status" -eq 2
check "create says why" contains "$err" "Datei existiert schon!"

cp "$WORK/neu.prm" "$WORK/keep.prm"
run "$WORK/neu.dt2" create
check "a second file of the same name shares the parameter file" test "$status" -eq 0
check "the shared parameter file is kept" cmp -s "$WORK/neu.prm" "$WORK/keep.prm"

run "$WORK/abc.xyz" create
check "a name without .dt is refused" test "$status" -eq 2
check "nothing was created for it" test ! -e "$WORK/abc.xyz"

run "$WORK/fehlt.dt1" structure
check "structure of a missing file fails" test "$status" -eq 2

# A damaged parameter file: the error is reported and the program goes on to exit normally.
head -c 200 "$ROOT/data/studie.prm" > "$WORK/kaputt.prm"
: > "$WORK/kaputt.dt1"
run "$WORK/kaputt.dt1" structure
check "a damaged parameter file is refused" test "$status" -eq 2
check "the damage is reported" contains "$err" "Fehler beim Lesen der Parameterdatei"

finish
