#!/usr/bin/env bash
# End to end on a real X server: start Xvfb, start the editor with a graph file, wait for its
# window, check the title names the file, and check in a screenshot that the surface is white
# with the vertices' black outlines where the file puts them.
#   e2e_xvfb.sh NODELOOM_BINARY GRAPH_FILE
# Exit 77 (skipped) when no X server can be started here.
set -uo pipefail
binary=$1
graph=$2
work=$(mktemp -d)
xvfb_pid= app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done

# A free display number.
display=
for n in $(seq 91 120); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "SKIPPED: no free X display number"; exit 77; }

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if ! kill -0 "$xvfb_pid" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X${display#:}" ]; then
    echo "SKIPPED: Xvfb could not start: $(cat "$work/xvfb.log")"
    xvfb_pid=
    exit 77
fi
export DISPLAY=$display

env -u QT_QPA_PLATFORM "$binary" "$graph" >"$work/app.log" 2>&1 &
app_pid=$!

name=$(basename "$graph")
window=
for _ in $(seq 100); do
    window=$(xdotool search --name "^Nodeloom 5\.1  - ${name//./\\.}\$" 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || fail "the editor exited: $(cat "$work/app.log")"
    sleep 0.1
done
[ -n "$window" ] || fail "no window titled 'Nodeloom 5.1  - $name' appeared; titles: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
echo "window $window: $(xdotool getwindowname "$window")"
sleep 0.5 # let the first paint reach the screen

eval "$(xdotool getwindowgeometry --shell "$window")" # X Y WIDTH HEIGHT
import -window root "$work/shot.png" || fail "no screenshot"
convert "$work/shot.png" -depth 8 rgb:"$work/shot.rgb" || fail "screenshot not readable"
screen_width=$(identify -format '%w' "$work/shot.png")

# Pixel colour at screen (x, y) as RRGGBB.
pixel() {
    od -An -tx1 -j $(( ($2 * screen_width + $1) * 3 )) -N3 "$work/shot.rgb" | tr -d ' \n' | tr a-f A-F
}

# The surface is the first white row of the window's left column below the menu and toolbar.
top=
for y in $(seq "$Y" $((Y + 120))); do
    if [ "$(pixel $((X + 3)) "$y")" = "FFFFFF" ]; then top=$y; break; fi
done
[ -n "$top" ] || fail "no white surface found in the window at ($X, $Y)"
left=$X
echo "surface origin on screen: ($left, $top)"

# The vertices of the file: black rim 15 px left of each centre, white inside and outside it.
while read -r vx vy; do
    rim=no
    for dx in 14 15 16; do
        [ "$(pixel $((left + vx - dx)) $((top + vy)))" = "000000" ] && rim=yes
    done
    [ "$rim" = yes ] || fail "no black outline left of the vertex at ($vx, $vy)"
    [ "$(pixel $((left + vx - 22)) $((top + vy)))" = "FFFFFF" ] || fail "not white outside the vertex at ($vx, $vy)"
    [ "$(pixel $((left + vx)) $((top + vy - 10)))" = "FFFFFF" ] || fail "not white inside the vertex at ($vx, $vy)"
    echo "vertex at ($vx, $vy): outline found"
done < <(awk 'NR == 4 { n = $1 } NR > 4 && NR <= 4 + n { print $1, $2 }' "$graph" | tr -d '\r')
[ "$(pixel $((left + 300)) $((top + 250)))" = "FFFFFF" ] || fail "the surface is not white away from the graph"

echo "PASS: end to end on $display"
