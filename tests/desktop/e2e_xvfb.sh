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
binary=$1
source_graph=$2
wm=${3:-}
source "$(dirname "$0")/xsession.sh"
need Xvfb xdotool xprop xwininfo import convert identify $wm
start_session

# 1. Started with a file whose name is not UTF-8.
graph=$work/$'graph-\xe9.gf4'
cp "$source_graph" "$graph"
start_editor "$graph"
await find_window '^Nodeloom 5\.1  - graph-' || fail "no window naming the graph; titles: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
title=$(xdotool getwindowname "$window")
[ "$title" = "Nodeloom 5.1  - graph-é.gf4" ] || fail "title '$title'"
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
echo "PASS: end to end on $DISPLAY${wm:+ under $wm}"
