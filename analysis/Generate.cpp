#include "Generate.h"

#include "Geometry.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/boyer_myrvold_planar_test.hpp>
#include <boost/graph/chrobak_payne_drawing.hpp>
#include <boost/graph/make_biconnected_planar.hpp>
#include <boost/graph/make_connected.hpp>
#include <boost/graph/make_maximal_planar.hpp>
#include <boost/graph/planar_canonical_ordering.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <numeric>
#include <queue>
#include <set>

namespace analysis {

std::uint64_t TRandom::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

long long TRandom::Between(long long lo, long long hi) {
    const std::uint64_t range = static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo) + 1;
    if (range == 0) return static_cast<long long>(Next()); // the whole 64-bit range
    // The largest multiple of range below 2^64 bounds the draws that are kept.
    const std::uint64_t threshold = (0 - range) % range;
    for (;;) {
        const std::uint64_t x = Next();
        if (x >= threshold) return static_cast<long long>(static_cast<std::uint64_t>(lo) + x % range);
    }
}

std::string GeneratedName(int index) {
    std::string name;
    for (int k = index + 1; k > 0; k = (k - 1) / 26) name.insert(name.begin(), static_cast<char>('A' + (k - 1) % 26));
    return name;
}

namespace {

// Tries of one graph before the description is given up, and weight draws for one graph.
constexpr int GraphTries = 2000, WeightTries = 20;
constexpr long long WeightLimit = 1000000;
// Centres at least this far apart: two circles of radius 15 and a gap between them.
constexpr int VertexSpacing = 44;
// The area the drawing spreads over, as the window's surface first shows it, and the first
// centre: a margin of 10 pixels and the circle's radius from the corner.
constexpr int LayoutWidth = 400, LayoutHeight = 340, Corner = 10 + geometry::VertexRadius;

std::size_t Z(int v) { return static_cast<std::size_t>(v); }

[[noreturn]] void Refuse(const std::string& reason) { throw TAnalysisError("Cannot generate: " + reason + "."); }

bool ReadWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "A..B" or "N" into lo and hi.
bool ReadRange(const std::string& text, long long& lo, long long& hi) {
    const std::size_t dots = text.find("..");
    if (dots == std::string::npos) return ReadWhole(text, lo) && (hi = lo, true);
    return ReadWhole(text.substr(0, dots), lo) && ReadWhole(text.substr(dots + 2), hi);
}

std::string Count(long long k, const char* one, const char* many) {
    return std::to_string(k) + " " + (k == 1 ? one : many);
}

using TPair = std::pair<int, int>;
TPair Ordered(int u, int v) { return u < v ? TPair{u, v} : TPair{v, u}; }

// The underlying simple graph of a try: no loops, each pair once (u < v).
struct TDraft {
    int n = 0;
    std::vector<std::vector<char>> present;
    std::vector<TPair> edges; // in the order added; removed ones taken out
    std::vector<int> side;    // bipartite: 0 or 1

    explicit TDraft(int count) : n(count), present(Z(count), std::vector<char>(Z(count), 0)), side(Z(count), 0) {}
    bool Has(int u, int v) const { return present[Z(u)][Z(v)] != 0; }
    void Add(int u, int v) {
        present[Z(u)][Z(v)] = present[Z(v)][Z(u)] = 1;
        edges.push_back(Ordered(u, v));
    }
    void Remove(int u, int v) {
        present[Z(u)][Z(v)] = present[Z(v)][Z(u)] = 0;
        edges.erase(std::find(edges.begin(), edges.end(), Ordered(u, v)));
    }
    int Degree(int v) const { return static_cast<int>(std::count(present[Z(v)].begin(), present[Z(v)].end(), 1)); }
};

using TBoostPlanar =
    boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS, boost::property<boost::vertex_index_t, int>,
                          boost::property<boost::edge_index_t, int>>;

TBoostPlanar BoostOf(int n, const std::vector<TPair>& edges) {
    TBoostPlanar graph(Z(n));
    for (const auto& [u, v] : edges) boost::add_edge(Z(u), Z(v), graph);
    return graph;
}

bool IsPlanar(int n, const std::vector<TPair>& edges) {
    if (n <= 4 || edges.size() <= 8) return true; // K5 and K3,3 need 5 vertices and 9 edges
    const TBoostPlanar graph = BoostOf(n, edges);
    return boost::boyer_myrvold_planarity_test(graph);
}

// Whether the vertices with an edge (or all, with everyVertex) are in one piece.
bool OnePiece(const TDraft& d, bool everyVertex) {
    std::vector<char> seen(Z(d.n), 0);
    int start = -1, wanted = 0;
    for (int v = 0; v < d.n; ++v)
        if (everyVertex || d.Degree(v) > 0) {
            ++wanted;
            if (start < 0) start = v;
        }
    if (start < 0) return true;
    std::vector<int> stack{start};
    seen[Z(start)] = 1;
    int reached = 1;
    while (!stack.empty()) {
        const int v = stack.back();
        stack.pop_back();
        for (int w = 0; w < d.n; ++w)
            if (d.Has(v, w) && !seen[Z(w)]) seen[Z(w)] = 1, ++reached, stack.push_back(w);
    }
    return reached == wanted;
}

class TBuilder {
public:
    TBuilder(const TGenerateSpec& asked, TRandom& random) : spec_(asked), random_(random) {}

