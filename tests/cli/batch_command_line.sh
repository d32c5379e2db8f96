#!/usr/bin/env bash
# The command line of veltrix-batch: help, version, usage errors and their exit statuses.
source "$(dirname "$0")/lib.bash"

run --version
check "version prints the program and its version" contains "$out" "veltrix-batch 0."
check "version exits 0" test "$status" -eq 0

run --help
check "help exits 0" test "$status" -eq 0
check "help shows the grammar" contains "$out" "STATISTIKDATEI BEFEHL"
check "help names the exit statuses" contains "$out" "0 erledigt, 1 Aufruf fehlerhaft, 2 Befehl"
check "help is UTF-8" contains "$out" "Führt Befehle"

run
check "no arguments is a usage error" test "$status" -eq 1
check "usage error goes to stderr" contains "$err" "Befehl fehlen"
check "usage error prints nothing on stdout" test -z "$out"

run sample.dt1
check "missing command is a usage error" test "$status" -eq 1

run --bogus sample.dt1 structure
check "unknown option is a usage error" test "$status" -eq 1
check "unknown option is named" contains "$err" "--bogus"

run --csv=ab - structure
check "a separator of two characters is refused" test "$status" -eq 1

run --out "" - x
check "--out without a name is refused" test "$status" -eq 1

run - no-such-command
check "unknown command is a usage error" test "$status" -eq 1
check "unknown command is named" contains "$err" "no-such-command"

finish
