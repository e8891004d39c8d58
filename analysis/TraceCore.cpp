// The trace's request, the graph its algorithms walk, and the JSON around their steps.

#include "TraceSteps.h"

#include "Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace analysis {

const char* const TraceAlgorithms = "bfs:S dfs:S dijkstra:S bellman-ford:S prim:S kruskal floyd-warshall flow:S,T "
                                    "topological greedy-colouring welsh-powell euler bridges";

namespace trace {

TTraceGraph TraceGraphOf(const Tgraph& g, const TTraceRequest& request, bool needsWeights) {
    const TPlain p = PlainOf(g);
    TTraceGraph t;
    t.n = p.n;
    t.directed = p.directed;
    t.edges = p.edges;
    t.text = request.algorithm;
    for (int v = 1; v <= p.n; ++v) {
        const std::string name = NameOf(g, v);
        bool shared = name.empty();
        for (int w = 1; w <= p.n && !shared; ++w) shared = w != v && NameOf(g, w) == name;
        t.names.push_back(shared ? "#" + std::to_string(v) : name);
    }
    if (request.source > 0) t.text += ":" + t.names[Z(request.source - 1)];
    if (request.target > 0) t.text += "," + t.names[Z(request.target - 1)];
    for (TPlainEdge& e : t.edges) {
        if (!g.weighted) {
            e.length = 1;
            continue;
        }
        if (std::isnan(e.value)) {
            if (needsWeights) {
                const Tedge* node = nullptr;
                for (const Tedge* x = g.edgeLists[e.s + 1].get(); x && !node; x = x->next.get())
                    if (x->target == e.t + 1) node = x;
                Refuse(t, "the weight \"" + (node ? Utf8Text(node->weight) : std::string()) + "\" of the edge " +
                              EdgeName(t, e) + " is not a number");
            }
            e.length = 1;
        } else {
            e.length = e.value;
        }
    }
    t.out.resize(Z(t.n));
    for (std::size_t i = 0; i < t.edges.size(); ++i) {
        const TPlainEdge& e = t.edges[i];
        if (e.s == e.t) continue;
        t.out[Z(e.s)].push_back({e.t, e.length, static_cast<int>(i)});
        if (!t.directed) t.out[Z(e.t)].push_back({e.s, e.length, static_cast<int>(i)});
    }
    for (auto& arcs : t.out)
        std::stable_sort(arcs.begin(), arcs.end(), [](const TArc& a, const TArc& b) { return a.to < b.to; });
    return t;
}

void Refuse(const TTraceGraph& t, const std::string& why) {
    throw TAnalysisError("Cannot trace " + t.text + ": " + why + ".");
}

void NeedUndirected(const TTraceGraph& t, const char* what) {
    if (t.directed) Refuse(t, std::string(what) + " is for an undirected graph");
}

void NeedNonNegative(const TTraceGraph& t) {
    for (const TPlainEdge& e : t.edges)
        if (e.length < 0)
            Refuse(t, "the edge " + EdgeName(t, e) + " weighs " + Num(e.length).dump() +
                          ", and the algorithm takes no negative weights");
}

std::string EdgeName(const TTraceGraph& t, const TPlainEdge& e) {
    return t.names[Z(e.s)] + (t.directed ? "->" : "--") + t.names[Z(e.t)];
}

TJson Vertex(int v) { return v < 0 ? TJson(nullptr) : TJson(v + 1); }
TJson Pair(int a, int b) { return TJson::array({a + 1, b + 1}); }

TJson Vertices(const std::vector<int>& list) {
    TJson out = TJson::array();
    for (int v : list) out.push_back(v + 1);
    return out;
}

TJson ByVertex(const std::vector<int>& list) {
    TJson out = TJson::array();
    for (int v : list) out.push_back(Vertex(v));
    return out;
}

TJson Distances(const std::vector<double>& d) {
    TJson out = TJson::array();
    out.get_ref<TJson::array_t&>().reserve(d.size());
    for (double x : d) out.push_back(std::isinf(x) ? TJson(nullptr) : Num(x));
    return out;
}

TJson& AddStep(TJson& steps, const char* action) {
    steps.push_back({{"step", steps.size() + 1}, {"action", action}});
    return steps.back();
}

} // namespace trace

namespace {

struct TAlgorithm {
    const char* name;
    int vertices; // taken after the colon
};
constexpr TAlgorithm Algorithms[] = {{"bfs", 1},
                                     {"dfs", 1},
                                     {"dijkstra", 1},
                                     {"bellman-ford", 1},
                                     {"prim", 1},
                                     {"kruskal", 0},
                                     {"floyd-warshall", 0},
                                     {"flow", 2},
                                     {"topological", 0},
                                     {"greedy-colouring", 0},
                                     {"welsh-powell", 0},
                                     {"euler", 0},
                                     {"bridges", 0}};

} // namespace

