// The layouts: every vertex inside the default area with its margin, the same drawing for the
// same graph every time, kept positions kept.

#include "Layout.h"
#include "Geometry.h"
#include "GraphBuilders.h"

#include <gtest/gtest.h>

#include <cmath>
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

// Each layout: the same drawing every time; no vertex left of or above the area's inset; no two
// centres closer than a circle's diameter; the drawing inside the area while that holds them
// (the circle and the grid), and growing with the number of vertices.
TEST(Layout, EveryLayoutSpacesTheVerticesTheSameWayEachTime) {
    const int inset = geometry::VertexRadius + LayoutMargin;
    for (TLayout layout : {TLayout::Neato, TLayout::Circle, TLayout::Grid}) {
        double extentBefore = 0;
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
            int maxX = 0, maxY = 0, minX = 1 << 30, minY = 1 << 30;
            double closest = 1e9;
            for (const auto& [x, y] : Positions(g)) {
                EXPECT_GE(x, inset);
                EXPECT_GE(y, inset);
                maxX = std::max(maxX, x), maxY = std::max(maxY, y), minX = std::min(minX, x), minY = std::min(minY, y);
                for (const auto& [x2, y2] : Positions(g))
                    if (x2 != x || y2 != y) closest = std::min(closest, std::hypot(double(x - x2), double(y - y2)));
            }
            EXPECT_GE(closest, 2.0 * geometry::VertexRadius) << "vertices overlap";
            if (layout != TLayout::Neato && n <= 10) {
                EXPECT_LE(maxX, LayoutAreaWidth - inset);
                EXPECT_LE(maxY, LayoutAreaHeight - inset);
            }
            const double extent = std::hypot(double(maxX - minX), double(maxY - minY));
            EXPECT_GE(extent, extentBefore) << "the drawing shrank with more vertices";
            extentBefore = extent;
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
