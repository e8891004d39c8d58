// The named results a command line asks for, and the marks that draw them into a picture.
// Boost.Graph computes them: Dijkstra and Bellman-Ford for paths, breadth- and depth-first
// search, push-relabel maximum flow; the rest are the report's own items.

#include "Plain.h"

#include <boost/graph/adjacency_list.hpp>
#include <boost/graph/bellman_ford_shortest_paths.hpp>
#include <boost/graph/breadth_first_search.hpp>
#include <boost/graph/depth_first_search.hpp>
#include <boost/graph/dijkstra_shortest_paths.hpp>
#include <boost/graph/push_relabel_max_flow.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace analysis {

namespace {

std::size_t Z(int v) { return static_cast<std::size_t>(v); }

using TUndirected = boost::adjacency_list<boost::vecS, boost::vecS, boost::undirectedS, boost::no_property,
                                          boost::property<boost::edge_weight_t, double>>;
using TDirected = boost::adjacency_list<boost::vecS, boost::vecS, boost::directedS, boost::no_property,
                                        boost::property<boost::edge_weight_t, double>>;

// The graph with its edges in order of their ends, so that searches visit neighbours by number.
template <class G>
G Build(const TPlain& p) {
    std::vector<TPlainEdge> edges = p.edges;
    std::sort(edges.begin(), edges.end(), [](const TPlainEdge& a, const TPlainEdge& b) {
        return std::make_pair(a.s, a.t) < std::make_pair(b.s, b.t);
    });
    G graph(Z(p.n));
    for (const TPlainEdge& e : edges) boost::add_edge(Z(e.s), Z(e.t), e.length, graph);
    return graph;
}

TJson Pair(int a, int b) { return TJson::array({a + 1, b + 1}); }

template <class G>
TJson ShortestPath(const TPlain& p, int from, int to) {
    const G graph = Build<G>(p);
    constexpr double Inf = std::numeric_limits<double>::max();
    std::vector<double> distance(Z(p.n), Inf);
    std::vector<std::size_t> parent(Z(p.n));
    for (std::size_t v = 0; v < parent.size(); ++v) parent[v] = v;
    distance[Z(from)] = 0;
    bool negative = false, negativeCycle = false;
    for (const TPlainEdge& e : p.edges) negative = negative || e.length < 0;
    if (negative && !p.directed) {
        negativeCycle = true; // an undirected edge of negative length, walked there and back
    } else if (negative) {
        negativeCycle = !boost::bellman_ford_shortest_paths(
            graph, static_cast<int>(p.n), boost::distance_map(distance.data()).predecessor_map(parent.data()));
    } else {
        boost::dijkstra_shortest_paths(graph, Z(from),
                                       boost::distance_map(distance.data()).predecessor_map(parent.data()));
    }
    TJson result = {{"from", from + 1},
                    {"to", to + 1},
                    {"by", p.byWeights ? "weights" : "hops"},
                    {"negative_cycle", negativeCycle}};
    if (negativeCycle || distance[Z(to)] == Inf) {
        result["length"] = nullptr;
        result["vertices"] = TJson::array();
        result["edges"] = TJson::array();
        return result;
    }
    std::vector<int> vertices{to};
    for (int v = to; v != from; v = static_cast<int>(parent[Z(v)])) vertices.push_back(static_cast<int>(parent[Z(v)]));
    std::reverse(vertices.begin(), vertices.end());
    result["length"] = Num(distance[Z(to)]);
    result["vertices"] = TJson::array();
    result["edges"] = TJson::array();
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        result["vertices"].push_back(vertices[i] + 1);
        if (i > 0) result["edges"].push_back(Pair(vertices[i - 1], vertices[i]));
    }
    return result;
}

// The order in which a search discovers the vertices, and the edges it reaches them by; TBase is
// Boost's breadth-first or depth-first visitor.
template <class TBase>
struct TSearchVisitor : TBase {
    std::vector<int>* order;
    TJson* tree;
    template <class V, class G>
    void discover_vertex(V v, const G&) {
        order->push_back(static_cast<int>(v));
    }
    template <class E, class G>
    void tree_edge(E e, const G& g) {
        tree->push_back(Pair(static_cast<int>(boost::source(e, g)), static_cast<int>(boost::target(e, g))));
    }
};

