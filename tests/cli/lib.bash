# Helpers for the end-to-end tests of veltrix-batch. Source it; call `check` for each case and
# `finish` at the end (exit status 1 when any case failed).
BATCH=${1:?path of veltrix-batch}
DATA=${2:?path of tests/data}
ROOT=${3:?path of the source tree}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0
passes=0

# run ARGS...: runs the batch program, leaving $out, $err and $status.
run() {
  out=$("$BATCH" "$@" 2>"$WORK/stderr")
  status=$?
  err=$(cat "$WORK/stderr")
}

# check NAME CONDITION...: evaluates the condition (a test command), reports it.
check() {
  local name=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAIL: $name"
    echo "  status=$status"
    echo "  stdout: ${out:0:400}"
    echo "  stderr: ${err:0:400}"
  fi
}

contains() { [[ "$1" == *"$2"* ]]; }

finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
