// Editing from the keyboard alone, driven by key presses on the main window, and the surface's
// accessible object as assistive programs query it.

#include "EditorFixture.h"

#include <QAccessible>
#include <QAction>

namespace {

class Keyboard : public testing::Test, protected TEditor {
protected:
    void SetUp() override { ShowMain(); }

    // Three vertices on a row, renamed Ann, Bob and Cy.
    void ThreeNamed(bool weighted) {
        NewGraph(false, weighted);
        const char* names[] = {"Ann", "Bob", "Cy"};
        for (int v = 1; v <= 3; ++v) {
            AddVertexAt({60 * v, 100});
            RenameVertex(G(), v, names[v - 1]);
        }
        Type(form1.get(), QStringLiteral(".")); // a redraw, and nothing more
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(form1.get(), key, m); }
    QAccessibleInterface* SurfaceObject() { return QAccessible::queryAccessibleInterface(&Surface()); }
    // The names of the surface's focused children.
    QStringList Focused() {
        QStringList names;
        QAccessibleInterface* surface = SurfaceObject();
        for (int i = 0; i < surface->childCount(); ++i)
            if (surface->child(i)->state().focused) names << surface->child(i)->text(QAccessible::Name);
        return names;
    }
    std::pair<int, int> At(int v) { return {G().vertices[v].x, G().vertices[v].y}; }
};

TEST_F(Keyboard, TabChoosesAndArrowsMoveOneUndoStepEach) {
    ThreeNamed(false);
    Press(Qt::Key_Tab);
    EXPECT_EQ(Focused(), QStringList{"vertex Ann"});
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down}) Press(k);
    EXPECT_EQ(At(1), std::make_pair(90, 110));
    Press(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(At(1), std::make_pair(89, 110));
    Key(Qt::Key_Z);
    EXPECT_EQ(At(1), std::make_pair(90, 110));
    Key(Qt::Key_Z);
    EXPECT_EQ(At(1), std::make_pair(90, 100));

    // Forward and back in number order, round the end.
    const struct {
        Qt::KeyboardModifiers modifiers;
        const char* focused;
    } steps[] = {{Qt::NoModifier, "vertex Bob"},
                 {Qt::NoModifier, "vertex Cy"},
                 {Qt::NoModifier, "vertex Ann"},
                 {Qt::ShiftModifier, "vertex Cy"}};
    for (const auto& s : steps) {
        Press(s.modifiers & Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab, s.modifiers);
        EXPECT_EQ(Focused(), QStringList{QString::fromLatin1(s.focused)});
    }
    // Typed letters find a vertex by its name, in any case.
    Type(form1.get(), QStringLiteral("b"));
    EXPECT_EQ(Focused(), QStringList{"vertex Bob"});
}

// The mark is drawn while the keyboard's selection is in use; Escape or a press of the mouse
// leaves the graph's own picture, pixel for pixel.
TEST_F(Keyboard, MarkOnlyWhileTheKeyboardSelects) {
    ThreeNamed(false);
    const QImage plain = Surface().Picture.copy();
    ASSERT_EQ(plain, FreshPicture());
    Press(Qt::Key_Tab);
    EXPECT_NE(Surface().Picture, plain);
    Press(Qt::Key_Tab);
    EXPECT_NE(Surface().Picture, plain);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Surface().Picture, plain);
    EXPECT_EQ(Focused(), QStringList());

    Press(Qt::Key_Tab);
    Press(Qt::Key_Down);
    EXPECT_NE(Surface().Picture, FreshPicture());
    Click({300, 300});
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(Keyboard, InsertRenameDelete) {
    ThreeNamed(false);
    Press(Qt::Key_Insert); // the pointer is not over the surface: its centre
    ASSERT_EQ(G().vertexCount, 4);
    const QPoint centre = Surface().rect().center();
    EXPECT_EQ(At(4), std::make_pair(centre.x(), centre.y()));
    EXPECT_EQ(Focused(), QStringList{"vertex 4"});

    AnswerPrompt(QStringLiteral("Dee"));
    Press(Qt::Key_F2);
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(seen.caption, QStringLiteral("Vertex \"4\" renaming"));
    EXPECT_EQ(G().vertices[4].name, "Dee");

    Type(form1.get(), QStringLiteral("b"));
    Press(Qt::Key_Delete);
    ASSERT_EQ(G().vertexCount, 3);
    EXPECT_EQ(G().vertices[2].name, "Cy");
    Key(Qt::Key_Z);
    EXPECT_EQ(G().vertexCount, 4);
    EXPECT_EQ(G().vertices[2].name, "Bob");
}

TEST_F(Keyboard, EdgeFromEToReturnAsksItsWeight) {
    ThreeNamed(true);
    // Escape gives up an edge begun with E.
    Press(Qt::Key_Tab);
    Press(Qt::Key_E);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Escape);
    Press(Qt::Key_Return);
    EXPECT_EQ(G().edgeCount, 0);

    // From Bob (still selected) to Ann, chosen by typing; its weight as a double-click asks it.
    Press(Qt::Key_E);
    Type(form1.get(), QStringLiteral("a"));
    AnswerPrompt(QStringLiteral("42"));
    Press(Qt::Key_Return);
    ASSERT_EQ(G().edgeCount, 1);
    EXPECT_TRUE(seen.opened);
    const Tedge* edge = FindEdge(G(), 1, 2);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->weight, "42");
    QAccessibleInterface* surface = SurfaceObject();
    ASSERT_EQ(surface->childCount(), 4);
    EXPECT_EQ(surface->child(3)->text(QAccessible::Name), QStringLiteral("edge Ann \u2013 Bob, weight 42"));
    EXPECT_EQ(surface->child(0)->text(QAccessible::Description), QStringLiteral("degree 1; neighbours Bob (42)"));
    Key(Qt::Key_Z); // the edge and its weight were one step
    EXPECT_EQ(G().edgeCount, 0);
    EXPECT_EQ(surface->childCount(), 3);
}

TEST_F(Keyboard, SurfaceAndButtonsAreNamedForAssistiveTechnology) {
    QAccessibleInterface* surface = SurfaceObject();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->role(), QAccessible::Canvas);
    EXPECT_EQ(surface->text(QAccessible::Name), QStringLiteral("Graph not created"));
    ThreeNamed(true);
    EXPECT_EQ(surface->text(QAccessible::Name), QStringLiteral("Undirected weighted graph, 3 vertices, 0 edges"));
    ASSERT_EQ(surface->childCount(), 3);
    QAccessibleInterface* bob = surface->child(1);
    EXPECT_EQ(bob->text(QAccessible::Name), QStringLiteral("vertex Bob"));
    EXPECT_EQ(surface->indexOfChild(bob), 1);
    EXPECT_EQ(bob->parent(), surface);
    // Its box on screen holds the vertex's centre, and the surface finds it there.
    const QPoint centre = Surface().mapToGlobal(QPoint(120, 100));
    EXPECT_TRUE(bob->rect().contains(centre));
    EXPECT_EQ(surface->childAt(centre.x(), centre.y()), bob);
    QAccessibleInterface* buttons[] = {QAccessible::queryAccessibleInterface(ui.ToolButton1),
                                       QAccessible::queryAccessibleInterface(ui.ToolButton10),
                                       QAccessible::queryAccessibleInterface(ui.ToolButton18)};
    for (QAccessibleInterface* b : buttons) {
        EXPECT_FALSE(b->text(QAccessible::Name).isEmpty());
        EXPECT_EQ(b->text(QAccessible::Name), static_cast<QWidget*>(b->object())->toolTip());
    }
}

} // namespace
