#!/usr/bin/env bash
# The editor without a mouse and through a screen reader's eyes, on a real X server with a
# session bus and at-spi2-core's accessibility bus, the tree read with pyatspi as Orca reads it:
#   1. the surface is named after the graph and holds every vertex by name (with its degree and
#      neighbours) and every edge; the toolbar's buttons are named by their hints;
#   2. Tab, then three Right and one Down, Ctrl+S and Return: vertex 1 is saved 30 px right and
#      10 px down, and the tree shows vertex 1 focused;
#   3. Tab, Tab, Delete, Ctrl+S and Return: the file has one vertex fewer, and so has the tree.
#   access_xvfb.sh NODELOOM_BINARY PYTHON3
# Exit 77 (skipped) when no X server, session bus or accessibility bus can be started here.
binary=$1
python=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/xsession.sh"
need Xvfb xdotool dbus-daemon
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || skip "at-spi2-core's bus launcher is not installed"
"$python" -c 'import pyatspi' 2>/dev/null || skip "pyatspi (python3-pyatspi) is not installed"
start_session

# A session bus of our own, then the accessibility bus that the launcher registers on it.
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$work/bus.address" 4>"$work/bus.pid" ||
    skip "no session bus could be started"
session_pids+=("$(cat "$work/bus.pid")")
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus.address")
export DBUS_SESSION_BUS_ADDRESS
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$launcher" --launch-immediately >"$work/a11y.log" 2>&1 &
session_pids+=($!)
a11y_ready() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1
}
await a11y_ready || skip "the accessibility bus did not start: $(cat "$work/a11y.log")"

# A cycle of four named vertices with weights, saved under its own name.
graph=$work/cycle.gf4
printf '[undirected]\n[weighted]\n[black]\n4 4\n100 100 /*Ann*/\n200 100 /*Bob*/\n200 200 /*Cy*/\n100 200 /*Dee*/\n1 2 /*5*/\n2 3 /*7*/\n3 4 /*9*/\n1 4 /*9*/\n' >"$graph"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
start_editor "$graph"
await find_window '^Nodeloom .* - cycle\.gf4$' --onlyvisible || fail "no window naming the graph"

# The tree as pyatspi reads it, checked by atspi_tree.py; it retries while the tree fills in.
read_tree() { "$python" "$here/atspi_tree.py" "$app_pid" "$@" >"$work/tree.log" 2>&1; }
await read_tree --vertices "Ann,Bob,Cy,Dee" --edges 4 ||
    fail "the accessible tree: $(cat "$work/tree.log")"
echo "AT-SPI: $(head -n 1 "$work/tree.log")"

# Ctrl+S opens the Save dialog on the file shown; Return saves it there.
save() {
    keys ctrl+s
    await shown '^Save As$' || fail "no Save dialog"
    sleep 0.3
    xdotool key Return
    await not shown '^Save As$' || fail "the Save dialog did not close"
}
line() { sed -n "${1}p" "$graph" | tr -d '\r'; }

# 2. Tab chooses vertex 1; three Right and one Down move it by (30, 10).
keys Tab Right Right Right Down
save
await test "$(line 5)" = "130 110 /*Ann*/" || fail "vertex 1 is saved as '$(line 5)', not '130 110 /*Ann*/'"
await read_tree --vertices "Ann,Bob,Cy,Dee" --focused Ann || fail "after Tab: $(cat "$work/tree.log")"
echo "Tab, Right x3, Down: $(line 5)"

# 3. Escape ends the selection; Tab, Tab choose vertex 2, and Delete deletes it with its edges.
keys Escape Tab Tab Delete
save
await test "$(line 4)" = "3 2" || fail "after Delete the counts line is '$(line 4)', not '3 2'"
grep -q '/\*Bob\*/' "$graph" && fail "vertex 2 (Bob) was not deleted: $(cat "$graph")"
await read_tree --vertices "Ann,Cy,Dee" --edges 2 || fail "after Delete: $(cat "$work/tree.log")"
echo "Tab, Tab, Delete: $(line 4)"
exit 0
