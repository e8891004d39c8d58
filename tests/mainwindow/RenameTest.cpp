// Renaming vertices and reweighting edges by a double-click on the surface: the prompt it opens,
// the name cut to 25 pixels, the node that takes a weight, and the press the double-click swallows.

#include "EditorFixture.h"
#include "TextCodec.h"

#include <QAction>

namespace {

using namespace colors;

constexpr int MaxNameWidth = 25;

class Rename : public testing::Test, protected TEditor {
protected:
    void SetUp() override {
        ShowMain();
        promptResult.clear();
    }

    // Two vertices 140 pixels apart on one row, joined by an edge.
    void TwoJoined(bool directed, bool weighted) {
        NewGraph(directed, weighted);
        AddVertexAt({60, 100});
        AddVertexAt({200, 100});
        ui.Addedge1->trigger();
        Click({60, 100});
        Click({200, 100});
        ASSERT_EQ(G().edgeCount, 1);
    }
    int Width(const std::string& text) { return Surface().Canvas().TextWidth(text); }
};

TEST_F(Rename, DoubleClickOnAVertexRenamesItAndRedraws) {
    TwoJoined(false, false);
    AnswerPrompt(QStringLiteral("Ab"));
    DoubleClick({200, 100});
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(seen.caption, QStringLiteral("Vertex \"2\" renaming"));
    EXPECT_EQ(seen.proposed, QStringLiteral("2"));
    EXPECT_FALSE(seen.mainEnabled);
    EXPECT_EQ(G().vertices[2].name, "Ab");
    EXPECT_EQ(G().vertices[2].radius, 15);
    EXPECT_FALSE(form3->isVisible());
    EXPECT_TRUE(form1->isEnabled());

    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(Rename, TheDoubleClicksSecondPressStartsNoDrag) {
    TwoJoined(false, false);
    AnswerPrompt(QStringLiteral("x"));
    Press({60, 100});
    Release({60, 100});
    held |= Qt::LeftButton;
    Send(QEvent::MouseButtonDblClick, {60, 100}, Qt::LeftButton, held);
    // The prompt has come and gone; the second press only cleared the flag.
    EXPECT_TRUE(seen.opened);
    EXPECT_FALSE(G().skipNextPress);
    EXPECT_FALSE(G().draggingVertex);
    EXPECT_FALSE(G().draggingAll);
    Move({90, 130});
    Release({90, 130});
    EXPECT_EQ(G().vertices[1].x, 60);
    EXPECT_EQ(G().vertices[1].y, 100);
}

TEST_F(Rename, LongNamesAreCutToTwentyFivePixelsInWholeCharacters) {
    const QString names[] = {QStringLiteral("Wolverhampton"), QStringLiteral("ääääääääääää"),
                             QStringLiteral("日本語の名前です"), QStringLiteral("ab"), QStringLiteral("")};
    NewGraph(false, false);
    AddVertexAt({100, 100});
    for (const QString& typed : names) {
        SCOPED_TRACE(typed.toStdString());
        const std::string full = EncodeText(typed);
        AnswerPrompt(typed);
        messages.clear();
        DoubleClick({100, 100});
        const std::string& name = G().vertices[1].name;
        // A cut name is told, with the part kept; a whole one is not.
        if (name == full)
            EXPECT_TRUE(messages.isEmpty());
        else
            EXPECT_EQ(messages, QStringList{QStringLiteral("The name \"%1\" is wider than the 25 pixels a vertex "
                                                           "shows: \"%2\" is kept.")
                                                .arg(typed, DecodeText(name))});
        EXPECT_EQ(full.compare(0, name.size(), name), 0); // a leading part
        EXPECT_EQ(EncodeText(DecodeText(name)), name);    // no sequence split
        EXPECT_EQ(DecodeText(name), typed.left(DecodeText(name).size()));
        EXPECT_LE(Width(name), MaxNameWidth);
        if (name.size() < full.size()) {
            // One more character would not fit.
            const QString longer = typed.left(DecodeText(name).size() + 1);
            EXPECT_GT(Width(EncodeText(longer)), MaxNameWidth);
        }
    }
    EXPECT_EQ(G().vertices[1].name, ""); // the empty name stays empty
}

TEST_F(Rename, NameThatFitsStaysWholeAndACutOneShowsAsCut) {
    NewGraph(false, false);
    AddVertexAt({100, 100});
    AnswerPrompt(QStringLiteral("ab"));
    DoubleClick({100, 100});
    EXPECT_EQ(G().vertices[1].name, "ab");
    AnswerPrompt(QStringLiteral("Wolverhampton"));
    DoubleClick({100, 100});
    EXPECT_LT(G().vertices[1].name.size(), std::string("Wolverhampton").size());
    EXPECT_FALSE(G().vertices[1].name.empty());
    form1->RefreshView();
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(Rename, DoubleClickWithAddVertexRenamesTheVertexJustAdded) {
    NewGraph(false, false);
    AddVertexAt({60, 100});
    ui.Addvertex1->trigger();
    AnswerPrompt(QStringLiteral("new"));
    DoubleClick({150, 150});
    EXPECT_EQ(seen.caption, QStringLiteral("Vertex \"2\" renaming"));
    ASSERT_EQ(G().vertexCount, 2);
    EXPECT_EQ(G().vertices[2].name, "new");
    EXPECT_EQ(G().vertices[2].x, 150);
}

TEST_F(Rename, DoubleClickWithAddEdgeRenamesTheFirstEndAndKeepsWaiting) {
    NewGraph(false, false);
    AddVertexAt({60, 100});
    AddVertexAt({200, 100});
    ui.Addedge1->trigger();
    AnswerPrompt(QStringLiteral("a"));
    DoubleClick({60, 100});
    EXPECT_EQ(G().vertices[1].name, "a");
    EXPECT_EQ(G().edgeStart, 1);
    EXPECT_EQ(G().edgeEnd, 0);
    EXPECT_TRUE(ui.ToolButton12->isChecked());
    Click({200, 100});
    EXPECT_EQ(G().edgeCount, 1);
}

TEST_F(Rename, ReweightChangesOnlyTheLowerEndsNode) {
    TwoJoined(false, true);
    ui.ColorBox1->SetSelected(Red);
    Move({130, 101});
    AnswerPrompt(QStringLiteral("3 km"));
    DoubleClick({130, 101});
    EXPECT_EQ(seen.caption, QStringLiteral("Edge \"\" reweighting"));
    EXPECT_EQ(Surface().Picture, FreshPicture());
    Tedge* lower = FindEdge(G(), 1, 2);
    Tedge* upper = FindEdge(G(), 2, 1);
    EXPECT_EQ(lower->weight, "3 km");
    EXPECT_EQ(upper->weight, "");
    EXPECT_EQ(lower->color, Red); // the first click recoloured it
    EXPECT_EQ(upper->color, Red);

    // Weights changed twice with no other redraw between: nothing of "3 km" may stay behind.
    AnswerPrompt(QStringLiteral("a long weight"));
    DoubleClick({130, 101});
    EXPECT_EQ(seen.caption, QStringLiteral("Edge \"3 km\" reweighting"));
    EXPECT_EQ(seen.proposed, QStringLiteral("3 km"));
    AnswerPrompt(QStringLiteral(""));
    DoubleClick({130, 101});
    EXPECT_EQ(lower->weight, "");
    EXPECT_EQ(Surface().Picture, FreshPicture());
    QTest::keyClick(form1.get(), Qt::Key_Space);
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(Rename, AVertexOnAnEdgeIsRenamedAndTheEdgeLeftAlone) {
    TwoJoined(false, true);
    AddVertexAt({130, 100}); // on the middle of the edge
    Move({130, 101});
    ASSERT_TRUE(FindEdge(G(), 1, 2)->hovered);
    AnswerPrompt(QStringLiteral("mid"));
    DoubleClick({130, 101});
    EXPECT_EQ(seen.caption, QStringLiteral("Vertex \"3\" renaming"));
    EXPECT_EQ(G().vertices[3].name, "mid");
    EXPECT_EQ(FindEdge(G(), 1, 2)->weight, "");
}

TEST_F(Rename, DoubleClickOnAnEdgeOfAnUnweightedGraphOpensNothing) {
    TwoJoined(false, false);
    Move({130, 101});
    bool opened = false;
    QTimer::singleShot(0, form3.get(), [&] { opened = form3->isVisible(); });
    Press({130, 101});
    Release({130, 101});
    held |= Qt::LeftButton;
    Send(QEvent::MouseButtonDblClick, {130, 101}, Qt::LeftButton, held);
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_FALSE(form3->isVisible());
    EXPECT_TRUE(G().draggingAll); // the second press was an ordinary one
    Release({130, 101});
}

TEST_F(Rename, DoubleClickWithDeleteEdgeDeletesAndOpensNothing) {
    TwoJoined(false, true);
    Move({130, 101});
    ui.Deleteedge1->trigger();
    DoubleClick({130, 101});
    QApplication::processEvents();
    EXPECT_EQ(G().edgeCount, 0);
    EXPECT_FALSE(form3->isVisible());
    EXPECT_FALSE(G().skipNextPress);
}

TEST_F(Rename, ClosingThePromptKeepsTheNameAndFreesTheMainWindow) {
    TwoJoined(false, false);
    G().vertices[1].name = "old";
    promptResult = "from an earlier prompt";
    AnswerPrompt([](TForm3& f) {
        QTest::keyClicks(f.Edit1, QStringLiteral("typed"));
        f.close();
    });
    DoubleClick({60, 100});
    EXPECT_TRUE(seen.opened);
    EXPECT_EQ(G().vertices[1].name, "old");
    EXPECT_EQ(G().vertexCount, 2);
    EXPECT_TRUE(form1->isEnabled());
    EXPECT_FALSE(G().skipNextPress); // the second press took it

    // The main window works again.
    ui.Addvertex1->trigger();
    Click({150, 200});
    EXPECT_EQ(G().vertexCount, 3);
}

TEST_F(Rename, TheMainWindowIgnoresTheMouseWhileThePromptWaits) {
    NewGraph(false, false);
    AddVertexAt({60, 100});
    bool toolDuring = true;
    int xDuring = 0;
    AnswerPrompt([&](TForm3& f) {
        QTest::mouseClick(ui.ToolButton10, Qt::LeftButton);
        Press({200, 200});
        Move({260, 260});
        Release({260, 260});
        toolDuring = ui.ToolButton10->isChecked();
        xDuring = G().vertices[1].x;
        QTest::mouseClick(f.Button1, Qt::LeftButton);
    });
    DoubleClick({60, 100});
    EXPECT_FALSE(toolDuring);
    EXPECT_EQ(xDuring, 60);
    QTest::mouseClick(ui.ToolButton10, Qt::LeftButton); // and works again afterwards
    EXPECT_TRUE(ui.ToolButton10->isChecked());
}

// A window manager may minimise the prompt: it stays open and the main window takes no edit.
TEST_F(Rename, AMinimisedPromptKeepsTheMainWindowDisabled) {
    TwoJoined(false, true);
    Move({130, 101});
    bool enabled = true;
    AnswerPrompt([&](TForm3& f) {
        f.setWindowState(Qt::WindowMinimized);
        enabled = form1->isEnabled();
        ui.Deleteedge1->trigger();
        Click({130, 101});
        f.Edit1->setText(QStringLiteral("5"));
        QTest::mouseClick(f.Button1, Qt::LeftButton);
    });
    DoubleClick({130, 101});
    EXPECT_FALSE(enabled);
    ASSERT_EQ(G().edgeCount, 1);
    EXPECT_EQ(FindEdge(G(), 1, 2)->weight, "5");
    EXPECT_TRUE(form1->isEnabled());
}

// Whatever changes the graph while the prompt waits (here the main window is let loose, as a
// minimised prompt once did), the text goes to the vertex or edge it was asked for, found again,
// or nowhere once that is gone. Run it under the sanitizers too.
TEST_F(Rename, TheTextFindsItsVertexOrEdgeAgainOrIsDropped) {
    const struct {
        QPoint doubleClick, deleted; // a vertex to delete meanwhile, or the edge at (130, 101)
        const char* names;           // the vertices' names afterwards
    } cases[] = {
        {{200, 100}, {60, 100}, "new"}, // vertex 2, renumbered to 1
        {{200, 100}, {200, 100}, "1"},  // vertex 2 itself deleted
        {{130, 101}, {130, 101}, "1,2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names);
        TwoJoined(false, true);
        Move({130, 101});
        AnswerPrompt([&](TForm3& f) {
            form1->setEnabled(true);
            if (c.deleted == QPoint(130, 101))
                ui.Deleteedge1->trigger();
            else
                ui.Deletevertex1->trigger();
            Click(c.deleted);
            f.Edit1->setText(QStringLiteral("new"));
            QTest::mouseClick(f.Button1, Qt::LeftButton);
        });
        DoubleClick(c.doubleClick);
        QStringList names;
        for (int v = 1; v <= G().vertexCount; ++v) names << QString::fromStdString(G().vertices[v].name);
        EXPECT_EQ(names.join(QLatin1Char(',')).toStdString(), c.names);
        EXPECT_EQ(G().edgeCount, 0); // in every case gone with what was deleted
    }
}

} // namespace
