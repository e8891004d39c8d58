// A trace's frames as marks over the graph: frame 0 before the first step, frame k after step k.
// What the steps have settled, visited or chosen is filled or drawn in the highlight, the step's
// own vertex or edge is current, and distances and times stand beside the vertices.

#include "Plain.h"
#include "Trace.h"

#include <algorithm>
#include <map>
#include <set>

namespace analysis {

namespace {

constexpr TColor Done = colors::Yellow;   // settled, visited, output, in the tree
constexpr TColor Apart = colors::Fuchsia; // an articulation point
// The colourings' fills, as --show colouring gives them.
constexpr TColor Fills[] = {colors::Yellow, colors::Aqua, colors::Lime,  colors::Fuchsia, colors::Silver,
                            colors::Red,    colors::Gray, colors::Olive, colors::Teal,    colors::Green};

std::string Number(const TJson& x) {
    if (x.is_number_integer()) return std::to_string(x.get<long long>());
    return x.dump();
}

int V(const TJson& x) { return x.get<int>(); }

// The weight of the edges from a to b added up, 1 each when unweighted: a's list holds every
// edge that leaves a, an undirected one at both its ends.
std::string Capacity(const Tgraph& g, int a, int b) {
    double total = 0;
    for (const Tedge* e = g.edgeLists[a].get(); e; e = e->next.get()) {
        double w = 1;
        if (e->target == b && (!g.weighted || ReadNumber(e->weight, w))) total += w;
    }
    return Number(Num(total));
}

struct TFrame {
    const Tgraph& g;
    TMarks& marks;
    void Edge(int a, int b) { marks.edges.insert(MarkKey(g.directed, a, b)); }
    void Current(int a, int b) { marks.currentEdges.insert(MarkKey(g.directed, a, b)); }
    void EdgeLabel(int a, int b, const std::string& text) { marks.edgeLabels[MarkKey(g.directed, a, b)] = text; }
    void Tree(const TJson& predecessor) {
        for (std::size_t v = 0; v < predecessor.size(); ++v)
            if (!predecessor[v].is_null()) Edge(V(predecessor[v]), static_cast<int>(v) + 1);
    }
    void Distances(const TJson& distance) {
        for (std::size_t v = 0; v < distance.size(); ++v)
            if (!distance[v].is_null()) marks.vertexLabels[static_cast<int>(v) + 1] = Number(distance[v]);
    }
};

} // namespace

void AddTraceMarks(const Tgraph& g, const TJson& trace, int frame, TMarks& marks) {
    const std::string& a = trace["algorithm"].get_ref<const std::string&>();
    const TJson& steps = trace["steps"];
    const TJson& result = trace["result"];
    const std::size_t k = static_cast<std::size_t>(std::clamp(frame, 0, static_cast<int>(steps.size())));
    const TJson* now = k > 0 ? &steps[k - 1] : nullptr;
    TFrame f{g, marks};
    if (now && now->contains("vertex") && !(*now)["vertex"].is_null())
        marks.currentVertices.insert(V((*now)["vertex"]));
    const int source = trace["source"].is_null() ? 0 : V(trace["source"]);

    if (a == "bfs") {
        std::set<int> reached{source};
        for (std::size_t i = 0; i < k; ++i) {
            const int v = V(steps[i]["vertex"]);
            marks.vertexFills[v] = Done;
            marks.vertexLabels[v] = std::to_string(i + 1);
            for (const TJson& w : steps[i]["queue"]) reached.insert(V(w));
        }
        for (int v : reached)
            if (v != source) f.Edge(V(result["parent"][static_cast<std::size_t>(v - 1)]), v);
    } else if (a == "dfs" || a == "bridges") {
        std::map<int, std::string> times;
        for (std::size_t i = 0; i < k; ++i) {
            const TJson& s = steps[i];
            const int v = V(s["vertex"]);
            if (s["action"] == "discover") {
                times[v] = Number(s["time"]);
                const TJson& parent = result["parent"][static_cast<std::size_t>(v - 1)];
                if (!parent.is_null()) f.Edge(V(parent), v);
            } else {
                times[v] += "/" + Number(s.contains("low") ? s["low"] : s["time"]);
                marks.vertexFills[v] = Done;
            }
            if (s.contains("bridge")) f.EdgeLabel(V(s["bridge"][0]), V(s["bridge"][1]), "bridge");
        }
        for (const auto& [v, text] : times) marks.vertexLabels[v] = text;
        if (a == "bridges" && k == steps.size())
            for (const TJson& v : result["articulation_points"]) marks.vertexFills[V(v)] = Apart;
    } else if (a == "dijkstra" || a == "bellman-ford") {
        for (std::size_t i = 0; i < k; ++i)
            if (a == "dijkstra") marks.vertexFills[V(steps[i]["vertex"])] = Done;
        // The distances and predecessors of the last step that gives them.
        const TJson* state = nullptr;
        for (std::size_t i = 0; i < k; ++i)
            if (steps[i].contains("distance")) state = &steps[i];
        if (state) {
            f.Tree((*state)["predecessor"]);
            f.Distances((*state)["distance"]);
        } else {
            marks.vertexLabels[source] = "0";
        }
        if (now && now->contains("cycle")) {
            const TJson& c = (*now)["cycle"];
            for (std::size_t i = 0; i < c.size(); ++i) f.Current(V(c[i]), V(c[(i + 1) % c.size()]));
        }
    } else if (a == "floyd-warshall") {
        for (std::size_t i = 1; i < k; ++i) marks.vertexFills[V(steps[i]["vertex"])] = Done;
    } else if (a == "prim" || a == "kruskal") {
        for (std::size_t i = 0; i < k; ++i) {
            const TJson& s = steps[i];
            if (s.contains("vertex")) marks.vertexFills[V(s["vertex"])] = Done;
            if (s["edge"].is_null()) continue;
            if (s["action"] == "reject")
                f.EdgeLabel(V(s["edge"][0]), V(s["edge"][1]), "x");
            else
                f.Edge(V(s["edge"][0]), V(s["edge"][1]));
        }
        if (now && !(*now)["edge"].is_null()) f.Current(V((*now)["edge"][0]), V((*now)["edge"][1]));
    } else if (a == "flow") {
        std::map<std::pair<int, int>, double> net;
        for (std::size_t i = 0; i < k; ++i) {
            const TJson& path = steps[i]["path"];
            const double amount = steps[i]["amount"].get<double>();
            for (std::size_t j = 1; j < path.size(); ++j) {
                net[{V(path[j - 1]), V(path[j])}] += amount;
                net[{V(path[j]), V(path[j - 1])}] -= amount;
            }
        }
        // Flow over capacity, which a weight alone cannot be read as.
        for (const auto& [pair, x] : net)
            if (x > 1e-9) {
                f.Edge(pair.first, pair.second);
                f.EdgeLabel(pair.first, pair.second, Number(Num(x)) + "/" + Capacity(g, pair.first, pair.second));
            }
        if (now)
            for (std::size_t j = 1; j < (*now)["path"].size(); ++j)
                f.Current(V((*now)["path"][j - 1]), V((*now)["path"][j]));
        marks.vertexLabels[V(trace["target"])] = "value " + Number(k > 0 ? steps[k - 1]["value"] : TJson(0));
    } else if (a == "topological") {
        for (std::size_t i = 0; i < k; ++i) {
            marks.vertexFills[V(steps[i]["vertex"])] = Done;
            marks.vertexLabels[V(steps[i]["vertex"])] = std::to_string(i + 1);
        }
    } else if (a == "greedy-colouring" || a == "welsh-powell") {
        for (std::size_t i = 0; i < k; ++i) {
            const int c = V(steps[i]["colour"]);
            marks.vertexFills[V(steps[i]["vertex"])] = Fills[static_cast<std::size_t>(c - 1) % std::size(Fills)];
            marks.vertexLabels[V(steps[i]["vertex"])] = std::to_string(c);
        }
    } else if (a == "euler") {
        // The step numbers in parentheses, so that they cannot be read as weights.
        std::map<std::pair<int, int>, std::string> walked;
        for (std::size_t i = 0; i < k; ++i) {
            const TJson& e = steps[i]["edge"];
            f.Edge(V(e[0]), V(e[1]));
            std::string& numbers = walked[MarkKey(g.directed, V(e[0]), V(e[1]))];
            numbers += (numbers.empty() ? "" : ",") + std::to_string(i + 1);
        }
        for (const auto& [key, numbers] : walked) marks.edgeLabels[key] = "(" + numbers + ")";
        if (now) f.Current(V((*now)["edge"][0]), V((*now)["edge"][1]));
    }
}

} // namespace analysis
