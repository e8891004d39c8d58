// The traces of the searches and of what is built on them: breadth- and depth-first search,
// bridges and articulation points by low-link, Kahn's topological order, Hierholzer's Euler
// trail, and the greedy colourings.

#include "TraceSteps.h"

#include <algorithm>
#include <deque>
#include <set>

namespace analysis::trace {

void Bfs(const TTraceGraph& t, int s, TJson& steps, TJson& result) {
    std::vector<int> parent(Z(t.n), -1), order;
    std::vector<bool> seen(Z(t.n));
    std::deque<int> queue{s};
    seen[Z(s)] = true;
    while (!queue.empty()) {
        const int v = queue.front();
        queue.pop_front();
        order.push_back(v);
        for (const TArc& a : t.out[Z(v)])
            if (!seen[Z(a.to)]) {
                seen[Z(a.to)] = true;
                parent[Z(a.to)] = v;
                queue.push_back(a.to);
            }
        TJson& step = AddStep(steps, "visit");
        step["vertex"] = v + 1;
        step["queue"] = Vertices(std::vector<int>(queue.begin(), queue.end()));
    }
    result["order"] = Vertices(order);
    result["parent"] = ByVertex(parent);
}

namespace {

// A depth-first search from s, neighbours in number order, without recursion: visit(v, time) on
// discovering v, leave(v, time) on finishing it, both on one clock; the arc index at each level
// tells the search where it stands. Returns the clock.
template <class TDiscover, class TFinish>
int DepthFirst(const TTraceGraph& t, int s, int clock, std::vector<bool>& seen, std::vector<int>& parent,
               std::vector<int>& parentEdge, TDiscover&& discover, TFinish&& finish) {
    std::vector<std::pair<int, std::size_t>> stack{{s, 0}};
    seen[Z(s)] = true;
    discover(s, ++clock);
    while (!stack.empty()) {
        const int v = stack.back().first;
        const auto& arcs = t.out[Z(v)];
        std::size_t& next = stack.back().second;
        if (next == arcs.size()) {
            finish(v, ++clock);
            stack.pop_back();
            continue;
        }
        const TArc a = arcs[next++];
        if (seen[Z(a.to)]) continue;
        seen[Z(a.to)] = true;
        parent[Z(a.to)] = v;
        parentEdge[Z(a.to)] = a.edge;
        stack.push_back({a.to, 0});
        discover(a.to, ++clock);
    }
    return clock;
}

} // namespace

void Dfs(const TTraceGraph& t, int s, TJson& steps, TJson& result) {
    std::vector<int> parent(Z(t.n), -1), parentEdge(Z(t.n), -1), discovery(Z(t.n), -1), finish(Z(t.n), -1);
    std::vector<bool> seen(Z(t.n));
    DepthFirst(
        t, s, 0, seen, parent, parentEdge,
        [&](int v, int time) {
            discovery[Z(v)] = time;
            TJson& step = AddStep(steps, "discover");
            step["vertex"] = v + 1;
            step["time"] = time;
        },
        [&](int v, int time) {
            finish[Z(v)] = time;
            TJson& step = AddStep(steps, "finish");
            step["vertex"] = v + 1;
            step["time"] = time;
        });
    const auto times = [](const std::vector<int>& x) {
        TJson out = TJson::array();
        for (int k : x) out.push_back(k < 0 ? TJson(nullptr) : TJson(k));
        return out;
    };
    result["discovery"] = times(discovery);
    result["finish"] = times(finish);
    result["parent"] = ByVertex(parent);
}

void Bridges(const TTraceGraph& t, TJson& steps, TJson& result) {
    NeedUndirected(t, "bridges");
    std::vector<int> parent(Z(t.n), -1), parentEdge(Z(t.n), -1), discovery(Z(t.n), -1), low(Z(t.n), -1);
    std::vector<int> children(Z(t.n));
    std::vector<std::pair<int, int>> bridges;
    std::set<int> cut;
    std::vector<bool> seen(Z(t.n));
    int clock = 0;
    for (int root = 0; root < t.n; ++root) {
        if (seen[Z(root)]) continue;
        clock = DepthFirst(
            t, root, clock, seen, parent, parentEdge,
            [&](int v, int time) {
                discovery[Z(v)] = low[Z(v)] = time;
                TJson& step = AddStep(steps, "discover");
                step["vertex"] = v + 1;
                step["time"] = time;
            },
            [&](int v, int time) {
                // Every edge but the one v was reached by: a child's low, or a vertex seen before.
                for (const TArc& a : t.out[Z(v)]) {
                    if (a.edge == parentEdge[Z(v)]) continue;
                    if (parent[Z(a.to)] == v && parentEdge[Z(a.to)] == a.edge)
                        low[Z(v)] = std::min(low[Z(v)], low[Z(a.to)]);
                    else
                        low[Z(v)] = std::min(low[Z(v)], discovery[Z(a.to)]);
                }
                TJson& step = AddStep(steps, "finish");
                step["vertex"] = v + 1;
                step["time"] = time;
                step["low"] = low[Z(v)];
                const int u = parent[Z(v)];
                if (u >= 0) {
                    ++children[Z(u)];
                    if (low[Z(v)] > discovery[Z(u)]) {
                        bridges.push_back(std::minmax(u, v));
                        step["bridge"] = Pair(std::min(u, v), std::max(u, v));
                    }
                    if (parent[Z(u)] >= 0 && low[Z(v)] >= discovery[Z(u)]) cut.insert(u);
                }
                if (u < 0 && children[Z(v)] > 1) cut.insert(v);
            });
    }
    std::sort(bridges.begin(), bridges.end());
    TJson pairs = TJson::array();
    for (const auto& [a, b] : bridges) pairs.push_back(Pair(a, b));
    TJson times = TJson::array(), lows = TJson::array();
    for (int v = 0; v < t.n; ++v) {
        times.push_back(discovery[Z(v)]);
        lows.push_back(low[Z(v)]);
    }
    result["discovery"] = std::move(times);
    result["low"] = std::move(lows);
    result["parent"] = ByVertex(parent);
    result["bridges"] = std::move(pairs);
    result["articulation_points"] = Vertices(std::vector<int>(cut.begin(), cut.end()));
}

void Topological(const TTraceGraph& t, TJson& steps, TJson& result) {
    if (!t.directed) Refuse(t, "a topological order is for a directed graph");
    std::vector<int> in(Z(t.n));
    for (const TPlainEdge& e : t.edges) {
        if (e.s == e.t) Refuse(t, "the graph has the cycle " + t.names[Z(e.s)] + " -> " + t.names[Z(e.s)]);
        ++in[Z(e.t)];
    }
    std::set<int> ready;
    for (int v = 0; v < t.n; ++v)
        if (in[Z(v)] == 0) ready.insert(v);
    std::vector<int> order;
    while (!ready.empty()) {
        const int v = *ready.begin();
        ready.erase(ready.begin());
        order.push_back(v);
        for (const TArc& a : t.out[Z(v)])
            if (--in[Z(a.to)] == 0) ready.insert(a.to);
        TJson& step = AddStep(steps, "output");
        step["vertex"] = v + 1;
        step["ready"] = Vertices(std::vector<int>(ready.begin(), ready.end()));
    }
    if (static_cast<int>(order.size()) < t.n) {
        // Every vertex left has an edge in from another one left: walk back along the smallest
        // such until a vertex repeats; the stretch between is a cycle, read forwards.
        std::vector<int> walk, at(Z(t.n), -1);
        int v = 0;
        while (in[Z(v)] == 0) ++v;
        while (at[Z(v)] < 0) {
            at[Z(v)] = static_cast<int>(walk.size());
            walk.push_back(v);
            int previous = t.n;
            for (const TPlainEdge& e : t.edges)
                if (e.t == v && in[Z(e.s)] > 0) previous = std::min(previous, e.s);
            v = previous;
        }
        std::vector<int> cycle(walk.begin() + at[Z(v)], walk.end());
        std::reverse(cycle.begin(), cycle.end());
        std::rotate(cycle.begin(), std::min_element(cycle.begin(), cycle.end()), cycle.end());
        std::string text;
        for (int w : cycle) text += t.names[Z(w)] + " -> ";
        Refuse(t, "the graph has the cycle " + text + t.names[Z(cycle.front())]);
    }
    result["order"] = Vertices(order);
}

void Euler(const TTraceGraph& t, TJson& steps, TJson& result) {
    TPlain p;
    p.n = t.n;
    p.directed = t.directed;
    p.edges = t.edges;
    const TEuler whole = EulerOf(p); // whether there is a trail, and of which kind
    result["kind"] = whole.kind;
    if (whole.kind == "none") return;
    // Hierholzer's algorithm: walk on along the unused edge to the smallest neighbour until stuck,
    // then back up, the trail gathered from the end. Loops are edges to walk too.
    std::vector<std::vector<TArc>> arcs(Z(t.n));
    std::vector<int> balance(Z(t.n));
    for (std::size_t i = 0; i < t.edges.size(); ++i) {
        const TPlainEdge& e = t.edges[i];
        arcs[Z(e.s)].push_back({e.t, e.length, static_cast<int>(i)});
        if (!t.directed && e.s != e.t) arcs[Z(e.t)].push_back({e.s, e.length, static_cast<int>(i)});
        if (t.directed)
            ++balance[Z(e.s)], --balance[Z(e.t)];
        else
            balance[Z(e.s)] += 1, balance[Z(e.t)] += 1;
    }
    for (auto& a : arcs) std::stable_sort(a.begin(), a.end(), [](const TArc& x, const TArc& y) { return x.to < y.to; });
    int start = -1;
    for (int v = 0; v < t.n && start < 0; ++v)
        if (t.directed ? balance[Z(v)] == 1 : balance[Z(v)] % 2 != 0) start = v;
    for (int v = 0; v < t.n && start < 0; ++v)
        if (!arcs[Z(v)].empty()) start = v;
    std::vector<bool> used(t.edges.size());
    std::vector<std::size_t> next(Z(t.n));
    std::vector<int> stack{start}, trail;
    while (!stack.empty()) {
        const int v = stack.back();
        const auto& a = arcs[Z(v)];
        std::size_t& k = next[Z(v)];
        while (k < a.size() && used[Z(a[k].edge)]) ++k;
        if (k == a.size()) {
            trail.push_back(v);
            stack.pop_back();
            continue;
        }
        used[Z(a[k].edge)] = true;
        stack.push_back(a[k].to);
        TJson& step = AddStep(steps, "walk");
        step["edge"] = Pair(v, a[k].to);
    }
    std::reverse(trail.begin(), trail.end());
    result["trail"] = Vertices(trail);
}

void Colouring(const TTraceGraph& t, bool byDegree, TJson& steps, TJson& result) {
    NeedUndirected(t, byDegree ? "welsh-powell" : "greedy-colouring");
    std::vector<int> order(Z(t.n)), degree(Z(t.n)), colour(Z(t.n), 0);
    for (const TPlainEdge& e : t.edges) ++degree[Z(e.s)], ++degree[Z(e.t)]; // a loop counts twice
    for (int v = 0; v < t.n; ++v) order[Z(v)] = v;
    if (byDegree)
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return degree[Z(a)] > degree[Z(b)]; });
    int colours = 0;
    for (int v : order) {
        std::vector<bool> taken(Z(t.n) + 2);
        for (const TArc& a : t.out[Z(v)]) taken[Z(colour[Z(a.to)])] = true;
        int c = 1;
        while (taken[Z(c)]) ++c;
        colour[Z(v)] = c;
        colours = std::max(colours, c);
        TJson& step = AddStep(steps, "colour");
        step["vertex"] = v + 1;
        step["colour"] = c;
    }
    result["order"] = Vertices(order);
    result["colours"] = colours;
    result["colour_of"] = colour;
}

} // namespace analysis::trace
