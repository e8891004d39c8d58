#pragma once
// Algorithms step by step: a run of one algorithm on a graph record, written down step by step
// as JSON ("format": "nodeloom-trace/1"), as the tables a textbook prints (.txt, .tex) and as the
// marks that draw the graph after each step. No Qt.
//
// The rules leave no choice open, so the same graph always gives the same bytes: vertices are
// numbered 1..n in the order of the file and, wherever a choice is open, the smaller number goes
// first. Undirected edges go both ways; a directed graph's searches follow out-edges; loops are
// never followed or relaxed. An unweighted graph's edges weigh 1.
//
// The algorithms and the action of their steps:
//   bfs:S (visit), dfs:S (discover, finish), dijkstra:S (finalise), bellman-ford:S (pass, then one
//   check), prim:S (add), kruskal (accept, reject), floyd-warshall (start, then through),
//   flow:S,T (augment; Edmonds-Karp), topological (output; Kahn), greedy-colouring (colour),
//   welsh-powell (colour), euler (walk; Hierholzer), bridges (discover, finish; low-link).
//
// In the JSON every vertex is its number, an edge is [number, number], an array "by vertex" has
// one entry per vertex in number order (null for infinity or none), and "vertices" gives the
// names by number - 1.

#include "Analysis.h"

#include <string>

namespace analysis {

struct TTraceRequest {
    std::string algorithm; // bfs, dfs, dijkstra, bellman-ford, prim, kruskal, floyd-warshall, flow, ...
    int source = 0;        // vertex number, 0 for none
    int target = 0;        // flow's sink, 0 for none
};

// "bfs:A", "flow:S,T", "kruskal", ...; vertices as FindVertex reads them. Throws TAnalysisError for
// an unknown algorithm or a missing, extra or unknown vertex.
TTraceRequest ParseTrace(const Tgraph& g, const std::string& text);
// The algorithms as a message or the help lists them: "bfs:S dfs:S ... bridges".
extern const char* const TraceAlgorithms;

// The run: {"format", "algorithm", "source", "target", "vertices", "steps", "result"}. Throws
// TAnalysisError for a graph the algorithm does not take (a weight that is not a number, naming
// the edge; a negative weight for dijkstra and prim; a directed graph for prim, kruskal, the
// colourings and bridges; a cycle for topological, naming it).
TJson Trace(const Tgraph& g, const TTraceRequest& request);

// The trace in its three forms: JSON (the report's layout), and the textbook tables as text and
// as LaTeX that needs only booktabs and compiles in article and beamer alike.
std::string TraceJsonText(const TJson& trace);
std::string TraceText(const TJson& trace);
std::string TraceTex(const TJson& trace);

// Frames: 0 is the graph before the first step, k the graph after step k.
int TraceFrames(const TJson& trace);
// Frame k in words, for a status line: "before the first step", "visit B", "finalise C at 4",
// "accept A--B (weight 2)", "augment A, B, T by 3 (flow 5)", ... Vertices named as the tables name them.
std::string TraceStepText(const TJson& trace, int frame);
// The marks that draw frame k: what the steps so far settled, visited or chose in the highlight,
// the current step's vertex or edge as current, and distances or times beside the vertices.
void AddTraceMarks(const Tgraph& g, const TJson& trace, int frame, TMarks& marks);

} // namespace analysis
