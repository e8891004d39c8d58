#pragma once
// Exercise graphs made from a description and a seed: the same description and seed give the same
// graph, byte for byte, on every machine and build. No Qt.
//
// The description is a comma-separated list of words:
//   vertices=A..B | vertices=N      how many vertices (1..100; default 5..8)
//   edges=A..B | edges=M            how many edges (default: from n to 2n, as far as the rest allows)
//   weights=A..B                    whole-number weights drawn from A..B; without it, unweighted
//   directed                        arcs; never both directions between two vertices
//   connected                       one piece (a directed graph: when its arcs are read both ways)
//   planar                          drawn without two edges crossing
//   acyclic                         no cycle: a directed graph without a directed cycle, else a forest
//   bipartite                       two sides, every edge between them
//   euler                           an Euler circuit exists (every edge, each once, back to the start)
//   unique-mst                      exactly one minimum spanning tree (undirected, weighted)
//   unique-paths                    every shortest path from the first vertex is the only one of its length
// Vertices are named A, B, ... Z, AA, AB, ...; circles never overlap and, with planar, no edge
// crosses another.

#include "Analysis.h"

#include <cstdint>
#include <string>

namespace analysis {

// splitmix64 (Steele, Lea and Flood, 2014): 64 bits a call from a 64-bit counter. Its few
// distributions are written here, as the standard library's differ between implementations.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // Uniform in lo..hi (lo <= hi), by rejection: no bias for any range.
    long long Between(long long lo, long long hi);
    // Fisher-Yates, from the back.
    template <class T>
    void Shuffle(T& items) {
        for (std::size_t i = items.size(); i > 1; --i) {
            const auto j = static_cast<std::size_t>(Between(0, static_cast<long long>(i) - 1));
            std::swap(items[i - 1], items[j]);
        }
    }

private:
    std::uint64_t state_;
};

struct TGenerateSpec {
    int minVertices = 5, maxVertices = 8;
    bool edgesGiven = false;
    int minEdges = 0, maxEdges = 0;
    bool weighted = false;
    long long minWeight = 0, maxWeight = 0;
    bool directed = false, connected = false, planar = false, acyclic = false, bipartite = false, euler = false,
         uniqueMst = false, uniquePaths = false;
};

// Reads the description and refuses at once, with the reason, one that no graph can meet
// ("vertices=5,edges=20": "5 vertices hold at most 10 edges"). Throws TAnalysisError.
TGenerateSpec ParseGenerateSpec(const std::string& text);

// The graph for the description and seed, laid out, in g (a created graph without a file name).
// Its gf4 file lists each vertex's edges backwards; read back, the graph writes them in order.
// Throws TAnalysisError when no graph that meets it turns up in a bounded number of tries.
void Generate(const TGenerateSpec& asked, std::uint64_t seed, Tgraph& g);

// A vertex's name by its 0-based index: A..Z, then AA, AB, ...
std::string GeneratedName(int index);

// The most and the fewest edges a graph of n vertices can have under the description's kind
// (directed, acyclic, bipartite, planar, connected, euler); min > max when none can.
struct TEdgeBounds {
    int min = 0, max = 0;
};
TEdgeBounds EdgeBounds(const TGenerateSpec& asked, int n);

} // namespace analysis
