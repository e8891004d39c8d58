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
binary=$1
source_graph=$2
wm=${3:-openbox}
source "$(dirname "$0")/xsession.sh"
recovery_files() { find "$XDG_STATE_HOME" -name 'nodeloom-*.recovery' 2>/dev/null; }
need Xvfb xdotool xprop xwininfo import convert identify "$wm"
start_session

# 1. Open, add a vertex, wait three seconds, SIGKILL.
graph=$work/graph.gf4
cp "$source_graph" "$graph"
start_editor "$graph"
await find_window '^Nodeloom 5\.1' || fail "no main window"
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
await find_window '^Nodeloom 5\.1' || fail "no main window"
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
await exited || fail "Ctrl+Q did not close the editor"
app_pid=
[ -z "$(recovery_files)" ] || fail "recovery files left after a normal close: $(recovery_files)"
echo "PASS: recovery end to end on $DISPLAY under $wm"
