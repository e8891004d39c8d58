#!/usr/bin/env bash
# No work lost, on a real X server under a window manager, driven with xdotool as a user:
#   1. a graph opened, a vertex added, three seconds waited, the editor killed with SIGKILL;
#   2. the next start asks "Nodeloom" about the changes, Return recovers them: the title names
#      the file and the vertex is back;
#   3. Save onto another existing file asks, and Escape leaves that file as it was;
#   4. Ctrl+O with the changes asks first, Alt+D discards them; after opening cities.graphml the
#      title names it, and Save and Return write cities.gf4 beside it;
#   5. Ctrl+Q closes without a question, and no recovery file is left behind.
#   recovery_xvfb.sh NODELOOM_BINARY GRAPH_FILE [WINDOW_MANAGER]
# Exit 77 (skipped) when no X server or window manager can be started here.
set -uo pipefail
binary=$1
source_graph=$2
wm=${3:-openbox}
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
    echo "FAIL under $wm: $*"
    exit 1
}
skip() {
    echo "SKIPPED: $*"
    exit 77
}
export LC_ALL=C.UTF-8
# The recovery files of this run, apart from the user's.
export XDG_STATE_HOME=$work/state
recovery_files() { find "$XDG_STATE_HOME" -name 'nodeloom-*.recovery' 2>/dev/null; }

for tool in Xvfb xdotool xprop xwininfo import convert identify "$wm"; do
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

display=
for n in $(shuf -i 400-699 -n 40); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || skip "no free X display number"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
await test -e "/tmp/.X11-unix/X${display#:}" && kill -0 "$xvfb_pid" 2>/dev/null ||
    { xvfb_pid=; skip "Xvfb could not start: $(cat "$work/xvfb.log")"; }
export DISPLAY=$display
HOME=$work "$wm" >"$work/wm.log" 2>&1 &
wm_pid=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
await wm_ready || skip "$wm did not start: $(cat "$work/wm.log")"

shoot() {
    import -window root "$work/shot.png" && convert "$work/shot.png" -depth 8 rgb:"$work/shot.rgb" || fail "no screenshot"
    screen_width=$(identify -format '%w' "$work/shot.png")
}
pixel() { od -An -tx1 -j $(( ($2 * screen_width + $1) * 3 )) -N3 "$work/shot.rgb" | tr -d ' \n' | tr a-f A-F; }
# A vertex drawn with its centre at surface point (x, y): a black rim 15 px to the left, white
# outside the rim and inside the circle.
vertex_drawn() {
    shoot
    local rim=no dx
    for dx in 14 15 16; do
        [ "$(pixel $((left + $1 - dx)) $((top + $2)))" = "000000" ] && rim=yes
    done
    [ "$rim" = yes ] && [ "$(pixel $((left + $1 - 22)) $((top + $2)))" = "FFFFFF" ] &&
        [ "$(pixel $((left + $1)) $((top + $2 - 10)))" = "FFFFFF" ]
}
client_area() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                             /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
title_is() { [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]; }

start_editor() {
    env -u QT_QPA_PLATFORM "$binary" "$@" >>"$work/app.log" 2>&1 &
    app_pid=$!
    find_window() {
        window=$(xdotool search --name '^Nodeloom 5\.1' 2>/dev/null | head -n 1)
        [ -n "$window" ] || kill -0 "$app_pid" 2>/dev/null || fail "the editor exited: $(cat "$work/app.log")"
        [ -n "$window" ]
    }
    await find_window || fail "no main window"
}
# The surface: the first white row in the window's left column below the menu and toolbar.
find_surface() {
    shoot
    read -r left client_y _ < <(client_area "$window")
    for top in $(seq "$client_y" $((client_y + 120))); do
        [ "$(pixel $((left + 3)) "$top")" = "FFFFFF" ] && return 0
    done
    return 1
}
AddVertex=115
click_button() { xdotool mousemove $((left + $1)) $((top - 15)) click 1; }
click_surface() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; }
# Types a path into the file dialog titled $1 over whatever it proposes, and presses Return.
answer_dialog() {
    await shown "^$1\$" || fail "no $1 dialog"
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 20 "$2"
    xdotool key Return
}

