// Hit testing against the drawn geometry: vertex circles, self-loops, edges and paired arcs.

#include "GraphBuilders.h"

#include <gtest/gtest.h>

namespace {

struct THitCase {
    int x, y;
    bool hit;
};

void ExpectHits(const Tgraph& g, int s, int t, std::initializer_list<THitCase> cases) {
    const Tedge* node = FindEdge(g, s, t);
    ASSERT_NE(node, nullptr);
    for (const THitCase& c : cases)
        EXPECT_EQ(EdgeHit(g, c.x, c.y, s, *node), c.hit) << "edge " << s << "->" << t << " at (" << c.x << ", " << c.y << ")";
}

TEST(VertexAt, CircleIncludesItsRimAndHighestNumberWins) {
    Tgraph g;
    MakeGraph(g, false, false, {});
    EXPECT_EQ(VertexAt(g, 0, 0), 0);
    AddVertex(g, 100, 100);
    EXPECT_EQ(VertexAt(g, 115, 100), 1);
    EXPECT_EQ(VertexAt(g, 100, 85), 1);
    EXPECT_EQ(VertexAt(g, 116, 100), 0);
    EXPECT_EQ(VertexAt(g, 111, 111), 0);
    AddVertex(g, 110, 100);
    EXPECT_EQ(VertexAt(g, 105, 100), 2);
    EXPECT_EQ(VertexAt(g, 90, 100), 1);
}

TEST(VertexAt, FarCoordinatesDoNotOverflow) {
    Tgraph g;
    MakeGraph(g, false, false, {{2147483647, -2147483647 - 1}, {-2147483647 - 1, 2147483647}});
    EXPECT_EQ(VertexAt(g, -2147483647 - 1, 2147483647), 2);
    EXPECT_EQ(VertexAt(g, 2147483640, -2147483647), 1);
    EXPECT_EQ(VertexAt(g, 0, 0), 0);
}

TEST(EdgeHit, SelfLoopCircleAboveTheVertexExcludesItsRim) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}});
    Connect(g, 1, 1);
    ExpectHits(g, 1, 1,
               {{100, 70, true}, {100, 85, true}, {115, 70, true}, {100, 55, true}, {100, 86, false},
                {116, 70, false}, {100, 54, false}});
}

TEST(EdgeHit, HorizontalEdgeWithinThreePixelsBetweenTheCircles) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}, {200, 100}});
    Connect(g, 1, 2);
    const std::initializer_list<THitCase> cases = {{150, 100, true}, {150, 103, true}, {150, 104, false},
                                                   {116, 100, true}, {184, 100, true}, {115, 100, false},
                                                   {185, 100, false}, {90, 100, false}, {210, 100, false},
                                                   {150, 97, true}};
    ExpectHits(g, 1, 2, cases);
    ExpectHits(g, 2, 1, cases); // both halves of an undirected edge answer alike
}

TEST(EdgeHit, PairedHorizontalArcsAreHitOnTheirOwnSide) {
    Tgraph g;
    MakeGraph(g, true, false, {{100, 100}, {200, 100}});
    Connect(g, 1, 2);
    Connect(g, 2, 1);
    for (int y = 90; y <= 110; ++y) {
        EXPECT_EQ(EdgeHit(g, 150, y, 1, *FindEdge(g, 1, 2)), y >= 93 && y <= 99) << y;
        EXPECT_EQ(EdgeHit(g, 150, y, 2, *FindEdge(g, 2, 1)), y >= 101 && y <= 107) << y;
    }
}

TEST(EdgeHit, VerticalEdgeSkipsTheColumnTestWhenPaired) {
    Tgraph g;
    MakeGraph(g, true, false, {{100, 100}, {100, 200}});
    Connect(g, 1, 2);
    ExpectHits(g, 1, 2, {{103, 150, true}, {104, 150, false}, {97, 150, true}});
    Connect(g, 2, 1);
    ExpectHits(g, 1, 2, {{100, 150, false}, {104, 150, true}, {107, 150, true}, {101, 150, true}, {108, 150, false}});
    ExpectHits(g, 2, 1, {{96, 150, true}, {100, 150, false}});
}

// A nearly vertical pair: hit on its drawn line, 4 px to the side of the centre line.
TEST(EdgeHit, NearlyVerticalPairIsHitOnItsDrawnLine) {
    for (int x2 : {102, 104}) {
        SCOPED_TRACE(x2);
        Tgraph g;
        MakeGraph(g, true, false, {{100, 100}, {x2, 200}});
        Connect(g, 1, 2);
        Connect(g, 2, 1);
        // The arc 1 -> 2 runs downwards, so its left on screen is +x: drawn near x 104..106.
        EXPECT_TRUE(EdgeHit(g, 105, 150, 1, *FindEdge(g, 1, 2)));
        EXPECT_FALSE(EdgeHit(g, 97, 150, 1, *FindEdge(g, 1, 2)));
        EXPECT_TRUE(EdgeHit(g, 97, 150, 2, *FindEdge(g, 2, 1)));
        EXPECT_FALSE(EdgeHit(g, 105, 150, 2, *FindEdge(g, 2, 1)));
        // Beyond the ends it is still not hit.
        EXPECT_FALSE(EdgeHit(g, 104, 80, 1, *FindEdge(g, 1, 2)));
        EXPECT_FALSE(EdgeHit(g, 106, 225, 1, *FindEdge(g, 1, 2)));
    }
}

TEST(EdgeHit, DiagonalEdgeHitNearItsLineOnly) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}, {200, 200}});
    Connect(g, 1, 2);
    ExpectHits(g, 1, 2, {{150, 150, true}, {152, 148, true}, {153, 147, false}, {105, 105, false},
                         {195, 195, false}, {250, 250, false}});
}

TEST(EdgeHit, CoincidentCentresActAsAVerticalLineOutsideBothCircles) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}, {100, 100}});
    Connect(g, 1, 2);
    ExpectHits(g, 1, 2, {{100, 120, true}, {103, 80, true}, {104, 120, false}, {100, 110, false}});
}

} // namespace
