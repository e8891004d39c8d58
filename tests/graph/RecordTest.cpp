// The graph record: edges, twins, colours, vertex deletion, the shadow copy, random edits.

#include "CaseNames.h"
#include "GraphBuilders.h"
#include "Invariants.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using namespace colors;

// The key the analysis's caches go by: moving vertices keeps it; any change the analysis could see
// gives another.
TEST(StructureKey, IgnoresPlacesAndSeesEverythingElse) {
    const auto build = [](Tgraph& g) {
        MakeGraph(g, false, true, {{0, 0}, {50, 0}, {100, 0}});
        g.vertices[1].name = "A";
        Connect(g, 1, 2, "/*3*/");
        Connect(g, 2, 3, "/*4*/");
    };
    Tgraph plain;
    build(plain);
    const std::string key = StructureKey(plain);
    const std::function<void(Tgraph&)> moves[] = {[](Tgraph& g) { MoveVertex(g, 2, 7, -9); },
                                                  [](Tgraph& g) { MoveAllVertices(g, -500, 40); }};
    const std::function<void(Tgraph&)> changes[] = {
        [](Tgraph& g) { g.vertices[2].name = "B"; },
        [](Tgraph& g) { FindEdge(g, 1, 2)->weight = "5"; },
        [](Tgraph& g) { FindEdge(g, 2, 3)->color = Red; },
        [](Tgraph& g) { Connect(g, 1, 3); },
        [](Tgraph& g) { DeleteEdge(g, 2, 3); },
        [](Tgraph& g) { AddVertex(g, 10, 10); },
        [](Tgraph& g) { g.directed = true; },
        [](Tgraph& g) { g.weighted = false; },
    };
    for (const auto& move : moves) {
        Tgraph g;
        build(g);
        move(g);
        EXPECT_EQ(StructureKey(g), key);
    }
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        SCOPED_TRACE(i);
        Tgraph g;
        build(g);
        changes[i](g);
        EXPECT_NE(StructureKey(g), key);
    }
}

TEST(AddEdge, RefusesSecondNodeToSameTarget) {
    Tgraph g;
    MakeGraph(g, true, false, {{0, 0}, {50, 0}});
    EXPECT_TRUE(AddEdge(g, 1, 2, ""));
    EXPECT_FALSE(AddEdge(g, 1, 2, "red"));
    EXPECT_EQ(Targets(g, 1), std::vector<int>{2});
    EXPECT_EQ(FindEdge(g, 1, 2)->color, Black); // the refused call changed nothing
}

TEST(AddEdge, ListsAreNewestFirst) {
    Tgraph g;
    MakeGraph(g, true, false, {{0, 0}, {50, 0}, {100, 0}});
    AddEdge(g, 1, 2, "");
    AddEdge(g, 1, 3, "");
    EXPECT_EQ(Targets(g, 1), (std::vector<int>{3, 2}));
}

TEST(AddEdge, OppositeDirectedEdgesAreTwinsUntilOneIsDeleted) {
    Tgraph g;
    MakeGraph(g, true, false, {{0, 0}, {50, 0}});
    Connect(g, 1, 2);
    EXPECT_EQ(FindEdge(g, 1, 2)->twin, nullptr);
    Connect(g, 2, 1);
    EXPECT_EQ(FindEdge(g, 1, 2)->twin, FindEdge(g, 2, 1));
    EXPECT_EQ(FindEdge(g, 2, 1)->twin, FindEdge(g, 1, 2));
    DeleteEdge(g, 1, 2);
    EXPECT_EQ(FindEdge(g, 1, 2), nullptr);
    EXPECT_EQ(FindEdge(g, 2, 1)->twin, nullptr);
    EXPECT_EQ(g.edgeCount, 1);
}

TEST(AddEdge, UndirectedEdgeIsTwoTwinNodesAndSelfLoopOneNode) {
    Tgraph g;
    MakeGraph(g, false, false, {{0, 0}, {50, 0}, {100, 0}});
    Connect(g, 1, 2);
    Tedge* a = FindEdge(g, 1, 2);
    Tedge* b = FindEdge(g, 2, 1);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->twin, b);
    EXPECT_EQ(b->twin, a);
    EXPECT_TRUE(AddEdge(g, 3, 3, ""));
    EXPECT_FALSE(AddEdge(g, 3, 3, ""));
    EXPECT_EQ(FindEdge(g, 3, 3)->twin, FindEdge(g, 3, 3));
    EXPECT_EQ(Targets(g, 3), std::vector<int>{3});
}

