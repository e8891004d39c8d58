# A private X session for the desktop tests, sourced by each of them: a work folder, Xvfb on a
# free display, a window manager if one is named, the editor started in it, and the helpers that
# wait, look at the screen and act as a user.
#   wm=openbox            # or empty for a bare X server; before sourcing
#   source "$(dirname "$0")/xsession.sh"
#   need TOOL...          # skips (exit 77) when one is missing
#   start_session         # Xvfb, then the window manager
# Everything started here is ended when the script exits, and the work folder removed (kept and
# named when NODELOOM_KEEP_XSESSION is set, to look at the screenshots).
set -uo pipefail
export LC_ALL=C.UTF-8
wm=${wm:-}
work=$(mktemp -d)
# The run's recovery files stay in its own folder: none of the user's is offered at start.
export XDG_STATE_HOME=$work/state
app_pid= xvfb_pid= wm_pid=
# Other helpers a script starts (a session bus, ...), ended after the editor, last first.
session_pids=()

cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    local i
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do kill "${session_pids[i]}" 2>/dev/null; done
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    if [ -n "${NODELOOM_KEEP_XSESSION:-}" ]; then
        echo "the session's files are kept in $work"
    else
        rm -rf "$work"
    fi
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
need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
}

# Polls a condition for up to 30 seconds: a watchdog for a busy machine, not a speed limit.
await() {
    local end=$((SECONDS + 30))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}
not() { ! "$@"; }

# Xvfb on a free display away from the ones people use by hand. Xvfb writes the number to the
# file given by -displayfd once it accepts connections: only then is the display this test's own,
# since another test taking the same number at the same moment makes one of the two servers exit,
# and the next number is tried. Then the window manager, if any, once it has claimed the screen.
start_session() {
    local n tries=0
    for n in $(shuf -i 140-699 -n 60); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        : >"$work/display"
        Xvfb ":$n" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        x_ready() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
        await x_ready
        if [ "$(cat "$work/display")" = "$n" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
            export DISPLAY=:$n
            break
        fi
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
        xvfb_pid=
        tries=$((tries + 1))
        [ "$tries" -lt 5 ] || skip "Xvfb could not start: $(cat "$work/xvfb.log")"
    done
    [ -n "$xvfb_pid" ] || skip "no free X display number"
    if [ -n "$wm" ]; then
        HOME=$work "$wm" >"$work/wm.log" 2>&1 &
        wm_pid=$!
        wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
        await wm_ready || skip "$wm did not start: $(cat "$work/wm.log")"
    fi
}

# The editor, started in the work folder (where the file dialogs open) on this display; its
# output goes to app.log. find_window REGEX [--onlyvisible] then finds its window by title, as
# $window.
start_editor() {
    local program
    program=$(readlink -f "$binary")
    (cd "$work" && exec env -u QT_QPA_PLATFORM "$program" "$@") >>"$work/app.log" 2>&1 &
    app_pid=$!
}
find_window() {
    window=$(xdotool search ${2:-} --name "$1" 2>/dev/null | head -n 1)
    [ -n "$window" ] || kill -0 "$app_pid" 2>/dev/null || fail "the editor exited: $(cat "$work/app.log")"
    [ -n "$window" ]
}
# Whether the editor has exited (or is a zombie not yet reaped).
exited() { ! kill -0 "$app_pid" 2>/dev/null || [ "$(ps -o stat= -p "$app_pid" | cut -c1)" = Z ]; }
shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
title_is() { [ "$(xdotool getwindowname "$window" 2>/dev/null)" = "$1" ]; }

# Screenshots, and a pixel of the last one at screen (x, y) as RRGGBB.
shoot() {
    import -window root "$work/shot.png" && convert "$work/shot.png" -depth 8 rgb:"$work/shot.rgb" || fail "no screenshot"
    screen_width=$(identify -format '%w' "$work/shot.png")
}
pixel() { od -An -tx1 -j $((($2 * screen_width + $1) * 3)) -N3 "$work/shot.rgb" | tr -d ' \n' | tr a-f A-F; }
# A window's client area on screen: x y width height.
client_area() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
                             /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
# The surface's top left corner on screen, as left and top, once the window is on screen (framed,
# under a window manager) and painted: below the first white row in the window's left column,
# which is the toolbar's bottom line.
find_surface() {
    shoot
    read -r left client_y _ < <(client_area "$window")
    for top in $(seq "$client_y" $((client_y + 120))); do
        if [ "$(pixel $((left + 3)) "$top")" = "FFFFFF" ]; then
            top=$((top + 1))
            return 0
        fi
    done
    return 1
}
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

# The toolbar's buttons are 23 px wide from the window's left edge, with a 12 px separator after
# the fourth; their centres lie 15 px above the surface.
New=11 Open=34 Save=57 SaveImage=80 AddVertex=115 AddEdge=138
click_button() { xdotool mousemove $((left + $1)) $((top - 15)) click 1; }
click_surface() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; }
# Keys to the main window, raised and focused first.
keys() {
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    xdotool key --delay 60 "$@"
}
# Types a path into the file dialog titled $1 over whatever it proposes, and presses Return.
answer_dialog() {
    await shown "^$1\$" || fail "no $1 dialog"
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 20 "$2"
    xdotool key Return
}
