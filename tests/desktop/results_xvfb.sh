#!/usr/bin/env bash
# What the editor computes, seen in its window on a real X server under a window manager, driven
# with xdotool as a user; a path A-B-C of black edges:
#   1. started with --show path:A,C: both edges are drawn in the result colour, red;
#   2. Ctrl+I: the report window stands beside the main window, frames apart; its text, selected
#      with Ctrl+A and copied with Ctrl+C, says "3 vertices, 2 edges", and "4 vertices, 2 edges"
#      after a vertex is added with the mouse;
#   3. Save image, "pic.png" typed, Return: a PNG of the surface's size and pixels;
#   4. with the add-edge tool, the first vertex chosen is framed in blue until Escape; the drawing
#      dragged off the surface, Ctrl+0 brings it back;
#   5. started with --trace bfs:A: three Page Down change the surface, Home brings the first
#      frame back, Escape leaves the plain graph without red.
#   results_xvfb.sh NODELOOM_BINARY CLIPBOARD_READER [WINDOW_MANAGER]
# Exit 77 (skipped) when no X server or window manager can be started here.
binary=$1
clipboard=$2
wm=${3:-openbox}
source "$(dirname "$0")/xsession.sh"
need Xvfb xdotool xprop xwininfo import convert identify compare "$wm"
start_session

graph=$work/three.gf4
printf '[undirected]\n[unweighted]\n[black]\n3 2\n80 100 /*A*/\n280 100 /*B*/\n280 260 /*C*/\n1 2\n2 3\n' >"$graph"
Red=FF0000 Black=000000 Blue=0000FF
# Points on the edges A-B and B-C, between the vertices' circles.
edge_points=(120,100 160,100 200,100 240,100 280,140 280,180 280,220)

open_editor() {
    start_editor "$graph" "$@"
    await find_window '^Nodeloom 5\.1  - three\.gf4$' --onlyvisible || fail "no window naming three.gf4"
    await find_surface || fail "no white surface in the window"
    screen_height=$(identify -format '%h' "$work/shot.png")
    # The surface's size: the white runs right and down from its top left corner, where nothing
    # is drawn.
    surface_width=$(white_run "$left" "$top" right)
    surface_height=$(white_run "$left" "$top" down)
}
quit_editor() {
    keys ctrl+q
    await exited || fail "Ctrl+Q did not close the editor$(shown '^Nodeloom$' && echo ": it asks about changes")"
    wait "$app_pid" 2>/dev/null
    app_pid=
}
# How many pixels from screen (x, y) on are white in a row, to the right or down, on the last
# screenshot.
white_run() {
    local strip
    if [ "$3" = right ]; then strip="$((screen_width - $1))x1+$1+$2"; else strip="1x$((screen_height - $2))+$1+$2"; fi
    convert "$work/shot.png" -crop "$strip" +repage -depth 8 rgb:- | od -An -v -tx1 -w3 |
        awk '$0 != " ff ff ff" { print NR - 1; found = 1; exit } END { if (!found) print NR }'
}
# Whether every point on the edges has colour $1 on a fresh screenshot.
edges_in() {
    shoot
    local p
    for p in "${edge_points[@]}"; do
        [ "$(pixel $((left + ${p%,*})) $((top + ${p#*,})))" = "$1" ] || return 1
    done
}
edge_colours() {
    local p out=
    for p in "${edge_points[@]}"; do out+=" ($p) $(pixel $((left + ${p%,*})) $((top + ${p#*,})))"; done
    echo "$out"
}
# How many pixels of colour $1 (RRGGBB) the region $2 (WxH+X+Y) of the last screenshot holds.
pixels_of() {
    convert "$work/shot.png" -crop "$2" +repage -fill black +opaque "#$1" -fill white -opaque "#$1" \
        -format '%[fx:round(mean*w*h)]' info:
}

