#!/usr/bin/python3
"""Files that networkx writes (GraphML, DOT through pydot, graph6, sparse6, edge lists and
adjacency matrices) are imported by the program to the same vertices, edges, weights and names;
and the command line's import options behave: usage: networkx_check.py NODELOOM SCRATCH_DIR"""

import os
import subprocess
import sys

try:
    import networkx as nx
    import numpy as np
    from networkx.drawing import nx_pydot  # noqa: F401 (needs pydot)
    import pydot  # noqa: F401
except ImportError as missing:
    print(f"skipped: {missing}")
    sys.exit(77)

PROGRAM, SCRATCH = sys.argv[1], sys.argv[2]
os.makedirs(SCRATCH, exist_ok=True)
failures = []
checked = 0


def run(*args):
    return subprocess.run([PROGRAM, *args], capture_output=True, text=True, timeout=120,
                          env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))


def read_gf4(path):
    """(directed, weighted, names, edges as {(s, t): weight}) of a gf4 file the program wrote."""
    lines = open(path, "rb").read().decode("utf-8").split("\r\n")
    directed, weighted = lines[0] == "[directed]", lines[1] == "[weighted]"
    n = int(lines[3].split()[0])
    names, positions = [], []
    for line in lines[4:4 + n]:
        x, y, rest = line.split(" ", 2)
        names.append(rest[2:-2])
        positions.append((int(x), int(y)))
    edges = {}
    for line in lines[4 + n:]:
        if not line:
            continue
        s, t, *rest = line.split(" ", 2)
        weight = rest[0][2:rest[0].index("*/")] if weighted else None
        edges[(names[int(s) - 1], names[int(t) - 1])] = weight
    return directed, weighted, names, edges, positions


def same_weight(a, b):
    if a is None or b is None:
        return a is None and b is None
    try:
        return float(a) == float(b)
    except ValueError:
        return a == b


def expect(case, graph, path, names=None, weighted=True):
    """The program's gf4 of path holds graph: names (node -> name), edges and weights."""
    global checked
    out = os.path.join(SCRATCH, os.path.basename(path) + ".gf4")
    result = run(path, "--export", out)
    if result.returncode != 0:
        failures.append(f"{case}: exit {result.returncode}: {result.stderr.strip()}")
        return
    directed, is_weighted, got_names, got_edges, _ = read_gf4(out)
    name = (lambda v: names[v]) if names else str
    want_edges = {}
    for s, t, data in graph.edges(data=True):
        want_edges[(name(s), name(t))] = str(data["weight"]) if weighted and "weight" in data else None
    problems = []
    if directed != graph.is_directed():
        problems.append(f"directed {directed}")
    if is_weighted != (weighted and any("weight" in d for _, _, d in graph.edges(data=True))):
        problems.append(f"weighted {is_weighted}")
    if sorted(got_names) != sorted(name(v) for v in graph.nodes):
        problems.append(f"names {got_names}")
    def key(s, t):
        return (s, t) if directed else tuple(sorted((s, t)))
    got = {key(*e): w for e, w in got_edges.items()}
    want = {key(*e): w for e, w in want_edges.items()}
    if got.keys() != want.keys():
        problems.append(f"edges {sorted(got)} instead of {sorted(want)}")
    else:
        problems += [f"weight of {e}: {got[e]} instead of {want[e]}" for e in want if not same_weight(got[e], want[e])]
    if problems:
        failures.append(f"{case}: " + "; ".join(problems))
    checked += 1


# The graphs: weighted undirected, weighted directed with loops and texts as names, unweighted.
petersen = nx.petersen_graph()
for i, (u, v) in enumerate(petersen.edges()):
    petersen[u][v]["weight"] = i % 7 + 1
tasks = nx.DiGraph()
tasks.add_weighted_edges_from([("Start", "Plan", 2.5), ("Plan", "Build", 10), ("Build", "Plan", 1),
                               ("Build", "Build", 3), ("Build", "Ende", 4)])