    // An underlying graph of n vertices and m edges that meets the description, or false.
    bool Draft(int n, int m, TDraft& d) {
        d = TDraft(n);
        // The vertices that carry edges: all of them, but for an Euler graph that need not be
        // connected, a random number that can hold m edges in one piece.
        std::vector<int> active(Z(n));
        std::iota(active.begin(), active.end(), 0);
        random_.Shuffle(active);
        if (spec_.euler && !spec_.connected) {
            std::vector<int> sizes;
            for (int k = 3; k <= n; ++k) {
                TGenerateSpec whole = spec_;
                whole.connected = true;
                const TEdgeBounds b = EdgeBounds(whole, k);
                if (b.min <= m && m <= b.max) sizes.push_back(k);
            }
            if (sizes.empty()) return false;
            active.resize(Z(sizes[Z(static_cast<int>(random_.Between(0, static_cast<long long>(sizes.size()) - 1)))]));
        }
        const int k = static_cast<int>(active.size());
        if (spec_.bipartite)
            for (int i = 0; i < k; ++i)
                d.side[Z(active[Z(i)])] = i == 0 ? 0 : i == 1 ? 1 : static_cast<int>(random_.Between(0, 1));
        for (int v = 0; v < n; ++v)
            if (spec_.bipartite && std::find(active.begin(), active.end(), v) == active.end())
                d.side[Z(v)] = static_cast<int>(random_.Between(0, 1));

        std::vector<int> forest(Z(n));
        std::iota(forest.begin(), forest.end(), 0);
        const std::function<int(int)> root = [&](int v) {
            return forest[Z(v)] == v ? v : forest[Z(v)] = root(forest[Z(v)]);
        };
        const auto tryAdd = [&](int u, int v) {
            if (u == v || d.Has(u, v) || !Allowed(d, u, v)) return false;
            if (Forest() && root(u) == root(v)) return false;
            d.Add(u, v);
            if (spec_.planar && !IsPlanar(n, d.edges)) {
                d.Remove(u, v);
                return false;
            }
            forest[Z(root(u))] = root(v);
            return true;
        };

        // A random spanning tree of the active vertices first, when they must be in one piece.
        if (spec_.connected || spec_.euler) {
            for (int i = 1; i < k; ++i) {
                std::vector<int> earlier;
                for (int j = 0; j < i; ++j)
                    if (Allowed(d, active[Z(i)], active[Z(j)])) earlier.push_back(active[Z(j)]);
                if (earlier.empty()) return false;
                const int to =
                    earlier[Z(static_cast<int>(random_.Between(0, static_cast<long long>(earlier.size()) - 1)))];
                if (!tryAdd(active[Z(i)], to)) return false;
            }
        }
        std::vector<TPair> candidates;
        for (int i = 0; i < k; ++i)
            for (int j = i + 1; j < k; ++j) candidates.push_back(Ordered(active[Z(i)], active[Z(j)]));
        random_.Shuffle(candidates);
        for (const auto& [u, v] : candidates) {
            if (static_cast<int>(d.edges.size()) >= m) break;
            tryAdd(u, v);
        }
        if (static_cast<int>(d.edges.size()) != m) return false;
        if (spec_.euler && !MakeEven(d, active)) return false;
        if (spec_.connected && !OnePiece(d, true)) return false;
        return true;
    }

private:
    bool Forest() const { return spec_.acyclic && !spec_.directed; }
    bool Allowed(const TDraft& d, int u, int v) const { return !spec_.bipartite || d.side[Z(u)] != d.side[Z(v)]; }