// ConnectVertices on a graph that already holds 1->2 (both halves when undirected).
TEST(ConnectVertices, AddsBothHalvesWhenUndirectedAndCountsEachNewEdgeOnce) {
    struct TCase {
        bool directed;
        int s, t;
        bool added;
        int nodes, edgeCount;
    };
    for (const TCase& c :
         {TCase{false, 2, 3, true, 4, 2}, TCase{false, 3, 3, true, 3, 2}, TCase{false, 2, 1, false, 2, 1},
          TCase{true, 2, 1, true, 2, 2}, TCase{true, 1, 2, false, 1, 1}, TCase{true, 3, 3, true, 2, 2}}) {
        SCOPED_TRACE(std::to_string(c.directed) + " " + std::to_string(c.s) + "->" + std::to_string(c.t));
        Tgraph g;
        MakeGraph(g, c.directed, false, {{0, 0}, {50, 0}, {100, 0}});
        ASSERT_TRUE(ConnectVertices(g, 1, 2, "red"));
        EXPECT_EQ(ConnectVertices(g, c.s, c.t, "blue"), c.added);
        EXPECT_EQ(NodeCount(g), c.nodes);
        EXPECT_EQ(g.edgeCount, c.edgeCount);
        EXPECT_EQ(FindEdge(g, c.s, c.t)->color, c.added ? Blue : Red);
        EXPECT_EQ(CheckInvariants(g, true), "");
    }
}

struct TEdgeTextCase {
    bool weighted;
    const char* text;
    const char* weight;
    TColor color;
};

class EdgeText : public testing::TestWithParam<TEdgeTextCase> {};

TEST_P(EdgeText, GivesWeightAndColour) {
    const TEdgeTextCase& c = GetParam();
    Tgraph g;
    MakeGraph(g, true, c.weighted, {{0, 0}, {50, 0}}, Navy);
    ASSERT_TRUE(AddEdge(g, 1, 2, c.text));
    EXPECT_EQ(FindEdge(g, 1, 2)->weight, c.weight);
    EXPECT_EQ(FindEdge(g, 1, 2)->color, c.color);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, EdgeText,
    testing::Values(TEdgeTextCase{true, "/*12*/ red", "12", Red}, TEdgeTextCase{true, " /*5*/", "5", Navy},
                    TEdgeTextCase{true, "/*5*/red", "", Navy}, // no space after the closing mark
                    TEdgeTextCase{true, "/**/ blue", "", Blue}, TEdgeTextCase{true, "/*a b*/  red ", "a b", Red},
                    TEdgeTextCase{true, "*/ /*x", "", Navy}, // close before open: no weight, text cut
                    TEdgeTextCase{true, "red", "", Red}, TEdgeTextCase{false, "/*12*/ red", "", Navy},
                    TEdgeTextCase{false, " r e d ", "", Red}, TEdgeTextCase{false, "Red", "", Navy},
                    TEdgeTextCase{false, "", "", Navy}, TEdgeTextCase{false, "white", "", White},
                    TEdgeTextCase{false, "silver", "", Silver}),
    [](const testing::TestParamInfo<TEdgeTextCase>& c) {
        return TestName(std::string(c.param.weighted ? "Weighted " : "Unweighted ") + c.param.text);
    });

TEST(ColorName, NamesTableColoursAndLeavesOthersAlone) {
    Tgraph g;
    std::string name = "before";
    ColorName(g, Silver, name);
    EXPECT_EQ(name, "silver");
    ColorName(g, 0x00123456, name);
    EXPECT_EQ(name, "silver");
    for (const TColorEntry& e : ColorTable) {
        ColorName(g, e.value, name);
        EXPECT_EQ(name, e.name);
    }
}

