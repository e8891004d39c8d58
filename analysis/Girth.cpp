// The girth: the shortest cycle, by a breadth-first search from every vertex.

#include "Plain.h"

#include <algorithm>
#include <climits>
#include <deque>

namespace analysis {

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