    // Every degree even, the number of edges kept: an edge u-w added and w-v removed (or the
    // other way round) changes the parity of u and v alone. A bounded random search.
    bool MakeEven(TDraft& d, const std::vector<int>& active) {
        for (int step = 0; step < 40 * d.n + 200; ++step) {
            std::vector<int> odd;
            for (int v : active)
                if (d.Degree(v) % 2 != 0) odd.push_back(v);
            if (odd.empty()) return OnePiece(d, false);
            random_.Shuffle(odd);
            const int u = odd[0];
            int v = -1;
            for (std::size_t i = 1; i < odd.size() && v < 0; ++i)
                if (!spec_.bipartite || d.side[Z(odd[i])] == d.side[Z(u)]) v = odd[i];
            if (v < 0) return false;
            std::vector<int> middles;
            for (int w : active)
                if (w != u && w != v && Allowed(d, u, w) && Allowed(d, w, v) && d.Has(u, w) != d.Has(w, v))
                    middles.push_back(w);
            if (middles.empty()) continue;
            const int w = middles[Z(static_cast<int>(random_.Between(0, static_cast<long long>(middles.size()) - 1)))];
            const int adding = d.Has(u, w) ? v : u, removing = d.Has(u, w) ? u : v;
            d.Remove(removing, w);
            d.Add(adding, w);
            const bool kept = (!spec_.planar || IsPlanar(d.n, d.edges)) && (!spec_.connected || OnePiece(d, true));
            if (!kept) {
                d.Remove(adding, w);
                d.Add(removing, w);
            }
        }
        return false;
    }

