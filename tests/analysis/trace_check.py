#!/usr/bin/env python3
"""Every --trace algorithm on random graphs against an implementation written here from the rules
(smaller vertex numbers first), step by step, and its final result against the program's own
report and networkx. Usage: trace_check.py PROGRAM [GRAPHS]. Exit 77 when networkx is missing."""
import collections, heapq, itertools, json, math, os, random, subprocess, sys, tempfile

try:
    import networkx as nx
except ImportError:
    print("networkx is not installed"); sys.exit(77)

sys.setrecursionlimit(10000)
program, count = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 60
rng = random.Random(20261209)
checks = failures = 0
INF = math.inf


def check(ok, what):
    global checks, failures
    checks += 1
    if not ok:
        failures += 1
        print("FAIL:", what)
    return ok


def random_graph(k):
    directed, weighted = k % 2 == 1, k % 4 >= 2
    n = rng.choice([1, 2, rng.randint(3, 8), rng.randint(3, 14)])
    p = rng.choice([0.1, 0.25, 0.4, 0.7])
    negative = directed and rng.random() < 0.3
    edges = []
    for u, v in itertools.product(range(n), repeat=2):
        if (not directed and v < u) or rng.random() >= (0.05 if u == v else p):
            continue
        w = rng.randint(-3 if negative else 1, 9) + (0.5 if rng.random() < 0.1 else 0)
        edges.append((u, v, w))
    return directed, weighted, n, edges


