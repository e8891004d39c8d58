// The graph in words: the shapes recognised by name, the short text's bound, and a description
// that names every vertex with its degree as the report counts it and every weight.

#include "Describe.h"
#include "GraphBuilders.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

using analysis::TJson;

std::size_t Characters(const std::string& utf8) {
    std::size_t n = 0;
    for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Edges are made as the editor makes them, the weight in the text's comment: "/*5*/".
// n vertices named by `names` (one letter each, or "v1".. when empty) and the edges given.
std::unique_ptr<Tgraph> Build(int n, std::initializer_list<std::pair<int, int>> edges, bool weighted = false,
                              const std::string& names = "") {
    auto g = std::make_unique<Tgraph>();
    MakeGraph(*g, false, weighted, {});
    for (int v = 1; v <= n; ++v) {
        AddVertex(*g, 40 * v, 30 * (v % 3));
        RenameVertex(*g, v, names.empty() ? "v" + std::to_string(v) : std::string(1, names[std::size_t(v - 1)]));
    }
    for (const auto& [s, t] : edges) Connect(*g, s, t, weighted ? "/*" + std::to_string(s * 10 + t) + "*/" : "");
    return g;
}

analysis::TDescription Describe(const Tgraph& g, const std::vector<analysis::TShownResult>& shown = {}) {
    return analysis::Describe(g, analysis::Report(g), shown);
}

// A weighted cycle read aloud: its shape, a vertex's neighbours, the shortest path through Bob.
TEST(Describe, WeightedCycleReadsAsItsExample) {
    Tgraph g;
    MakeGraph(g, false, true, {{100, 100}, {200, 100}, {200, 200}, {100, 200}});
    const char* names[] = {"Ann", "Bob", "Cy", "Dee"};
    for (int v = 1; v <= 4; ++v) RenameVertex(g, v, names[v - 1]);
    Connect(g, 1, 2, "/*5*/");
    Connect(g, 2, 3, "/*7*/");
    Connect(g, 3, 4, "/*9*/");
    Connect(g, 1, 4, "/*9*/");
    const analysis::TResultRequest path = analysis::ParseResult(g, "path:Ann,Cy");
    const analysis::TDescription d = Describe(g, {{path, analysis::Result(g, path)}});
    EXPECT_EQ(d.shortText,
              "Undirected weighted graph of 4 vertices and 4 edges: a cycle Ann\u2013Bob\u2013Cy\u2013Dee.");
    EXPECT_NE(d.longText.find("- Ann: degree 2; neighbours Bob (5), Dee (9).\n"), std::string::npos) << d.longText;
    EXPECT_NE(d.longText.find("The shortest path from Ann to Cy goes through Bob; length 12.\n"), std::string::npos)
        << d.longText;

    const analysis::TAccessibleGraph a = analysis::AccessibleTexts(g);
    EXPECT_EQ(a.name, "Undirected weighted graph, 4 vertices, 4 edges");
    EXPECT_EQ(a.vertexNames[0], "vertex Ann");
    EXPECT_EQ(a.vertexDescriptions[0], "degree 2; neighbours Bob (5), Dee (9)");
    ASSERT_EQ(a.edges.size(), 4u);
    bool found = false;
    for (const auto& e : a.edges) found = found || e.name == "edge Ann \u2013 Bob, weight 5";
    EXPECT_TRUE(found);
}

TEST(Describe, ShapesAreNamed) {
    const struct {
        const char* shape; // what the short text says after the counts
        std::unique_ptr<Tgraph> g;
    } cases[] = {
        {"a single vertex A", Build(1, {}, false, "A")},
        {"a path B\u2013A\u2013C", Build(3, {{1, 2}, {1, 3}}, false, "ABC")},
        {"a cycle A\u2013B\u2013C\u2013D\u2013E", Build(5, {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 1}}, false, "ABCDE")},
        {"a complete graph on A, B, C and D",
         Build(4, {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}}, false, "ABCD")},
        {"a star with centre C and 3 leaves", Build(4, {{3, 1}, {3, 2}, {3, 4}}, false, "ABCD")},
        {"a wheel with hub A and 4 spokes",
         Build(5, {{1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 3}, {3, 4}, {4, 5}, {5, 2}}, false, "ABCDE")},
        {"a complete bipartite graph K2,3 with sides {A, B} and {C, D, E}",
         Build(5, {{1, 3}, {1, 4}, {1, 5}, {2, 3}, {2, 4}, {2, 5}}, false, "ABCDE")},
        {"a tree", Build(5, {{1, 2}, {2, 3}, {2, 4}, {4, 5}}, false, "ABCDE")},
        // No name: two parts; a triangle with a tail; a loop; a double edge is no simple graph.
        {"", Build(4, {{1, 2}, {3, 4}})},
        {"", Build(4, {{1, 2}, {2, 3}, {3, 1}, {3, 4}})},
        {"", Build(2, {{1, 2}, {2, 2}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shape);
        const std::string text = Describe(*c.g).shortText;
        const std::size_t colon = text.find(": ");
        EXPECT_EQ(colon == std::string::npos ? "" : text.substr(colon + 2, text.size() - colon - 3), c.shape) << text;
        EXPECT_EQ(text.back(), '.');
    }
}

// Random graphs, some with long names: the short text stays within its bound and on one line;
// the long one names every vertex with the report's degree, every edge's weight from both ends.
TEST(Describe, EveryVertexAndWeightIsNamedWithinBounds) {
    std::mt19937 random(34);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        const bool directed = round % 3 == 0, longNames = round % 4 == 1;
        const int n = 1 + static_cast<int>(random() % 30);
        Tgraph g;
        MakeGraph(g, directed, true, {});
        for (int v = 1; v <= n; ++v) {
            AddVertex(g, static_cast<int>(random() % 500), static_cast<int>(random() % 500));
            RenameVertex(g, v, (longNames ? std::string(40, 'x') : "n") + std::to_string(v) + "\u00e9");
        }
        const int m = static_cast<int>(random() % 60);
        for (int k = 0; k < m; ++k)
            Connect(g, 1 + static_cast<int>(random() % n), 1 + static_cast<int>(random() % n),
                    "/*w" + std::to_string(k) + "*/");
        const TJson report = analysis::Report(g);
        const analysis::TDescription d = analysis::Describe(g, report);
        EXPECT_LE(Characters(d.shortText), analysis::MaxShortDescription) << d.shortText;
        EXPECT_EQ(d.shortText.find('\n'), std::string::npos);
        for (const TJson& v : report["vertices"]) {
            const std::string line = "- " + v["name"].get<std::string>() + ": " +
                                     (directed ? "out-degree " : "degree ") +
                                     std::to_string(v[directed ? "out_degree" : "degree"].get<int>());
            EXPECT_NE(d.longText.find(line), std::string::npos) << line;
        }
        for (int s = 1; s <= n; ++s)
            for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get()) {
                const std::string from = g.vertices[s].name, to = g.vertices[e->target].name;
                // Each end lists the other with the weight (a directed edge: "to" and "from").
                EXPECT_NE(d.longText.find(to + " (" + e->weight + ")"), std::string::npos) << e->weight;
                EXPECT_NE(d.longText.find(from + " (" + e->weight + ")"), std::string::npos) << e->weight;
            }
    }
}

} // namespace
