// Euler trails and circuits by Hierholzer's algorithm (Boost.Graph has none).

#include "Plain.h"

#include <algorithm>
#include <deque>

namespace analysis {

TEuler EulerOf(const TPlain& p) {
    TEuler result{"none", {}};
    const int m = static_cast<int>(p.edges.size());
    if (m == 0) return result;
    // (neighbour, edge) in order of neighbour, so that the trail is the same on every run.
    std::vector<std::vector<std::pair<int, int>>> adj(static_cast<std::size_t>(p.n));
    std::vector<int> balance(static_cast<std::size_t>(p.n)); // out - in; undirected: degree
    for (int i = 0; i < m; ++i) {
        const TPlainEdge& e = p.edges[static_cast<std::size_t>(i)];
        adj[static_cast<std::size_t>(e.s)].push_back({e.t, i});
        if (!p.directed && e.s != e.t) adj[static_cast<std::size_t>(e.t)].push_back({e.s, i});
        if (p.directed) {
            ++balance[static_cast<std::size_t>(e.s)];
            --balance[static_cast<std::size_t>(e.t)];
        } else {
            balance[static_cast<std::size_t>(e.s)] += 1;
            balance[static_cast<std::size_t>(e.t)] += 1;
        }
    }
    for (auto& a : adj) std::sort(a.begin(), a.end());

    int start = -1, odd = 0;
    for (int v = 0; v < p.n && start < 0; ++v)
        if (!adj[static_cast<std::size_t>(v)].empty()) start = v;
    if (p.directed) {
        // A trail leaves the one vertex with one more edge out than in, and ends at its opposite.
        int plus = 0, minus = 0;
        for (int v = 0; v < p.n; ++v) {
            const int b = balance[static_cast<std::size_t>(v)];
            if (b > 1 || b < -1) return result;
            if (b == 1 && plus++ == 0) start = v;
            minus += b == -1;
        }
        if (plus != minus || plus > 1) return result;
        odd = plus;
    } else {
        for (int v = p.n - 1; v >= 0; --v)
            if (balance[static_cast<std::size_t>(v)] % 2 != 0) {
                ++odd;
                start = v; // the lowest-numbered odd vertex, at the end of the loop
            }
        if (odd != 0 && odd != 2) return result;
    }

    // Hierholzer: walk until stuck, and splice in the detours found on the way back.
    std::vector<bool> used(static_cast<std::size_t>(m));
    std::vector<std::size_t> next(static_cast<std::size_t>(p.n));
    std::vector<int> stack{start}, trail;
    while (!stack.empty()) {
        const int v = stack.back();
        auto& a = adj[static_cast<std::size_t>(v)];
        std::size_t& k = next[static_cast<std::size_t>(v)];
        while (k < a.size() && used[static_cast<std::size_t>(a[k].second)]) ++k;
        if (k == a.size()) {
            trail.push_back(v);
            stack.pop_back();
        } else {
            used[static_cast<std::size_t>(a[k].second)] = true;
            stack.push_back(a[k].first);
        }
    }
    // Edges left over lie apart from the start: the edges are not connected.
    if (static_cast<int>(trail.size()) != m + 1) return result;
    std::reverse(trail.begin(), trail.end());
    result.kind = odd == 0 ? "circuit" : "trail";
    result.trail = std::move(trail);
    return result;
}

} // namespace analysis
