#!/usr/bin/env bash
# The installation end to end: `cmake --install` into a DESTDIR with the prefix /usr, the installed
# tree made read-only, the installed program started offscreen from its read-only bin directory with
# a home of its own. Its settings must land in the configuration folder ($XDG_CONFIG_HOME/veltrix,
# else ~/.config/veltrix), its first start there opens a copy of the sample study, and nothing is
# written beside the program. A SIGTERM ends it as "Beenden?" answered Yes would.
#
#   installed_program.sh CMAKE BUILD_DIR SOURCE_DIR
#
# Read-only for real: write bits alone do not stop root (which the tests may run as), so as root the
# installed tree is bind-mounted read-only in a mount namespace of its own (unshare); a normal user
# gets the write bits taken away.
set -uo pipefail
CMAKE=${1:?path of cmake}
BUILD=${2:?build directory}
SOURCE=${3:?source directory}

if [ "$(id -u)" -eq 0 ] && [ -z "${VELTRIX_IN_NAMESPACE:-}" ]; then
  exec env VELTRIX_IN_NAMESPACE=1 unshare --mount --propagation private bash "$0" "$@"
fi

WORK=$(mktemp -d)
ROOT=$WORK/root
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -z "${VELTRIX_IN_NAMESPACE:-}" ] && chmod -R u+w "$ROOT" 2>/dev/null
  [ -n "${VELTRIX_IN_NAMESPACE:-}" ] && umount "$ROOT/usr" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
failures=0
passes=0

# check NAME CONDITION...: evaluates the condition (a test command), reports it.
check() {
  local name=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAIL: $name"
  fi
}
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
# png_size FILE: "WIDTHxHEIGHT" from the PNG header, "" for anything else.
png_size() {
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{print ($1*16777216)+($2*65536)+($3*256)+$4}')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{print ($1*16777216)+($2*65536)+($3*256)+$4}')
  echo "${w}x${h}"
}
# first_line FILE: the file's first line without its CR LF.
first_line() { head -n1 "$1" | tr -d '\r'; }

# ---- what the installation holds
if ! DESTDIR=$ROOT "$CMAKE" --install "$BUILD" --prefix /usr >"$WORK/install.log" 2>&1; then
  cat "$WORK/install.log"
  echo "cmake --install failed"
  exit 1
fi
check "the program is installed" test -x "$ROOT/usr/bin/veltrix"
check "the batch program is installed" test -x "$ROOT/usr/bin/veltrix-batch"
check "the sample study is installed" cmp -s "$SOURCE/data/studie.dt1" "$ROOT/usr/share/veltrix/studie.dt1"
check "with its parameter file" cmp -s "$SOURCE/data/studie.prm" "$ROOT/usr/share/veltrix/studie.prm"
desktop=$ROOT/usr/share/applications/veltrix.desktop
check "the desktop file is installed" test -f "$desktop"
check "the desktop file is valid" desktop-file-validate "$desktop"
check "the desktop file starts the program" grep -qx 'Exec=veltrix' "$desktop"
check "the desktop file names the icon" grep -qx 'Icon=veltrix' "$desktop"
check "the desktop file says in German what the program is" grep -q '^Comment=Statistik für' "$desktop"
for size in 16 32 48 64 128 256; do
  check "the ${size}-pixel icon is a PNG of that size" \
    test "$(png_size "$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/veltrix.png")" = "${size}x${size}"
done
check "the scalable icon is installed" grep -q '<svg' "$ROOT/usr/share/icons/hicolor/scalable/apps/veltrix.svg"

# ---- the installed tree read-only, also for root
if [ -n "${VELTRIX_IN_NAMESPACE:-}" ]; then
  mount --bind "$ROOT/usr" "$ROOT/usr" && mount -o remount,bind,ro "$ROOT/usr"
else
  chmod -R a-w "$ROOT/usr"
fi
if touch "$ROOT/usr/bin/probe" 2>/dev/null; then
  echo "the installed tree could not be made read-only"
  exit 1
fi
find "$ROOT" | sort >"$WORK/tree-before"

# start_installed: starts the installed program with the environment set up before and waits until
# it listens for a second start (its single-instance socket in TMPDIR): from then on it takes a SIGTERM
# as a request to close, handled once its window is up.
start_installed() {
  local socket
  socket=$TMPDIR/Veltrix_5.x-$(id -u)
  rm -f "$socket"
  (cd "$ROOT/usr/bin" && exec ./veltrix >"$WORK/program.log" 2>&1) &
  pid=$!
  for _ in $(seq 600); do
    [ -S "$socket" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
}
# stop_installed: SIGTERM, then the exit status of the program in $status. A program that does not end
# (a message box waiting for an answer) is killed after a minute and counts as status 999.
stop_installed() {
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    wait "$pid"
    status=999
  else
    wait "$pid"
    status=$?
  fi
  pid=
}

mkdir -p "$WORK/home" "$WORK/tmp" "$WORK/runtime"
chmod 700 "$WORK/runtime"
export HOME=$WORK/home TMPDIR=$WORK/tmp XDG_RUNTIME_DIR=$WORK/runtime QT_QPA_PLATFORM=offscreen
unset XDG_CONFIG_HOME

# ---- first start: ~/.config/veltrix
config=$HOME/.config/veltrix
start_installed
stop_installed
check "the program ends cleanly on SIGTERM (status $status)" test "$status" -eq 0
check "the system parameters are saved in ~/.config/veltrix" test -s "$config/veltrix.sys"
check "the sample study is copied into the configuration folder" \
  cmp -s "$SOURCE/data/studie.dt1" "$config/data/studie.dt1"
check "with its parameter file" cmp -s "$SOURCE/data/studie.prm" "$config/data/studie.prm"
check "the copy is the last file" test "$(first_line "$config/veltrix.fil")" = "$config/data/studie.dt1"
check "its folder is the data path" test "$(first_line "$config/veltrix.pth")" = "$config/data"
find "$ROOT" | sort >"$WORK/tree-after"
check "nothing is written beside the program" cmp -s "$WORK/tree-before" "$WORK/tree-after"
check "no work file is left behind" test -z "$(find "$config" -name '*.$$?')"

# ---- a later start keeps the user's copy and the saved settings
printf '%s\r\n' "1 eigene Daten" >"$config/data/studie.dt1"
cp "$config/veltrix.sys" "$WORK/sys-before"
start_installed
stop_installed
check "a second start ends cleanly too (status $status)" test "$status" -eq 0
check "the user's copy of the study is kept" test "$(first_line "$config/data/studie.dt1")" = "1 eigene Daten"
check "the saved settings are read and written back" cmp -s "$WORK/sys-before" "$config/veltrix.sys"

# ---- XDG_CONFIG_HOME is honoured
export XDG_CONFIG_HOME=$WORK/xdg
start_installed
stop_installed
check "with XDG_CONFIG_HOME the program ends cleanly" test "$status" -eq 0
check "with XDG_CONFIG_HOME the settings go to \$XDG_CONFIG_HOME/veltrix" test -s "$XDG_CONFIG_HOME/veltrix/veltrix.sys"
check "with XDG_CONFIG_HOME the sample study is copied there" test -s "$XDG_CONFIG_HOME/veltrix/data/studie.prm"

if [ "$failures" -gt 0 ]; then
  echo "--- output of the program's last run"
  cat "$WORK/program.log"
fi
finish