    const TGenerateSpec& spec_;
    TRandom& random_;
};

// The arcs of a directed graph: along a random order (acyclic), along an Euler circuit of the
// underlying graph (in-degree = out-degree everywhere), or each way at random.
std::vector<TPair> Orient(const TGenerateSpec& asked, const TDraft& d, TRandom& random) {
    std::vector<TPair> arcs;
    if (asked.acyclic) {
        std::vector<int> rank(Z(d.n));
        std::iota(rank.begin(), rank.end(), 0);
        random.Shuffle(rank);
        for (const auto& [u, v] : d.edges) arcs.push_back(rank[Z(u)] < rank[Z(v)] ? TPair{u, v} : TPair{v, u});
    } else if (asked.euler) {
        // Hierholzer's algorithm; each edge is walked once, in the direction of the walk.
        std::vector<std::vector<char>> left = d.present;
        std::vector<int> stack{d.edges.front().first};
        while (!stack.empty()) {
            const int v = stack.back();
            int w = 0;
            while (w < d.n && !left[Z(v)][Z(w)]) ++w;
            if (w == d.n) {
                stack.pop_back();
                continue;
            }
            left[Z(v)][Z(w)] = left[Z(w)][Z(v)] = 0;
            arcs.push_back({v, w});
            stack.push_back(w);
        }
    } else {
        for (const auto& [u, v] : d.edges) arcs.push_back(random.Between(0, 1) ? TPair{u, v} : TPair{v, u});
    }
    return arcs;
}

struct TWeighted {
    int s, t;
    long long w;
};

// Exactly one minimum spanning forest: Kruskal's forest, and every other edge heavier than each
// forest edge on the path between its ends.
bool UniqueMst(int n, const std::vector<TWeighted>& edges) {
    std::vector<TWeighted> sorted = edges;
    std::stable_sort(sorted.begin(), sorted.end(), [](const TWeighted& a, const TWeighted& b) { return a.w < b.w; });
    std::vector<int> parent(Z(n));
    std::iota(parent.begin(), parent.end(), 0);
    const std::function<int(int)> root = [&](int v) {
        return parent[Z(v)] == v ? v : parent[Z(v)] = root(parent[Z(v)]);
    };
    std::vector<std::vector<std::pair<int, long long>>> tree(Z(n));
    std::vector<TWeighted> rest;
    for (const TWeighted& e : sorted) {
        if (root(e.s) == root(e.t)) {
            rest.push_back(e);
            continue;
        }
        parent[Z(root(e.s))] = root(e.t);
        tree[Z(e.s)].push_back({e.t, e.w});
        tree[Z(e.t)].push_back({e.s, e.w});
    }
    for (const TWeighted& e : rest) {
        // The heaviest forest edge on the path from e.s to e.t.
        std::vector<long long> heaviest(Z(n), std::numeric_limits<long long>::min());
        std::vector<char> seen(Z(n), 0);
        std::vector<int> stack{e.s};
        seen[Z(e.s)] = 1;
        while (!stack.empty()) {
            const int v = stack.back();
            stack.pop_back();
            for (const auto& [w, weight] : tree[Z(v)])
                if (!seen[Z(w)]) {
                    seen[Z(w)] = 1;
                    heaviest[Z(w)] = std::max(heaviest[Z(v)], weight);
                    stack.push_back(w);
                }
        }
        if (e.s != e.t && heaviest[Z(e.t)] >= e.w) return false;
    }
    return true;
}

// Every shortest path from vertex 0 the only one of its length (weights at least 1): Dijkstra,
// counting paths up to 2.
bool UniquePaths(int n, bool directed, const std::vector<TWeighted>& edges) {
    std::vector<std::vector<std::pair<int, long long>>> out(Z(n));
    for (const TWeighted& e : edges) {
        out[Z(e.s)].push_back({e.t, e.w});
        if (!directed) out[Z(e.t)].push_back({e.s, e.w});
    }
    constexpr long long Inf = std::numeric_limits<long long>::max();
    std::vector<long long> distance(Z(n), Inf);
    std::vector<int> paths(Z(n), 0);
    std::vector<char> done(Z(n), 0);
    distance[0] = 0;
    paths[0] = 1;
    using TItem = std::pair<long long, int>;
    std::priority_queue<TItem, std::vector<TItem>, std::greater<TItem>> queue;
    queue.push({0, 0});
    while (!queue.empty()) {
        const auto [dist, v] = queue.top();
        queue.pop();
        if (done[Z(v)]) continue;
        done[Z(v)] = 1;
        if (paths[Z(v)] > 1) return false;
        for (const auto& [w, weight] : out[Z(v)]) {
            if (dist + weight < distance[Z(w)]) {
                distance[Z(w)] = dist + weight;
                paths[Z(w)] = paths[Z(v)];
                queue.push({distance[Z(w)], w});
            } else if (dist + weight == distance[Z(w)]) {
                paths[Z(w)] = std::min(2, paths[Z(w)] + paths[Z(v)]);
            }
        }
    }
    return true;
}

// Distinct weights where the range has enough of them (one minimum spanning tree for sure),
// else any.
std::vector<long long> DrawWeights(const TGenerateSpec& asked, std::size_t m, TRandom& random) {
    std::vector<long long> weights;
    const bool distinct =
        asked.uniqueMst && static_cast<unsigned long long>(asked.maxWeight - asked.minWeight) + 1 >= m;
    std::set<long long> used;
    while (weights.size() < m) {
        const long long w = random.Between(asked.minWeight, asked.maxWeight);
        if (distinct && !used.insert(w).second) continue;
        weights.push_back(w);
    }
    return weights;
}

struct TPoint2 {
    int x, y;
};

// Straight lines without crossings: the graph made maximal planar (for the drawing only), then
// de Fraysseix-Pach-Pollack's grid by Chrobak and Payne, spread over the area.
std::vector<TPoint2> PlanarLayout(int n, const std::vector<TPair>& edges) {
    std::vector<TPoint2> at(Z(n));
    if (n <= 2) {
        for (int v = 0; v < n; ++v) at[Z(v)] = {Corner + v * 4 * VertexSpacing, Corner};
        return at;
    }
    TBoostPlanar graph = BoostOf(n, edges);
    using TEdge = boost::graph_traits<TBoostPlanar>::edge_descriptor;
    using TEmbeddingStorage = std::vector<std::vector<TEdge>>;
    using TEmbedding = boost::iterator_property_map<TEmbeddingStorage::iterator,
                                                    boost::property_map<TBoostPlanar, boost::vertex_index_t>::type>;
    TEmbeddingStorage storage(Z(n));
    const TEmbedding embedding(storage.begin(), boost::get(boost::vertex_index, graph));
    const auto embed = [&] {
        int k = 0;
        for (const TEdge& e : boost::make_iterator_range(boost::edges(graph)))
            boost::put(boost::edge_index, graph, e, k++);
        boost::boyer_myrvold_planarity_test(boost::boyer_myrvold_params::graph = graph,
                                            boost::boyer_myrvold_params::embedding = embedding);
    };
    boost::make_connected(graph);
    embed();
    boost::make_biconnected_planar(graph, embedding);
    embed();
    boost::make_maximal_planar(graph, embedding);
    embed();
    std::vector<boost::graph_traits<TBoostPlanar>::vertex_descriptor> ordering;
    boost::planar_canonical_ordering(graph, embedding, std::back_inserter(ordering));
    struct TCoord {
        std::size_t x, y;
    };
    std::vector<TCoord> drawing(Z(n));
    boost::chrobak_payne_straight_line_drawing(
        graph, embedding, ordering.begin(), ordering.end(),
        boost::make_iterator_property_map(drawing.begin(), boost::get(boost::vertex_index, graph)));
    // The grid is 2n - 4 wide and n - 2 high; distinct points stay at least a spacing apart.
    const int columns = std::max(1, 2 * n - 4), rows = std::max(1, n - 2);
    const int dx = std::max(VertexSpacing, (LayoutWidth - 2 * Corner) / columns);
    const int dy = std::max(VertexSpacing, (LayoutHeight - 2 * Corner) / rows);
    for (int v = 0; v < n; ++v)
        at[Z(v)] = {Corner + static_cast<int>(drawing[Z(v)].x) * dx,
                    Corner + (rows - static_cast<int>(drawing[Z(v)].y)) * dy};
    return at;
}

// Evenly on a circle, the first vertex at the top, clockwise; neighbours a spacing apart at
// least. Rounded to whole pixels.
std::vector<TPoint2> CircleLayout(int n) {
    const double pi = std::acos(-1.0);
    double radius = (LayoutHeight - 2.0 * Corner) / 2;
    if (n > 1) radius = std::max(radius, VertexSpacing / (2 * std::sin(pi / n)));
    const int r = static_cast<int>(std::ceil(radius));
    std::vector<TPoint2> at(Z(n));
    for (int v = 0; v < n; ++v) {
        const double angle = 2 * pi * v / std::max(1, n);
        at[Z(v)] = {Corner + r + static_cast<int>(std::lround(r * std::sin(angle))),
                    Corner + r - static_cast<int>(std::lround(r * std::cos(angle)))};
    }
    return at;
}

} // namespace

