// The traces of shortest paths, flows and spanning trees: Dijkstra, Bellman-Ford, Floyd-Warshall,
// Edmonds-Karp, Prim and Kruskal, each by the tie rules of the trace (smaller numbers first).

#include "TraceSteps.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <map>
#include <numeric>

namespace analysis::trace {

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

} // namespace

void Dijkstra(const TTraceGraph& t, int s, TJson& steps, TJson& result) {
    NeedNonNegative(t);
    std::vector<double> distance(Z(t.n), Inf);
    std::vector<int> predecessor(Z(t.n), -1), order;
    std::vector<bool> settled(Z(t.n));
    distance[Z(s)] = 0;
    for (;;) {
        int v = -1;
        for (int w = 0; w < t.n; ++w)
            if (!settled[Z(w)] && distance[Z(w)] < Inf && (v < 0 || distance[Z(w)] < distance[Z(v)])) v = w;
        if (v < 0) break;
        settled[Z(v)] = true;
        order.push_back(v);
        for (const TArc& a : t.out[Z(v)])
            if (!settled[Z(a.to)] && distance[Z(v)] + a.length < distance[Z(a.to)]) {
                distance[Z(a.to)] = distance[Z(v)] + a.length;
                predecessor[Z(a.to)] = v;
            }
        TJson& step = AddStep(steps, "finalise");
        step["vertex"] = v + 1;
        step["distance"] = Distances(distance);
        step["predecessor"] = ByVertex(predecessor);
    }
    result["order"] = Vertices(order);
    result["distance"] = Distances(distance);
    result["predecessor"] = ByVertex(predecessor);
}

void BellmanFord(const TTraceGraph& t, int s, TJson& steps, TJson& result) {
    struct TRelax {
        int from, to;
        double length;
    };
    std::vector<TRelax> arcs;
    for (int v = 0; v < t.n; ++v)
        for (const TArc& a : t.out[Z(v)]) arcs.push_back({v, a.to, a.length});
    std::vector<double> distance(Z(t.n), Inf);
    std::vector<int> predecessor(Z(t.n), -1);
    distance[Z(s)] = 0;
    const auto relax = [&](std::vector<double>& d, std::vector<int>& p, int& last) {
        bool changed = false;
        for (const TRelax& a : arcs)
            if (d[Z(a.from)] < Inf && d[Z(a.from)] + a.length < d[Z(a.to)]) {
                d[Z(a.to)] = d[Z(a.from)] + a.length;
                p[Z(a.to)] = a.from;
                changed = true;
                last = a.to;
            }
        return changed;
    };
    bool changed = true;
    int last = -1;
    for (int pass = 1; pass < t.n && changed; ++pass) {
        changed = relax(distance, predecessor, last);
        TJson& step = AddStep(steps, "pass");
        step["pass"] = pass;
        step["distance"] = Distances(distance);
        step["predecessor"] = ByVertex(predecessor);
    }
    // One pass more on a copy: a change now means a negative cycle, which the predecessors of
    // the last vertex changed lead into after n steps back.
    std::vector<double> d = distance;
    std::vector<int> p = predecessor;
    last = -1;
    const bool negative = changed && relax(d, p, last);
    TJson& step = AddStep(steps, "check");
    step["negative_cycle"] = negative;
    TJson cycle = nullptr;
    if (negative) {
        int v = last;
        for (int k = 0; k < t.n; ++k) v = p[Z(v)];
        std::vector<int> around{v};
        for (int w = p[Z(v)]; w != v; w = p[Z(w)]) around.push_back(w);
        std::reverse(around.begin(), around.end());
        std::rotate(around.begin(), std::min_element(around.begin(), around.end()), around.end());
        cycle = Vertices(around);
        step["cycle"] = cycle;
    }
    result["negative_cycle"] = negative;
    if (negative) result["cycle"] = cycle;
    result["distance"] = Distances(distance);
    result["predecessor"] = ByVertex(predecessor);
}

namespace {

TJson Matrix(const std::vector<std::vector<double>>& d) {
    TJson rows = TJson::array();
    rows.get_ref<TJson::array_t&>().reserve(d.size());
    for (const auto& row : d) rows.push_back(Distances(row));
    return rows;
}

} // namespace