# 1. Open, add a vertex, wait three seconds, SIGKILL.
graph=$work/graph.gf4
cp "$source_graph" "$graph"
start_editor "$graph"
await title_is "Nodeloom 5.1  - graph.gf4" || fail "the title does not name graph.gf4"
await find_surface || fail "no white surface"
click_button $AddVertex
click_surface 300 250
await vertex_drawn 300 250 || fail "no vertex added"
sleep 3
[ -n "$(recovery_files)" ] || fail "no recovery file three seconds after the change"
kill -KILL "$app_pid"
wait "$app_pid" 2>/dev/null
app_pid=
[ "$(recovery_files | wc -l)" = 1 ] || fail "the killed editor's recovery file is gone"
echo "killed with a recovery file: $(recovery_files | xargs -n1 basename)"

# 2. The next start offers the changes; Return recovers them.
start_editor
await shown '^Nodeloom$' || fail "no recovery question at start"
sleep 0.3
xdotool key Return
await not shown '^Nodeloom$' || fail "Return did not answer the recovery question"
await title_is "Nodeloom 5.1  - graph.gf4" || fail "the recovered graph's title: $(xdotool getwindowname "$window")"
await find_surface || fail "no white surface after recovery"
await vertex_drawn 300 250 || fail "the recovered graph lacks the added vertex"
echo "recovered: $(xdotool getwindowname "$window")"

# 3. Save onto another existing file asks; Escape leaves it.
other=$work/other.gf4
cp "$source_graph" "$other"
cp "$other" "$work/other.expected"
xdotool key ctrl+s
answer_dialog 'Save As' "$other"
await shown '^Nodeloom$' || fail "no question before replacing other.gf4"
sleep 0.3
xdotool key Escape
await not shown '^Nodeloom$' || fail "Escape did not close the replace question"
sleep 0.5
cmp -s "$other" "$work/other.expected" || fail "other.gf4 was replaced after Escape"
title_is "Nodeloom 5.1  - graph.gf4" || fail "the title changed although nothing was saved"
echo "Save onto other.gf4 asked, and Escape left it"

# 4. Ctrl+O asks about the changes; Alt+D discards them. cities.graphml, then Save and Return.
cat >"$work/cities.graphml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<graphml xmlns="http://graphml.graphdrawing.org/xmlns">
  <graph edgedefault="undirected">
    <node id="Oslo"/><node id="Bergen"/><node id="Trondheim"/>
    <edge source="Oslo" target="Bergen"/><edge source="Oslo" target="Trondheim"/>
  </graph>
</graphml>
EOF
xdotool key ctrl+o
await shown '^Nodeloom$' || fail "no unsaved-changes question before Open"
sleep 0.3
xdotool key alt+d
await not shown '^Nodeloom$' || fail "Alt+D did not answer Discard"
answer_dialog Open "$work/cities.graphml"
await title_is "Nodeloom 5.1  - cities.graphml" || fail "the title does not name cities.graphml: $(xdotool getwindowname "$window")"
xdotool key ctrl+s
await shown '^Save As$' || fail "no Save dialog for the imported graph"
sleep 0.3
xdotool key Return
await test -s "$work/cities.gf4" || fail "Save and Return did not write cities.gf4 beside cities.graphml"
[ "$(sed -n 4p "$work/cities.gf4" | tr -d '\r')" = "3 2" ] || fail "cities.gf4 is not the imported graph"
await title_is "Nodeloom 5.1  - cities.gf4" || fail "the title does not name cities.gf4"
echo "cities.graphml saved as cities.gf4 beside it"

# 5. A normal close leaves no recovery file.
xdotool key ctrl+q
exited() { ! kill -0 "$app_pid" 2>/dev/null || [ "$(ps -o stat= -p "$app_pid" | cut -c1)" = Z ]; }
await exited || fail "Ctrl+Q did not close the editor"
app_pid=
[ -z "$(recovery_files)" ] || fail "recovery files left after a normal close: $(recovery_files)"
echo "PASS: recovery end to end on $display under $wm"
