# veltrix-batch analyse on the sample study: the printed tables against the committed protocol files
# (time stamps masked), the selection checks and a damaged file.
#
# The numbers in the protocol files were checked against a separate python3 evaluation of the sample
# data (not the program's output): code 11 GROESSE by therapy means 172.56 / 171.76, SD 10.25 / 9.25,
# medians 173 / 172, sums 24159 / 26107, Wilcoxon W = 20915.5 with the tie-corrected normal
# approximation p = 0.2868; code 13 with complete cases: 284 records, two-way F = 7005.93 with 2 and
# 566 d.f.; code 13 for group 3: 131 non-zero differences GEWICHT - GROESSE, rank sum of the negative
# ones 8646.
source "$(dirname "$0")/lib.bash"
STUDY=$ROOT/data/studie.dt1
masked() { sed -E 's/-- [0-9]{2}\.[0-9]{2}\.[0-9]{4} [0-9]{2}:[0-9]{2} -/-- TT.MM.JJJJ HH:MM -/'; }

expect_protocol() {
  local name=$1
  shift
  run "$STUDY" analyse "$@"
  check "$name runs" test "$status" -eq 0
  check "$name matches $name.txt" diff <(printf "%s\n" "$out" | masked) <(printf "%s\n" "$(cat "$DATA/analyse/$name.txt")")
}
expect_protocol code11 11 --vars1 GROESSE --groups1 1,2
expect_protocol code12 12 --vars1 GROESSE --vars2 ALTER --class2 2 --groups1 0
expect_protocol code13 13 --vars1 GROESSE,GEWICHT,ALTER --groups1 0 --complete
expect_protocol code13_paired 13 --vars1 GROESSE,GEWICHT --groups1 3
expect_protocol code19 19 --vars1 GROESSE,GEWICHT --groups1 1,2
# Frequency tables. Checked separately from the raw data: code 31, ALTER by decades for the two
# therapies, counts 4/0, 1/3, 11/21, 30/27, 48/55, 35/39, 12/8, 2/4 in the decades 30 .. 100 and
# chi-square 9.810 with 7 d.f.; code 32, GESCHL by THERAPIE, 78 82 / 65 75, four-fold chi-square
# 0.161, p 0.6880; code 33, GESCHL and THERAPIE side by side, 160 143 / 140 157, chi-square 1.927,
# p 0.1651; code 34 overlaps (groups 3 and 5 share the older women).
expect_protocol code31 31 --vars1 ALTER --class1 2 --groups1 1,2
expect_protocol code32 32 --vars1 GESCHL --class1 1 --vars2 THERAPIE --class2 1 --groups1 0
expect_protocol code33 33 --vars1 GESCHL,THERAPIE --class1 1 --groups1 0
expect_protocol code34 34 --groups1 1,2 --groups2 3,5
run "$STUDY" analyse 34 --groups1 1,2 --groups2 3,5
check "code 34 notes the overlap" contains "$out" "Gruppenüberschneidung"
check "code 34 makes no test under overlap" bash -c '! grep -q "Kontingenztafel" <<<"$1"' _ "$out"

# Independent of the protocol files: the counts of code 11 from the raw lines (THERAPIE in column 24
# of the line, GROESSE in columns 20..22).
run "$STUDY" analyse 11 --vars1 GROESSE --groups1 1,2
n1=$(awk 'substr($0,24,1)=="1" && substr($0,20,3) ~ /[0-9]/' "$STUDY" | wc -l)
n2=$(awk 'substr($0,24,1)=="2" && substr($0,20,3) ~ /[0-9]/' "$STUDY" | wc -l)
check "code 11 counts group 1" contains "$out" "A:    Standard      172.56       10.25        0.87       173.0    $n1"
check "code 11 counts group 2" contains "$out" "B:         Neu      171.76        9.25        0.75       172.0    $n2"

# The selection is checked as the dialog checks it.
refused() {
  local name=$1 message=$2
  shift 2
  run "$STUDY" analyse "$@"
  check "$name refused" test "$status" -eq 2
  check "$name says why" contains "$err" "$message"
  check "$name prints no table" test -z "$out"
}
refused "text variable" "DIAGNOSE> ist für Auszuwertende Variable nicht zulässig" 11 --vars1 'DIAGNOSE>' --groups1 1
refused "missing groups" "Zu wenige Einträge für \"für Gruppen\" (--groups1, mindestens 1)" 11 --vars1 GROESSE
refused "unknown variable" "Variable NIX ist nicht vorhanden" 11 --vars1 NIX --groups1 1
refused "undefined group" "Gruppe 77 ist nicht vorhanden" 11 --vars1 GROESSE --groups1 77
refused "three groups for code 19" "Höchstens 2 Einträge" 19 --vars1 GROESSE --groups1 1,2,3
refused "box the code lacks" "hat kein Feld für --vars2" 11 --vars1 GROESSE --groups1 1 --vars2 GEWICHT
# A text variable under a numeric class division finds no class: the empty count table only.
run "$STUDY" analyse 31 --vars1 'DIAGNOSE>' --class1 2 --groups1 1,2
check "empty frequency table runs" test "$status" -eq 0
check "empty frequency table has one tab" test "$(grep -c 'Häufigkeitsverteilung' <<<"$out")" -eq 1
refused "class division missing" "Zu wenige Einträge" 31 --vars1 ALTER --groups1 1,2
refused "code without analysis" "Für den Code 21 gibt es keine Auswertung." 21 --vars1 GROESSE,GEWICHT --groups1 1
run "$STUDY" analyse 11 --vars9 X
check "unknown option is a usage error" test "$status" -eq 1
run "$STUDY" analyse
check "missing code is a usage error" test "$status" -eq 1

# A study whose data file is empty: the message of the data pass, no tables.
cp "$ROOT/data/studie.prm" "$WORK/leer.prm"
: >"$WORK/leer.dt1"
run "$WORK/leer.dt1" analyse 11 --vars1 GROESSE --groups1 1,2
check "empty file refused" test "$status" -eq 2
check "empty file message" contains "$err" "Datei ist leer (oder nicht vorhanden)"

# A file cut in the middle of a record and values that are no numbers are skipped, never shown.
cp "$ROOT/data/studie.prm" "$WORK/kaputt.prm"
{ head -c 2000 "$STUDY"; printf '1 9999 1  12a 1.7E38 17x 1'; } >"$WORK/kaputt.dt1"
run "$WORK/kaputt.dt1" analyse 11 --vars1 GROESSE --groups1 1,2
check "damaged file runs" test "$status" -eq 0
check "damaged file shows no nan" bash -c '! grep -qiE "nan|inf" <<<"$1"' _ "$out"

# --progress shows what the progress box shows, for files above 500000 bytes only.
cp "$ROOT/data/studie.prm" "$WORK/gross.prm"
for _ in $(seq 1 30); do cat "$STUDY"; done >"$WORK/gross.dt1"
run "$WORK/gross.dt1" analyse 11 --vars1 GROESSE --groups1 1,2 --progress
check "progress runs" test "$status" -eq 0
check "progress reaches 100" contains "$err" "Auswertung: 100 %"
run "$STUDY" analyse 11 --vars1 GROESSE --groups1 1,2 --progress
check "no progress for a small file" test -z "$err"
finish
