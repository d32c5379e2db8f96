# Sourced by the screenshot scripts, after they set build and source: starts the program built in
# $build on a copy of the sample study in a scratch folder ($dir, removed on exit) under a window
# manager, waits until its main window is active, and defines keys (key presses with a pause after
# each, as a user types them).
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$dir"' EXIT
mkdir -p "$dir/data"
cp "$build/veltrix" "$dir/"
cp "$source"/data/studie.* "$dir/data/"
echo "$dir/data/studie.dt1" >"$dir/veltrix.fil"
cd "$dir"
openbox >/dev/null 2>&1 &
# The window manager is up once it names its check window on the root window.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.2; done
./veltrix >/dev/null 2>&1 &
window=$(xdotool search --sync --name '^KVT' | head -n1)
sleep 2
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 0.5
keys() { for k in "$@"; do xdotool key "$k"; sleep 0.4; done; }
