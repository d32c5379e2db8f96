# veltrix-batch checks, record, enter and delete end to end on a copy of the sample study with the
# entry-check file of tests/data/entry. The expected files there were built by
# tests/data/entry/make_fixtures.py from the record and entry-check file rules (not by the program).
source "$(dirname "$0")/lib.bash"
E=$DATA/entry
F=$WORK/f
mkdir -p "$F"
cp "$ROOT/data/studie.dt1" "$F/studie.dt1"
cp "$ROOT/data/studie.prm" "$F/studie.prm"
ORIGINAL=$ROOT/data/studie.dt1

# Without an entry-check file.
run "$F/studie.dt1" checks
check "checks without a file succeeds" test "$status" -eq 0
check "it says there is none" test "$out" = "Keine Eingabeprüfungen: studie.INC existiert nicht"
run "$F/studie.dt1" enter 3 GESCHL=7
check "without checks any number is taken" test "$status" -eq 0
cp "$ORIGINAL" "$F/studie.dt1"
rm -f "$F/studie.db1"

cp "$E/studie.inc" "$F/studie.inc"
run "$F/studie.dt1" checks
check "checks lists the file" test "$status" -eq 0
check "the listing matches checks.expected.txt" diff <(printf "%s\n" "$out") "$E/checks.expected.txt"

run "$F/studie.dt1" record 2
check "record 2" test "$status" -eq 0
check "record 2 shows the sample's values" contains "$out" " ALTER      77"
run "$F/studie.dt1" record 301
check "record beyond the last is refused" test "$status" -eq 2
check "it says how many there are" contains "$err" "Datensatz 301 existiert nicht (die Datei hat 300 Datensätze)"
run "$F/studie.dt1" record last --columns 1
check "record last" test "$status" -eq 0
check "record last is record 300" contains "$out" "* Satz-Nr.: 300"
check "one column: one variable per line" test "$(printf "%s\n" "$out" | wc -l)" -eq 12
check "the last record's PATNR" contains "$out" " PATNR      1300"
run "$F/studie.dt1" record 2 --columns 4
check "four columns are a usage error" test "$status" -eq 1
run "$F/studie.dt1" record x
check "record x is a usage error" test "$status" -eq 1

# A failed check is corrected (nothing saved) unless --accept; every value is checked first.
refused() {
  local name=$1 message=$2
  shift 2
  run "$F/studie.dt1" "$@"
  check "$name refused" test "$status" -eq 2
  check "$name says why" contains "$err" "$message"
  check "$name changes nothing" cmp "$F/studie.dt1" "$ORIGINAL"
  check "$name makes no backup" test ! -e "$F/studie.db1"
}
refused "GESCHL=3" "GESCHL = 3: Eintrag > 2 Korrektur ? - Antwort: Ja" enter 3 GESCHL=3
refused "a good value before a bad one" "GESCHL = 5: Eintrag > 2" enter 3 ALTER=50 GESCHL=5
refused "GEWICHT=2x" "Eintrag nicht numerisch" enter 3 GEWICHT=2x
refused "GEWICHT=123456" "Eintrag zu lang (maximal 5 Zeichen)" enter 3 GEWICHT=123456
refused "GEWICHT=99999999999 with --accept" "Eintrag zu lang (maximal 5 Zeichen)" enter 3 GEWICHT=99999999999 --accept
refused "GEWICHT=10" "Eintrag < 20" enter 3 GEWICHT=10
refused "FUPTAGE=12.5" "FUPTAGE = 12.5: nicht ganzzahlig" enter 3 FUPTAGE=12.5
refused "GROESSE=231" "Eintrag > 230" enter 3 GROESSE=231
refused "DIAGNOSE>=Grippe" "Unzulässige Eingabe (Zugelassen : COPD;Pneumonie;)" enter 3 "DIAGNOSE>=Grippe"
refused "a character outside Windows-1252" "Zeichen außerhalb von Windows-1252" enter 3 "DIAGNOSE>=ĉ"
refused "an unknown variable" "NOPE: keine Variable der Struktur" enter 3 NOPE=1
refused "a record beyond the new one" "Datensatz 302 existiert nicht" enter 302 ALTER=1
refused "delete without --yes" "Datensatz löschen? - Antwort: Nein" delete 4
run --yes "$F/studie.dt1" delete 301
check "delete beyond the last refused" test "$status" -eq 2
check "delete beyond the last says why" contains "$err" "Datensatz 301 existiert nicht"
for bad in "enter" "enter 0 ALTER=1" "enter 2" "enter 2 =5" "enter -1 ALTER=1" "delete" "delete x"; do
  # shellcheck disable=SC2086
  run "$F/studie.dt1" $bad
  check "'$bad' is a usage error" test "$status" -eq 1
