# veltrix-batch sort end to end: the sample study by a number, a number with blanks and a text,
# against files built from the ordering rule by tests/data/sort/make_expected.py (python3, not the
# program); generated files against GNU sort (-s -n, and -g for exponents); refused calls; a write
# that fails.
source "$(dirname "$0")/lib.bash"
F=$WORK/f
mkdir -p "$F"

# Names in $F besides the statistics file, its parameter file and its backup: run or work files left.
strays() { find "$F" -mindepth 1 ! -name 'studie.dt1' ! -name 'studie.prm' ! -name 'studie.db1' | wc -l; }

for variable in ALTER GEWICHT 'DIAGNOSE>'; do
  rm -f "$F"/*
  cp "$ROOT/data/studie.dt1" "$ROOT/data/studie.prm" "$F/"
  run "$F/studie.dt1" sort "$variable"
  name=$(printf '%s' "$variable" | tr -d '>' | tr 'A-Z' 'a-z')
  check "sort $variable succeeds" test "$status" -eq 0
  check "sort $variable counts the records" test "$out" = "Datensätze sortiert: 300"
  check "sort $variable matches studie.$name.dt1" cmp "$F/studie.dt1" "$DATA/sort/studie.$name.dt1"
  check "sort $variable keeps the unsorted file as the backup" cmp "$F/studie.db1" "$ROOT/data/studie.dt1"
  check "sort $variable leaves no run or work file" test "$(strays)" -eq 0
done

# A sorted file sorted again by another variable: the backup is now the previous sort.
run "$F/studie.dt1" sort ALTER --memory 1
check "a second sort succeeds" test "$status" -eq 0
check "equal ages stay in the order of the diagnoses" cmp "$F/studie.dt1" "$DATA/sort/studie.diagnose.alter.dt1"
check "its backup is the file sorted by DIAGNOSE>" cmp "$F/studie.db1" "$DATA/sort/studie.diagnose.dt1"

# Generated files of the sample layout: GEWICHT (13..17, line columns 14..18) with ties and negatives,
# PATNR (1..5) the line's number, so that the order of ties shows. 60000 lines are more than 1 MiB:
# with --memory 1 they are sorted in runs and merged. GNU sort -s -n in the C locale reads the same
# numbers (optional blanks, "-", digits, "."), and keeps ties in their order.
generate() {  # generate COUNT FORMAT-OF-GEWICHT
  awk -v n="$1" -v kind="$2" 'BEGIN {
    srand(4711)
    for (i = 1; i <= n; i++) {
      r = int(rand() * 2000)
      if (kind == "decimal") value = sprintf("%5.1f", (r - 999) / 10)
      else value = sprintf("%2de%d", r % 19 - 9, int(rand() * 3) - 1)
      printf "1%5d 1  50 %s 170 1 Generiert                01.01.2020 02.01.2020  100 0\r\n", i % 100000, value
    }
  }'
}
rm -f "$F"/*
cp "$ROOT/data/studie.prm" "$F/studie.prm"
generate 60000 decimal >"$F/studie.dt1"
cp "$F/studie.dt1" "$F/unsorted.dt1"
LC_ALL=C sort -s -n -t '|' -k1.14,1.18 "$F/unsorted.dt1" >"$WORK/expected.dt1"
rm "$F/unsorted.dt1"
run "$F/studie.dt1" sort GEWICHT --memory 1 --progress
check "60000 records in runs" test "$status" -eq 0
check "the count is 60000" test "$out" = "Datensätze sortiert: 60000"
check "the order is GNU sort -s -n's" cmp "$F/studie.dt1" "$WORK/expected.dt1"
check "--progress shows the counts" contains "$err" "Sortieren: 20 Datensätze gelesen"
check "--progress shows the writing" contains "$err" "Datensätze geschrieben"
check "no run file is left" test "$(strays)" -eq 0

generate 20000 exponent >"$F/studie.dt1"
LC_ALL=C sort -s -g -t '|' -k1.14,1.18 "$F/studie.dt1" >"$WORK/expected.dt1"
run "$F/studie.dt1" sort GEWICHT
check "numbers with exponents" test "$status" -eq 0
check "the order is GNU sort -s -g's" cmp "$F/studie.dt1" "$WORK/expected.dt1"

# Refused calls change nothing.
rm -f "$F"/*
cp "$ROOT/data/studie.dt1" "$ROOT/data/studie.prm" "$F/"
refused() {  # refused NAME STATUS MESSAGE ARGS...
  local name=$1 expected=$2 message=$3
  shift 3
  run "$@"
  check "$name gives $expected" test "$status" -eq "$expected"
  check "$name says why" contains "$err" "$message"
  check "$name changes nothing" cmp "$F/studie.dt1" "$ROOT/data/studie.dt1"
  check "$name makes no backup" test ! -e "$F/studie.db1"
}
refused "an unknown variable" 2 "Variable GIBTS ist nicht vorhanden" "$F/studie.dt1" sort GIBTS
refused "sort without a variable" 1 "sort erwartet einen Variablennamen" "$F/studie.dt1" sort
refused "--memory 0" 1 "--memory erwartet eine Zahl" "$F/studie.dt1" sort ALTER --memory 0
refused "--memory without a number" 1 "--memory erwartet eine Zahl" "$F/studie.dt1" sort ALTER --memory
refused "--memory x" 1 "--memory erwartet eine Zahl" "$F/studie.dt1" sort ALTER --memory x
refused "an unknown option" 1 "sort kennt die Angabe --fast nicht" "$F/studie.dt1" sort ALTER --fast
: >"$F/leer.dt1"
cp "$ROOT/data/studie.prm" "$F/leer.prm"
refused "an empty statistics file" 2 "Datei ist leer (oder nicht vorhanden)" "$F/leer.dt1" sort ALTER
rm -f "$F/leer.dt1" "$F/leer.prm"

# A write that fails (the file size limit is reached) leaves the file and the backup as they were.
printf '1 old backup\r\n' >"$F/studie.db1"
out=$( (ulimit -f 4; trap '' XFSZ; "$BATCH" "$F/studie.dt1" sort GEWICHT) 2>"$WORK/stderr")
status=$?
err=$(cat "$WORK/stderr")
check "a failed write is refused" test "$status" -eq 2
check "it says so" contains "$err" "Schreibfehler beim Sortieren; die Datei ist unverändert."
check "the statistics file is unchanged" cmp "$F/studie.dt1" "$ROOT/data/studie.dt1"
check "the backup is unchanged" test "$(cat "$F/studie.db1")" = $'1 old backup\r'
check "no work file is left after the failure" test "$(strays)" -eq 0
finish