template <class G>
TJson Search(const TPlain& p, int start, bool breadth) {
    const G graph = Build<G>(p);
    std::vector<int> order;
    TJson tree = TJson::array();
    if (breadth) {
        TSearchVisitor<boost::default_bfs_visitor> visitor;
        visitor.order = &order;
        visitor.tree = &tree;
        boost::breadth_first_search(graph, Z(start), boost::visitor(visitor));
    } else {
        TSearchVisitor<boost::default_dfs_visitor> visitor;
        visitor.order = &order;
        visitor.tree = &tree;
        std::vector<boost::default_color_type> colour(Z(p.n), boost::white_color);
        boost::depth_first_visit(
            graph, Z(start), visitor,
            boost::make_iterator_property_map(colour.begin(), boost::get(boost::vertex_index, graph)));
    }
    TJson numbers = TJson::array();
    for (int v : order) numbers.push_back(v + 1);
    return {{"start", start + 1}, {"order", std::move(numbers)}, {"tree", std::move(tree)}};
}

TJson MaximumFlow(const TPlain& p, int source, int sink, const std::string& text) {
    for (const TPlainEdge& e : p.edges)
        if (!p.byWeights || !(e.value >= 0))
            throw TAnalysisError("Cannot compute " + text + ": the edges' weights are not all non-negative numbers.");
    if (source == sink) throw TAnalysisError("Cannot compute " + text + ": the source is the sink.");

    using TTraits = boost::adjacency_list_traits<boost::vecS, boost::vecS, boost::directedS>;
    using TNet = boost::adjacency_list<
        boost::vecS, boost::vecS, boost::directedS, boost::no_property,
        boost::property<boost::edge_capacity_t, double,
                        boost::property<boost::edge_residual_capacity_t, double,
                                        boost::property<boost::edge_reverse_t, TTraits::edge_descriptor>>>>;
    TNet net(Z(p.n));
    auto capacity = boost::get(boost::edge_capacity, net);
    auto residual = boost::get(boost::edge_residual_capacity, net);
    auto reverse = boost::get(boost::edge_reverse, net);
    // Each arc with a reverse of capacity 0, as push-relabel wants them; an undirected edge is
    // two arcs, one each way.
    std::vector<TTraits::edge_descriptor> forward, backward;
    const auto arc = [&](int from, int to, double c) {
        const auto there = boost::add_edge(Z(from), Z(to), net).first;
        const auto back = boost::add_edge(Z(to), Z(from), net).first;
        capacity[there] = c;
        capacity[back] = 0;
        reverse[there] = back;
        reverse[back] = there;
        return there;
    };
    for (const TPlainEdge& e : p.edges) {
        forward.push_back(arc(e.s, e.t, e.s == e.t ? 0 : e.value));
        if (!p.directed) backward.push_back(arc(e.t, e.s, e.s == e.t ? 0 : e.value));
    }
    const double value = boost::push_relabel_max_flow(net, Z(source), Z(sink));

    // The source's side of a minimum cut: what the residual network reaches from the source.
    double largest = 0;
    for (const TPlainEdge& e : p.edges) largest = std::max(largest, e.value);
    const double eps = 1e-9 * std::max(1.0, largest);
    std::vector<bool> side(Z(p.n));
    std::vector<int> stack{source};
    side[Z(source)] = true;
    while (!stack.empty()) {
        const int v = stack.back();
        stack.pop_back();
        for (const auto& e : boost::make_iterator_range(boost::out_edges(Z(v), net))) {
            const int w = static_cast<int>(boost::target(e, net));
            if (residual[e] > eps && !side[Z(w)]) side[Z(w)] = true, stack.push_back(w);
        }
    }
    std::vector<std::tuple<int, int, double>> flows;
    std::vector<std::pair<int, int>> cut;
    for (std::size_t i = 0; i < p.edges.size(); ++i) {
        const TPlainEdge& e = p.edges[i];
        if (e.s == e.t) continue;
        double f = capacity[forward[i]] - residual[forward[i]];
        if (!p.directed) f -= capacity[backward[i]] - residual[backward[i]];
        if (f > eps) flows.emplace_back(e.s, e.t, f);
        if (f < -eps) flows.emplace_back(e.t, e.s, -f);
        if (side[Z(e.s)] && !side[Z(e.t)]) cut.push_back({e.s, e.t});
        if (!p.directed && side[Z(e.t)] && !side[Z(e.s)]) cut.push_back({e.t, e.s});
    }
    std::sort(flows.begin(), flows.end());
    std::sort(cut.begin(), cut.end());
    TJson edges = TJson::array(), cutEdges = TJson::array();
    for (const auto& [a, b, f] : flows) edges.push_back({a + 1, b + 1, Num(f)});
    for (const auto& [a, b] : cut) cutEdges.push_back(Pair(a, b));
    return {{"source", source + 1},
            {"sink", sink + 1},
            {"value", Num(value)},
            {"edges", std::move(edges)},
            {"cut", std::move(cutEdges)}};
}

