// The layouts: every vertex inside the default area with its margin, the same drawing for the
// same graph every time, kept positions kept.

#include "Layout.h"
#include "Geometry.h"
#include "GraphBuilders.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

namespace {

// n vertices at the origin, m random edges between them.
void Unplaced(Tgraph& g, int n, int m, bool directed) {
    MakeGraph(g, directed, false, {});
    for (int v = 1; v <= n; ++v) AddVertex(g, 0, 0);
    std::mt19937 rng(static_cast<unsigned>(n * 31 + m));
    for (int k = 0; k < m && n > 0;)
        k += Connect(g, 1 + static_cast<int>(rng() % n), 1 + static_cast<int>(rng() % n)) ? 1 : 0;
}

std::vector<std::pair<int, int>> Positions(const Tgraph& g) {
    std::vector<std::pair<int, int>> out;
    for (int v = 1; v <= g.vertexCount; ++v) out.emplace_back(g.vertices[v].x, g.vertices[v].y);
    return out;
}

TEST(Layout, EveryLayoutFillsTheAreaTheSameWayEachTime) {
    const int inset = geometry::VertexRadius + LayoutMargin;
    for (TLayout layout : {TLayout::Neato, TLayout::Circle, TLayout::Grid}) {
        for (const auto& [n, m] : {std::pair{1, 0}, {2, 1}, {10, 15}, {40, 0}, {100, 200}}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(layout)) + ": " + std::to_string(n) + " vertices");
            Tgraph g, again;
            Unplaced(g, n, m, n % 2 == 0);
            Unplaced(again, n, m, n % 2 == 0);
            std::string error;
            ASSERT_TRUE(LayOut(g, layout, {}, error)) << error;
            ASSERT_TRUE(LayOut(again, layout, std::vector<bool>(static_cast<std::size_t>(n) + 1, false), error))
                << error;
            EXPECT_EQ(Positions(g), Positions(again));
            std::set<std::pair<int, int>> distinct;
            for (const auto& [x, y] : Positions(g)) {
                EXPECT_GE(x, inset);
                EXPECT_LE(x, LayoutAreaWidth - inset);
                EXPECT_GE(y, inset);
                EXPECT_LE(y, LayoutAreaHeight - inset);
                distinct.insert({x, y});
            }
            EXPECT_EQ(distinct.size(), static_cast<std::size_t>(n)) << "vertices on top of each other";
        }
    }
}

TEST(Layout, KeepPlacesOnlyTheVerticesWithoutAPosition) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}, {300, 100}, {0, 0}, {0, 0}});
    Connect(g, 1, 3);
    Connect(g, 2, 4);
    Connect(g, 3, 4);
    const std::vector<bool> placed = {false, true, true, false, false};
    EXPECT_EQ(DefaultLayout(g, placed), TLayout::Neato);
    EXPECT_EQ(DefaultLayout(g, {}), TLayout::Keep);
    std::string error;
    ASSERT_TRUE(LayOut(g, TLayout::Keep, placed, error)) << error;
    EXPECT_EQ(Positions(g)[0], std::make_pair(100, 100));
    EXPECT_EQ(Positions(g)[1], std::make_pair(300, 100));
    EXPECT_NE(Positions(g)[2], Positions(g)[3]);
    EXPECT_EQ(LayoutOf("grid"), TLayout::Grid);
    EXPECT_EQ(LayoutOf("spring"), std::nullopt);
}

} // namespace