# 1. The path from A to C in red.
open_editor --show path:A,C
await edges_in $Red || fail "the path A-B-C is not drawn in red:$(edge_colours)"
for v in 80,100 280,260; do
    vertex_drawn "${v%,*}" "${v#*,}" || fail "no vertex drawn at ($v) with the path shown"
done
echo "--show path:A,C: edges red on a ${surface_width}x$surface_height surface"

# 2. The report beside the window, its text copied as a user copies it.
frame() {
    local x y w h l r t b
    read -r x y w h < <(client_area "$1")
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    [ -n "$b" ] || return 1
    echo $((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))
}
find_panel() {
    panel=$(xdotool search --onlyvisible --name '^Report$' 2>/dev/null | head -n 1)
    [ -n "$panel" ]
}
# The window manager frames and places a window a moment after it is shown: both frames are
# measured until two readings agree.
frames_settled() {
    main_frame=$(frame "$window") && panel_frame=$(frame "$panel") || return 1
    sleep 0.2
    [ "$main_frame" = "$(frame "$window")" ] && [ "$panel_frame" = "$(frame "$panel")" ]
}
keys ctrl+i
await find_panel || fail "Ctrl+I showed no window titled Report"
await frames_settled || fail "the windows' frames did not settle"
read -r ax0 ay0 ax1 ay1 <<<"$main_frame"
read -r bx0 by0 bx1 by1 <<<"$panel_frame"
if ((bx0 < ax1 && ax0 < bx1 && by0 < ay1 && ay0 < by1)); then
    fail "the report's frame ($panel_frame) overlaps the main window's ($main_frame)"
fi
# A click into the report's text, in the lower part of the window (its controls stand above the
# text), Ctrl+A, Ctrl+C; then the clipboard as another program reads it.
copied_says() {
    local x y w h
    read -r x y w h < <(client_area "$panel")
    xdotool mousemove $((x + w / 3)) $((y + h * 3 / 4)) click 1
    xdotool key --delay 60 ctrl+a ctrl+c
    env -u QT_QPA_PLATFORM "$clipboard" >"$work/copied.txt" 2>>"$work/clipboard.log" && grep -q "$1" "$work/copied.txt"
}
await copied_says '3 vertices, 2 edges' || fail "the report's copied text: $(head -c 300 "$work/copied.txt")"
xdotool windowactivate --sync "$window" 2>/dev/null
click_button $AddVertex
click_surface 120 250
await vertex_drawn 120 250 || fail "no vertex added with the mouse"
await copied_says '4 vertices, 2 edges' ||
    fail "the report did not follow the added vertex: $(head -c 300 "$work/copied.txt")"
echo "report frame $panel_frame beside $main_frame; copied: $(grep -o '4 vertices, 2 edges' "$work/copied.txt")"

# 3. Save image as pic.png: the surface as it stands, path and all.
xdotool windowactivate --sync "$window" 2>/dev/null
click_button $SaveImage
answer_dialog 'Save As' pic.png
await not shown '^Save As$' || fail "the Save image dialog did not close"
png_written() { [ "$(od -An -tx1 -N8 "$work/pic.png" 2>/dev/null | tr -d ' ')" = 89504e470d0a1a0a ] &&
    identify "$work/pic.png" >/dev/null 2>&1; }
await png_written || fail "pic.png is not a PNG: $(ls -l "$work"/pic* 2>&1)"
size=$(identify -format '%m %wx%h' "$work/pic.png")
[ "$size" = "PNG ${surface_width}x$surface_height" ] ||
    fail "pic.png is '$size', not a PNG of the surface's ${surface_width}x$surface_height"
# Pixel for pixel what the screen shows there.
shoot
convert "$work/shot.png" -crop "${surface_width}x$surface_height+$left+$top" +repage "$work/surface.png"
differ=$(compare -metric AE "$work/pic.png" "$work/surface.png" null: 2>&1)
[ "$differ" = 0 ] || fail "pic.png differs from the surface on screen in $differ pixels"
echo "Save image: pic.png is $size, as on screen"

