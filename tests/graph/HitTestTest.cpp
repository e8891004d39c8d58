// Hit testing against the drawn geometry: vertex circles, self-loops, edges and paired arcs.

#include "GraphBuilders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

struct THitCase {
    int x, y;
    bool hit;
};

void ExpectHits(const Tgraph& g, int s, int t, std::initializer_list<THitCase> cases) {
    const Tedge* node = FindEdge(g, s, t);
    ASSERT_NE(node, nullptr);
    for (const THitCase& c : cases)
        EXPECT_EQ(EdgeHit(g, c.x, c.y, s, *node), c.hit)
            << "edge " << s << "->" << t << " at (" << c.x << ", " << c.y << ")";
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

// The hover pass over 1 - 2 - 3 in a row (undirected): which nodes it flags, whether it reports
// a change, and the first hovered node.
TEST(HoverEdges, FlagsTheNodesUnderThePointAndReportsChangesOnly) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}, {200, 100}, {300, 100}});
    Connect(g, 1, 2);
    Connect(g, 2, 3);
    struct TCase {
        int x, y;
        bool changed;
        int first; // source of the first hovered node, 0 for none
    };
    for (const TCase& c : {TCase{150, 100, true, 1}, TCase{150, 102, false, 1}, TCase{250, 100, true, 2},
                           TCase{250, 110, true, 0}, TCase{10, 10, false, 0}}) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(HoverEdges(g, c.x, c.y), c.changed);
        for (int s = 1; s <= 3; ++s)
            for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
                EXPECT_EQ(e->hovered, EdgeHit(g, c.x, c.y, s, *e));
        const Tedge* first = FirstHoveredEdge(g);
        EXPECT_EQ(first ? first->source : 0, c.first);
    }
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
               {{100, 70, true},
                {100, 85, true},
                {115, 70, true},
                {100, 55, true},
                {100, 86, false},
                {116, 70, false},
                {100, 54, false}});
}

TEST(EdgeHit, HorizontalEdgeWithinThreePixelsBetweenTheCircles) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}, {200, 100}});
    Connect(g, 1, 2);
    const std::initializer_list<THitCase> cases = {
        {150, 100, true},  {150, 103, true},  {150, 104, false}, {116, 100, true},  {184, 100, true},
        {115, 100, false}, {185, 100, false}, {90, 100, false},  {210, 100, false}, {150, 97, true}};
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
    ExpectHits(g, 1, 2,
               {{150, 150, true},
                {152, 148, true},
                {153, 147, false},
                {105, 105, false},
                {195, 195, false},
                {250, 250, false}});
}

TEST(EdgeHit, CoincidentCentresActAsAVerticalLineOutsideBothCircles) {
    Tgraph g;
    MakeGraph(g, false, false, {{100, 100}, {100, 100}});
    Connect(g, 1, 2);
    ExpectHits(g, 1, 2, {{100, 120, true}, {103, 80, true}, {104, 120, false}, {100, 110, false}});
}

// The edge test written out step by step with no shortcut, to check that the fast rejection in
// EdgeHit never changes an answer.
bool ReferenceEdgeHit(const Tgraph& g, int x, int y, int s, const Tedge& node) {
    const Tvertex& a = g.vertices[s];
    const Tvertex& b = g.vertices[node.target];
    if (node.target == s) {
        const long long dx = x - a.x, dy = y - (a.y - 30);
        return dx * dx + dy * dy < 256;
    }
    const long double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y, dx = x2 - x1, dy = y2 - y1;
    const long double len = std::sqrt(dx * dx + dy * dy) + 0.0001L;
    long double fx, fy;
    if (a.x == b.x) {
        fx = x1;
        fy = y;
    } else if (a.y == b.y) {
        fx = x;
        fy = y1;
    } else {
        const long double u = ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy);
        fx = x1 + u * dx;
        fy = y1 + u * dy;
    }
    const long double columnX = fx, rowY = fy;
    if (g.directed && node.twin) {
        fx = std::nearbyintl(fx + 4 * dy / len);
        fy = std::nearbyintl(fy - 4 * dx / len);
    }
    if ((fx - x) * (fx - x) + (fy - y) * (fy - y) > 9) return false;
    if ((x2 - columnX) * (columnX - x1) < 0 && a.x != b.x) return false;
    if ((y2 - rowY) * (rowY - y1) < 0 && a.y != b.y) return false;
    if ((fx - x1) * (fx - x1) + (fy - y1) * (fy - y1) <= a.radius * a.radius) return false;
    return (fx - x2) * (fx - x2) + (fy - y2) * (fy - y2) > b.radius * b.radius;
}

TEST(EdgeHit, FastRejectionNeverChangesAnAnswer) {
    std::mt19937 rng(11);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int hits = 0;
    for (int round = 0; round < 200; ++round) {
        Tgraph g;
        MakeGraph(g, round % 2 == 0, false, {});
        const int spread = round % 3 == 0 ? 40 : 400;
        for (int v = 0; v < 6; ++v) AddVertex(g, pick(spread), pick(spread));
        for (int k = 0; k < 12; ++k) Connect(g, 1 + pick(6), 1 + pick(6));
        for (int p = 0; p < 400; ++p) {
            // Points near a random edge's end points and mid-point, and anywhere.
            const int s = 1 + pick(6);
            const Tedge* e = g.edgeLists[s].get();
            int x = pick(spread + 40) - 20, y = pick(spread + 40) - 20;
            if (e) {
                const Tvertex &a = g.vertices[s], &b = g.vertices[e->target];
                const int t = pick(11);
                x = a.x + (b.x - a.x) * t / 10 + pick(21) - 10;
                y = a.y + (b.y - a.y) * t / 10 + pick(21) - 10;
            }
            for (int i = 1; i <= g.vertexCount; ++i)
                for (const Tedge* n = g.edgeLists[i].get(); n; n = n->next.get()) {
                    const bool expected = ReferenceEdgeHit(g, x, y, i, *n);
                    hits += expected;
                    ASSERT_EQ(EdgeHit(g, x, y, i, *n), expected)
                        << "round " << round << " at (" << x << ", " << y << ")";
                }
        }
    }
    EXPECT_GT(hits, 1000); // the points really do land on edges
}

} // namespace
