// Undo and redo from the keyboard, one step for each kind of change, and Ctrl+C.

#include "EditorFixture.h"
#include "Invariants.h"

#include <QAction>
#include <QClipboard>

#include <utility>

namespace {

class Undo : public testing::Test, protected TEditor {
protected:
    void SetUp() override { ShowMain(); }
    QPoint At(int v) { return {G().vertices[v].x, G().vertices[v].y}; }
    QPoint Between(int a, int b) { return (At(a) + At(b)) / 2; }
    void Join(int a, int b) { AddEdgeBetween(At(a), At(b)); }
    void Drag(QPoint from, QPoint by) {
        Move({5, 5}); // hovering nothing, so that the drag's click recolours nothing
        Press(from);
        Move(from + by / 2);
        Move(from + by);
        Release(from + by);
    }
};

TEST_F(Undo, EveryKindOfChangeIsOneStepBothWays) {
    NewGraph(false, true);
    for (const QPoint p : {QPoint(60, 60), QPoint(220, 60), QPoint(140, 180)}) AddVertexAt(p);
    Join(1, 2);
    Join(3, 3);
    ui.ExecuteFileDialog = [](QFileDialog&) { return std::optional<QString>(NODELOOM_TEST_DATA "/small.gf4"); };
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"vertex added", [&] { AddVertexAt({300, 200}); }},
        {"edge added", [&] { Join(2, 4); }},
        {"edge recoloured", [&] { PickColor(9), Move(Between(1, 2)), Click(Between(1, 2)); }},
        {"edge reweighted", [&] { AnswerPrompt("7 km"), Move(Between(1, 2)), DoubleClick(Between(1, 2)); }},
        {"vertex renamed", [&] { AnswerPrompt("Hub"), DoubleClick(At(3)); }},
        {"vertex dragged", [&] { Drag(At(1), {40, 30}); }},
        {"picture dragged", [&] { Drag({20, 300}, {15, -10}); }},
        {"edge deleted", [&] { Move(Between(1, 2)), ui.Deleteedge1->trigger(), Click(Between(1, 2)); }},
        {"vertex deleted", [&] { ui.Deletevertex1->trigger(), Click(At(2)); }},
        {"file opened", [&] { ui.ToolButton4->click(); }},
        {"graph created", [&] { NewGraph(true, false); }},
    };
    bool shiftZ = false;
    for (const auto& [kind, act] : rows) {
        SCOPED_TRACE(kind);
        const std::string before = GraphContent(G());
        const QString titleBefore = form1->windowTitle();
        const std::size_t steps = ui.History.UndoSteps();
        act();
        const std::string after = GraphContent(G());
        const QString titleAfter = form1->windowTitle();
        ASSERT_NE(after, before);
        EXPECT_EQ(ui.History.UndoSteps(), steps + 1);
        Key(Qt::Key_Z);
        EXPECT_EQ(GraphContent(G()), before);
        EXPECT_EQ(form1->windowTitle(), titleBefore);
        EXPECT_EQ(Surface().Picture, FreshPicture());
        // Ctrl+Shift+Z and Ctrl+Y in turn.
        (shiftZ = !shiftZ) ? Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier) : Key(Qt::Key_Y);
        EXPECT_EQ(GraphContent(G()), after);
        EXPECT_EQ(form1->windowTitle(), titleAfter);
        EXPECT_EQ(Surface().Picture, FreshPicture());
        EXPECT_EQ(CheckInvariants(G()), "");
    }
}

TEST_F(Undo, NothingToUndoChangesNothingAndANewChangeDropsRedo) {
    Key(Qt::Key_Z);
    Key(Qt::Key_Y);
    EXPECT_FALSE(G().created);
    NewGraph(false, false);
    AddVertexAt({60, 60});
    Key(Qt::Key_Z);
    EXPECT_EQ(G().vertexCount, 0);
    AddVertexAt({100, 120});
    EXPECT_EQ(ui.History.RedoSteps(), 0u);
    Key(Qt::Key_Y);
    ASSERT_EQ(G().vertexCount, 1);
    EXPECT_EQ(At(1), QPoint(100, 120));
    for (int k = 0; k < 3; ++k) Key(Qt::Key_Z);
    EXPECT_FALSE(G().created);
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1"));
}

TEST_F(Undo, CtrlCCopiesThePictureExactly) {
    NewGraph(true, true);
    AddVertexAt({60, 60});
    AddVertexAt({200, 120});
    Join(1, 2);
    QGuiApplication::clipboard()->clear();
    Key(Qt::Key_C);
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_FALSE(PictureIsAll(Surface(), colors::White));
    EXPECT_EQ(copied.convertToFormat(Surface().Picture.format()), Surface().Picture);
}

} // namespace
