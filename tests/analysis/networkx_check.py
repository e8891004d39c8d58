#!/usr/bin/env python3
"""The analysis report against networkx: random graphs of every kind written as gf4 files,
reported as JSON by the program itself, and every item networkx also computes compared.
Usage: networkx_check.py PROGRAM [GRAPHS]. Exit 77 when networkx is missing."""
import itertools, json, math, os, random, subprocess, sys, tempfile

try:
    import networkx as nx
except ImportError:
    print("networkx is not installed"); sys.exit(77)

program, count = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 240
rng = random.Random(20261208)
checks = failures = 0


def check(ok, what):
    global checks, failures
    checks += 1
    if not ok:
        failures += 1
        print("FAIL:", what)


def random_graph(k):
    directed, weighted = k % 2 == 1, k % 4 >= 2
    n = rng.choice([0, 1, 2, rng.randint(3, 8), rng.randint(3, 30)])
    p = rng.choice([0.0, 0.1, 0.2, 0.35, 0.6])
    negative = rng.random() < 0.25      # some weights below zero
    words = weighted and rng.random() < 0.1  # one weight that is not a number: hop counts
    edges = []
    for u, v in itertools.product(range(n), repeat=2):
        if (not directed and v < u) or rng.random() >= (0.04 if u == v else p):
            continue
        w = rng.randint(-4 if negative else 0, 20)
        if rng.random() < 0.1:
            w += 0.5
        edges.append((u, v, w))
    if words and edges:
        u, v, _ = edges[0]
        edges[0] = (u, v, "x")
    return directed, weighted, n, edges


