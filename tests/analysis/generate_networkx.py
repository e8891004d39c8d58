#!/usr/bin/env python3
"""Generated exercise graphs against networkx: for descriptions of every constraint and many seeds,
the program's --generate output (a gf4 file on standard output) is read here and every constraint
checked with networkx; the same seed must give the same bytes, and impossible descriptions are
refused with exit status 1. Usage: generate_networkx.py PROGRAM [SEEDS]. Exit 77 when networkx is
missing."""
import subprocess, sys

try:
    import networkx as nx
    from networkx.algorithms.tree.mst import SpanningTreeIterator
except ImportError:
    print("networkx is not installed"); sys.exit(77)

program, seeds = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 8
failures = checks = 0

SPECS = [
    "vertices=8,edges=12,weights=1..20,connected,planar,unique-mst,unique-paths",
    "vertices=5..9,edges=6..14,connected,weights=-3..3",
    "vertices=7,edges=9..12,bipartite,connected",
    "vertices=9,directed,acyclic,connected,weights=1..9",
    "vertices=6..8,euler,connected,weights=1..5",
    "vertices=8,edges=10,euler,directed",
    "vertices=8,edges=8..10,euler,bipartite,planar",
    "vertices=10,acyclic",
    "vertices=12,edges=30,planar,connected",
    "vertices=7,edges=11,weights=1..3,unique-mst,connected",
    "vertices=9,edges=14,unique-paths,directed,weights=1..4",
    "vertices=30,edges=45..60,bipartite,planar,connected",
]


def check(ok, what):
    global failures, checks
    checks += 1
    if not ok:
        failures += 1
        print("FAIL:", what)


def run(asked, seed):
    return subprocess.run([program, "--generate", asked, "--seed", str(seed)], capture_output=True)


def read_gf4(text):
    lines = text.decode().replace("\r", "").split("\n")
    directed, weighted = lines[0] == "[directed]", lines[1] == "[weighted]"
    n, m = map(int, lines[3].split())
    names, places = [], []
    for line in lines[4:4 + n]:
        x, y, rest = line.split(" ", 2)
        places.append((int(x), int(y)))
        names.append(rest[2:-2])
    G = nx.DiGraph() if directed else nx.Graph()
    G.add_nodes_from(range(n))
    for line in lines[4 + n:4 + n + m]:
        parts = line.split()
        w = int(parts[2][2:-2]) if weighted else 1
        G.add_edge(int(parts[0]) - 1, int(parts[1]) - 1, weight=w)
    return G, weighted, names, places


def crosses(p, q, r, s):
    side = lambda a, b, c: (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])
    sgn = lambda v: (v > 0) - (v < 0)
    return sgn(side(p, q, r)) * sgn(side(p, q, s)) < 0 and sgn(side(r, s, p)) * sgn(side(r, s, q)) < 0


def words(asked):
    out = {}
    for w in asked.split(","):
        k, _, v = w.partition("=")
        if v:
            lo, _, hi = v.partition("..")
            out[k] = (int(lo), int(hi or lo))
        else:
            out[k] = True
    return out


for asked in SPECS:
    want = words(asked)
    for seed in range(seeds):
        what = "%s seed %d" % (asked, seed)
        first, second = run(asked, seed), run(asked, seed)
        check(first.returncode == 0, what + ": " + first.stderr.decode())
        if first.returncode != 0:
            continue
        check(first.stdout == second.stdout, what + ": the same seed gave other bytes")
        G, weighted, names, places = read_gf4(first.stdout)
        n, m = G.number_of_nodes(), G.number_of_edges()
        U = G.to_undirected()
        if "vertices" in want:
            check(want["vertices"][0] <= n <= want["vertices"][1], what + ": %d vertices" % n)
        if "edges" in want:
            check(want["edges"][0] <= m <= want["edges"][1], what + ": %d edges" % m)
        if "weights" in want:
            lo, hi = want["weights"]
            check(all(lo <= d["weight"] <= hi for _, _, d in G.edges(data=True)), what + ": weights")
        check(nx.number_of_selfloops(G) == 0 and (not G.is_directed() or U.number_of_edges() == m), what + ": simple")
        check(G.is_directed() == ("directed" in want), what + ": kind")
        check(names[:3] == ["A", "B", "C"][:n], what + ": names")
        check(all((a[0] - b[0]) ** 2 + (a[1] - b[1]) ** 2 > 900 for i, a in enumerate(places) for b in places[i + 1:]),
              what + ": circles overlap")
        if "connected" in want:
            check(nx.is_connected(U), what + ": connected")
        if "planar" in want:
            check(nx.check_planarity(U)[0], what + ": planar")
            edges = list(G.edges())
            check(not any(crosses(places[a], places[b], places[c], places[d])
                          for i, (a, b) in enumerate(edges) for c, d in edges[i + 1:]), what + ": edges cross")
        if "bipartite" in want:
            check(nx.is_bipartite(U), what + ": bipartite")
        if "acyclic" in want:
            check(nx.is_directed_acyclic_graph(G) if G.is_directed() else nx.is_forest(G), what + ": acyclic")
        if "euler" in want:
            H = G.copy()
            H.remove_nodes_from([v for v in G if G.degree(v) == 0])
            check(nx.is_eulerian(H), what + ": Euler circuit")
        if "unique-mst" in want:
            trees = iter(SpanningTreeIterator(U, weight="weight"))
            best = next(trees).size(weight="weight")
            second = next(trees, None)
            check(second is None or second.size(weight="weight") > best, what + ": two minimum spanning trees")
        if "unique-paths" in want:
            for t in nx.descendants(G, 0):
                paths = list(nx.all_shortest_paths(G, 0, t, weight="weight" if weighted else None))
                check(len(paths) == 1, what + ": %d shortest paths to %s" % (len(paths), names[t]))

for asked in ["vertices=5,edges=20", "vertices=8,edges=19,planar", "vertices=6,acyclic,edges=6"]:
    refused = run(asked, 1)
    check(refused.returncode == 1 and refused.stderr.startswith(b"Cannot generate: ") and not refused.stdout,
          asked + ": not refused")

print("%d checks, %d failures" % (checks, failures))
sys.exit(1 if failures else 0)