# 4. The first vertex of an edge framed in blue, until Escape; Ctrl+0 after a drag off the surface.
blue_round_a() {
    shoot
    [ "$(pixels_of $Blue 60x60+$((left + 50))+$((top + 70)))" -gt 0 ]
}
click_button $AddEdge
click_surface 80 100
await blue_round_a || fail "vertex A is not framed in blue after the add-edge tool's first click"
keys Escape
await not blue_round_a || fail "Escape left vertex A framed"
# Escape again ends the tool, and once more hides the path.
keys Escape Escape
await edges_in $Black || fail "Escape left the path shown:$(edge_colours)"
# The empty surface dragged by 380 px to the left takes every vertex off it.
xdotool mousemove $((left + 390)) $((top + 30)) mousedown 1
for x in 300 200 100 10; do xdotool mousemove $((left + x)) $((top + 30)); done
xdotool mouseup 1
surface_empty() {
    shoot
    [ "$(pixels_of FFFFFF "${surface_width}x$surface_height+$left+$top")" = $((surface_width * surface_height)) ]
}
await surface_empty || fail "the drag left something on the surface"
keys ctrl+0
# A's rim is the first black pixel on its row; B is 200 px to its right, C 160 px below B.
a_back() {
    shoot
    local rim
    rim=$(white_run "$left" $((top + 100)) right)
    ((rim < surface_width)) && a_x=$((rim + 15)) && vertex_drawn "$a_x" 100 && vertex_drawn $((a_x + 200)) 260
}
await a_back || fail "Ctrl+0 did not bring A and C back into view"
# Undone, the drawing is off the surface again; two more undos take the drag and the vertex back,
# so that the editor closes without a question.
keys ctrl+z
await surface_empty || fail "Ctrl+Z did not undo Ctrl+0"
keys ctrl+z ctrl+z
await vertex_drawn 80 100 || fail "Ctrl+Z did not undo the drag"
not vertex_drawn 120 250 || fail "Ctrl+Z did not take the added vertex back"
echo "the add-edge tool framed A in blue until Escape; Ctrl+0 brought the drawing back, A at x = $a_x, and Ctrl+Z undid it"
quit_editor

# 5. A breadth-first search from A, stepped with the keys.
open_editor --trace bfs:A
surface_shot() {
    shoot
    convert "$work/shot.png" -crop "${surface_width}x$surface_height+$left+$top" +repage -depth 8 rgb:"$1"
}
same_as() {
    surface_shot "$work/now.rgb"
    cmp -s "$work/now.rgb" "$1"
}
# The surface once it has stayed the same for a moment.
settled() {
    surface_shot "$work/before.rgb"
    sleep 0.3
    same_as "$work/before.rgb"
}
await settled || fail "the surface kept changing after the start"
cp "$work/now.rgb" "$work/first.rgb"
keys Next Next Next
await not same_as "$work/first.rgb" || fail "three Page Down left the surface as at the first frame"
await settled || fail "the surface kept changing after three Page Down"
cp "$work/now.rgb" "$work/third.rgb"
keys Home
await same_as "$work/first.rgb" || fail "Home did not bring the first frame back"
keys End
await same_as "$work/third.rgb" || fail "End does not show the frame three Page Down showed"
[ "$(pixels_of $Red "${surface_width}x$surface_height+$left+$top")" -gt 0 ] || fail "the last frame shows no red"
keys Escape
plain() {
    shoot
    [ "$(pixels_of $Red "${surface_width}x$surface_height+$left+$top")" = 0 ] && edges_in $Black && vertex_drawn 80 100
}
await plain || fail "Escape did not leave the plain graph:$(edge_colours)"
echo "--trace bfs:A: Page Down x3 changes the surface, Home brings the first frame back, Escape the plain graph"
quit_editor
echo "PASS: results on the surface on $DISPLAY under $wm"