def gf4(directed, weighted, n, edges):
    lines = ["[directed]" if directed else "[undirected]", "[weighted]" if weighted else "[unweighted]", "[black]",
             "%d %d" % (n, len(edges))]
    lines += ["%d %d /*v%d*/" % (40 + 37 * (i % 9), 40 + 41 * (i // 9), i + 1) for i in range(n)]
    lines += ["%d %d /*%s*/" % (u + 1, v + 1, w) if weighted else "%d %d" % (u + 1, v + 1) for u, v, w in edges]
    return "\n".join(lines) + "\n"


def close(a, b):
    if a is None or b is None:
        return a is None and b is None
    return abs(a - b) <= 1e-6 * max(1, abs(a), abs(b))


def can_colour(adj, n, k, limit=200000):
    """Whether k colours suffice; None when the search passes its limit."""
    colour, steps = [-1] * n, [0]
    order = sorted(range(n), key=lambda v: -len(adj[v]))

    def go(i):
        steps[0] += 1
        if steps[0] > limit:
            raise TimeoutError
        if i == n:
            return True
        v = order[i]
        used = {colour[u] for u in adj[v]}
        for c in range(min(k, max(colour) + 2)):
            if c not in used:
                colour[v] = c
                if go(i + 1):
                    return True
                colour[v] = -1
        return False
    try:
        return go(0)
    except TimeoutError:
        return None


def compare(directed, weighted, n, edges, r):
    numeric = weighted and all(not isinstance(w, str) for _, _, w in edges)
    length = {True: lambda w: w, False: lambda w: 1}[numeric]
    G = nx.MultiDiGraph() if directed else nx.MultiGraph()
    G.add_nodes_from(range(1, n + 1))
    for u, v, w in edges:
        G.add_edge(u + 1, v + 1, length=length(w))
    U = nx.Graph(G.to_undirected())  # the simple graph underneath
    U.remove_edges_from(list(nx.selfloop_edges(U)))

    check(r["vertex_count"] == n and r["edge_count"] == len(edges), "counts")
    check(r["loop_count"] == sum(u == v for u, v, _ in edges), "loops")
    check([v["degree"] for v in r["vertices"]] == [G.degree(v) for v in range(1, n + 1)], "degrees")
    sets = lambda groups: sorted(sorted(g) for g in groups)
    check(sets(r["components"]) == sets(nx.connected_components(nx.Graph(G.to_undirected()))), "components")
    if directed:
        check(sets(r["strong_components"]) == sets(nx.strongly_connected_components(G)), "strong components")

    b = r["bipartite"]
    check(b["value"] == nx.is_bipartite(nx.Graph(G.to_undirected())), "bipartite")
    if b["value"]:
        side = {v: 0 for v in b["sides"][0]} | {v: 1 for v in b["sides"][1]}
        check(all(side[u + 1] != side[v + 1] for u, v, _ in edges), "sides")
    else:
        c = b["odd_cycle"]
        check(len(c) % 2 == 1 and all(U.has_edge(c[i - 1], c[i]) or (len(c) == 1 and G.has_edge(c[0], c[0]))
                                      for i in range(len(c))), "odd cycle")

    a = r["acyclic"]
    if directed:
        check(a["value"] == nx.is_directed_acyclic_graph(G), "acyclic")
        if a["value"]:
            pos = {v: i for i, v in enumerate(a["order"])}
            check(all(pos[u + 1] < pos[v + 1] for u, v, _ in edges), "topological order")
        else:
            c = a["cycle"]
            check(all(G.has_edge(c[i - 1], c[i]) for i in range(len(c))), "cycle")
    else:
        check(a["value"] == (n == 0 or nx.is_forest(G)), "forest")

    e = r["euler"]
    H = G.copy()
    H.remove_nodes_from([v for v in list(H) if H.degree(v) == 0])
    if not edges:
        check(e["kind"] == "none", "euler without edges")
    else:
        kind = "circuit" if nx.is_eulerian(H) else "trail" if nx.has_eulerian_path(H) else "none"
        check(e["kind"] == kind, "euler kind %s, networkx %s" % (e["kind"], kind))
        if kind != "none":
            t = e["trail"]
            walked = sorted(((x, y) if directed else tuple(sorted((x, y)))) for x, y in zip(t, t[1:]))
            check(walked == sorted((u + 1, v + 1) if directed else tuple(sorted((u + 1, v + 1))) for u, v, _ in edges),
                  "trail walks every edge once")
            check((t[0] == t[-1]) == (kind == "circuit"), "circuit closes")

    planar = nx.check_planarity(U)[0]
    check(r["planar"]["value"] == planar, "planar")
    if not planar:
        K = nx.Graph([tuple(x) for x in r["planar"]["kuratowski"]])
        check(all(U.has_edge(*x) for x in K.edges) and not nx.check_planarity(K)[0], "Kuratowski subgraph")

    d = r["distances"]
    check(d["by"] == ("weights" if numeric else "hops"), "distances by")
    lengths = nx.DiGraph() if directed else nx.Graph()
    lengths.add_nodes_from(G)
    for u, v, data in G.edges(data=True):
        if not lengths.has_edge(u, v) or lengths[u][v]["length"] > data["length"]:
            lengths.add_edge(u, v, length=data["length"])
    negative = any(data["length"] < 0 for *_, data in lengths.edges(data=True)) and (
        not directed or nx.negative_edge_cycle(lengths, weight="length"))
    check(d["negative_cycle"] == negative, "negative cycle")
    if not negative:
        dist = dict(nx.all_pairs_bellman_ford_path_length(lengths, weight="length"))
        check(all(close(d["matrix"][i][j], dist[i + 1].get(j + 1)) for i in range(n) for j in range(n)), "distances")
        ecc = [None if len(dist[v]) < n else max(dist[v].values()) for v in range(1, n + 1)]
        check(all(close(x, y) for x, y in zip(d["eccentricity"], ecc)), "eccentricities")
        finite = [x for x in ecc if x is not None]
        check(close(d["diameter"], None if n == 0 or len(finite) < n else max(finite)), "diameter")
        check(close(d["radius"], min(finite) if finite else None), "radius")

    if not directed:
        F = nx.Graph()
        for u, v, data in G.edges(data=True):
            if u != v and (not F.has_edge(u, v) or F[u][v]["length"] > data["length"]):
                F.add_edge(u, v, length=data["length"])
        total = sum(x["length"] for *_, x in nx.minimum_spanning_edges(F, weight="length", data=True))
        check(close(r["mst"]["total"], total), "spanning tree total")

    check(r["matching"]["size"] == len(nx.max_weight_matching(U, maxcardinality=True)), "matching size")

    c = r["colouring"]
    col = c["colour_of"]
    check(len(col) == n and all(col[u - 1] != col[v - 1] for u, v in U.edges), "proper colouring")
    check(c["colours"] == (max(col) if col else 0), "colour count")
    if c["exact"] and c["colours"] > 1:
        adj = [[w - 1 for w in U[v]] for v in range(1, n + 1)]
        fewer = can_colour(adj, n, c["colours"] - 1)
        if fewer is not None:
            check(not fewer, "chromatic number %d is the fewest" % c["colours"])

    if "flow" in r:
        f = r["flow"]
        N = nx.DiGraph()
        N.add_nodes_from(G)
        for u, v, data in G.edges(data=True):
            if u == v:
                continue
            for x, y in [(u, v)] + ([] if directed else [(v, u)]):
                cap = N[x][y]["capacity"] if N.has_edge(x, y) else 0
                N.add_edge(x, y, capacity=cap + data["length"])
        check(close(f["value"], nx.maximum_flow_value(N, f["source"], f["sink"])), "maximum flow")
        cut = sum(N[x][y]["capacity"] for x, y in f["cut"])
        check(close(cut, f["value"]), "minimum cut equals the flow")
        net = {v: 0 for v in N}
        for x, y, amount in f["edges"]:
            net[x] += amount
            net[y] -= amount
        check(all(close(N[x][y]["capacity"] + 1e-9, max(N[x][y]["capacity"], a)) for x, y, a in f["edges"]) and
              close(net[f["source"]], f["value"]) and
              all(close(net[v], 0) for v in N if v not in (f["source"], f["sink"])), "the flow is a flow")


with tempfile.TemporaryDirectory() as folder:
    for k in range(count):
        directed, weighted, n, edges = random_graph(k)
        path = os.path.join(folder, "g%d.gf4" % k)
        with open(path, "w") as out:
            out.write(gf4(directed, weighted, n, edges))
        report = os.path.join(folder, "g%d.json" % k)
        args = [program, path, "--report", report]
        flow = n >= 2 and weighted and all(not isinstance(w, str) and w >= 0 for _, _, w in edges)
        if flow:
            args += ["--show", "flow:#1,#%d" % n]
        run = subprocess.run(args, capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            check(False, "graph %d: exit %d: %s" % (k, run.returncode, run.stderr.strip()))
            continue
        with open(report) as f:
            r = json.load(f)
        before = failures
        compare(directed, weighted, n, edges, r)
        if failures > before:
            print("  in graph %d:\n%s" % (k, gf4(directed, weighted, n, edges)))

print("%d graphs, %d checks, %d failures" % (count, checks, failures))
sys.exit(1 if failures else 0)
