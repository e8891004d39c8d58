// The analysis report: every item that applies to the graph's kind, computed by Boost.Graph
// (components, strong components, bipartiteness and its odd cycle, topological order, the cycle
// of a depth-first search, Boyer-Myrvold planarity and its Kuratowski subgraph, Floyd-Warshall
// distances, Kruskal's spanning tree, Edmonds' matching) and by the few algorithms of
// Euler.cpp, Colouring.cpp and Girth.cpp that Boost.Graph lacks.

#include "Plain.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/bipartite.hpp>
#include <boost/graph/boyer_myrvold_planar_test.hpp>
#include <boost/graph/connected_components.hpp>
#include <boost/graph/depth_first_search.hpp>
#include <boost/graph/floyd_warshall_shortest.hpp>
#include <boost/graph/kruskal_min_spanning_tree.hpp>
#include <boost/graph/max_cardinality_matching.hpp>
#include <boost/graph/strong_components.hpp>
#include <boost/graph/topological_sort.hpp>

#include <algorithm>
#include <limits>

namespace analysis {

namespace {

using TUndirected = boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS, boost::no_property,
                                          boost::property<boost::edge_weight_t, double>>;
using TDirected = boost::adjacency_list<boost::vecS, boost::vecS, boost::bidirectionalS, boost::no_property,
                                        boost::property<boost::edge_weight_t, double>>;

std::size_t Z(int v) { return static_cast<std::size_t>(v); }

// The simple undirected graph underneath, or every edge with its length, directions dropped.
TUndirected Undirected(const TPlain& p, bool simple) {
    TUndirected u(Z(p.n));
    if (simple)
        for (const auto& [a, b] : p.simple) boost::add_edge(Z(a), Z(b), 1.0, u);
    else
        for (const TPlainEdge& e : p.edges) boost::add_edge(Z(e.s), Z(e.t), e.length, u);
    return u;
}

TDirected Directed(const TPlain& p) {
    TDirected d(Z(p.n));
    for (const TPlainEdge& e : p.edges) boost::add_edge(Z(e.s), Z(e.t), e.length, d);
    return d;
}

// 0-based vertices as numbers 1..n.
TJson Numbers(const std::vector<int>& vertices) {
    TJson list = TJson::array();
    for (int v : vertices) list.push_back(v + 1);
    return list;
}

TJson Pairs(std::vector<std::pair<int, int>> pairs) {
    std::sort(pairs.begin(), pairs.end());
    TJson list = TJson::array();
    for (const auto& [a, b] : pairs) list.push_back({a + 1, b + 1});
    return list;
}

// Groups by a component number per vertex: each sorted, the groups by their lowest vertex.
TJson Groups(const std::vector<int>& component, int count) {
    std::vector<std::vector<int>> groups(Z(count));
    for (std::size_t v = 0; v < component.size(); ++v) groups[Z(component[v])].push_back(static_cast<int>(v));
    std::sort(groups.begin(), groups.end());
    TJson list = TJson::array();
    for (const auto& group : groups) list.push_back(Numbers(group));
    return list;
}

TJson Components(const TPlain& p) {
    const TUndirected u = Undirected(p, true);
    std::vector<int> component(Z(p.n));
    const int count = p.n == 0 ? 0 : static_cast<int>(boost::connected_components(u, component.data()));
    return Groups(component, count);
}

TJson StrongComponents(const TPlain& p) {
    const TDirected d = Directed(p);
    std::vector<int> component(Z(p.n));
    const int count =
        p.n == 0 ? 0
                 : static_cast<int>(boost::strong_components(
                       d, boost::make_iterator_property_map(component.begin(), boost::get(boost::vertex_index, d))));
    return Groups(component, count);
}

TJson Bipartite(const TPlain& p) {
    for (const TPlainEdge& e : p.edges)
        if (e.s == e.t) return {{"value", false}, {"odd_cycle", {e.s + 1}}}; // a loop: a cycle of length 1
    const TUndirected u = Undirected(p, true);
    const auto index = boost::get(boost::vertex_index, u);
    std::vector<boost::default_color_type> side(Z(p.n));
    const auto sides = boost::make_iterator_property_map(side.begin(), index);
    std::vector<std::size_t> cycle;
    boost::find_odd_cycle(u, index, sides, std::back_inserter(cycle));
    if (!cycle.empty()) return {{"value", false}, {"odd_cycle", Numbers(std::vector<int>(cycle.begin(), cycle.end()))}};
    std::vector<int> white, black;
    for (int v = 0; v < p.n; ++v)
        (side[Z(v)] == boost::color_traits<boost::default_color_type>::white() ? white : black).push_back(v);
    return {{"value", true}, {"sides", {Numbers(white), Numbers(black)}}};
}

// Records the first back edge of a depth-first search and the tree above it: a cycle.
struct TCycleFinder : boost::default_dfs_visitor {
    std::vector<int>* parent;
    std::vector<int>* cycle;
    template <class E, class G>
    void tree_edge(E e, const G& g) {
        (*parent)[boost::target(e, g)] = static_cast<int>(boost::source(e, g));
    }
    template <class E, class G>
    void back_edge(E e, const G& g) {
        if (!cycle->empty()) return;
        const int from = static_cast<int>(boost::source(e, g)), to = static_cast<int>(boost::target(e, g));
        for (int v = from; v != to; v = (*parent)[Z(v)]) cycle->push_back(v);
        cycle->push_back(to);
        std::reverse(cycle->begin(), cycle->end());
    }
};

// The cycle closed by the first edge whose ends a spanning forest already joins.
std::vector<int> UndirectedCycle(const TPlain& p) {
    std::vector<std::vector<int>> forest(Z(p.n));
    std::vector<int> component(Z(p.n));
    for (int v = 0; v < p.n; ++v) component[Z(v)] = v;
    for (const TPlainEdge& e : p.edges) {
        if (e.s == e.t) return {e.s};
        const int a = component[Z(e.s)], b = component[Z(e.t)];
        if (a != b) {
            for (int& c : component)
                if (c == b) c = a;
            forest[Z(e.s)].push_back(e.t);
            forest[Z(e.t)].push_back(e.s);
            continue;
        }
        // The forest's path from e.s to e.t, by a depth-first search over the forest.
        std::vector<int> parent(Z(p.n), -1), stack{e.s};
        parent[Z(e.s)] = e.s;
        while (!stack.empty()) {
            const int v = stack.back();
            stack.pop_back();
            for (int w : forest[Z(v)])
                if (parent[Z(w)] < 0) parent[Z(w)] = v, stack.push_back(w);
        }
        std::vector<int> cycle;
        for (int v = e.t; v != e.s; v = parent[Z(v)]) cycle.push_back(v);
        cycle.push_back(e.s);
        std::reverse(cycle.begin(), cycle.end());
        return cycle;
    }
    return {};
}

TJson Acyclic(const TPlain& p, const TJson& components) {
    if (!p.directed) {
        const std::vector<int> cycle = UndirectedCycle(p);
        if (!cycle.empty()) return {{"value", false}, {"cycle", Numbers(cycle)}, {"tree", false}};
        return {{"value", true}, {"tree", components.size() == 1}};
    }
    const TDirected d = Directed(p);
    std::vector<int> parent(Z(p.n), -1), cycle;
    TCycleFinder finder;
    finder.parent = &parent;
    finder.cycle = &cycle;
    if (p.n > 0) boost::depth_first_search(d, boost::visitor(finder));
    if (!cycle.empty()) return {{"value", false}, {"cycle", Numbers(cycle)}};
    std::vector<std::size_t> order;
    boost::topological_sort(d, std::back_inserter(order));
    std::reverse(order.begin(), order.end());
    return {{"value", true}, {"order", Numbers(std::vector<int>(order.begin(), order.end()))}};
}

TJson Euler(const TPlain& p) {
    const TEuler euler = EulerOf(p);
    TJson result = {{"kind", euler.kind}};
    if (euler.kind != "none") result["trail"] = Numbers(euler.trail);
    return result;
}

TJson Planar(const TPlain& p) {
    using TPlanarGraph =
        boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS, boost::property<boost::vertex_index_t, int>,
                              boost::property<boost::edge_index_t, int>>;
    TPlanarGraph graph(Z(p.n));
    int index = 0;
    for (const auto& [a, b] : p.simple) boost::add_edge(Z(a), Z(b), index++, graph);
    std::vector<boost::graph_traits<TPlanarGraph>::edge_descriptor> kuratowski;
    const bool planar = boost::boyer_myrvold_planarity_test(boost::boyer_myrvold_params::graph = graph,
                                                            boost::boyer_myrvold_params::kuratowski_subgraph =
                                                                std::back_inserter(kuratowski));
    if (planar) return {{"value", true}};
    std::vector<std::pair<int, int>> edges;
    for (const auto& e : kuratowski)
        edges.push_back(
            std::minmax(static_cast<int>(boost::source(e, graph)), static_cast<int>(boost::target(e, graph))));
    return {{"value", false}, {"kuratowski", Pairs(edges)}};
}

TJson Distances(const TPlain& p) {
    TJson result = {{"by", p.byWeights ? "weights" : "hops"}};
    constexpr double Inf = std::numeric_limits<double>::infinity();
    std::vector<std::vector<double>> d(Z(p.n), std::vector<double>(Z(p.n)));
    bool negativeCycle = false;
    if (!p.directed) {
        // Walking an undirected edge of negative length there and back is a negative cycle.
        for (const TPlainEdge& e : p.edges) negativeCycle = negativeCycle || e.length < 0;
        if (!negativeCycle) {
            const TUndirected u = Undirected(p, false);
            boost::floyd_warshall_all_pairs_shortest_paths(u, d, boost::distance_inf(Inf));
        }
    } else {
        const TDirected g = Directed(p);
        negativeCycle = !boost::floyd_warshall_all_pairs_shortest_paths(g, d, boost::distance_inf(Inf));
    }
    result["negative_cycle"] = negativeCycle;
    if (negativeCycle) {
        for (const char* key : {"matrix", "eccentricity", "diameter", "radius"}) result[key] = nullptr;
        result["centre"] = TJson::array();
    } else {
        TJson matrix = TJson::array(), eccentricity = TJson::array();
        double diameter = -Inf, radius = Inf;
        for (int v = 0; v < p.n; ++v) {
            TJson row = TJson::array();
            double farthest = 0;
            for (int w = 0; w < p.n; ++w) {
                const double x = d[Z(v)][Z(w)];
                row.push_back(x == Inf ? TJson(nullptr) : Num(x));
                farthest = std::max(farthest, x);
            }
            matrix.push_back(std::move(row));
            eccentricity.push_back(farthest == Inf ? TJson(nullptr) : Num(farthest));
            diameter = std::max(diameter, farthest);
            radius = std::min(radius, farthest);
        }
        TJson centre = TJson::array();
        for (int v = 0; v < p.n; ++v)
            if (radius != Inf && eccentricity[Z(v)] == Num(radius)) centre.push_back(v + 1);
        result["matrix"] = std::move(matrix);
        result["eccentricity"] = std::move(eccentricity);
        result["diameter"] = diameter == Inf || p.n == 0 ? TJson(nullptr) : Num(diameter);
        result["radius"] = radius == Inf ? TJson(nullptr) : Num(radius);
        result["centre"] = std::move(centre);
    }
    const int girth = GirthOf(p);
    result["girth"] = girth == 0 ? TJson(nullptr) : TJson(girth);
    return result;
}

} // namespace

TJson SpanningTree(const TPlain& p) {
    const TUndirected u = Undirected(p, false);
    std::vector<boost::graph_traits<TUndirected>::edge_descriptor> tree;
    boost::kruskal_minimum_spanning_tree(u, std::back_inserter(tree));
    double total = 0;
    std::vector<std::pair<int, int>> edges;
    for (const auto& e : tree) {
        total += boost::get(boost::edge_weight, u, e);
        edges.push_back(std::minmax(static_cast<int>(boost::source(e, u)), static_cast<int>(boost::target(e, u))));
    }
    return {{"total", Num(total)}, {"edges", Pairs(edges)}};
}

TJson Colouring(const TPlain& p) {
    const TColouring c = ColouringOf(p);
    TJson colourOf = TJson::array();
    for (int k : c.colourOf) colourOf.push_back(k + 1);
    return {{"colours", c.colours}, {"exact", c.exact}, {"colour_of", std::move(colourOf)}};
}

TJson Matching(const TPlain& p) {
    const TUndirected u = Undirected(p, true);
    std::vector<boost::graph_traits<TUndirected>::vertex_descriptor> mate(Z(p.n));
    if (p.n > 0) boost::edmonds_maximum_cardinality_matching(u, mate.data());
    std::vector<std::pair<int, int>> edges;
    for (int v = 0; v < p.n; ++v) {
        const auto m = mate[Z(v)];
        if (m != boost::graph_traits<TUndirected>::null_vertex() && static_cast<int>(m) > v)
            edges.push_back({v, static_cast<int>(m)});
    }
    return {{"size", edges.size()}, {"edges", Pairs(edges)}};
}

TJson ComponentsOf(const TPlain& p) { return Components(p); }
TJson StrongComponentsOf(const TPlain& p) { return StrongComponents(p); }
TJson EulerItem(const TPlain& p) { return Euler(p); }

TJson Report(const Tgraph& g) {
    const TPlain p = PlainOf(g);
    TJson r;
    r["format"] = "nodeloom-report/1";
    r["directed"] = g.directed;
    r["weighted"] = g.weighted;
    r["vertex_count"] = p.n;
    r["edge_count"] = p.edges.size();
    int loops = 0;
    std::vector<int> in(Z(p.n)), out(Z(p.n));
    for (const TPlainEdge& e : p.edges) {
        loops += e.s == e.t;
        ++out[Z(e.s)];
        ++in[Z(e.t)];
    }
    r["loop_count"] = loops;

    TJson vertices = TJson::array();
    std::vector<int> sequence;
    TJson isolated = TJson::array();
    for (int v = 0; v < p.n; ++v) {
        // A loop adds 2: once leaving and once entering.
        const int degree = in[Z(v)] + out[Z(v)];
        TJson item = {{"number", v + 1}, {"name", NameOf(g, v + 1)}, {"degree", degree}};
        if (p.directed) {
            item["in_degree"] = in[Z(v)];
            item["out_degree"] = out[Z(v)];
        }
        vertices.push_back(std::move(item));
        sequence.push_back(degree);
        if (degree == 0) isolated.push_back(v + 1);
    }
    std::sort(sequence.rbegin(), sequence.rend());
    r["vertices"] = std::move(vertices);
    r["degree_sequence"] = sequence;
    r["isolated"] = std::move(isolated);

    r["components"] = Components(p);
    if (p.directed) r["strong_components"] = StrongComponents(p);
    r["bipartite"] = Bipartite(p);
    r["acyclic"] = Acyclic(p, r["components"]);
    r["euler"] = Euler(p);
    r["planar"] = Planar(p);
    r["distances"] = Distances(p);
    if (!p.directed) r["mst"] = SpanningTree(p);
    r["colouring"] = Colouring(p);
    r["matching"] = Matching(p);

    TJson adjacency = TJson::array();
    std::vector<std::vector<int>> a(Z(p.n), std::vector<int>(Z(p.n)));
    for (const TPlainEdge& e : p.edges) {
        ++a[Z(e.s)][Z(e.t)];
        if (!p.directed && e.s != e.t) ++a[Z(e.t)][Z(e.s)];
    }
    for (const auto& row : a) adjacency.push_back(row);
    r["adjacency"] = std::move(adjacency);
    return r;
}

namespace {

// nlohmann's layout, except that a list of numbers or names stays on one line: a matrix reads
// row by row.
void WriteJson(const TJson& j, int indent, std::string& out) {
    if (!j.is_structured()) {
        out += j.dump();
        return;
    }
    // A list or record of plain values on one line; a longer one an item a line.
    const bool flat = std::none_of(j.begin(), j.end(), [](const TJson& x) { return x.is_structured(); });
    const std::string pad(static_cast<std::size_t>(indent) + 2, ' ');
    const char* open = j.is_object() ? "{" : "[";
    const char* close = j.is_object() ? "}" : "]";
    out += open;
    if (!flat) out += "\n";
    std::size_t k = 0;
    for (const auto& item : j.items()) {
        if (!flat) out += pad;
        if (j.is_object()) out += TJson(item.key()).dump() + ": ";
        WriteJson(item.value(), indent + 2, out);
        if (++k < j.size()) out += flat ? ", " : ",\n";
    }
    if (!flat) out += "\n" + std::string(static_cast<std::size_t>(indent), ' ');
    out += close;
}

} // namespace

std::string ReportJsonText(const TJson& report) {
    std::string out;
    WriteJson(report, 0, out);
    return out + "\n";
}

} // namespace analysis
