// Undo and redo from the keyboard, one step for each kind of change, and Ctrl+C.

#include "EditorFixture.h"
#include "Invariants.h"

#include <QAction>
#include <QClipboard>

namespace {

class Undo : public testing::Test, protected TEditor {
protected:
    void SetUp() override { ShowMain(); }
    QPoint At(int v) { return {G().vertices[v].x, G().vertices[v].y}; }
    QPoint Between(int a, int b) { return (At(a) + At(b)) / 2; }
    void Join(int a, int b) { AddEdgeBetween(At(a), At(b)); }
    // Hovering nothing first, so that the click at the drag's end recolours nothing.
    void Drag(QPoint from, QPoint by) { Move({5, 5}), Press(from), Move(from + by), Release(from + by); }
    std::string State() { return GraphContent(G()) + "\ntitle " + form1->windowTitle().toStdString(); }
};

TEST_F(Undo, EveryKindOfChangeIsOneStepBothWays) {
    NewGraph(false, true);
    for (const QPoint p : {QPoint(60, 60), QPoint(220, 60), QPoint(140, 180)}) AddVertexAt(p);
    Join(1, 2);
    Join(3, 3);
    ui.ExecuteFileDialog = [](QFileDialog&) { return std::optional<QString>(NODELOOM_TEST_DATA "/small.gf4"); };
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"vertex added",
         [&] {
             AddVertexAt({300, 200});
         }},
        {"edge added", [&] { Join(2, 4); }},
        {"edge recoloured", [&] { PickColor(9), Move(Between(1, 2)), Click(Between(1, 2)); }},
        {"edge reweighted", [&] { AnswerPrompt("7 km"), Move(Between(1, 2)), DoubleClick(Between(1, 2)); }},
        {"vertex renamed", [&] { AnswerPrompt("Hub"), DoubleClick(At(3)); }},
        {"vertex dragged",
         [&] {
             Drag(At(1), {40, 30});
         }},
        {"picture dragged",
         [&] {
             Drag({20, 300}, {15, -10});
         }},
        {"edge deleted", [&] { Move(Between(1, 2)), ui.Deleteedge1->trigger(), Click(Between(1, 2)); }},
        {"vertex deleted", [&] { ui.Deletevertex1->trigger(), Click(At(2)); }},
        {"file opened", [&] { ui.ToolButton4->click(); }},
        {"graph created", [&] { NewGraph(true, false); }},
    };
    bool shiftZ = false;
    for (const auto& [kind, act] : rows) {
        SCOPED_TRACE(kind);
        const std::string before = State();
        const std::size_t steps = ui.History.UndoSteps();
        act();
        const std::string after = State();
        ASSERT_NE(after, before);
        EXPECT_EQ(ui.History.UndoSteps(), steps + 1);
        Key(Qt::Key_Z);
        EXPECT_EQ(State(), before);
        EXPECT_EQ(Surface().Picture, FreshPicture());
        (shiftZ = !shiftZ) ? Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier) : Key(Qt::Key_Y);
        EXPECT_EQ(State(), after);
        EXPECT_EQ(Surface().Picture, FreshPicture());
    }
    // A new change after an undo: nothing left to redo.
    Key(Qt::Key_Z);
    AddVertexAt({40, 40});
    EXPECT_EQ(ui.History.RedoSteps(), 0u);
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