TEdgeBounds EdgeBounds(const TGenerateSpec& asked, int n) {
    TEdgeBounds b;
    const int all = n * (n - 1) / 2;
    b.max = asked.bipartite ? (n / 2) * ((n + 1) / 2) : all;
    if (asked.planar && n >= 3) b.max = std::min(b.max, asked.bipartite ? 2 * n - 4 : 3 * n - 6);
    if (asked.acyclic && !asked.directed) b.max = std::min(b.max, std::max(0, n - 1));
    if (asked.euler && !asked.bipartite && n % 2 == 0) b.max = std::min(b.max, all - n / 2);
    if (asked.connected) b.min = std::max(0, n - 1);
    if (asked.euler) b.min = std::max(b.min, asked.bipartite ? 4 : 3);
    if (asked.euler && asked.connected) b.min = std::max(b.min, n);
    return b;
}

TGenerateSpec ParseGenerateSpec(const std::string& text) {
    TGenerateSpec asked;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string word = text.substr(start, comma - start);
        start = comma + 1;
        const std::size_t equals = word.find('=');
        const std::string key = word.substr(0, equals),
                          value = equals == std::string::npos ? "" : word.substr(equals + 1);
        long long lo = 0, hi = 0;
        const bool range = equals != std::string::npos && ReadRange(value, lo, hi);
        if (key == "vertices" || key == "edges" || key == "weights") {
            if (!range) Refuse("\"" + word + "\" is not " + key + "=N or " + key + "=A..B with whole numbers");
            if (lo > hi) Refuse("in \"" + word + "\" the range runs backwards");
        }
        if (key == "vertices") {
            if (lo < 1 || hi > MaxVertices) Refuse("a graph has 1 to " + std::to_string(MaxVertices) + " vertices");
            asked.minVertices = static_cast<int>(lo);
            asked.maxVertices = static_cast<int>(hi);
        } else if (key == "edges") {
            if (lo < 0 || hi > MaxEdges) Refuse("a graph has 0 to " + std::to_string(MaxEdges) + " edges");
            asked.edgesGiven = true;
            asked.minEdges = static_cast<int>(lo);
            asked.maxEdges = static_cast<int>(hi);
        } else if (key == "weights") {
            if (lo < -WeightLimit || hi > WeightLimit)
                Refuse("weights lie between -" + std::to_string(WeightLimit) + " and " + std::to_string(WeightLimit));
            asked.weighted = true;
            asked.minWeight = lo;
            asked.maxWeight = hi;
        } else if (equals != std::string::npos) {
            Refuse("unknown word \"" + key + "\"; vertices=, edges= and weights= take a value");
        } else {
            bool* flag = key == "directed"       ? &asked.directed
                         : key == "connected"    ? &asked.connected
                         : key == "planar"       ? &asked.planar
                         : key == "acyclic"      ? &asked.acyclic
                         : key == "bipartite"    ? &asked.bipartite
                         : key == "euler"        ? &asked.euler
                         : key == "unique-mst"   ? &asked.uniqueMst
                         : key == "unique-paths" ? &asked.uniquePaths
                                                 : nullptr;
            if (!flag)
                Refuse("unknown word \"" + word +
                       "\"; the words are vertices=, edges=, weights=, directed, connected, planar, acyclic, "
                       "bipartite, euler, unique-mst and unique-paths");
            *flag = true;
        }
    }

    if (asked.euler && asked.acyclic) Refuse("an Euler circuit is a cycle, and acyclic forbids every cycle");
    if (asked.uniqueMst && asked.directed) Refuse("a minimum spanning tree is for an undirected graph (unique-mst)");
    if (asked.uniqueMst && !asked.weighted)
        Refuse("unique-mst needs weights=A..B: with all edges alike every spanning tree is a minimum one");
    if (asked.uniquePaths && asked.weighted && asked.minWeight < 1) Refuse("unique-paths needs weights of at least 1");

    // Some number of vertices must allow some number of edges.
    std::string reason;
    for (int n = asked.minVertices; n <= asked.maxVertices; ++n) {
        TEdgeBounds b = EdgeBounds(asked, n);
        if (asked.edgesGiven) b = {std::max(b.min, asked.minEdges), std::min(b.max, asked.maxEdges)};
        if (asked.euler && asked.bipartite && b.min == b.max && b.min % 2 != 0) ++b.min;
        if (b.min <= b.max) return asked;
        const TEdgeBounds own = EdgeBounds(asked, n);
        const std::string kind = std::string(asked.planar ? " planar" : "") + (asked.bipartite ? " bipartite" : "") +
                                 (asked.acyclic && !asked.directed ? " acyclic" : "") + (asked.euler ? " Euler" : "");
        if (asked.edgesGiven && asked.minEdges > own.max)
            reason = "a" + kind + " graph of " + Count(n, "vertex", "vertices") + " has at most " +
                     Count(own.max, "edge", "edges") + ", not " + std::to_string(asked.minEdges);
        else if (asked.edgesGiven && asked.maxEdges < own.min)
            reason = "a" + std::string(asked.connected ? " connected" : "") + kind + " graph of " +
                     Count(n, "vertex", "vertices") + " has at least " + Count(own.min, "edge", "edges") + ", not " +
                     std::to_string(asked.maxEdges);
        else if (asked.euler && asked.bipartite)
            reason = "a bipartite Euler graph has an even number of edges";
        else
            reason = "no" + kind + " graph of " + Count(n, "vertex", "vertices") + " meets the description";
    }
    Refuse(reason);
}

