// What the analysis computes beyond Boost.Graph, on graphs whose answers are known: the girth, the exact
// colouring and its step bound (networkx has neither), through the report.

#include "Analysis.h"
#include "GraphBuilders.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

// n vertices and the edges given by their numbers.
std::unique_ptr<Tgraph> Build(bool directed, int n, std::initializer_list<std::pair<int, int>> edges) {
    auto g = std::make_unique<Tgraph>();
    MakeGraph(*g, directed, false, {});
    for (int v = 1; v <= n; ++v) AddVertex(*g, 20 * v, 20 * v);
    for (const auto& [s, t] : edges) Connect(*g, s, t);
    return g;
}

TEST(AnalysisGraphTheory, GirthAndChromaticNumberOfKnownGraphs) {
    const struct {
        const char* name;
        std::unique_ptr<Tgraph> g;
        analysis::TJson girth;
        int colours;
    } cases[] = {
        {"Petersen graph",
         Build(false, 10,
               {{1, 2},
                {2, 3},
                {3, 4},
                {4, 5},
                {5, 1},
                {1, 6},
                {2, 7},
                {3, 8},
                {4, 9},
                {5, 10},
                {6, 8},
                {8, 10},
                {10, 7},
                {7, 9},
                {9, 6}}),
         5, 3},
        {"Groetzsch graph",
         Build(false, 11, {{1, 2}, {2, 3}, {3, 4}, {4, 5},  {5, 1},  {6, 2},  {6, 5},  {7, 1},  {7, 3},  {8, 2},
                           {8, 4}, {9, 3}, {9, 5}, {10, 4}, {10, 1}, {11, 6}, {11, 7}, {11, 8}, {11, 9}, {11, 10}}),
         4, 4},
        {"K4", Build(false, 4, {{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}}), 3, 4},
        {"path", Build(false, 3, {{1, 2}, {2, 3}}), nullptr, 2},
        {"no edge", Build(false, 3, {}), nullptr, 1},
        {"loop", Build(false, 2, {{1, 2}, {2, 2}}), 1, 2},
        {"directed triangle", Build(true, 3, {{1, 2}, {2, 3}, {3, 1}}), 3, 3},
        {"directed pair", Build(true, 3, {{1, 2}, {2, 1}, {2, 3}}), 2, 2},
        {"directed, acyclic", Build(true, 3, {{1, 2}, {2, 3}, {1, 3}}), nullptr, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const analysis::TJson r = analysis::Report(*c.g);
        EXPECT_EQ(r["distances"]["girth"], c.girth);
        EXPECT_EQ(r["colouring"]["colours"], c.colours);
        EXPECT_TRUE(r["colouring"]["exact"].get<bool>());
    }
}

// A dense random graph of 100 vertices outruns the search's step bound: the best colouring found
// is proper, not claimed minimal, and the same on every run.
TEST(AnalysisGraphTheory, ColouringBeyondTheBoundIsProperAndRepeatable) {
    auto g = Build(false, 100, {});
    std::mt19937 random(7);
    for (int s = 1; s <= 100; ++s)
        for (int t = s + 1; t <= 100; ++t)
            if (random() % 2) Connect(*g, s, t);
    const analysis::TJson first = analysis::Report(*g)["colouring"], again = analysis::Report(*g)["colouring"];
    EXPECT_FALSE(first["exact"].get<bool>());
    EXPECT_EQ(first, again);
    const auto& colour = first["colour_of"];
    for (int s = 1; s <= 100; ++s)
        for (const Tedge* e = g->edgeLists[s].get(); e; e = e->next.get())
            EXPECT_NE(colour[s - 1], colour[e->target - 1]);
}

} // namespace
