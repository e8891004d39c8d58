// The undo history on its own: the bounds, the file name rule and the editing state.

#include "UndoHistory.h"

#include "GraphBuilders.h"
#include "Invariants.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

namespace {

// Vertices on a grid, and with `complete` every arc between two of them, weighted.
std::unique_ptr<Tgraph> Grid(int n, bool complete) {
    auto g = std::make_unique<Tgraph>();
    MakeGraph(*g, true, true, {});
    for (int i = 0; i < n; ++i) AddVertex(*g, 40 * (i % 10), 40 * (i / 10));
    for (int s = 1; complete && s <= n; ++s)
        for (int t = 1; t <= n; ++t)
            if (s != t) Connect(*g, s, t, "/*" + std::to_string(s * t) + "*/ red");
    return g;
}

TEST(UndoHistory, KeepsTheNewestStepsWithinBothBounds) {
    struct TRow {
        const char* bound;
        int vertices;
        bool complete;
        int changes;
    } rows[] = {{"1000 steps", 3, false, 1005}, {"64 MB", 100, true, 500}};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.bound);
        std::unique_ptr<Tgraph> g = Grid(row.vertices, row.complete);
        const int startX = g->vertices[1].x;
        TUndoHistory history;
        for (int i = 0; i < row.changes; ++i) {
            history.BeginChange(*g);
            MoveVertex(*g, 1, 1, 0);
            history.EndChange(*g);
        }
        const auto kept = static_cast<int>(history.UndoSteps());
        EXPECT_LE(kept, 1000);
        EXPECT_GT(kept, 100);
        EXPECT_LE(history.Bytes(), std::size_t(64) << 20);
        if (row.complete) {
            EXPECT_LT(kept, row.changes) << "the complete graph's steps should fill 64 MB";
        }
        int undone = 0;
        while (history.Undo(*g)) ++undone;
        EXPECT_EQ(undone, kept);
        EXPECT_EQ(g->vertices[1].x, startX + row.changes - kept) << "the oldest steps go first";
        EXPECT_EQ(CheckInvariants(*g, true), "");
    }
}

TEST(UndoHistory, KeepsTheEditingStateButNeverAVertexThatIsGone) {
    std::unique_ptr<Tgraph> g = Grid(2, false);
    g->fileName = "old.gf4";
    TUndoHistory history;
    EXPECT_FALSE(history.Undo(*g));
    history.BeginChange(*g);
    AddVertex(*g, 100, 100);
    Connect(*g, 3, 1);
    history.EndChange(*g);
    // Saved under a new name, then the add-edge tool and a drag use vertex 3.
    g->fileName = "saved.gf4";
    const std::string withThree = GraphContent(*g);
    g->edgeStart = 3;
    g->edgeEnd = 1;
    g->dragVertex = 3;
    g->draggingVertex = g->skipNextPress = true;
    g->currentColor = colors::Red;

    ASSERT_TRUE(history.Undo(*g));
    EXPECT_EQ(g->vertexCount, 2);
    EXPECT_EQ(g->fileName, "saved.gf4") << "an edit's undo keeps the name of the last save";
    EXPECT_EQ(std::make_tuple(g->edgeStart, g->edgeEnd, g->dragVertex, g->draggingVertex, g->skipNextPress,
                              g->currentColor),
              std::make_tuple(0, 1, 0, false, true, colors::Red));
    ASSERT_TRUE(history.Redo(*g));
    EXPECT_EQ(GraphContent(*g), withThree);
    EXPECT_FALSE(history.Redo(*g));

    // A new graph brings its own file name back; a change under way when undo comes is ended
    // first and then goes on from the graph brought back.
    history.BeginChange(*g, TChangeKind::NewGraph);
    ClearGraph(*g);
    history.EndChange(*g);
    history.BeginChange(*g);
    AddVertex(*g, 5, 5);
    ASSERT_TRUE(history.Undo(*g));
    EXPECT_EQ(g->vertexCount, 0);
    ASSERT_TRUE(history.Undo(*g));
    EXPECT_EQ(std::make_pair(g->vertexCount, g->fileName), std::make_pair(3, std::string("saved.gf4")));
    AddVertex(*g, 6, 6);
    history.EndChange(*g);
    EXPECT_EQ(history.RedoSteps(), 0u) << "the drag's change after undo is a new change";
    ASSERT_TRUE(history.Undo(*g));
    EXPECT_EQ(g->vertexCount, 3);
}

} // namespace
