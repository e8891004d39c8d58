// The undo history's bounds: at most 1000 steps and 64 MB, the oldest steps dropped first.

#include "UndoHistory.h"

#include "GraphBuilders.h"
#include "Invariants.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(UndoHistory, KeepsTheNewestStepsWithinBothBounds) {
    // A vertex moved again and again: in a small graph until the step bound, in the complete
    // weighted digraph of 100 vertices until the byte bound.
    for (const int vertices : {3, 100}) {
        SCOPED_TRACE(vertices);
        auto g = std::make_unique<Tgraph>();
        MakeGraph(*g, true, true, {});
        for (int i = 0; i < vertices; ++i) AddVertex(*g, 40 * (i % 10), 40 * (i / 10));
        for (int s = 1; vertices == 100 && s <= vertices; ++s)
            for (int t = 1; t <= vertices; ++t)
                if (s != t) Connect(*g, s, t, "/*" + std::to_string(s * t) + "*/ red");
        const int changes = vertices == 100 ? 500 : 1005, startX = g->vertices[1].x;
        TUndoHistory history;
        for (int i = 0; i < changes; ++i) {
            history.BeginChange(*g);
            MoveVertex(*g, 1, 1, 0);
            history.EndChange(*g);
        }
        const auto kept = static_cast<int>(history.UndoSteps());
        EXPECT_EQ(kept == 1000, vertices == 3) << kept << " steps kept";
        EXPECT_GT(kept, 100);
        EXPECT_LE(history.Bytes(), std::size_t(64) << 20);
        while (history.Undo(*g)) continue;
        EXPECT_EQ(g->vertices[1].x, startX + changes - kept) << "the oldest steps go first";
        EXPECT_EQ(CheckInvariants(*g, true), "");
    }
}

TEST(UndoHistory, AnEditKeepsTheNameOfTheLastSaveANewGraphBringsItsOwnBack) {
    Tgraph g;
    MakeGraph(g, false, false, {{10, 10}});
    g.fileName = "opened.gf4";
    TUndoHistory history;
    for (const TChangeKind kind : {TChangeKind::NewGraph, TChangeKind::Edit}) {
        history.BeginChange(g, kind);
        AddVertex(g, 20, 20);
        history.EndChange(g);
        g.fileName = "saved.gf4";
        ASSERT_TRUE(history.Undo(g));
        EXPECT_EQ(g.fileName, kind == TChangeKind::Edit ? "saved.gf4" : "opened.gf4");
    }
}
