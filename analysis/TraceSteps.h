#pragma once
// What the traces' algorithms share: the graph as they walk it, and the JSON of their steps.

#include "Plain.h"
#include "Trace.h"

#include <string>
#include <vector>

namespace analysis::trace {

inline std::size_t Z(int v) { return static_cast<std::size_t>(v); }

// An arc as a search follows it: to a 0-based vertex, with the edge's length and its index in
// TTraceGraph::edges.
struct TArc {
    int to;
    double length;
    int edge;
};

struct TTraceGraph {
    int n = 0;
    bool directed = false;
    std::vector<TPlainEdge> edges;      // as PlainOf gives them; length 1 when unweighted
    std::vector<std::vector<TArc>> out; // by 0-based vertex, heads in number order, loops left out
    std::vector<std::string> names;     // as messages name vertices: the name, or #N
    std::string text;                   // the algorithm as asked, for messages: "dijkstra:A"
};

// The graph for an algorithm; throws when its weights are not all numbers, naming the edge.
TTraceGraph TraceGraphOf(const Tgraph& g, const TTraceRequest& request, bool needsWeights);
// A refusal: "Cannot trace TEXT: WHY."
[[noreturn]] void Refuse(const TTraceGraph& t, const std::string& why);
void NeedUndirected(const TTraceGraph& t, const char* what);
void NeedNonNegative(const TTraceGraph& t);
std::string EdgeName(const TTraceGraph& t, const TPlainEdge& e);

// JSON pieces: 0-based vertex v as its number, -1 as null; distances with infinity as null.
TJson Vertex(int v);
TJson Pair(int a, int b);
TJson Vertices(const std::vector<int>& list);
TJson ByVertex(const std::vector<int>& list);
TJson Distances(const std::vector<double>& d);
// A step: {"step": k, "action": action}, k counted from 1 in the list it joins.
TJson& AddStep(TJson& steps, const char* action);

// The algorithms, by family.
void Bfs(const TTraceGraph& t, int s, TJson& steps, TJson& result);
void Dfs(const TTraceGraph& t, int s, TJson& steps, TJson& result);
void Bridges(const TTraceGraph& t, TJson& steps, TJson& result);
void Topological(const TTraceGraph& t, TJson& steps, TJson& result);
void Euler(const TTraceGraph& t, TJson& steps, TJson& result);
void Colouring(const TTraceGraph& t, bool byDegree, TJson& steps, TJson& result);
void Dijkstra(const TTraceGraph& t, int s, TJson& steps, TJson& result);
void BellmanFord(const TTraceGraph& t, int s, TJson& steps, TJson& result);
void FloydWarshall(const TTraceGraph& t, TJson& steps, TJson& result);
void Flow(const TTraceGraph& t, int s, int sink, TJson& steps, TJson& result);
void Prim(const TTraceGraph& t, int s, TJson& steps, TJson& result);
void Kruskal(const TTraceGraph& t, TJson& steps, TJson& result);

} // namespace analysis::trace
