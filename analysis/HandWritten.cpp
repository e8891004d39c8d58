// The algorithms Boost.Graph does not have, written here: Euler trails and circuits
// (Hierholzer), the exact colouring bounded by a step count (DSATUR branch and bound), and the
// girth (a breadth-first search from every vertex).

#include "Plain.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/sequential_vertex_coloring.hpp>

#include <algorithm>
#include <climits>
#include <deque>

namespace analysis {

namespace {

// The exact colouring stops after this many search steps, the same on every machine.
constexpr long ColouringSteps = 100000;

} // namespace

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

namespace {

// DSATUR branch and bound over the simple graph's adjacency matrix.
class TColourSearch {
public:
    TColourSearch(int n, const std::vector<std::pair<int, int>>& pairs)
        : n_(n), adj_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)),
          neighbours_(static_cast<std::size_t>(n)), colour_(static_cast<std::size_t>(n), -1),
          count_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1)),
          saturation_(static_cast<std::size_t>(n)) {
        for (const auto& [u, v] : pairs) {
            adj_[Index(u, v)] = adj_[Index(v, u)] = true;
            neighbours_[static_cast<std::size_t>(u)].push_back(v);
            neighbours_[static_cast<std::size_t>(v)].push_back(u);
        }
    }

    // A lower bound on the colours: the size of a clique grown greedily from each vertex.
    int CliqueBound() const {
        int best = n_ > 0 ? 1 : 0;
        for (int s = 0; s < n_; ++s) {
            std::vector<int> clique{s};
            for (int v = 0; v < n_; ++v) {
                bool all = v != s;
                for (int u : clique) all = all && adj_[Index(u, v)];
                if (all) clique.push_back(v);
            }
            best = std::max(best, static_cast<int>(clique.size()));
        }
        return best;
    }

    // Improves on best (a proper colouring with bestCount colours); true when the search ended
    // within the step bound, which proves the result minimal.
    bool Run(std::vector<int>& best, int& bestCount, int lower) {
        best_ = &best;
        bestCount_ = &bestCount;
        lower_ = lower;
        Search(0, 0);
        return !aborted_;
    }

private:
    std::size_t Index(int u, int v) const {
        return static_cast<std::size_t>(u) * static_cast<std::size_t>(n_) + static_cast<std::size_t>(v);
    }
    int& Count(int v, int c) {
        return count_[static_cast<std::size_t>(v) * static_cast<std::size_t>(n_ + 1) + static_cast<std::size_t>(c)];
    }

    void Paint(int v, int c, int step) {
        colour_[static_cast<std::size_t>(v)] = step > 0 ? c : -1;
        for (int u : neighbours_[static_cast<std::size_t>(v)]) {
            int& k = Count(u, c);
            if (step > 0 && k++ == 0) ++saturation_[static_cast<std::size_t>(u)];
            if (step < 0 && --k == 0) --saturation_[static_cast<std::size_t>(u)];
        }
    }

    void Search(int coloured, int used) {
        if (aborted_ || *bestCount_ <= lower_) return;
        if (++steps_ > ColouringSteps) {
            aborted_ = true;
            return;
        }
        if (coloured == n_) {
            *best_ = colour_;
            *bestCount_ = used;
            return;
        }
        // The uncoloured vertex with the most colours among its neighbours, then the most
        // neighbours, then the lowest number.
        int v = -1;
        for (int u = 0; u < n_; ++u) {
            if (colour_[static_cast<std::size_t>(u)] >= 0) continue;
            if (v < 0 || saturation_[static_cast<std::size_t>(u)] > saturation_[static_cast<std::size_t>(v)] ||
                (saturation_[static_cast<std::size_t>(u)] == saturation_[static_cast<std::size_t>(v)] &&
                 neighbours_[static_cast<std::size_t>(u)].size() > neighbours_[static_cast<std::size_t>(v)].size()))
                v = u;
        }
        for (int c = 0; c <= used && c + 1 < *bestCount_; ++c) {
            if (Count(v, c) > 0) continue;
            Paint(v, c, 1);
            Search(coloured + 1, std::max(used, c + 1));
            Paint(v, c, -1);
            if (aborted_ || *bestCount_ <= lower_) return;
        }
    }

    int n_;
    std::vector<bool> adj_;
    std::vector<std::vector<int>> neighbours_;
    std::vector<int> colour_;
    std::vector<int> count_; // count_[v][c]: neighbours of v coloured c
    std::vector<int> saturation_;
    std::vector<int>* best_ = nullptr;
    int* bestCount_ = nullptr;
    int lower_ = 0;
    long steps_ = 0;
    bool aborted_ = false;
};

} // namespace