tasks.add_node("Idle")
cube = nx.hypercube_graph(3)
cube = nx.convert_node_labels_to_integers(cube)
grid = nx.convert_node_labels_to_integers(nx.grid_2d_graph(4, 5))
wheel = nx.wheel_graph(12)

for tag, graph in [("petersen", petersen), ("tasks", tasks), ("cube", cube), ("wheel", wheel)]:
    path = os.path.join(SCRATCH, f"{tag}.graphml")
    nx.write_graphml(graph, path)
    expect(f"GraphML {tag}", graph, path)
    path = os.path.join(SCRATCH, f"{tag}.dot")
    nx_pydot.write_dot(graph, path)
    expect(f"DOT {tag}", graph, path)
    if "Idle" not in graph:
        path = os.path.join(SCRATCH, f"{tag}.txt")
        if nx.is_weighted(graph):
            nx.write_weighted_edgelist(graph, path)
        else:
            nx.write_edgelist(graph, path, data=False)
        expect(f"edge list {tag}", graph, path)
    order = list(graph.nodes)
    path = os.path.join(SCRATCH, f"{tag}-matrix.csv")
    np.savetxt(path, nx.to_numpy_array(graph, nodelist=order), delimiter=",", fmt="%g")
    expect(f"matrix {tag}", graph, path, names={v: str(i + 1) for i, v in enumerate(order)},
           weighted=any(d.get("weight", 1) != 1 for _, _, d in graph.edges(data=True)))

for tag, graph in [("petersen", nx.petersen_graph()), ("cube", cube), ("grid", grid), ("wheel", wheel)]:
    for writer, ending in [(nx.write_graph6, "g6"), (nx.write_sparse6, "s6")]:
        path = os.path.join(SCRATCH, f"{tag}.{ending}")
        writer(graph, path)
        expect(f"{ending} {tag}", graph, path)

# The command line: layouts, a parallel edge said on stderr, refusals in one line with exit 1.
def check(case, ok, detail=""):
    global checked
    checked += 1
    if not ok:
        failures.append(f"{case}: {detail}")


edges = os.path.join(SCRATCH, "parallel.txt")
open(edges, "w").write("a b 1\nb a 2\na c\n")
out = os.path.join(SCRATCH, "parallel.gf4")
result = run(edges, "--export", out)
check("parallel edge merged", result.returncode == 0 and "1 parallel edge" in result.stderr, result.stderr)
check("first weight kept", read_gf4(out)[3].get(("a", "b")) == "1", str(read_gf4(out)[3]))

for layout in ["neato", "circle", "grid"]:
    out = os.path.join(SCRATCH, f"layout-{layout}.gf4")
    result = run(os.path.join(SCRATCH, "petersen.g6"), "--layout", layout, "--export", out)
    positions = read_gf4(out)[4] if result.returncode == 0 else []
    check(f"--layout {layout}", positions and all(25 <= x <= 375 and 25 <= y <= 315 for x, y in positions),
          f"{result.stderr} {positions}")
    again = os.path.join(SCRATCH, f"layout-{layout}-again.gf4")
    run(out, "--layout", layout, "--export", again)
    check(f"--layout {layout} of a gf4 file places the same", read_gf4(again)[4] == positions)

kept = os.path.join(SCRATCH, "kept.gf4")
run(os.path.join(SCRATCH, "layout-circle.gf4"), "--export", kept)
check("gf4 keeps its drawing by default",
      read_gf4(kept)[4] == read_gf4(os.path.join(SCRATCH, "layout-circle.gf4"))[4])

result = run(edges, "--layout", "spring", "--export", out)
check("unknown layout", result.returncode == 1 and result.stderr.count("\n") == 1, result.stderr)
big = os.path.join(SCRATCH, "big.txt")
open(big, "w").write("".join(f"hub v{i}\n" for i in range(150)))
result = run(big, "--export", out)
check("too large", result.returncode == 1 and "151 vertices and 150 edges" in result.stderr
      and result.stderr.count("\n") == 1, result.stderr)

print(f"{checked} checks of files written by networkx and of the command line")
for failure in failures:
    print("FAILED:", failure)
sys.exit(1 if failures else 0)