void FloydWarshall(const TTraceGraph& t, TJson& steps, TJson& result) {
    std::vector<std::vector<double>> d(Z(t.n), std::vector<double>(Z(t.n), Inf));
    for (int v = 0; v < t.n; ++v) {
        d[Z(v)][Z(v)] = 0;
        for (const TArc& a : t.out[Z(v)]) d[Z(v)][Z(a.to)] = std::min(d[Z(v)][Z(a.to)], a.length);
    }
    TJson& start = AddStep(steps, "start");
    start["distance"] = Matrix(d);
    // In place, as the textbook writes it: with a negative cycle, row k and column k change while k
    // is the vertex gone through, and the later entries see the change.
    for (int k = 0; k < t.n; ++k) {
        for (int i = 0; i < t.n; ++i) {
            if (d[Z(i)][Z(k)] == Inf) continue;
            auto& row = d[Z(i)];
            const auto& through = d[Z(k)];
            for (int j = 0; j < t.n; ++j)
                if (row[Z(k)] + through[Z(j)] < row[Z(j)]) row[Z(j)] = row[Z(k)] + through[Z(j)];
        }
        TJson& step = AddStep(steps, "through");
        step["vertex"] = k + 1;
        step["distance"] = Matrix(d);
    }
    bool negative = false;
    for (int v = 0; v < t.n; ++v) negative = negative || d[Z(v)][Z(v)] < 0;
    result["negative_cycle"] = negative;
    result["distance"] = Matrix(d);
}

void Flow(const TTraceGraph& t, int s, int sink, TJson& steps, TJson& result) {
    NeedNonNegative(t);
    if (s == sink) Refuse(t, "the source is the sink");
    // Capacities and flow between pairs of vertices: an undirected edge carries either way, and
    // flow one way cancels flow the other way.
    std::vector<std::map<int, double>> capacity(Z(t.n)), flow(Z(t.n));
    double largest = 0;
    for (const TPlainEdge& e : t.edges) {
        if (e.s == e.t) continue;
        capacity[Z(e.s)][e.t] += e.length;
        capacity[Z(e.t)][e.s] += t.directed ? 0 : e.length;
        largest = std::max(largest, e.length);
    }
    const double eps = 1e-9 * std::max(1.0, largest);
    const auto residual = [&](int u, int w) {
        const auto c = capacity[Z(u)].find(w);
        const auto f = flow[Z(u)].find(w);
        return (c == capacity[Z(u)].end() ? 0 : c->second) - (f == flow[Z(u)].end() ? 0 : f->second);
    };
    double value = 0;
    for (;;) {
        std::vector<int> parent(Z(t.n), -1);
        parent[Z(s)] = s;
        std::deque<int> queue{s};
        while (!queue.empty() && parent[Z(sink)] < 0) {
            const int v = queue.front();
            queue.pop_front();
            for (const auto& [w, c] : capacity[Z(v)]) // every neighbour either way, in number order
                if (parent[Z(w)] < 0 && residual(v, w) > eps) parent[Z(w)] = v, queue.push_back(w);
        }
        if (parent[Z(sink)] < 0) break;
        std::vector<int> path{sink};
        double amount = Inf;
        for (int v = sink; v != s; v = parent[Z(v)]) {
            amount = std::min(amount, residual(parent[Z(v)], v));
            path.push_back(parent[Z(v)]);
        }
        std::reverse(path.begin(), path.end());
        for (std::size_t i = 1; i < path.size(); ++i) {
            flow[Z(path[i - 1])][path[i]] += amount;
            flow[Z(path[i])][path[i - 1]] -= amount;
        }
        value += amount;
        TJson& step = AddStep(steps, "augment");
        step["path"] = Vertices(path);
        step["amount"] = Num(amount);
        step["value"] = Num(value);
    }
    // The flow between each pair given to its edges in the file's order, each up to its capacity.
    std::vector<std::tuple<int, int, double>> edges;
    for (const TPlainEdge& e : t.edges) {
        if (e.s == e.t) continue;
        for (const auto& [a, b] : {std::make_pair(e.s, e.t), std::make_pair(e.t, e.s)}) {
            if (t.directed && a != e.s) continue;
            double& f = flow[Z(a)][b];
            const double given = std::min(f, e.length);
            if (given > eps) {
                edges.emplace_back(a, b, given);
                f -= given;
                flow[Z(b)][a] += given;
            }
        }
    }
    std::sort(edges.begin(), edges.end());
    TJson list = TJson::array();
    for (const auto& [a, b, f] : edges) list.push_back({a + 1, b + 1, Num(f)});
    result["source"] = s + 1;
    result["sink"] = sink + 1;
    result["value"] = Num(value);
    result["edges"] = std::move(list);
}

