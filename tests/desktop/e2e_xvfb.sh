#!/usr/bin/env bash
# End to end on a real X server, bare or under a window manager, driven with xdotool as a user:
#   1. the editor starts with a graph file named in Latin-1: the title names it, and a screenshot
#      shows the vertices' black outlines where the file puts them;
#   2. Open, the path typed and Enter, then at once the add-vertex tool and a click: a vertex;
#   3. New, Enter, "r", an edge drawn and saved: it is saved black, "r" reached the window;
#   4. under a window manager, About opens centred over the main window, frame to frame, and
#      Escape closes it;
#   5. Save proposes the file on screen: after opening two files, Save and Return write the second;
#   6. Ctrl+Q with a change asks first, and Escape cancels.
#   e2e_xvfb.sh NODELOOM_BINARY GRAPH_FILE [openbox]
# Exit 77 (skipped) when no X server or window manager can be started here.
set -uo pipefail
binary=$1
source_graph=$2
wm=${3:-}
work=$(mktemp -d)
xvfb_pid= wm_pid= app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL${wm:+ under $wm}: $*"
    exit 1
}
skip() {
    echo "SKIPPED: $*"
    exit 77
}
export LC_ALL=C.UTF-8
# The run's recovery files stay in its own folder: none of the user's is offered at start.
export XDG_STATE_HOME=$work/state

for tool in Xvfb xdotool xprop xwininfo import convert $wm; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done

# Polls a condition for up to 30 seconds: a watchdog for a busy machine, not a speed limit.
await() {
    local end=$((SECONDS + 30))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}
not() { ! "$@"; }

# A free display number, away from the ones people use by hand.
display=
for n in $(shuf -i 140-399 -n 40); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || skip "no free X display number"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
await test -e "/tmp/.X11-unix/X${display#:}" && kill -0 "$xvfb_pid" 2>/dev/null ||
    { xvfb_pid=; skip "Xvfb could not start: $(cat "$work/xvfb.log")"; }
export DISPLAY=$display
if [ -n "$wm" ]; then
    HOME=$work "$wm" >"$work/wm.log" 2>&1 &
    wm_pid=$!
    wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    await wm_ready || skip "$wm did not start: $(cat "$work/wm.log")"
fi

# Screenshots, and a pixel of the last one at screen (x, y) as RRGGBB.
shoot() {
    import -window root "$work/shot.png" && convert "$work/shot.png" -depth 8 rgb:"$work/shot.rgb" || fail "no screenshot"
    screen_width=$(identify -format '%w' "$work/shot.png")
}
pixel() { od -An -tx1 -j $(( ($2 * screen_width + $1) * 3 )) -N3 "$work/shot.rgb" | tr -d ' \n' | tr a-f A-F; }
# Whether a vertex is drawn with its centre at surface point (x, y): a black rim 15 px to the
# left, white outside the rim and inside the circle.
vertex_drawn() {
    shoot
    local rim=no dx
    for dx in 14 15 16; do
        [ "$(pixel $((left + $1 - dx)) $((top + $2)))" = "000000" ] && rim=yes
    done
    [ "$rim" = yes ] && [ "$(pixel $((left + $1 - 22)) $((top + $2)))" = "FFFFFF" ] &&
        [ "$(pixel $((left + $1)) $((top + $2 - 10)))" = "FFFFFF" ]
}
# A window's client area on screen: x y width height.
client_area() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                             /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# The toolbar's buttons are 23 px wide from the window's left edge, with a 12 px separator after
# the fourth; their centres lie 15 px above the surface.
New=11 Open=34 Save=57 AddVertex=115 AddEdge=138
click_button() { xdotool mousemove $((left + $1)) $((top - 15)) click 1; }
click_surface() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; }

# 1. Started with a file whose name is not UTF-8.
graph=$work/$'graph-\xe9.gf4'
cp "$source_graph" "$graph"
env -u QT_QPA_PLATFORM "$binary" "$graph" >"$work/app.log" 2>&1 &
app_pid=$!
find_window() {
    window=$(xdotool search --name '^Nodeloom 5\.1  - graph-' 2>/dev/null | head -n 1)
    [ -n "$window" ] || kill -0 "$app_pid" 2>/dev/null || fail "the editor exited: $(cat "$work/app.log")"
    [ -n "$window" ]
}
await find_window || fail "no window naming the graph; titles: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
title=$(xdotool getwindowname "$window")
[ "$title" = "Nodeloom 5.1  - graph-é.gf4" ] || fail "title '$title'"
# The surface is the first white row in the window's left column below the menu and toolbar,
# once the window is on screen (framed, under a window manager) and painted.
find_surface() {
    shoot
    read -r left client_y _ < <(client_area "$window")
    for top in $(seq "$client_y" $((client_y + 120))); do
        [ "$(pixel $((left + 3)) "$top")" = "FFFFFF" ] && return 0
    done
    return 1
}
await find_surface || fail "no white surface in the window at ($left, $client_y)"
while read -r vx vy; do
    vertex_drawn "$vx" "$vy" || fail "no vertex drawn at ($vx, $vy)"
