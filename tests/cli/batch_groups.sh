#!/usr/bin/env bash
# Groups and class divisions end to end on a copy of the sample study.
source "$(dirname "$0")/lib.bash"
cp "$ROOT/data/studie.dt1" "$WORK/s.dt1"
cp "$ROOT/data/studie.prm" "$WORK/s.prm"
S="$WORK/s.dt1"

# ---- class divisions
run "$S" class 3 show
check "a standard division is listed" contains "$out" " 3N  0,5,10,15"
run "$S" class 20 set 10 20 30
check "a numeric division is set" test "$status" -eq 0
run "$S" class 20 show
check "and shows its boundaries one per line" grep -qx '30' <<<"$out"
check "with its list line" contains "$out" "20N  10,20,30"
cp "$WORK/s.prm" "$WORK/before.prm"
run "$S" class 20 set 5 5
check "boundaries must ascend" test "$status" -eq 2
check "with the editor's message" contains "$err" "Werte nicht in aufsteigender Folge !"
check "a refusal changes nothing" cmp -s "$WORK/s.prm" "$WORK/before.prm"
run "$S" class 20 set ABC
check "a numeric division takes numbers only" contains "$err" "Kein numerischer Wert: ABC"
run "$S" class 20 set 1E39
check "a boundary beyond the six-byte range is refused" contains "$err" "Kein numerischer Wert: 1E39"
run "$S" class 21 set --text contains "A;" "B;"
run "$S" class 21 show
check "a text division keeps its kind" contains "$out" "21E  A;,B;"
run "$S" class 0 delete
check "division 0 cannot be changed" contains "$err" "Klasseneinteilung 0 kann nicht geändert werden!"
run "$S" class 20 delete
run "$S" class 20 show
check "a deleted division is empty" test "$(wc -l <<<"$out")" -eq 1
run "$S" class 81 show
check "numbers beyond 80 are a usage error" test "$status" -eq 1
run "$S" class 20 set 12345678901
check "a value longer than the field is a usage error" test "$status" -eq 1

finish
