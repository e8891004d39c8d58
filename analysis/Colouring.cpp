// The colouring: Boost.Graph's greedy one, then an exact search (DSATUR branch and bound) bounded
// by a step count, so that the answer is the same on every machine.

#include "Plain.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/sequential_vertex_coloring.hpp>

#include <algorithm>
#include <climits>

namespace analysis {

namespace {

// The exact colouring stops after this many search steps, the same on every machine.
constexpr long ColouringSteps = 100000;

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

} // namespace analysis