done < <(awk 'NR == 4 { n = $1 } NR > 4 && NR <= 4 + n { print $1, $2 }' "$graph" | tr -d '\r')
[ "$(pixel $((left + 300)) $((top + 250)))" = "FFFFFF" ] || fail "the surface is not white away from the graph"
echo "$title: vertices drawn where the file puts them"

# 2. A path typed into the Open dialog; the first click after the dialog has closed counts.
click_button $Open
await shown '^Open$' || fail "no Open dialog"
sleep 0.3
xdotool type --delay 20 "$source_graph"
xdotool key Return
await not shown '^Open$' || fail "the Open dialog did not close"
click_button $AddVertex
click_surface 300 250
await vertex_drawn 300 250 || fail "the click on the add-vertex tool after the Open dialog was lost"

# 3. Ctrl+Z takes the vertex back, so the graph is as opened and New asks nothing; Create, "r",
# an edge between two new vertices, Save.
xdotool key ctrl+z
await not vertex_drawn 300 250 || fail "Ctrl+Z did not take the vertex back"
click_button $New
await shown '^Graph Settings$' || fail "no settings window"
sleep 0.3
xdotool key Return
await not vertex_drawn 300 250 || fail "Create did not empty the surface"
xdotool type r
for x in 100 250; do
    click_button $AddVertex
    click_surface $x 300
done
click_button $AddEdge
click_surface 100 300
click_surface 250 300
click_button $Save
await shown '^Save As$' || fail "no Save dialog"
sleep 0.3
xdotool type --delay 20 "$work/saved.gf4"
xdotool key Return
saved() { [ "$(sed -n 4p "$work/saved.gf4" 2>/dev/null | tr -d '\r')" = "2 1" ]; }
await saved || fail "no graph of two vertices and an edge saved: $(cat "$work/saved.gf4" 2>/dev/null)"
edge=$(sed -n 7p "$work/saved.gf4" | tr -d '\r')
[ "$edge" = "1 2" ] || fail "the edge is saved as '$edge', not as '1 2' in the base colour black"

# 4. About, from the Help menu by keyboard, centred frame to frame.
if [ -n "$wm" ]; then
    xdotool mousemove $((left + 107)) $((top - 39)) click 1
    sleep 0.3
    xdotool key Down Down Return
    await shown '^About Nodeloom 5\.1$' || fail "no About window"
    sleep 0.5
    # A frame's centre, doubled to stay in whole pixels, from the client area and the frame's
    # left, right, top and bottom extents.
    centre2() {
        local x y w h l r t b
        read -r x y w h < <(client_area "$1")
        read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
        echo $((2 * x + w + r - l)) $((2 * y + h + b - t))
    }
    # The window manager frames and places the window a moment after it is shown: measured
    # again until the frames agree, or the wait ends.
    centred() {
        read -r mx my < <(centre2 "$window")
        read -r ax ay < <(centre2 "$(xdotool search --onlyvisible --name '^About Nodeloom 5\.1$' | head -n 1)")
        (( mx - ax <= 2 && ax - mx <= 2 && my - ay <= 2 && ay - my <= 2 ))
    }
    await centred ||
        fail "About's frame is centred at ($((ax / 2)), $((ay / 2))), the main window's at ($((mx / 2)), $((my / 2)))"
    xdotool key Escape
    await not shown '^About Nodeloom 5\.1$' || fail "Escape did not close About"
fi
# 5. Save proposes the file on screen: open one, save; open two, Save and Return write two, and
# one keeps its own graph.
sed 's#/\*[^*]*\*/#/*one*/#' "$source_graph" > "$work/one.gf4"
sed 's#/\*[^*]*\*/#/*two*/#' "$source_graph" > "$work/two.gf4"
cp "$work/one.gf4" "$work/one.expected"
open_file() {
    xdotool key ctrl+o
    await shown '^Open$' || fail "no Open dialog for $1"
    sleep 0.3
    xdotool type --delay 20 "$1"
    xdotool key Return
    await not shown '^Open$' || fail "the Open dialog did not close"
}
save_as_proposed() {
    xdotool key ctrl+s
    await shown '^Save As$' || fail "no Save dialog"
    sleep 0.3
    xdotool key Return
    await not shown '^Save As$' || fail "the Save dialog did not close"
}
open_file "$work/one.gf4"
save_as_proposed
open_file "$work/two.gf4"
titled_two() { [ "$(xdotool getwindowname "$window")" = "Nodeloom 5.1  - two.gf4" ]; }
await titled_two || fail "the title does not name two.gf4: $(xdotool getwindowname "$window")"
save_as_proposed
cmp -s "$work/one.gf4" "$work/one.expected" || fail "Save after opening two.gf4 wrote over one.gf4"
grep -q '/\*two\*/' "$work/two.gf4" || fail "two.gf4 lost its graph"

# 6. A change, then Ctrl+Q: the question comes; Escape cancels it and the window stays.
click_button $AddVertex
click_surface 320 260
await vertex_drawn 320 260 || fail "no vertex added before closing"
xdotool key ctrl+q
await shown '^Nodeloom$' || fail "no question before unsaved changes are dropped"
sleep 0.3
xdotool key Escape
await not shown '^Nodeloom$' || fail "Escape did not cancel the question"
kill -0 "$app_pid" 2>/dev/null || fail "the editor closed although the question was cancelled"
echo "PASS: end to end on $display${wm:+ under $wm}"