done
check "usage errors change nothing" cmp "$F/studie.dt1" "$ORIGINAL"

# 3,5 style input and an unchanged value.
run "$F/studie.dt1" enter 2 ALTER=78 GEWICHT=80,5
check "enter 2" test "$status" -eq 0
check "it says saved" test "$out" = "Datensatz 2 gespeichert"
check "the file matches enter2.expected.dt1" cmp "$F/studie.dt1" "$E/enter2.expected.dt1"
# The backup is the file as the line editor opened it: the original with the end mark.
check "the backup is the original" cmp "$F/studie.db1" <(cat "$ORIGINAL"; printf '\032')
run "$F/studie.dt1" record 2
check "record 2 matches record2.expected.txt" diff <(printf "%s\n" "$out") "$E/record2.expected.txt"
run "$F/studie.dt1" enter 2 ALTER=" 78 "
check "the same value again" test "$out" = "Datensatz 2 unverändert"
check "it writes nothing" cmp "$F/studie.dt1" "$E/enter2.expected.dt1"

run "$F/studie.dt1" enter new PATNR=1301 GESCHL=2 "DIAGNOSE>=Pneumonie" ALTER=64
check "enter new" test "$status" -eq 0
check "it says appended" test "$out" = "Datensatz 301 angefügt"
check "the file matches new.expected.dt1" cmp "$F/studie.dt1" "$E/new.expected.dt1"
check "the backup is the file before" cmp "$F/studie.db1" "$E/enter2.expected.dt1"
run "$F/studie.dt1" enter 302 PATNR= GESCHL=
check "a blank new record" test "$out" = "Datensatz 302 unverändert"

run "$F/studie.dt1" enter 3 GESCHL=3 GROESSE=5 --accept
check "--accept takes the value" test "$status" -eq 0
check "--accept says so" contains "$err" "GESCHL = 3: Eintrag > 2 Korrektur ? - Antwort: Nein (--accept)"
check "the file matches accept.expected.dt1" cmp "$F/studie.dt1" "$E/accept.expected.dt1"

run --yes "$F/studie.dt1" delete 4
check "delete 4 --yes" test "$status" -eq 0
check "it says deleted" test "$out" = "Datensatz 4 gelöscht"
check "the file matches delete.expected.dt1" cmp "$F/studie.dt1" "$E/delete.expected.dt1"

blank=()
for v in PATNR GESCHL ALTER GEWICHT GROESSE THERAPIE "DIAGNOSE>" "AUFNAHME>" "ENTLASS>" FUPTAGE EREIGNIS; do
  blank+=("$v=")
done
run "$F/studie.dt1" enter 5 "${blank[@]}"
check "blanking every field" test "$status" -eq 0
check "deletes the record" test "$out" = "Datensatz 5 gelöscht"
check "the file matches blank.expected.dt1" cmp "$F/studie.dt1" "$E/blank.expected.dt1"
check "the end mark stays single" test "$(tr -cd '\032' <"$F/studie.dt1" | wc -c)" -eq 1
run "$F/studie.dt1" record last
check "299 records are left" contains "$out" "* Satz-Nr.: 299"

# An empty statistics file: no record to show; enter new writes record 1 (PATNR at 1..5, GEWICHT at
# 13..17, both right-aligned).
: >"$F/leer.dt1"
cp "$ROOT/data/studie.prm" "$F/leer.prm"
run "$F/leer.dt1" record last
check "record last of an empty file is refused" test "$status" -eq 2
check "it says the file is empty" contains "$err" "leer.dt1: Datei ist leer"
run "$F/leer.dt1" enter new PATNR=7 GEWICHT=70,25
check "enter new into an empty file" test "$out" = "Datensatz 1 angefügt"
check "the file holds the one line and the end mark" cmp "$F/leer.dt1" <(printf '1    7       70.25\r\n\032')
finish