void Prim(const TTraceGraph& t, int s, TJson& steps, TJson& result) {
    NeedUndirected(t, "prim");
    NeedNonNegative(t);
    std::vector<bool> inTree(Z(t.n));
    inTree[Z(s)] = true;
    TJson& first = AddStep(steps, "add");
    first["vertex"] = s + 1;
    first["edge"] = nullptr;
    first["weight"] = nullptr;
    TJson edges = TJson::array();
    double total = 0;
    for (;;) {
        // The cheapest edge leaving the tree; ties to the smaller new vertex, then tree vertex.
        int from = -1, to = -1;
        double best = Inf;
        for (int u = 0; u < t.n; ++u) {
            if (!inTree[Z(u)]) continue;
            for (const TArc& a : t.out[Z(u)]) {
                if (inTree[Z(a.to)]) continue;
                if (to < 0 || a.length < best || (a.length == best && (a.to < to || (a.to == to && u < from))))
                    from = u, to = a.to, best = a.length;
            }
        }
        if (to < 0) break;
        inTree[Z(to)] = true;
        total += best;
        TJson& step = AddStep(steps, "add");
        step["vertex"] = to + 1;
        step["edge"] = Pair(from, to);
        step["weight"] = Num(best);
        edges.push_back(Pair(from, to));
    }
    result["total"] = Num(total);
    result["edges"] = std::move(edges);
}

void Kruskal(const TTraceGraph& t, TJson& steps, TJson& result) {
    NeedUndirected(t, "kruskal");
    std::vector<int> order(t.edges.size());
    std::iota(order.begin(), order.end(), 0);
    const auto key = [&](int i) {
        const TPlainEdge& e = t.edges[Z(i)];
        return std::make_tuple(e.length, std::min(e.s, e.t), std::max(e.s, e.t));
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    std::vector<int> root(Z(t.n));
    std::iota(root.begin(), root.end(), 0);
    const auto find = [&](int v) {
        while (root[Z(v)] != v) v = root[Z(v)] = root[Z(root[Z(v)])];
        return v;
    };
    // The forest's size when it spans: n less the components.
    std::vector<int> whole = root;
    int components = t.n;
    for (const TPlainEdge& e : t.edges) {
        int a = e.s, b = e.t;
        while (whole[Z(a)] != a) a = whole[Z(a)];
        while (whole[Z(b)] != b) b = whole[Z(b)];
        if (a != b) whole[Z(std::max(a, b))] = std::min(a, b), --components;
    }
    const int wanted = t.n - components;
    int accepted = 0;
    double total = 0;
    TJson edges = TJson::array();
    for (int i : order) {
        if (accepted == wanted) break;
        const TPlainEdge& e = t.edges[Z(i)];
        const int a = find(e.s), b = find(e.t);
        TJson& step = AddStep(steps, a == b ? "reject" : "accept");
        step["edge"] = Pair(std::min(e.s, e.t), std::max(e.s, e.t));
        step["weight"] = Num(e.length);
        if (a == b) continue;
        root[Z(std::max(a, b))] = std::min(a, b);
        ++accepted;
        total += e.length;
        edges.push_back(Pair(std::min(e.s, e.t), std::max(e.s, e.t)));
    }
    result["total"] = Num(total);
    result["edges"] = std::move(edges);
}

} // namespace analysis::trace