void Generate(const TGenerateSpec& asked, std::uint64_t seed, Tgraph& g) {
    TRandom random(seed);
    // The counts of vertices that allow a number of edges, and each one's edges.
    std::vector<std::pair<int, TEdgeBounds>> sizes;
    for (int n = asked.minVertices; n <= asked.maxVertices; ++n) {
        TEdgeBounds b = EdgeBounds(asked, n);
        if (asked.edgesGiven) {
            b = {std::max(b.min, asked.minEdges), std::min(b.max, asked.maxEdges)};
        } else {
            const TEdgeBounds wish{n, 2 * n};
            if (std::max(b.min, wish.min) <= std::min(b.max, wish.max))
                b = {std::max(b.min, wish.min), std::min(b.max, wish.max)};
        }
        if (b.min <= b.max) sizes.push_back({n, b});
    }
    if (sizes.empty()) Refuse("no number of vertices allows the edges asked for");

    TBuilder builder(asked, random);
    for (int attempt = 0; attempt < GraphTries; ++attempt) {
        const auto& [n, bounds] =
            sizes[Z(static_cast<int>(random.Between(0, static_cast<long long>(sizes.size()) - 1)))];
        int m = static_cast<int>(random.Between(bounds.min, bounds.max));
        if (asked.euler && asked.bipartite && m % 2 != 0) continue;
        TDraft d(n);
        if (!builder.Draft(n, m, d)) continue;
        std::sort(d.edges.begin(), d.edges.end());
        std::vector<TPair> arcs = asked.directed ? Orient(asked, d, random) : d.edges;
        std::sort(arcs.begin(), arcs.end());

        std::vector<TWeighted> weighted;
        for (const auto& [s, t] : arcs) weighted.push_back({s, t, 1});
        bool found = !asked.uniqueMst && !asked.uniquePaths;
        for (int draw = 0; draw < WeightTries && !found; ++draw) {
            if (asked.weighted) {
                const std::vector<long long> weights = DrawWeights(asked, arcs.size(), random);
                for (std::size_t i = 0; i < arcs.size(); ++i) weighted[i].w = weights[i];
            }
            found = (!asked.uniqueMst || UniqueMst(n, weighted)) &&
                    (!asked.uniquePaths || UniquePaths(n, asked.directed, weighted));
            if (!asked.weighted) break; // nothing to draw again
        }
        if (!found) continue;
        if (asked.weighted && !asked.uniqueMst && !asked.uniquePaths) {
            const std::vector<long long> weights = DrawWeights(asked, arcs.size(), random);
            for (std::size_t i = 0; i < arcs.size(); ++i) weighted[i].w = weights[i];
        }

        const std::vector<TPoint2> at = asked.planar ? PlanarLayout(n, d.edges) : CircleLayout(n);
        InitGraph(g);
        g.directed = asked.directed;
        g.weighted = asked.weighted;
        g.baseColor = colors::Black;
        g.vertexCount = n;
        for (int v = 0; v < n; ++v) {
            Tvertex& vertex = g.vertices[v + 1];
            vertex.name = GeneratedName(v);
            vertex.radius = geometry::VertexRadius;
            vertex.x = at[Z(v)].x;
            vertex.y = at[Z(v)].y;
        }
        // Each list is built head first, so its file lists the edges backwards, as the record
        // that reads that file writes them: every file of the graph, written and read, lists
        // the edges in order.
        for (auto e = weighted.begin(); e != weighted.end(); ++e) {
            for (int half = 0; half < (asked.directed ? 1 : 2); ++half) {
                const int from = (half == 0 ? e->s : e->t) + 1, to = (half == 0 ? e->t : e->s) + 1;
                ::AddEdge(g, from, to, std::string());
                Tedge& node = *g.edgeLists[from];
                node.color = g.baseColor;
                if (asked.weighted) {
                    char digits[24];
                    const auto end = std::to_chars(digits, digits + sizeof digits, e->w).ptr;
                    node.weight.assign(digits, end);
                }
            }
        }
        g.edgeCount = static_cast<std::int32_t>(weighted.size());
        g.fileName.clear();
        g.created = true;
        return;
    }
    Refuse("no graph that meets the description turned up in " + std::to_string(GraphTries) +
           " tries; loosen it (more edges, a wider weight range) or try another seed");
}

} // namespace analysis
