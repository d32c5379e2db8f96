#!/usr/bin/env bash
# direct and settings end to end. Expected p-values come from a separate evaluation of the tail
# series (python3, by the formulas), not from the program: TTail(2, 11, 1) = 0.0354,
# FTail(9, 9, 9) = 0.00156, ChiSquareTail(81/21, 1) = 0.0495.
source "$(dirname "$0")/lib.bash"
SAMPLE="$ROOT/data/studie.dt1"

run - direct 5010 10 1 10 12 3 10
check "the t-test runs without a file" test "$status" -eq 0
check "SD 1 and 3 with N = 10 use the unequal-variance test" \
  contains "$out" "t-Test, unabhängige Stichproben (ungleiche Varianz) :"
check "its test line" contains "$out" "  Testgröße :  2.000    p = 0.0354 ,  eins.  (11 d.f.)"
check "the variance test follows" contains "$out" "  F-Wert (Testgröße) :  9.000    p = 0.0016 ,  eins.  (9, 9 d.f.)"

run - direct 5010 10 1 2 12 3 10
check "N = 2 is refused" test "$status" -eq 2
check "the refusal names the field and the rule" contains "$err" "Stichprobe 1 / N: Wert  <= 2"
check "a refusal writes no sheet" test -z "$out"

run - direct 5050 10 15 5 20
check "McNemar" contains "$out" "Testgröße :  3.857    p = 0.0495  (1 d.f.)"
run - direct 5050 3 7 7 9
check "McNemar with b = c gives 0 and p = 1" contains "$out" "Testgröße :  0.000    p = 1.00    (1 d.f.)"
run - direct 5050 1 2.5 3 4
check "a count with decimals is refused" contains "$err" "pos. / neg.: Wert nicht ganzzahlig"

run - direct 5070 90 10 30 70
check "sensitivity" contains "$out" "  Sensitivität: 0.75000"
check "specificity" contains "$out" "  Spezifität: 0.87500"

run - direct 5610 30 0.5 50 0.3 20 0
check "goodness of fit fills the empty category" grep -q '^3\. .* 0\.2000 .* 20\.00 *$' <<<"$out"
check "and tests with 2 df" contains "$out" "Testgröße :  21.333    p < 0.0001  (2 d.f.)"
run - direct 5610 6 0.6 4 0.4 0 0
check "a category with nothing expected and nothing observed adds nothing" \
  contains "$out" "Testgröße :  0.000    p = 1.00    (2 d.f.)"
run - direct 5610 5 1 5 0
check "a probability of 1 is refused" contains "$err" "1. / pi: Wert  >= 1"

run - direct 5610 5 0.5 "" ""
check "a single filled category is refused, not asked again" test "$status" -eq 2
check "with the reason" contains "$err" "Mindestens zwei Kategorien"

run - direct 5020 1 2 3 4
check "an entry without a test is a usage error" test "$status" -eq 1
check "it says which tests exist" contains "$err" "5010, 5050, 5070, 5610"
run - direct 5010 1 2 3
check "a wrong number of values is a usage error" test "$status" -eq 1

# The settings of a file: a copy of the sample study.
cp "$ROOT/data/studie.dt1" "$WORK/s.dt1"
cp "$ROOT/data/studie.prm" "$WORK/s.prm"
run "$WORK/s.dt1" settings
check "settings lists the stored settings" test "$status" -eq 0
check "error probability A" contains "$out" "Irrtumswahrscheinlichkeit  A :  0.05"
check "test kind" contains "$out" "einseitig"

cp "$WORK/s.prm" "$WORK/before.prm"
run "$WORK/s.dt1" settings --alpha-a x
check "a value that is no number is a usage error" test "$status" -eq 1
check "and changes nothing" cmp -s "$WORK/s.prm" "$WORK/before.prm"
run "$WORK/s.dt1" settings --sides 3
check "sides must be 1 or 2" test "$status" -eq 1

run "$WORK/s.dt1" settings --alpha-a 0.01 --alpha-b 0.5 --sides 2 --whisker 4
check "settings are changed" test "$status" -eq 0
check "out of range is clamped and the pair put in order" contains "$out" "Irrtumswahrscheinlichkeit  A :  0.25"
check "B takes the smaller" contains "$out" "B :  0.01"
check "two-sided" contains "$out" "zweiseitig"
check "the whisker factor" contains "$out" "Whisker-Faktor B&W-Plots :      3"
check "the first save keeps the old parameter file as backup" cmp -s "$WORK/s.prb" "$WORK/before.prm"

run "$WORK/s.dt1" direct 5050 10 15 5 20
check "a direct test with a file uses its levels: chi-square stays without a side" \
  contains "$out" "Testgröße :  3.857    p = 0.0495  (1 d.f.)"
run "$WORK/s.dt1" direct 5010 10 1 10 12 3 10
check "and the t-test is two-sided now" contains "$out" "p = 0.0708 ,  zweis.  (11 d.f.)"

run "$WORK/missing.dt1" settings
check "settings of a missing file fail" test "$status" -eq 2
printf 'garbage' >"$WORK/bad.dt1"
{ printf '\x07'; head -c 127 /dev/zero; } >"$WORK/bad.prm"
run "$WORK/bad.dt1" settings
check "a parameter file of another version is refused" test "$status" -eq 2
check "with the reader's message" contains "$err" "Falsche Version der Parameterdatei"

finish
