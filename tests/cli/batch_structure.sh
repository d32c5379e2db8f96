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

# ---------------------------------------------------------------- structure editing
# Each subcommand on a copy of the sample study; the listing afterwards (without its dated first line)
# against tests/data/structure/*.expected.txt, worked out by make_expected.py from the editing rules.
EXPECTED="$DATA/structure"
fresh() {
  rm -rf "$WORK/s"
  mkdir -p "$WORK/s"
  cp "$ROOT/data/studie.dt1" "$ROOT/data/studie.prm" "$WORK/s/"
  S="$WORK/s/studie.dt1"
  P="$WORK/s/studie.prm"
}
listing_is() {
  run "$S" structure
  # (command substitution drops the trailing blank lines on both sides)
  diff <(printf '%s\n' "$out" | tail -n +2) <(printf '%s\n' "$(cat "$EXPECTED/$1.expected.txt")") >/dev/null
}
# refused NAME MESSAGE ARGS...: exit 2 with the message, the parameter file untouched.
refused() {
  local name=$1 message=$2
  shift 2
  cp "$P" "$WORK/before.prm"
  run "$@"
  check "$name is refused" test "$status" -eq 2
  check "$name says: $message" contains "$err" "$message"
  check "$name saves nothing" cmp -s "$P" "$WORK/before.prm"
}

fresh
check "the sample listing matches its expected file" listing_is sample

run "$S" structure append BMI:5 'WERT*3:2' 'NOTIZ>:60'
check "append succeeds" test "$status" -eq 0
check "append adds BMI, WERT-0..WERT-3 and NOTIZ> behind EREIGNIS" listing_is append
check "append keeps the old parameter file as .prb" cmp -s "$WORK/s/studie.prb" "$ROOT/data/studie.prm"
check "append keeps the records" cmp -s "$S" "$ROOT/data/studie.dt1"

fresh
run "$S" structure define KLINIK:90:2 ALTER:95:3
check "define succeeds" test "$status" -eq 0
check "define places KLINIK and moves ALTER, in the order of their starts" listing_is define

fresh
run "$S" structure rename GEWICHT KG
check "rename succeeds" test "$status" -eq 0
check "rename keeps the field" listing_is rename

fresh
run --yes "$S" structure delete THERAPIE GESCHL
check "delete with --yes succeeds" test "$status" -eq 0
check "each deletion is asked" contains "$err" "THERAPIE : Variable löschen? - Antwort: Ja (--yes)"
check "delete removes both" listing_is delete

fresh
: >"$S"
run --yes "$S" structure recompute
check "recompute without a list succeeds on an empty file" test "$status" -eq 0
check "the warning is shown and answered" contains "$err" "Warnung: Nach Beendigung des nachfolgenden Dialoges"
check "recompute closes the gaps from position 1" listing_is compact
run --yes "$S" structure recompute X:3 Y:2 'TEXT>:20'
check "recompute with a list succeeds" test "$status" -eq 0
check "the list replaces the variables, one after the other" listing_is recompute

# Broken input: nothing is saved, the message says why.
fresh
refused "a comma in a name" "Unzulässiger Variablenname" "$S" structure append 'A,B:2'
refused "a digit first" "Unzulässiger Variablenname" "$S" structure append 9ABC:1
refused "a name of 11 characters" "Unzulässiger Variablenname" "$S" structure append ABCDEFGHIJK:1
refused "a text field of 61" "Unzulässige Feldlänge" "$S" structure append 'NAME>:61'
refused "a numeric field of 10" "Unzulässige Feldlänge" "$S" structure append X:10
refused "a good item before a bad one" "abgelehnt bei A,B:2, nichts gespeichert" "$S" structure append BMI:5 'A,B:2'
refused "a name already there" "PATNR : Dieser Name ist schon vorhanden" "$S" structure append PATNR:2
refused "a series whose base is there" "WERT*2 : Dieser Name ist schon vorhanden" \
  "$S" structure append WERT-1:1 'WERT*2:1'
run "$S" structure define FAR:7800:9
check "a variable far out is defined" test "$status" -eq 0
refused "passing the record end" "maximale Datensatzlänge von 7821 Zeichen" "$S" structure append X:9 Y:9
fresh
refused "an overlap" "Überschneidung mit ALTER" "$S" structure define X:8:3
refused "a field ending at 7822" "maximale Datensatzlänge von 7821 Zeichen" "$S" structure define X:7814:9
refused "a series in the free definition" "Indizierte Variablen hier nicht zugelassen!" "$S" structure define 'A*3:100:2'
refused "a field start of 0" "Unzulässiger Wert für Feldanfang" "$S" structure define X:0:2
refused "a rename onto another name" "ALTER : Dieser Name ist schon vorhanden" "$S" structure rename GEWICHT ALTER
refused "a rename of a missing variable" "FEHLT: Variable nicht vorhanden" "$S" structure rename FEHLT NEU
refused "a delete without --yes" "GESCHL : Variable löschen? - Antwort: Nein" "$S" structure delete GESCHL
refused "a recompute of a file with data" "enthält schon Daten" --yes "$S" structure recompute X:3
: >"$S"
refused "a recompute without --yes" "Antwort: Abbrechen" "$S" structure recompute X:3

run "$S" structure append PAT:2
check "a name that only begins another one is no duplicate" test "$status" -eq 0
run "$S" structure append 'NAME>:60'
check "a text field of 60 is taken" test "$status" -eq 0
fresh
run "$S" structure define X:7813:9
check "a field ending exactly at 7821 is taken" test "$status" -eq 0

for usage in "append" "append X" "append X:" "define X:1" "rename A" "delete" "bogus"; do
  # shellcheck disable=SC2086
  run "$S" structure $usage
  check "structure $usage is a usage error" test "$status" -eq 1
done

finish