TEST(DeleteVertex, RenumbersLaterVerticesAndTheirEdgesKeepingNames) {
    Tgraph g;
    MakeGraph(g, true, false, {{0, 0}, {50, 0}, {100, 0}});
    Connect(g, 1, 3);
    Connect(g, 3, 2);
    DeleteVertex(g, 2);
    EXPECT_EQ(g.vertexCount, 2);
    EXPECT_EQ(g.edgeCount, 1);
    EXPECT_EQ(Targets(g, 1), std::vector<int>{2});
    EXPECT_TRUE(Targets(g, 2).empty());
    EXPECT_EQ(g.vertices[2].name, "3");
    EXPECT_EQ(g.vertices[2].x, 100);
    AddVertex(g, 7, 8);
    EXPECT_EQ(g.vertices[3].name, "3"); // two vertices may share a name
    EXPECT_EQ(CheckInvariants(g, true), "");
}

TEST(DeleteVertex, UndirectedWithSelfLoopLowersEdgeCountByItsEdges) {
    Tgraph g;
    MakeGraph(g, false, false, {{0, 0}, {50, 0}, {100, 0}, {150, 0}});
    Connect(g, 2, 2);
    Connect(g, 1, 2);
    Connect(g, 2, 3);
    Connect(g, 4, 2);
    Connect(g, 3, 4);
    ASSERT_EQ(g.edgeCount, 5);
    DeleteVertex(g, 2);
    EXPECT_EQ(g.edgeCount, 1);
    EXPECT_EQ(g.vertexCount, 3);
    EXPECT_EQ(Targets(g, 2), std::vector<int>{3}); // old 3 -> old 4, renumbered 2 -> 3
    EXPECT_EQ(CheckInvariants(g, true), "");
}

TEST(AddVertex, FullTableIsLeftUnchanged) {
    Tgraph g;
    MakeGraph(g, false, false, {});
    for (int i = 0; i < MaxVertices; ++i) AddVertex(g, i, i);
    ASSERT_EQ(g.vertexCount, MaxVertices);
    EXPECT_EQ(g.vertices[100].name, "100");
    AddVertex(g, -5, -5);
    EXPECT_EQ(g.vertexCount, MaxVertices);
    EXPECT_EQ(g.vertices[100].x, 99);
}

TEST(HoveredEdges, RecolourAndDeleteTouchOnlyHoveredNodes) {
    Tgraph g;
    MakeGraph(g, false, false, {{0, 0}, {50, 0}, {100, 0}});
    Connect(g, 1, 2);
    Connect(g, 2, 3);
    FindEdge(g, 1, 2)->hovered = FindEdge(g, 2, 1)->hovered = true;
    RecolorHoveredEdges(g, Red);
    EXPECT_EQ(FindEdge(g, 1, 2)->color, Red);
    EXPECT_EQ(FindEdge(g, 2, 1)->color, Red);
    EXPECT_EQ(FindEdge(g, 2, 3)->color, Black);
    DeleteHoveredEdges(g);
    EXPECT_EQ(g.edgeCount, 1);
    EXPECT_EQ(FindEdge(g, 1, 2), nullptr);
    EXPECT_EQ(FindEdge(g, 2, 1), nullptr);
    EXPECT_NE(FindEdge(g, 2, 3), nullptr);
    EXPECT_EQ(CheckInvariants(g, true), "");
}

TEST(InitGraph, ResetsEdgesAndKindButKeepsEditingState) {
    Tgraph g;
    MakeGraph(g, true, true, {{1, 2}, {3, 4}});
    Connect(g, 1, 2, "/*7*/ red");
    g.fileName = "/tmp/a.gf4";
    g.currentColor = Red;
    g.skipNextPress = g.draggingAll = g.draggingVertex = true;
    g.dragVertex = 2;
    g.edgeStart = g.edgeEnd = 1;
    InitGraph(g);
    EXPECT_EQ(NodeCount(g), 0);
    EXPECT_EQ(g.vertexCount, 0);
    EXPECT_FALSE(g.directed || g.weighted || g.created || g.draggingVertex);
    EXPECT_EQ(g.edgeStart + g.edgeEnd, 0);
    EXPECT_EQ(g.baseColor, White);
    EXPECT_EQ(g.fileName, "/tmp/a.gf4");
    EXPECT_EQ(g.currentColor, Red);
    EXPECT_TRUE(g.skipNextPress && g.draggingAll);
    EXPECT_EQ(g.dragVertex, 2);
    EXPECT_EQ(g.vertices[2].name, "2");
}

