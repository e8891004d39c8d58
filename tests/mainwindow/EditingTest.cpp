// The editing tools, the mouse on the surface, the keys and the colour box, driven through the
// window's widgets and the surface's real mouse events.

#include "EditorFixture.h"
#include "StatusBar.h"

#include <QAction>

namespace {

using namespace colors;

constexpr int RedIndex = 9, NavyIndex = 4;

class Editing : public testing::Test, protected TEditor {
protected:
    void SetUp() override { ShowMain(); }

    // Two vertices 140 pixels apart on one row, joined by an edge.
    void TwoJoined(bool directed) {
        NewGraph(directed, false);
        AddVertexAt({60, 100});
        AddVertexAt({200, 100});
        AddEdgeBetween({60, 100}, {200, 100});
        ASSERT_EQ(G().edgeCount, 1);
    }
    bool Down(QToolButton* b) { return b->isChecked(); }
    int DownCount() {
        return Down(ui.ToolButton10) + Down(ui.ToolButton12) + Down(ui.ToolButton14) + Down(ui.ToolButton16);
    }
};

// ---- Choosing a tool -------------------------------------------------------------------------

TEST_F(Editing, WithoutAGraphToolsSpringBackAndClicksDoNothing) {
    QToolButton* buttons[] = {ui.ToolButton10, ui.ToolButton12, ui.ToolButton14, ui.ToolButton16};
    for (QToolButton* b : buttons) {
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_FALSE(b->isChecked());
    }
    QAction* items[] = {ui.Addvertex1, ui.Addedge1, ui.Deletevertex1, ui.Deleteedge1};
    for (QAction* a : items) a->trigger();
    EXPECT_EQ(DownCount(), 0);

    // A press still starts a picture drag, which redraws the no-graph surface; nothing is added.
    ui.ToolButton10->setChecked(true);
    Press({50, 50});
    EXPECT_TRUE(G().draggingAll);
    Move({70, 60});
    Release({70, 60});
    EXPECT_EQ(G().vertexCount, 0);
    EXPECT_EQ(Surface().Canvas().Pixel(30, 30), Silver);
}

TEST_F(Editing, ToolButtonsKeepAtMostOneDown) {
    NewGraph(false, false);
    QTest::mouseClick(ui.ToolButton10, Qt::LeftButton);
    EXPECT_TRUE(Down(ui.ToolButton10));
    QTest::mouseClick(ui.ToolButton14, Qt::LeftButton);
    EXPECT_TRUE(Down(ui.ToolButton14));
    EXPECT_EQ(DownCount(), 1);
    // Its own down button again: no tool.
    QTest::mouseClick(ui.ToolButton14, Qt::LeftButton);
    EXPECT_EQ(DownCount(), 0);

    // A menu item puts its button down and never toggles it.
    ui.Deleteedge1->trigger();
    ui.Deleteedge1->trigger();
    EXPECT_TRUE(Down(ui.ToolButton16));
    ui.Addedge1->trigger();
    EXPECT_TRUE(Down(ui.ToolButton12));
    EXPECT_EQ(DownCount(), 1);

    QTest::mouseClick(ui.ToolButton18, Qt::LeftButton);
    EXPECT_EQ(DownCount(), 0);
    ui.Addvertex1->trigger();
    ui.Cancelediting1->trigger();
    EXPECT_EQ(DownCount(), 0);
}

TEST_F(Editing, ChoosingAddEdgeForgetsTheChosenEndsButCancelKeepsThem) {
    NewGraph(true, false);
    AddVertexAt({60, 100});
    AddVertexAt({200, 100});
    AddEdgeBetween({60, 100}, {200, 100});
    EXPECT_EQ(G().edgeStart, 1);
    EXPECT_EQ(G().edgeEnd, 2);
    ui.Cancelediting1->trigger();
    EXPECT_EQ(G().edgeStart, 1);
    EXPECT_EQ(G().edgeEnd, 2);
    QTest::mouseClick(ui.ToolButton12, Qt::LeftButton);
    EXPECT_EQ(G().edgeStart, 0);
    EXPECT_EQ(G().edgeEnd, 0);
}

// ---- The tools on the surface ----------------------------------------------------------------

TEST_F(Editing, AddVertexActsOnceAtThePressPoint) {
    NewGraph(false, false);
    AddVertexAt({80, 90});
    ASSERT_EQ(G().vertexCount, 1);
    EXPECT_EQ(G().vertices[1].x, 80);
    EXPECT_EQ(G().vertices[1].y, 90);
    EXPECT_EQ(G().vertices[1].name, "1");
    EXPECT_EQ(DownCount(), 0);
    EXPECT_EQ(Surface().Picture, FreshPicture());

    Click({200, 90}); // no tool any more
    EXPECT_EQ(G().vertexCount, 1);

    // On top of an existing vertex: a new one at the press point.
    AddVertexAt({85, 95});
    ASSERT_EQ(G().vertexCount, 2);
    EXPECT_EQ(G().vertices[2].x, 85);
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(Editing, AddVertexOnAFullGraphAddsNothingAndSaysWhy) {
    NewGraph(false, false);
    for (int i = 0; i < MaxVertices; ++i) AddVertex(G(), 20 + (i % 10) * 30, 20 + (i / 10) * 30);
    form1->RefreshView();
    AddVertexAt({150, 150});
    EXPECT_EQ(G().vertexCount, MaxVertices);
    EXPECT_EQ(DownCount(), 0);
    EXPECT_EQ(messages, QStringList{QStringLiteral("A graph holds at most 100 vertices.")});
    EXPECT_TRUE(errors.isEmpty());

    // One below the bound: added, no message.
    messages.clear();
    DeleteVertex(G(), 100);
    AddVertexAt({150, 150});
    EXPECT_EQ(G().vertexCount, MaxVertices);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Editing, DeleteVertexWaitsForAVertexThenRenumbers) {
    NewGraph(false, false);
    AddVertexAt({50, 60});
    AddVertexAt({150, 60});
    AddVertexAt({250, 60});
    AddEdgeBetween({150, 60}, {250, 60});

    ui.Deletevertex1->trigger();
    Click({150, 200}); // off every vertex: the tool stays
    EXPECT_EQ(G().vertexCount, 3);
    EXPECT_TRUE(Down(ui.ToolButton14));

    Click({150, 60});
    EXPECT_EQ(G().vertexCount, 2);
    EXPECT_EQ(G().edgeCount, 0);
    EXPECT_EQ(DownCount(), 0);
    EXPECT_EQ(G().vertices[2].name, "3");
    EXPECT_EQ(Surface().Picture, FreshPicture());

    AddVertexAt({150, 150});
    EXPECT_EQ(G().vertices[3].name, "3");
}

TEST_F(Editing, AddEdgeWaitsForTwoVerticesAndTakesTheBoxColour) {
    NewGraph(false, true);
    AddVertexAt({60, 100});
    AddVertexAt({200, 100});
    PickColor(RedIndex);
    ui.Addedge1->trigger();

    const QImage before = Surface().Picture;
    Click({60, 100});
    EXPECT_EQ(G().edgeStart, 1);
    EXPECT_TRUE(Down(ui.ToolButton12));
    // The first end is framed while the second is awaited, and named in the status bar.
    EXPECT_NE(Surface().Picture, before);
    EXPECT_EQ(Surface().Picture, ExpectedPicture());
    EXPECT_EQ(ui.StatusBar1->PanelText(1), QStringLiteral("Edge from 1: click the second vertex"));
    Click({130, 200}); // off every vertex
    EXPECT_EQ(G().edgeEnd, 0);
    EXPECT_TRUE(Down(ui.ToolButton12));

    Click({200, 100});
    EXPECT_EQ(G().edgeCount, 1);
    EXPECT_EQ(NodeCount(G()), 2); // both halves of an undirected edge
    ASSERT_NE(FindEdge(G(), 1, 2), nullptr);
    EXPECT_EQ(FindEdge(G(), 1, 2)->color, Red);
    EXPECT_EQ(FindEdge(G(), 2, 1)->color, Red);
    EXPECT_EQ(FindEdge(G(), 1, 2)->weight, "");
    EXPECT_EQ(DownCount(), 0);
    EXPECT_EQ(Surface().Picture, FreshPicture());
    EXPECT_EQ(ui.StatusBar1->PanelText(1), QString());

    // Another tool, Cancel or Escape gives the first end up, and its frame goes.
    const std::function<void()> giveUp[] = {[&] { ui.Addvertex1->trigger(); }, [&] { ui.ToolButton18->click(); },
                                            [&] { Key(Qt::Key_Escape); }, [&] { ui.ToolButton12->click(); }};
    for (const auto& action : giveUp) {
        ui.Addedge1->trigger();
        Click({60, 100});
        ASSERT_NE(Surface().Picture, FreshPicture());
        action();
        EXPECT_EQ(Surface().Picture, FreshPicture());
        EXPECT_EQ(ui.StatusBar1->PanelText(1), QString());
        ui.ToolButton18->click();
    }
}

TEST_F(Editing, DuplicateEdgesAndSelfLoopsCountOnce) {
    for (const bool directed : {false, true}) {
        SCOPED_TRACE(directed ? "directed" : "undirected");
        NewGraph(directed, false);
        AddVertexAt({60, 100});
        AddVertexAt({200, 100});
        AddEdgeBetween({60, 100}, {200, 100});
        AddEdgeBetween({60, 100}, {200, 100}); // the same ordered pair again
        EXPECT_EQ(G().edgeCount, 1);
        EXPECT_EQ(NodeCount(G()), directed ? 1 : 2);
        EXPECT_EQ(DownCount(), 0); // the tool ends all the same

        AddEdgeBetween({200, 100}, {200, 100});
        EXPECT_EQ(G().edgeCount, 2);
        EXPECT_EQ(NodeCount(G()), (directed ? 1 : 2) + 1);
        ASSERT_NE(FindEdge(G(), 2, 2), nullptr);
        EXPECT_EQ(FindEdge(G(), 2, 2)->twin, FindEdge(G(), 2, 2)); // its own twin
        EXPECT_EQ(Surface().Picture, FreshPicture());

        if (directed) {
            AddEdgeBetween({200, 100}, {60, 100}); // the opposite direction is another edge
            EXPECT_EQ(G().edgeCount, 3);
        }
    }
}

TEST_F(Editing, DeleteEdgeRemovesTheHoveredEdgeOnceAndEndsEvenWithoutOne) {
    TwoJoined(false);
    ui.Deleteedge1->trigger();
    Click({130, 250}); // nothing hovered: nothing deleted, tool ends
    EXPECT_EQ(G().edgeCount, 1);
    EXPECT_EQ(DownCount(), 0);

    Move({130, 101});
    ui.Deleteedge1->trigger();
    Click({130, 101});
    EXPECT_EQ(G().edgeCount, 0);
    EXPECT_EQ(NodeCount(G()), 0);
    EXPECT_EQ(DownCount(), 0);
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

// ---- Hover and colour ------------------------------------------------------------------------

TEST_F(Editing, HoverMarksBothHalvesAndDrawsInTheCurrentColour) {
    TwoJoined(false);
    PickColor(NavyIndex);
    EXPECT_EQ(G().currentColor, Navy);

    Move({130, 102});
    EXPECT_TRUE(FindEdge(G(), 1, 2)->hovered);
    EXPECT_TRUE(FindEdge(G(), 2, 1)->hovered);
    EXPECT_EQ(Surface().Canvas().Pixel(130, 100), Navy);
    EXPECT_EQ(Surface().Picture, FreshPicture());

    Move({130, 140}); // away: both flags drop, the edge is black again
    EXPECT_FALSE(FindEdge(G(), 1, 2)->hovered);
    EXPECT_FALSE(FindEdge(G(), 2, 1)->hovered);
    EXPECT_EQ(Surface().Canvas().Pixel(130, 100), Black);
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(Editing, HoverRedrawsOnlyWhenAFlagChanges) {
    TwoJoined(false);
    Move({130, 250});
    MoveVertex(G(), 2, 10, 0); // changed behind the picture's back; the edge still runs along y = 100
    Move({130, 240});          // no flag changes: no redraw
    EXPECT_NE(Surface().Picture, FreshPicture());
    Move({130, 101}); // onto the edge: redrawn
    EXPECT_TRUE(FindEdge(G(), 1, 2)->hovered);
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(Editing, ClickRecoloursHoveredEdgesFromTheBoxNotTheCurrentColour) {
    TwoJoined(false);
    PickColor(NavyIndex);
    ui.ColorBox1->SetSelected(Red); // a program selection: currentColor stays navy
    EXPECT_EQ(G().currentColor, Navy);
    Move({130, 101});
    Click({130, 101});
    EXPECT_EQ(FindEdge(G(), 1, 2)->color, Red);
    EXPECT_EQ(FindEdge(G(), 2, 1)->color, Red);
    EXPECT_EQ(G().vertexCount, 2);
    EXPECT_EQ(G().edgeCount, 1);
    // Still hovered, still drawn in the current colour until the flag drops.
    EXPECT_EQ(Surface().Canvas().Pixel(130, 100), Navy);
    Move({130, 200});
    EXPECT_EQ(Surface().Canvas().Pixel(130, 100), Red);
}

TEST_F(Editing, PickingAColourAloneDoesNotRedraw) {
    TwoJoined(false);
    Move({130, 101});
    const QImage before = Surface().Picture;
    PickColor(RedIndex);
    EXPECT_EQ(G().currentColor, Red);
    EXPECT_EQ(Surface().Picture, before);
    QTest::keyClick(form1.get(), Qt::Key_A); // the next redraw shows it
    EXPECT_EQ(Surface().Canvas().Pixel(130, 100), Red);
}

// ---- Dragging --------------------------------------------------------------------------------

TEST_F(Editing, DraggingAVertexFollowsThePointer) {
    TwoJoined(false);
    Press({62, 103});
    EXPECT_TRUE(G().draggingVertex);
    EXPECT_EQ(G().dragVertex, 1);
    Move({72, 123});
    EXPECT_EQ(Surface().Picture, FreshPicture());
    Move({-30, 10}); // a left drag keeps going outside the surface
    EXPECT_EQ(G().vertices[1].x, 60 - 92);
    EXPECT_EQ(G().vertices[1].y, 100 - 93);
    EXPECT_EQ(G().vertices[2].x, 200);
    Move({92, 153});
    Release({92, 153});
    EXPECT_FALSE(G().draggingVertex);
    EXPECT_EQ(G().vertices[1].x, 90);
    EXPECT_EQ(G().vertices[1].y, 150);
    EXPECT_EQ(Surface().Picture, FreshPicture());
    EXPECT_FALSE(FindEdge(G(), 1, 2)->hovered); // no hover pass during a drag
}

TEST_F(Editing, DraggingThePictureMovesEveryVertexWithoutBounds) {
    TwoJoined(true);
    Press({130, 250});
    EXPECT_TRUE(G().draggingAll);
    Move({110, 240});
    Move({-500, 240});
    EXPECT_EQ(G().vertices[1].x, 60 - 630);
    EXPECT_EQ(G().vertices[2].x, 200 - 630);
    Move({130, 250}); // back again
    Release({130, 250});
    EXPECT_EQ(G().vertices[1].x, 60);
    EXPECT_EQ(G().vertices[2].y, 100);
    EXPECT_EQ(Surface().Picture, FreshPicture());
    Move({10, 10});
    EXPECT_EQ(G().vertices[1].x, 60); // released: moves no longer drag
}

TEST_F(Editing, ALeftDragEndingOnTheSurfaceClicksWhereItEnded) {
    NewGraph(false, false);
    AddVertexAt({60, 100});
    AddVertexAt({200, 100});
    ui.Deletevertex1->trigger();
    Press({200, 100});
    Move({150, 180});
    Release({150, 180});
    ASSERT_EQ(G().vertexCount, 1);
    EXPECT_EQ(G().vertices[1].x, 60); // the dragged vertex went
    EXPECT_EQ(Surface().Picture, FreshPicture());

    // Released outside: no click, the tool stays.
    ui.Deletevertex1->trigger();
    Press({60, 100});
    Move({-20, 100});
    Release({-20, 100});
    EXPECT_EQ(G().vertexCount, 1);
    EXPECT_TRUE(Down(ui.ToolButton14));
}

TEST_F(Editing, RightDragMovesWithoutToolsAndOutsideReleaseKeepsDragging) {
    NewGraph(false, false);
    AddVertexAt({60, 100});
    ui.Deletevertex1->trigger();
    Press({60, 100}, Qt::RightButton);
    Move({70, 110});
    Release({70, 110}, Qt::RightButton);
    EXPECT_EQ(G().vertexCount, 1); // no click
    EXPECT_EQ(G().vertices[1].x, 70);

    Press({300, 300}, Qt::RightButton);
    Move({305, 300});
    Release({-10, 300}, Qt::RightButton); // outside: the surface never hears of it
    EXPECT_TRUE(G().draggingAll);
    Move({315, 300}); // a move over the surface with no button keeps dragging
    EXPECT_EQ(G().vertices[1].x, 85);
    Release({315, 300}, Qt::RightButton);
    EXPECT_FALSE(G().draggingAll);
}

// ---- Keys ------------------------------------------------------------------------------------

TEST_F(Editing, EscapeEndsAddVertexUnlessAnEdgeWasMade) {
    NewGraph(false, false);
    AddVertexAt({60, 100});
    AddVertexAt({200, 100});
    ui.Addvertex1->trigger();
    QTest::keyClick(form1.get(), Qt::Key_Escape);
    EXPECT_FALSE(Down(ui.ToolButton10));

    ui.Addedge1->trigger();
    QTest::keyClick(form1.get(), Qt::Key_Escape); // the add-edge tool is not affected
    EXPECT_TRUE(Down(ui.ToolButton12));
    Click({60, 100});
    Click({200, 100});
    ui.Addvertex1->trigger();
    QTest::keyClick(form1.get(), Qt::Key_Escape);
    EXPECT_TRUE(Down(ui.ToolButton10)); // both ends set: Escape leaves it

    ui.Addedge1->trigger(); // forgets the ends
    ui.Addvertex1->trigger();
    QTest::keyClick(form1.get(), Qt::Key_Escape);
    EXPECT_FALSE(Down(ui.ToolButton10));
}

TEST_F(Editing, EveryCharacterRedrawsAndFullStopChangesNothingElse) {
    TwoJoined(false);
    AddEdgeBetween({200, 100}, {200, 100});
    const std::string before = GraphFileText(G());
    const int nodes = NodeCount(G());
    for (const Qt::Key key : {Qt::Key_Period, Qt::Key_X, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        MoveVertex(G(), 2, 3, 4); // changed behind the picture's back
        QTest::keyClick(form1.get(), key);
        EXPECT_EQ(Surface().Picture, FreshPicture());
    }
    EXPECT_EQ(G().edgeCount, 2);
    EXPECT_EQ(NodeCount(G()), nodes);
    for (int s = 1; s <= 2; ++s)
        for (Tedge* e = G().edgeLists[s].get(); e; e = e->next.get()) {
            ASSERT_NE(e->twin, nullptr);
            EXPECT_EQ(e->twin->twin, e);
        }
    MoveVertex(G(), 2, -9, -12);
    EXPECT_EQ(GraphFileText(G()), before);
}

} // namespace