TColouring ColouringOf(const TPlain& p) {
    TColouring result;
    if (p.n == 0) {
        result.exact = true;
        return result;
    }
    // Boost's greedy colouring first: the bound the search must beat.
    using TGraph = boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS>;
    TGraph graph(static_cast<std::size_t>(p.n));
    for (const auto& [u, v] : p.simple)
        boost::add_edge(static_cast<std::size_t>(u), static_cast<std::size_t>(v), graph);
    std::vector<std::size_t> greedy(static_cast<std::size_t>(p.n));
    const auto index = boost::get(boost::vertex_index, graph);
    int count = static_cast<int>(
        boost::sequential_vertex_coloring(graph, boost::make_iterator_property_map(greedy.begin(), index)));
    std::vector<int> best(greedy.begin(), greedy.end());

    TColourSearch search(p.n, p.simple);
    const int lower = search.CliqueBound();
    result.exact = count <= lower || search.Run(best, count, lower);
    // Colours renumbered in order of first use along the vertex numbers.
    std::vector<int> rename(static_cast<std::size_t>(p.n), -1);
    int next = 0;
    for (int& c : best) {
        int& r = rename[static_cast<std::size_t>(c)];
        if (r < 0) r = next++;
        c = r;
    }
    result.colourOf = std::move(best);
    result.colours = count;
    return result;
}

int GirthOf(const TPlain& p) {
    const std::size_t n = static_cast<std::size_t>(p.n);
    std::vector<std::vector<int>> out(n);
    std::vector<std::pair<int, int>> seen;
    for (const TPlainEdge& e : p.edges) {
        if (e.s == e.t) return 1;
        out[static_cast<std::size_t>(e.s)].push_back(e.t);
        if (!p.directed) out[static_cast<std::size_t>(e.t)].push_back(e.s);
        seen.push_back(p.directed ? std::make_pair(e.s, e.t) : std::make_pair(std::min(e.s, e.t), std::max(e.s, e.t)));
    }
    std::sort(seen.begin(), seen.end());
    // The same pair twice: two parallel undirected edges, or a directed edge and its reverse.
    if (std::adjacent_find(seen.begin(), seen.end()) != seen.end()) return 2;
    if (p.directed)
        for (const auto& [u, v] : seen)
            if (std::binary_search(seen.begin(), seen.end(), std::make_pair(v, u))) return 2;

    int best = INT_MAX;
    std::vector<int> dist(n), parent(n);
    for (int root = 0; root < p.n; ++root) {
        std::fill(dist.begin(), dist.end(), -1);
        dist[static_cast<std::size_t>(root)] = 0;
        parent[static_cast<std::size_t>(root)] = -1;
        std::deque<int> queue{root};
        while (!queue.empty()) {
            const int x = queue.front();
            queue.pop_front();
            for (int y : out[static_cast<std::size_t>(x)]) {
                const int dx = dist[static_cast<std::size_t>(x)];
                if (p.directed && y == root) best = std::min(best, dx + 1); // a cycle through the root
                if (dist[static_cast<std::size_t>(y)] < 0) {
                    dist[static_cast<std::size_t>(y)] = dx + 1;
                    parent[static_cast<std::size_t>(y)] = x;
                    queue.push_back(y);
                } else if (!p.directed && parent[static_cast<std::size_t>(x)] != y) {
                    // Two tree paths from the root and this edge close a walk holding a cycle;
                    // the least over all roots is the girth.
                    best = std::min(best, dx + dist[static_cast<std::size_t>(y)] + 1);
                }
            }
        }
    }
    return best == INT_MAX ? 0 : best;
}

} // namespace analysis
