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

# ---- groups. Expected member counts come from awk over the sample file (GESCHL at column 8 of line
# 1, ALTER at 10..12, THERAPIE at 24), not from the program.
count() { awk "substr(\$0,1,1)==\"1\"{g=substr(\$0,8,1); a=substr(\$0,10,3)+0; t=substr(\$0,24,1); if ($1) n++} END{print n+0}" "$ROOT/data/studie.dt1"; }
run "$S" group 3 show
check "a stored group shows its title and definition" contains "$out" "  3: Frauen"
check "its definition line" grep -qx 'GESCHL : 2' <<<"$out"
run "$S" members 3
check "members lists one record number per line" test "$(wc -l <<<"$out")" -eq "$(count 'g=="2"')"

run "$S" group 5 set --title "Junge Frauen" --short JF "geschl : 2" "ALTER : 20,-,39"
check "a group is defined from its lines" test "$status" -eq 0
run "$S" group 5 show
check "typed in lower case, shown in upper case" grep -qx 'GESCHL : 2' <<<"$out"
run "$S" members 5
check "two lines are both required (AND)" test "$(wc -l <<<"$out")" -eq "$(count 'g=="2" && a>=20 && a<=39')"
run "$S" group 6 set "GESCHL : 2" OR "ALTER : 20,-,39"
run "$S" members 6
check "OR between them takes either" test "$(wc -l <<<"$out")" -eq "$(count 'g=="2" || (a>=20 && a<=39)')"
run "$S" group 6 set "ALTER : 65,20,-,29"
run "$S" group 6 show
check "single values come before ranges when shown" grep -qx 'ALTER : 65,20,-,29' <<<"$out"

# Text terms: "?" contains in any letter case, a double quote begins with. DIAGNOSE> is at columns 26..49.
diag() { awk "substr(\$0,1,1)==\"1\"{d=toupper(substr(\$0,26,24)); if ($1) n++} END{print n+0}" "$ROOT/data/studie.dt1"; }
run "$S" group 11 set "DIAGNOSE> : ?herz"
run "$S" members 11
check "contains finds HERZ anywhere, in any case" test "$(wc -l <<<"$out")" -eq "$(diag 'index(d,"HERZ")>0')"
run "$S" group 11 set 'DIAGNOSE> : "herz'
run "$S" members 11
check "a double quote finds the names that begin with it" test "$(wc -l <<<"$out")" -eq "$(diag 'index(d,"HERZ")==1')"
# NOT leaves out empty fields, COMPL takes them. GROESSE is at columns 20..22, blank in some records.
size() { awk "substr(\$0,1,1)==\"1\"{f=substr(\$0,20,3); v=f+0; if ($1) n++} END{print n+0}" "$ROOT/data/studie.dt1"; }
run "$S" group 12 set "NOT , GROESSE : 170,-,180"
run "$S" members 12
check "NOT: outside the range, with a value" test "$(wc -l <<<"$out")" -eq "$(size 'f!="   " && (v<170 || v>180)')"
run "$S" group 12 set "COMPL , GROESSE : 170,-,180"
run "$S" members 12
check "COMPL: outside the range or empty" test "$(wc -l <<<"$out")" -eq "$(size 'f=="   " || v<170 || v>180')"
check "the sample has empty sizes, so the two differ" test "$(size 'f=="   "')" -gt 0

cp "$WORK/s.prm" "$WORK/before.prm"
run "$S" group 7 set "GESCHL : 2" "ALTER : 1,-"
check "a compile error fails the command" test "$status" -eq 2
check "and names the line and the message" contains "$err" "Zeile 2: Falsche Verwendung von  ,-,"
run "$S" group 7 set "XYZ : 1"
check "an unknown variable is named" contains "$err" "Fehler: XYZ"
check "refusals change nothing" cmp -s "$WORK/s.prm" "$WORK/before.prm"
run "$S" group 0 set "GESCHL : 1"
check "group 0 cannot be changed" contains "$err" "Gruppe 0 kann nicht geändert werden!"
run "$S" members 40
check "an undefined group has no members to list" test "$status" -eq 2

run "$S" combine 3 5 8 --or
check "a union is stored" test "$status" -eq 0
run "$S" group 8 show
check "titled with both titles" contains "$out" "  8: Frauen+Junge Frauen"
check "B becomes an alternative of its own" test "$(grep -c '^OR$' <<<"$out")" -eq 1
run "$S" combine 1 3 9 --and
check "an intersection needs no question for an empty target" test "$status" -eq 0
run "$S" members 9
check "the intersection selects both" test "$(wc -l <<<"$out")" -eq "$(count 't=="1" && g=="2"')"
run "$S" combine 8 3 10 --and
check "an intersection with OR is refused" contains "$err" "Eine der Gruppen enthält OR!"
run "$S" combine 1 3 9 --or
check "a filled target is not overwritten without --yes" test "$status" -eq 2
run --yes "$S" combine 1 3 9 --or
check "with --yes it is" test "$status" -eq 0

run "$S" group 9 delete
run "$S" group 9 show
check "a deleted group has no definition" test "$(wc -l <<<"$out")" -eq 2

finish
