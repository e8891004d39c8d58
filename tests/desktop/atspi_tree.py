"""The editor's accessible tree as a screen reader reads it over AT-SPI (pyatspi).

atspi_tree.py PID [--vertices A,B,...] [--edges N] [--focused NAME]
Finds the application of process PID, its surface (role canvas) and its toolbar buttons, and
checks that the surface's children are "vertex NAME" for the names given, in order, each with a
description of its degree and neighbours, then N edges named "edge A – B..."; that every toolbar
button is named by its hint; and that vertex NAME is focused. Prints what it found; exit 1 when a
check fails (the caller retries while the tree fills in).
"""
import argparse
import sys

import pyatspi

HINTS = ["Create a new graph", "Load graph from gf4", "Save graph to gf4", "Save an image", "Add new vertex",
         "Add new edge", "Delete vertex", "Delete edge", "Cancel all actions"]


def walk(node, depth=0):
    yield node
    if depth > 14:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pid", type=int)
    parser.add_argument("--vertices", default="")
    parser.add_argument("--edges", type=int, default=None)
    parser.add_argument("--focused", default=None)
    args = parser.parse_args()

    desktop = pyatspi.Registry.getDesktop(0)
    app = None
    for i in range(desktop.childCount):
        candidate = desktop.getChildAtIndex(i)
        if candidate is not None and candidate.get_process_id() == args.pid:
            app = candidate
    if app is None:
        print("no application of process %d on the accessibility bus" % args.pid)
        return 1

    surfaces, buttons = [], set()
    for node in walk(app):
        role = node.getRole()
        if role == pyatspi.ROLE_CANVAS:
            surfaces.append(node)
        elif role in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX) and node.name:
            buttons.add(node.name)
    missing = [h for h in HINTS if h not in buttons]
    if missing:
        print("toolbar buttons without their names: %s (named: %s)" % (missing, sorted(buttons)))
        return 1
    if len(surfaces) != 1:
        print("%d objects of role canvas, not one" % len(surfaces))
        return 1
    surface = surfaces[0]
    children = [surface.getChildAtIndex(i) for i in range(surface.childCount)]
    names = [c.name for c in children]
    wanted = ["vertex " + v for v in args.vertices.split(",")] if args.vertices else []
    vertices = [c for c in children if c.name.startswith("vertex ")]
    edges = [c for c in children if c.name.startswith("edge ")]
    summary = "surface \"%s\": %s" % (surface.name, names)
    if [v.name for v in vertices] != wanted:
        print("vertices %s, not %s; %s" % ([v.name for v in vertices], wanted, summary))
        return 1
    if not surface.name.startswith("Undirected weighted graph, %d vertices" % len(wanted)):
        print("the surface's name: " + summary)
        return 1
    for v in vertices:
        if not v.description.startswith("degree ") or "neighbours" not in v.description and "degree 0" not in v.description:
            print("%s is described as \"%s\"" % (v.name, v.description))
            return 1
    if args.edges is not None and (len(edges) != args.edges or any(" \u2013 " not in e.name for e in edges)):
        print("edges %s, not %d; %s" % ([e.name for e in edges], args.edges, summary))
        return 1
    if args.focused is not None:
        focused = [c.name for c in children if c.getState().contains(pyatspi.STATE_FOCUSED)]
        if focused != ["vertex " + args.focused]:
            print("focused: %s, not vertex %s" % (focused, args.focused))
            return 1
    print(summary + "; descriptions: " + "; ".join("%s: %s" % (v.name, v.description) for v in vertices) +
          "; buttons: " + ", ".join(sorted(buttons)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
