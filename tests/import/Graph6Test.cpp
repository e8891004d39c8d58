// graph6, sparse6 and digraph6 strings whose graphs the formats' definitions give, read into the
// record: vertices 0..n-1 as vertices 1..n, every edge and no other.

#include "GraphBuilders.h"
#include "ImportGraph.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct TKnown {
    const char* text;
    int vertices;
    bool directed;
    std::vector<std::pair<int, int>> edges; // 0-based, as the formats number vertices
};

TEST(Graph6, KnownStringsGiveTheirGraphs) {
    const std::vector<TKnown> known = {
        // graph6: N(n) = n + 63, then the upper triangle column by column, six bits a byte.
        {"A?", 2, false, {}},
        {"A_", 2, false, {{0, 1}}},
        {"Bw", 3, false, {{0, 1}, {0, 2}, {1, 2}}},
        {"C~", 4, false, {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}},
        {"Dhc", 5, false, {{0, 1}, {0, 4}, {1, 2}, {2, 3}, {3, 4}}}, // the 5-cycle
        {"IheA@GUAo",
         10,
         false,
         {{0, 1},
          {0, 4},
          {0, 5},
          {1, 2},
          {1, 6},
          {2, 3},
          {2, 7},
          {3, 4},
          {3, 8},
          {4, 9},
          {5, 7},
          {5, 8},
          {6, 8},
          {6, 9},
          {7, 9}}}, // the Petersen graph
        {">>graph6<<Bw", 3, false, {{0, 1}, {0, 2}, {1, 2}}},
        // sparse6: ':' N(n), then (b, x) pairs of k = ceil(log2 n) bits; the definition's example.
        {":Fa@x^", 7, false, {{0, 1}, {0, 2}, {1, 2}, {5, 6}}},
        {":An", 2, false, {{0, 1}}},
        // digraph6: '&' N(n), then the whole matrix row by row.
        {"&AO", 2, true, {{0, 1}}},
        {"&BP_", 3, true, {{0, 1}, {1, 2}, {2, 0}}},
    };
    for (const TKnown& k : known) {
        SCOPED_TRACE(k.text);
        Tgraph g;
        TImportResult result;
        ASSERT_TRUE(ImportGraphText(std::string(k.text) + "\n", TImportFormat::Graph6, g, result)) << result.error;
        EXPECT_EQ(g.vertexCount, k.vertices);
        EXPECT_EQ(g.directed, k.directed);
        EXPECT_EQ(g.edgeCount, static_cast<int>(k.edges.size()));
        for (int v = 1; v <= g.vertexCount; ++v) EXPECT_EQ(g.vertices[v].name, std::to_string(v - 1));
        for (const auto& [a, b] : k.edges) EXPECT_NE(FindEdge(g, a + 1, b + 1), nullptr) << a << "-" << b;
    }
}

} // namespace