def gf4(directed, weighted, n, edges):
    lines = ["[directed]" if directed else "[undirected]", "[weighted]" if weighted else "[unweighted]", "[black]",
             "%d %d" % (n, len(edges))]
    lines += ["%d %d /*v%d*/" % (40 + 50 * (i % 5), 40 + 50 * (i // 5), i + 1) for i in range(n)]
    lines += ["%d %d /*%s*/" % (u + 1, v + 1, w) if weighted else "%d %d" % (u + 1, v + 1) for u, v, w in edges]
    return "\n".join(lines) + "\n"


def run(path, *args):
    out = path + ".out.json"
    r = subprocess.run([program, path, *args, "--report", out], capture_output=True, text=True, timeout=60)
    if r.returncode != 0:
        return None, r.stderr.strip()
    with open(out) as f:
        return json.load(f), None


def num(x):
    return None if x == INF else x


class Graph:
    def __init__(self, directed, weighted, n, edges):
        self.directed, self.n = directed, n
        self.edges = [(u, v, w if weighted else 1) for u, v, w in edges]
        self.adj = [[] for _ in range(n)]  # (neighbour, length), neighbours in number order, no loops
        for u, v, w in self.edges:
            if u != v:
                self.adj[u].append((v, w))
                if not directed:
                    self.adj[v].append((u, w))
        for a in self.adj:
            a.sort(key=lambda x: x[0])


# Implementations from the rules, step by step, vertices 0-based; the steps as the trace gives them.
def bfs(G, s):
    parent, seen, q, steps = [None] * G.n, {s}, collections.deque([s]), []
    while q:
        v = q.popleft()
        for w, _ in G.adj[v]:
            if w not in seen:
                seen.add(w); parent[w] = v + 1; q.append(w)
        steps.append({"vertex": v + 1, "queue": [x + 1 for x in q]})
    return steps, {"parent": parent}


def dfs(G, s, clock=None, seen=None, steps=None, low=None, parent=None):
    clock = clock if clock is not None else [0]
    seen = seen if seen is not None else set()
    steps = steps if steps is not None else []
    parent = parent if parent is not None else [None] * G.n

    def visit(v):
        seen.add(v); clock[0] += 1
        steps.append({"action": "discover", "vertex": v + 1, "time": clock[0]})
        for w, _ in G.adj[v]:
            if w not in seen:
                parent[w] = v + 1
                visit(w)
        clock[0] += 1
        steps.append({"action": "finish", "vertex": v + 1, "time": clock[0]})
    visit(s)
    return steps, {"parent": parent}


def dijkstra(G, s):
    dist, pred, done, heap, steps = [INF] * G.n, [None] * G.n, set(), [(0, s)], []
    dist[s] = 0
    while heap:
        d, v = heapq.heappop(heap)
        if v in done or d > dist[v]:
            continue
        done.add(v)
        for w, l in G.adj[v]:
            if w not in done and d + l < dist[w]:
                dist[w], pred[w] = d + l, v + 1
                heapq.heappush(heap, (dist[w], w))
        steps.append({"vertex": v + 1, "distance": [num(x) for x in dist], "predecessor": list(pred)})
    return steps, {"distance": [num(x) for x in dist]}


def bellman_ford(G, s):
    arcs = sorted((u, w, l) for u in range(G.n) for w, l in G.adj[u])
    dist, pred, steps = [INF] * G.n, [None] * G.n, []
    dist[s] = 0
    changed = True
    for k in range(1, G.n):
        changed = False
        for u, w, l in arcs:
            if dist[u] + l < dist[w]:
                dist[w], pred[w], changed = dist[u] + l, u + 1, True
        steps.append({"pass": k, "distance": [num(x) for x in dist], "predecessor": list(pred)})
        if not changed:
            break
    negative = changed and any(dist[u] + l < dist[w] for u, w, l in arcs)
    steps.append({"negative_cycle": negative})
    return steps, {"distance": [num(x) for x in dist], "negative_cycle": negative}


def floyd(G):
    d = [[0 if i == j else INF for j in range(G.n)] for i in range(G.n)]
    for u in range(G.n):
        for w, l in G.adj[u]:
            d[u][w] = min(d[u][w], l)
    steps = [{"distance": [[num(x) for x in r] for r in d]}]
    for k in range(G.n):
        for i in range(G.n):
            for j in range(G.n):
                if d[i][k] + d[k][j] < d[i][j]:
                    d[i][j] = d[i][k] + d[k][j]
        steps.append({"vertex": k + 1, "distance": [[num(x) for x in r] for r in d]})
    return steps, {"distance": steps[-1]["distance"]}


def prim(G, s):
    tree, steps, total = {s}, [{"vertex": s + 1, "edge": None, "weight": None}], 0
    while True:
        options = [(l, w, u) for u in tree for w, l in G.adj[u] if w not in tree]
        if not options:
            break
        l, w, u = min(options)
        tree.add(w); total += l
        steps.append({"vertex": w + 1, "edge": [u + 1, w + 1], "weight": l})
    return steps, {"total": total}


def kruskal(G):
    root = list(range(G.n))

    def find(v):
        while root[v] != v:
            v = root[v]
        return v
    comps = nx.number_connected_components(nx.Graph([(u, v) for u, v, _ in G.edges] + [(v, v) for v in range(G.n)]))
    steps, total, taken = [], 0, 0
    for u, v, l in sorted(G.edges, key=lambda e: (e[2], min(e[0], e[1]), max(e[0], e[1]))):
        if taken == G.n - comps:
            break
        a, b = find(u), find(v)
        steps.append({"action": "reject" if a == b else "accept", "edge": [min(u, v) + 1, max(u, v) + 1], "weight": l})
        if a != b:
            root[a] = b; taken += 1; total += l
    return steps, {"total": total}


def edmonds_karp(G, s, t):
    cap = collections.defaultdict(float)
    for u, v, l in G.edges:
        if u != v:
            cap[u, v] += l
            if not G.directed:
                cap[v, u] += l
    near = [sorted({b for (a, b) in cap if a == v} | {a for (a, b) in cap if b == v}) for v in range(G.n)]
    flow, value, steps = collections.defaultdict(float), 0, []
    while True:
        parent, q = {s: s}, collections.deque([s])
        while q and t not in parent:
            v = q.popleft()
            for w in near[v]:
                if w not in parent and cap[v, w] - flow[v, w] > 1e-9:
                    parent[w] = v; q.append(w)
        if t not in parent:
            break
        path = [t]
        while path[-1] != s:
            path.append(parent[path[-1]])
        path.reverse()
        amount = min(cap[a, b] - flow[a, b] for a, b in zip(path, path[1:]))
        for a, b in zip(path, path[1:]):
            flow[a, b] += amount; flow[b, a] -= amount
        value += amount
        steps.append({"path": [x + 1 for x in path], "amount": amount, "value": value})
    return steps, {"value": value}


def kahn(G):
    indeg = [0] * G.n
    for u, v, _ in G.edges:
        indeg[v] += 1
    ready = [v for v in range(G.n) if indeg[v] == 0]
    heapq.heapify(ready)
    steps = []
    while ready:
        v = heapq.heappop(ready)
        for w, _ in G.adj[v]:
            indeg[w] -= 1
            if indeg[w] == 0:
                heapq.heappush(ready, w)
        steps.append({"vertex": v + 1, "ready": sorted(x + 1 for x in ready)})
    return steps, {"order": [s["vertex"] for s in steps]}


def colouring(G, by_degree):
    N = nx.MultiGraph()
    N.add_nodes_from(range(G.n))
    N.add_edges_from((u, v) for u, v, _ in G.edges)
    strategy = "largest_first" if by_degree else (lambda H, c: sorted(H))
    colour = nx.greedy_color(N, strategy=strategy)  # networkx's rule: the smallest colour free
    order = sorted(range(G.n), key=lambda v: -N.degree(v)) if by_degree else list(range(G.n))
    return [{"vertex": v + 1, "colour": colour[v] + 1} for v in order], {"colours": max(colour.values()) + 1}


def hierholzer(G):
    arcs = [[] for _ in range(G.n)]
    for i, (u, v, _) in enumerate(G.edges):
        arcs[u].append((v, i))
        if not G.directed and u != v:
            arcs[v].append((u, i))
    for a in arcs:
        a.sort(key=lambda x: x[0])
    if G.directed:
        bal = [0] * G.n
        for u, v, _ in G.edges:
            bal[u] += 1; bal[v] -= 1
        odd = [v for v in range(G.n) if bal[v] == 1]
    else:
        odd = [v for v in range(G.n) if (len(arcs[v]) + sum(1 for w, _ in arcs[v] if w == v)) % 2 == 1]
    start = odd[0] if odd else min(v for v in range(G.n) if arcs[v])
    used, steps, trail = set(), [], []

    def visit(v):
        for w, i in arcs[v]:
            if i not in used:
                used.add(i)
                steps.append({"edge": [v + 1, w + 1]})
                visit(w)
        trail.append(v + 1)
    visit(start)
    return steps, {"trail": trail[::-1]}


def bridges(G):
    clock, seen, steps, parent = [0], set(), [], [None] * G.n
    for v in range(G.n):
        if v not in seen:
            dfs(G, v, clock, seen, steps, parent=parent)
    S = nx.Graph()
    S.add_nodes_from(range(1, G.n + 1))
    M = nx.MultiGraph([(u + 1, v + 1) for u, v, _ in G.edges if u != v])
    S.add_edges_from(M.edges())
    bridge = sorted(sorted(e) for e in nx.bridges(S) if M.number_of_edges(*e) == 1)
    return steps, {"bridges": bridge, "articulation_points": sorted(nx.articulation_points(S))}


def same(a, b):
    if isinstance(a, float) or isinstance(b, float):
        return a is not None and b is not None and abs(a - b) <= 1e-9 * max(1, abs(a))
    if isinstance(a, list) and isinstance(b, list):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b


def compare_steps(name, trace, steps):
    got = trace["steps"]
    if not check(len(got) == len(steps), "%s: %d steps, expected %d" % (name, len(got), len(steps))):
        return
    for k, (g, e) in enumerate(zip(got, steps)):
        check(g["step"] == k + 1, "%s: step numbers" % name)
        for key, value in e.items():
            if not same(g.get(key), value):
                check(False, "%s step %d: %s is %s, expected %s" % (name, k + 1, key, g.get(key), value))
                return


def trial(folder, k):
    directed, weighted, n, edges = random_graph(k)
    path = os.path.join(folder, "g%d.gf4" % k)
    with open(path, "w") as out:
        out.write(gf4(directed, weighted, n, edges))
    G = Graph(directed, weighted, n, edges)
    negative = any(w < 0 for _, _, w in G.edges)
    report, error = run(path, "--show", "bfs:#1", "--show", "dfs:#1")
    check(report is not None, "report: %s" % error)
    if report is None:
        return
    t = "#%d" % n
    cases = [("bfs:#1", lambda: bfs(G, 0)), ("dfs:#1", lambda: dfs(G, 0)), ("floyd-warshall", lambda: floyd(G)),
             ("bellman-ford:#1", lambda: bellman_ford(G, 0))]
    if not negative:
        cases += [("dijkstra:#1", lambda: dijkstra(G, 0))]
        if n >= 2:
            cases += [("flow:#1,%s" % t, lambda: edmonds_karp(G, 0, n - 1))]
    if directed and report["acyclic"]["value"]:
        cases += [("topological", lambda: kahn(G))]
    if not directed:
        cases += [("prim:#1", lambda: prim(G, 0)), ("kruskal", lambda: kruskal(G)),
                  ("greedy-colouring", lambda: colouring(G, False)), ("welsh-powell", lambda: colouring(G, True)),
                  ("bridges", lambda: bridges(G))]
    if report["euler"]["kind"] != "none":
        cases += [("euler", lambda: hierholzer(G))]
    for name, reference in cases:
        trace, error = run(path, "--trace", name)
        if not check(trace is not None, "graph %d, %s: %s" % (k, name, error)):
            continue
        before = failures
        steps, result = reference()
        compare_steps(name, trace, steps)
        r = trace["result"]
        for key, value in result.items():
            check(same(r.get(key), value), "%s: result %s is %s, expected %s" % (name, key, r.get(key), value))
        final_against_report(name, trace, report, G)
        if failures > before:
            print("  in graph %d:\n%s" % (k, gf4(directed, weighted, n, edges)))
    # What the rules refuse is refused with one line naming why.
    if directed:
        for name in ("prim:#1", "kruskal", "greedy-colouring", "bridges"):
            trace, error = run(path, "--trace", name)
            check(trace is None and "undirected" in error, "%s refused for a directed graph: %s" % (name, error))
        if not report["acyclic"]["value"]:
            trace, error = run(path, "--trace", "topological")
            check(trace is None and "cycle" in error, "topological refuses a cycle: %s" % error)
    if negative:
        trace, error = run(path, "--trace", "dijkstra:#1")
        check(trace is None and "negative" in error, "dijkstra refuses negative weights: %s" % error)


def final_against_report(name, trace, report, G):
    r, word = trace["result"], name.split(":")[0]
    d = report["distances"]
    if word in ("bfs", "dfs"):
        order = r["order"] if word == "bfs" else [s["vertex"] for s in trace["steps"] if s["action"] == "discover"]
        check(order == report[word]["order"], "%s order as the report's" % word)
    if word in ("dijkstra", "bellman-ford") and not d["negative_cycle"]:
        check(same(r["distance"], d["matrix"][0]), "%s distances as the report's" % word)
    if word == "bellman-ford":
        check(not r["negative_cycle"] or d["negative_cycle"], "a negative cycle the report knows too")
    if word == "floyd-warshall" and not d["negative_cycle"]:
        check(same(r["distance"], d["matrix"]), "floyd-warshall distances as the report's")
    if word in ("prim", "kruskal") and (word == "kruskal" or len(report["components"]) == 1):
        check(same(r["total"], report["mst"]["total"]), "%s total as the report's" % word)
    if word in ("greedy-colouring", "welsh-powell"):
        col = r["colour_of"]
        check(all(col[u] != col[v] for u, v, _ in G.edges if u != v), "%s colours properly" % word)
        check(r["colours"] >= report["colouring"]["colours"], "%s needs no fewer colours than the report" % word)
    if word == "euler":
        check(r["kind"] == report["euler"]["kind"], "euler kind as the report's")
        t = r["trail"]
        key = (lambda a, b: (a, b)) if G.directed else (lambda a, b: tuple(sorted((a, b))))
        check(sorted(key(a, b) for a, b in zip(t, t[1:])) == sorted(key(u + 1, v + 1) for u, v, _ in G.edges),
              "euler trail walks every edge once")
    if word == "flow":
        N = nx.DiGraph()
        N.add_nodes_from(range(G.n))
        for u, v, l in G.edges:
            for x, y in [(u, v)] + ([] if G.directed else [(v, u)]):
                if x != y:
                    N.add_edge(x, y, capacity=(N[x][y]["capacity"] if N.has_edge(x, y) else 0) + l)
        check(same(float(r["value"]), float(nx.maximum_flow_value(N, 0, G.n - 1))), "flow value as networkx's")
    if word == "topological":
        D = nx.DiGraph()
        D.add_nodes_from(range(1, G.n + 1))
        D.add_edges_from((u + 1, v + 1) for u, v, _ in G.edges)
        check(r["order"] == list(nx.lexicographical_topological_sort(D)), "topological order as networkx's")


with tempfile.TemporaryDirectory() as folder:
    for k in range(count):
        trial(folder, k)

print("%d graphs, %d checks, %d failures" % (count, checks, failures))
sys.exit(1 if failures else 0)