// Words that take no vertex, one, and two.
bool IsWord(const std::string& word, int& vertices) {
    static const std::pair<const char*, int> words[] = {{"path", 2},      {"bfs", 1},        {"dfs", 1},
                                                        {"mst", 0},       {"euler", 0},      {"matching", 0},
                                                        {"colouring", 0}, {"components", 0}, {"flow", 2}};
    for (const auto& [w, k] : words)
        if (word == w) return vertices = k, true;
    return false;
}

} // namespace

const char* const ResultWords = "path:A,B bfs:A dfs:A mst euler matching colouring components flow:S,T";

std::vector<std::string> RequestVertices(const std::string& text) {
    std::vector<std::string> names;
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) return names;
    const std::string rest = text.substr(colon + 1);
    std::size_t start = 0;
    for (std::size_t comma; (comma = rest.find(',', start)) != std::string::npos; start = comma + 1)
        names.push_back(rest.substr(start, comma - start));
    names.push_back(rest.substr(start));
    return names;
}

int FindVertex(const Tgraph& g, const std::string& reference) {
    const int n = std::clamp(g.vertexCount, 0, MaxVertices);
    std::vector<int> found;
    for (int v = 1; v <= n; ++v)
        if (g.vertices[v].name == reference) found.push_back(v);
    const bool numbered = reference.size() > 1 && reference[0] == '#' && reference.size() <= 4 &&
                          reference.find_first_not_of("0123456789", 1) == std::string::npos;
    const int number = numbered ? std::stoi(reference.substr(1)) : 0;
    // "#N" that is one vertex's name and another's number could mean either.
    if (found.size() == 1 && number >= 1 && number <= n && number != found[0])
        throw TAnalysisError("\"" + reference + "\" is the name of vertex #" + std::to_string(found[0]) +
                             " and the number of vertex #" + std::to_string(number) + "; write #" +
                             std::to_string(found[0]) + " for the first, or the second's name.");
    if (found.size() == 1) return found[0];
    if (found.size() > 1) {
        std::string numbers;
        for (int v : found) numbers += (numbers.empty() ? "#" : ", #") + std::to_string(v);
        throw TAnalysisError("The name \"" + reference + "\" is shared by vertices " + numbers +
                             "; name one of them by its number.");
    }
    if (number >= 1 && number <= n) return number;
    throw TAnalysisError("No vertex is named \"" + reference + "\"; a vertex is also named by its number, #1 to #" +
                         std::to_string(n) + ".");
}

TResultRequest ParseResult(const Tgraph& g, const std::string& text) {
    const std::size_t colon = text.find(':');
    TResultRequest request;
    request.word = text.substr(0, colon);
    int wanted = 0;
    if (!IsWord(request.word, wanted))
        throw TAnalysisError("Unknown result \"" + text + "\"; the results are " + ResultWords + ".");
    const std::vector<std::string> names = RequestVertices(text);
    if (static_cast<int>(names.size()) != wanted) {
        static const char* const forms[] = {"", ":A", ":A,B"};
        throw TAnalysisError("The result \"" + text + "\" is written " + request.word + forms[wanted] +
                             (wanted > 0 && names.size() > static_cast<std::size_t>(wanted)
                                  ? "; a vertex whose name holds a comma is named by its number, #N."
                                  : "."));
    }
    if (wanted > 0) request.a = FindVertex(g, names[0]);
    if (wanted > 1) request.b = FindVertex(g, names[1]);
    return request;
}

TJson Result(const Tgraph& g, const TResultRequest& r) {
    const TPlain p = PlainOf(g);
    const int a = r.a - 1, b = r.b - 1;
    if (r.word == "path") return p.directed ? ShortestPath<TDirected>(p, a, b) : ShortestPath<TUndirected>(p, a, b);
    if (r.word == "bfs" || r.word == "dfs")
        return p.directed ? Search<TDirected>(p, a, r.word == "bfs") : Search<TUndirected>(p, a, r.word == "bfs");
    if (r.word == "mst") {
        if (p.directed) throw TAnalysisError("Cannot compute mst: a spanning tree is for an undirected graph.");
        return SpanningTree(p);
    }
    if (r.word == "euler") return EulerItem(p);
    if (r.word == "matching") return Matching(p);
    if (r.word == "colouring") return Colouring(p);
    if (r.word == "components") {
        TJson result = {{"components", ComponentsOf(p)}};
        if (p.directed) result["strong_components"] = StrongComponentsOf(p);
        return result;
    }
    const std::string text = "flow:" + g.vertices[r.a].name + "," + g.vertices[r.b].name;
    return MaximumFlow(p, a, b, text);
}