TTraceRequest ParseTrace(const Tgraph& g, const std::string& text) {
    const std::size_t colon = text.find(':');
    TTraceRequest request;
    request.algorithm = text.substr(0, colon);
    const TAlgorithm* found = nullptr;
    for (const TAlgorithm& a : Algorithms)
        if (request.algorithm == a.name) found = &a;
    if (!found) throw TAnalysisError("Unknown algorithm \"" + text + "\"; the algorithms are " + TraceAlgorithms + ".");
    const std::vector<std::string> names = RequestVertices(text);
    if (static_cast<int>(names.size()) != found->vertices) {
        static const char* const forms[] = {"", ":S", ":S,T"};
        throw TAnalysisError("The algorithm \"" + text + "\" is written " + request.algorithm + forms[found->vertices] +
                             ".");
    }
    if (found->vertices > 0) request.source = FindVertex(g, names[0]);
    if (found->vertices > 1) request.target = FindVertex(g, names[1]);
    return request;
}

TJson Trace(const Tgraph& g, const TTraceRequest& r) {
    using namespace trace;
    const std::string& a = r.algorithm;
    const bool weighed =
        a == "dijkstra" || a == "bellman-ford" || a == "prim" || a == "kruskal" || a == "floyd-warshall" || a == "flow";
    const TTraceGraph t = TraceGraphOf(g, r, weighed);
    const int s = r.source - 1;
    TJson steps = TJson::array(), result = TJson::object();
    if (a == "bfs")
        Bfs(t, s, steps, result);
    else if (a == "dfs")
        Dfs(t, s, steps, result);
    else if (a == "dijkstra")
        Dijkstra(t, s, steps, result);
    else if (a == "bellman-ford")
        BellmanFord(t, s, steps, result);
    else if (a == "prim")
        Prim(t, s, steps, result);
    else if (a == "kruskal")
        Kruskal(t, steps, result);
    else if (a == "floyd-warshall")
        FloydWarshall(t, steps, result);
    else if (a == "flow")
        Flow(t, s, r.target - 1, steps, result);
    else if (a == "topological")
        Topological(t, steps, result);
    else if (a == "greedy-colouring" || a == "welsh-powell")
        Colouring(t, a == "welsh-powell", steps, result);
    else if (a == "euler")
        Euler(t, steps, result);
    else if (a == "bridges")
        Bridges(t, steps, result);
    else
        throw TAnalysisError("Unknown algorithm \"" + a + "\"; the algorithms are " + TraceAlgorithms + ".");
    TJson names = TJson::array();
    for (int v = 1; v <= t.n; ++v) names.push_back(NameOf(g, v));
    return {{"format", "nodeloom-trace/1"},
            {"algorithm", a},
            {"source", r.source > 0 ? TJson(r.source) : TJson(nullptr)},
            {"target", r.target > 0 ? TJson(r.target) : TJson(nullptr)},
            {"vertices", std::move(names)},
            {"steps", std::move(steps)},
            {"result", std::move(result)}};
}

namespace {

// The report's layout (a list or record of plain values on one line, a longer one an item a
// line), with whole numbers written straight into the text: Floyd-Warshall's trace of a
// 100-vertex graph holds a million of them.
void WriteTrace(const TJson& j, int indent, std::string& out) {
    if (j.is_number_integer()) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, j.get<long long>()).ptr;
        out.append(digits, end);
        return;
    }
    if (!j.is_structured()) {
        out += j.is_null() ? "null" : j.dump();
        return;
    }
    const bool flat = std::none_of(j.begin(), j.end(), [](const TJson& x) { return x.is_structured(); });
    const std::string pad(static_cast<std::size_t>(indent) + 2, ' ');
    out += j.is_object() ? '{' : '[';
    if (!flat) out += '\n';
    std::size_t k = 0;
    const auto item = [&](const std::string* key, const TJson& value) {
        if (!flat) out += pad;
        if (key) out += TJson(*key).dump() + ": ";
        WriteTrace(value, indent + 2, out);
        if (++k < j.size()) out += flat ? ", " : ",\n";
    };
    if (j.is_object())
        for (auto it = j.begin(); it != j.end(); ++it) item(&it.key(), it.value());
    else
        for (const TJson& value : j) item(nullptr, value);
    if (!flat) out += "\n" + std::string(static_cast<std::size_t>(indent), ' ');
    out += j.is_object() ? '}' : ']';
}

} // namespace

std::string TraceJsonText(const TJson& trace) {
    std::string out;
    WriteTrace(trace, 0, out);
    return out + "\n";
}

int TraceFrames(const TJson& trace) { return static_cast<int>(trace["steps"].size()) + 1; }

} // namespace analysis