TEST(SyncShadow, CopiesListsReversedInBaseColourWithTwinsAndWeights) {
    Tgraph live, shadow;
    MakeGraph(live, true, true, {{0, 0}, {50, 0}, {100, 0}}, Navy);
    Connect(live, 1, 2, "/*a*/ red");
    Connect(live, 1, 3, "/*b*/");
    Connect(live, 2, 1, "/*c*/ blue");
    Connect(live, 3, 3, "/*loop*/");
    FindEdge(live, 1, 2)->hovered = true;
    FindEdge(live, 1, 2)->weight = "x*/ y"; // a weight the editor accepts as typed
    SyncShadow(live, shadow);
    EXPECT_EQ(Targets(shadow, 1), (std::vector<int>{2, 3}));
    EXPECT_EQ(shadow.edgeCount, live.edgeCount);
    EXPECT_EQ(shadow.vertexCount, 3);
    EXPECT_TRUE(shadow.created && shadow.directed && shadow.weighted);
    for (int s = 1; s <= 3; ++s)
        for (const Tedge* e = shadow.edgeLists[s].get(); e; e = e->next.get()) {
            EXPECT_EQ(e->color, Navy);
            EXPECT_FALSE(e->hovered);
            EXPECT_EQ(e->weight, FindEdge(live, s, e->target)->weight);
            EXPECT_EQ(e->twin != nullptr, FindEdge(live, s, e->target)->twin != nullptr);
        }
    EXPECT_EQ(FindEdge(shadow, 1, 2)->weight, "x*/ y");
    EXPECT_EQ(CheckInvariants(shadow), "");

    // A second copy replaces the first completely.
    DeleteVertex(live, 1);
    SyncShadow(live, shadow);
    EXPECT_EQ(NodeCount(shadow), 1);
    EXPECT_EQ(CheckInvariants(shadow), "");
}

// Random edit sequences keep every invariant, with edgeCount equal to the edges held.
TEST(RandomEdits, KeepTheRecordConsistent) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        Tgraph g, shadow;
        MakeGraph(g, seed % 2 == 0, seed % 3 == 0, {});
        for (int step = 0; step < 3000; ++step) {
            const int n = g.vertexCount;
            switch (pick(8)) {
            case 0:
            case 1: AddVertex(g, pick(800), pick(600)); break;
            case 2:
            case 3:
            case 4:
                if (n > 0) Connect(g, 1 + pick(n), 1 + pick(n), "/*w*/ " + std::string(ColorTable[pick(16)].name));
                break;
            case 5:
                if (n > 0 && pick(4) == 0) DeleteVertex(g, 1 + pick(n));
                break;
            case 6:
                for (int i = 1; i <= n; ++i)
                    for (Tedge* e = g.edgeLists[i].get(); e; e = e->next.get()) e->hovered = pick(10) == 0;
                if (pick(2))
                    DeleteHoveredEdges(g);
                else
                    RecolorHoveredEdges(g, ColorTable[pick(16)].value);
                break;
            case 7:
                if (n > 0) MoveVertex(g, 1 + pick(n), pick(21) - 10, pick(21) - 10);
                MoveAllVertices(g, pick(5) - 2, pick(5) - 2);
                break;
            }
            const std::string broken = CheckInvariants(g, true);
            ASSERT_EQ(broken, "") << "after step " << step;
            if (step % 50 == 0) {
                SyncShadow(g, shadow); // over the nodes of the last copy
                ASSERT_EQ(CheckInvariants(shadow, true), "") << "shadow after step " << step;
                Tgraph fresh;
                SyncShadow(g, fresh);
                for (int i = 1; i <= n; ++i) {
                    const Tedge *a = shadow.edgeLists[i].get(), *b = fresh.edgeLists[i].get();
                    for (; a && b; a = a->next.get(), b = b->next.get())
                        ASSERT_TRUE(a->target == b->target && a->weight == b->weight && a->color == b->color &&
                                    !a->hovered && (a->twin == nullptr) == (b->twin == nullptr))
                            << "shadow node " << i << "->" << a->target << " after step " << step;
                    ASSERT_TRUE(a == nullptr && b == nullptr) << "shadow list " << i << " after step " << step;
                }
            }
        }
    }
}

} // namespace
