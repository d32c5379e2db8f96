# veltrix-batch manip end to end: every statement family on a fixture of twelve records of the sample
# layout, for all records and for one group, against files worked out separately from the rules of the
# language (a python3 evaluation written from those rules, not from the program; checked by hand for
# record 1: BMI 101.8 / 1.89^2 = 28.5, 2 days, MDA 2/31 = 0.06, ZDM 23.30 -> 00.15 = 45 minutes).
source "$(dirname "$0")/lib.bash"
F=$WORK/f
mkdir -p "$F"
cp "$DATA/manip/studie.dt1" "$F/studie.dt1"
cp "$ROOT/data/studie.prm" "$F/studie.prm"

run "$F/studie.dt1" manip "$DATA/manip/alle.bf1"
check "all families run" test "$status" -eq 0
check "the counts are printed" test "$out" = $'Datensätze gelesen: 12\nDatensätze geschrieben: 17'
check "the file matches alle.expected.dt1" cmp "$F/studie.dt1" "$DATA/manip/alle.expected.dt1"
check "the previous file is the backup" cmp "$F/studie.db1" "$DATA/manip/studie.dt1"
check "no work file is left" test ! -e "$F/studie.\$\$\$"

run "$F/studie.dt1" manip "$DATA/manip/frauen.bf1" --group 3
check "group 3 runs" test "$status" -eq 0
check "only the women get their record number" cmp "$F/studie.dt1" "$DATA/manip/frauen.expected.dt1"
check "the second run replaced the backup" cmp "$F/studie.db1" "$DATA/manip/alle.expected.dt1"

# --show prints the program as the compiler understood it; --check changes nothing.
run "$F/studie.dt1" manip "$DATA/manip/alle.bf1" --check --show
check "--show --check succeeds" test "$status" -eq 0
check "--show matches alle.rendered.txt" diff <(printf "%s\n" "$out") "$DATA/manip/alle.rendered.txt"
check "--check changes nothing" cmp "$F/studie.dt1" "$DATA/manip/frauen.expected.dt1"

# A compile error names the physical line; nothing runs.
run "$F/studie.dt1" manip "$DATA/manip/fehler.bf1"
check "a compile error is refused" test "$status" -eq 2
check "it names the line" contains "$err" "fehler.bf1, Zeile 3: Unzulässiger Vergleichsoperator"
check "a refused program changes nothing" cmp "$F/studie.dt1" "$DATA/manip/frauen.expected.dt1"

refused() {
  local name=$1 message=$2
  shift 2
  run "$@"
  check "$name refused" test "$status" -eq 2
  check "$name says why" contains "$err" "$message"
}
refused "an undefined group" "Gruppe 9 ist nicht definiert." "$F/studie.dt1" manip "$DATA/manip/alle.bf1" --group 9
refused "a missing command file" "fehlt.bf1: Datei nicht gefunden" "$F/studie.dt1" manip "$F/fehlt.bf1"
: >"$F/leer.dt1"
cp "$ROOT/data/studie.prm" "$F/leer.prm"
refused "an empty statistics file" "Datei ist leer (oder nicht vorhanden)" "$F/leer.dt1" manip "$DATA/manip/frauen.bf1"
run "$F/studie.dt1" manip
check "manip without a command file is a usage error" test "$status" -eq 1

# A write that fails (the file size limit is reached) leaves the statistics file as it was.
cp "$F/studie.dt1" "$F/before.dt1"
out=$( (ulimit -f 1; trap '' XFSZ; "$BATCH" "$F/studie.dt1" manip "$DATA/manip/alle.bf1") 2>"$WORK/stderr")
status=$?
err=$(cat "$WORK/stderr")
check "a failed write is reported" test "$status" -eq 2
check "it says so" contains "$err" "Schreibfehler!"
check "the statistics file is unchanged" cmp "$F/studie.dt1" "$F/before.dt1"
check "the backup is unchanged" cmp "$F/studie.db1" "$DATA/manip/alle.expected.dt1"
check "no work file is left after the failure" test ! -e "$F/studie.\$\$\$"

# The sample study: BMI for the group "über 65" only, counted against the raw lines (ALTER in
# columns 10..12, GEWICHT 14..18, GROESSE 20..22 of the line).
cp "$ROOT/data/studie.dt1" "$F/sample.dt1"
cp "$ROOT/data/studie.prm" "$F/sample.prm"
printf '[80.5 : 1] = [GEWICHT] / ([GROESSE] / 100 * [GROESSE] / 100)\r\n' >"$F/bmi.bf1"
run "$F/sample.dt1" manip "$F/bmi.bf1" --group 4
check "BMI on the sample study" test "$status" -eq 0
expected=$(awk 'substr($0,1,1)=="1" && substr($0,10,3)+0 > 65 && substr($0,14,5) ~ /[0-9]/ && substr($0,20,3) ~ /[0-9]/' "$ROOT/data/studie.dt1" | wc -l)
check "a BMI line for each older patient with both values" test "$(grep -c '^2' "$F/sample.dt1")" -eq "$expected"
first=$(awk 'substr($0,1,1)=="1" && substr($0,10,3)+0 > 65 && substr($0,14,5) ~ /[0-9]/ && substr($0,20,3) ~ /[0-9]/ { printf "2%5.1f\n", substr($0,14,5) / (substr($0,20,3) / 100) ^ 2; exit }' "$ROOT/data/studie.dt1")
check "the first BMI matches awk" test "$(grep -m1 '^2' "$F/sample.dt1" | tr -d '\r')" = "$first"
finish