namespace {

// Fills that keep a black name readable, in the order the colours are given out.
constexpr TColor Fills[] = {colors::Yellow, colors::Aqua, colors::Lime,  colors::Fuchsia, colors::Silver,
                            colors::Red,    colors::Gray, colors::Olive, colors::Teal,    colors::Green};

void MarkEdges(const Tgraph& g, const TJson& pairs, TMarks& marks) {
    for (const TJson& e : pairs) marks.edges.insert(MarkKey(g.directed, e[0].get<int>(), e[1].get<int>()));
}

void FillGroups(const TJson& groups, TMarks& marks) {
    int k = 0;
    for (const TJson& group : groups) {
        for (const TJson& v : group) {
            marks.vertexFills[v.get<int>()] = Fills[k % std::size(Fills)];
            marks.vertexLabels[v.get<int>()] = std::to_string(k + 1);
        }
        ++k;
    }
}

std::string NumberText(const TJson& value) {
    return value.is_number_integer() ? std::to_string(value.get<long long>()) : TJson(value).dump();
}

} // namespace

void AddMarks(const Tgraph& g, const TResultRequest& r, const TJson& result, TMarks& marks) {
    if (r.word == "path" || r.word == "mst" || r.word == "matching") {
        MarkEdges(g, result["edges"], marks);
        // The path's length beside its last vertex; beside the first when there is no path.
        if (r.word == "path")
            marks.vertexLabels[result["length"].is_null() ? r.a : r.b] =
                result["length"].is_null() ? "no path" : "length " + NumberText(result["length"]);
    } else if (r.word == "bfs" || r.word == "dfs") {
        MarkEdges(g, result["tree"], marks);
        int k = 0;
        for (const TJson& v : result["order"]) marks.vertexLabels[v.get<int>()] = std::to_string(++k);
    } else if (r.word == "euler" && result.contains("trail")) {
        // Step numbers in parentheses, "(1,4)" where the trail passes twice, so that they
        // cannot be read as weights.
        const TJson& trail = result["trail"];
        std::map<std::pair<int, int>, std::string> steps;
        for (std::size_t i = 1; i < trail.size(); ++i) {
            const auto key = MarkKey(g.directed, trail[i - 1].get<int>(), trail[i].get<int>());
            marks.edges.insert(key);
            std::string& label = steps[key];
            label += (label.empty() ? "" : ",") + std::to_string(i);
        }
        for (const auto& [key, label] : steps) marks.edgeLabels[key] = "(" + label + ")";
    } else if (r.word == "colouring") {
        int v = 0;
        for (const TJson& c : result["colour_of"]) {
            marks.vertexFills[++v] = Fills[static_cast<std::size_t>(c.get<int>() - 1) % std::size(Fills)];
            marks.vertexLabels[v] = std::to_string(c.get<int>());
        }
    } else if (r.word == "components") {
        FillGroups(result.contains("strong_components") ? result["strong_components"] : result["components"], marks);
    } else if (r.word == "flow") {
        for (const TJson& e : result["edges"]) {
            const auto key = MarkKey(g.directed, e[0].get<int>(), e[1].get<int>());
            marks.edges.insert(key);
            marks.edgeLabels[key] = NumberText(e[2]);
        }
        marks.vertexLabels[r.b] = "value " + NumberText(result["value"]);
    }
}

TColor DefaultHighlight(const Tgraph& g) {
    constexpr TColor order[] = {colors::Red,    colors::Blue,  colors::Lime,   colors::Fuchsia,
                                colors::Green,  colors::Olive, colors::Purple, colors::Teal,
                                colors::Maroon, colors::Navy,  colors::Aqua,   colors::Yellow};
    const int n = std::clamp(g.vertexCount, 0, MaxVertices);
    for (TColor c : order) {
        bool used = false;
        for (int s = 1; s <= n && !used; ++s)
            for (const Tedge* e = g.edgeLists[s].get(); e && !used; e = e->next.get()) used = e->color == c;
        if (!used) return c;
    }
    return colors::Red;
}

} // namespace analysis
