// Results shown on the surface, driven as a user does: shown, followed through edits, hidden when
// they no longer apply or by Escape, and written by Save image; the add-edge tool's pending
// vertex in the status bar.

#include "Analysis.h"
#include "EditorFixture.h"
#include "Files.h"
#include "Marks.h"
#include "ReportWindow.h"
#include "StatusBar.h"
#include "Trace.h"

#include <QAction>

#include <string>
#include <vector>

namespace {

using namespace colors;

class ShownResult : public testing::Test, protected TEditor {
protected:
    void SetUp() override { ShowMain(); }

    // A path 1-2-3 of vertices named 1, 2 and 3.
    void ThreeInARow() {
        NewGraph(false, false);
        for (QPoint p : {A, B, C}) AddVertexAt(p);
        AddEdgeBetween(A, B);
        AddEdgeBetween(B, C);
        ASSERT_EQ(G().edgeCount, 2);
    }

    // The graph as it is now with the results drawn in, computed here from the analysis: what
    // the surface must show.
    QImage Expected(const std::vector<std::string>& shows, TColor colour) {
        TMarks marks;
        marks.highlight = colour;
        for (const std::string& text : shows) {
            const analysis::TResultRequest request = analysis::ParseResult(G(), text);
            analysis::AddMarks(G(), request, analysis::Result(G(), request), marks);
        }
        QImage image(Surface().Picture.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        TSurfaceCanvas canvas(image);
        DrawGraph(G(), canvas, marks);
        return image;
    }
    // The same for frame k of a trace.
    QImage ExpectedFrame(const std::string& trace, int frame) {
        TMarks marks;
        marks.highlight = analysis::DefaultHighlight(G());
        analysis::AddTraceMarks(G(), analysis::Trace(G(), analysis::ParseTrace(G(), trace)), frame, marks);
        QImage image(Surface().Picture.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        TSurfaceCanvas canvas(image);
        DrawGraph(G(), canvas, marks);
        return image;
    }
    QString Note() { return ui.StatusBar1->PanelText(1); }

    const QPoint A{60, 100}, B{200, 100}, C{200, 220};
};

TEST_F(ShownResult, APathFollowsTheGraphUntilItsVertexGoes) {
    ThreeInARow();
    const QImage plain = Surface().Picture;
    form1->ShowResults({QStringLiteral("path:1,#3")}, QStringLiteral("navy"));
    EXPECT_EQ(Surface().Picture, Expected({"path:1,#3"}, Navy));
    EXPECT_NE(Surface().Picture, plain);
    EXPECT_EQ(Note(), QString());

    // A shorter way appears: the path is computed again and drawn along it.
    AddEdgeBetween(A, C);
    EXPECT_TRUE(form1->ShowsResult());
    EXPECT_EQ(Surface().Picture, Expected({"path:1,#3"}, Navy));

    // What is shown is what Save image writes.
    TempFolder folder;
    const std::string png = folder.File("pic.png");
    form1->SaveImage(png);
    QImage saved;
    ASSERT_TRUE(saved.load(QString::fromStdString(png), "PNG"));
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), Surface().Picture);

    // Its end deleted: hidden, said in the status bar, the graph drawn alone; an undo brings the
    // vertex back but not the result.
    ui.Deletevertex1->trigger();
    Click(C);
    ASSERT_EQ(G().vertexCount, 2);
    EXPECT_FALSE(form1->ShowsResult());
    EXPECT_TRUE(Note().startsWith(QStringLiteral("Hidden path:1,#3: "))) << Note().toStdString();
    EXPECT_EQ(Surface().Picture, FreshPicture());
    Key(Qt::Key_Z);
    EXPECT_EQ(G().vertexCount, 3);
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(ShownResult, EscapeHidesOnlyWhenNoToolIsInUse) {
    ThreeInARow();
    form1->ShowResults({QStringLiteral("mst"), QStringLiteral("colouring")});
    const QImage shown = Expected({"mst", "colouring"}, analysis::DefaultHighlight(G()));
    EXPECT_EQ(Surface().Picture, shown);

    ui.Addedge1->trigger();
    Click(A);
    Key(Qt::Key_Escape, Qt::NoModifier); // gives the half made edge up
    EXPECT_FALSE(ui.ToolButton12->isChecked());
    EXPECT_TRUE(form1->ShowsResult());
    ui.Addvertex1->trigger();
    Key(Qt::Key_Escape, Qt::NoModifier); // ends the tool
    EXPECT_FALSE(ui.ToolButton10->isChecked());
    EXPECT_EQ(Surface().Picture, shown);
    Key(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(form1->ShowsResult());
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

TEST_F(ShownResult, RefusedResultsAndColoursShowNothing) {
    ThreeInARow();
    const QImage plain = Surface().Picture;
    const struct {
        const char* result;
        const char* colour;
        const char* message;
    } cases[] = {
        {"path:1,9", "", "No vertex is named \"9\""},
        {"flow:1,3", "mauve", "Unknown colour \"mauve\""},
        {"euler", "", ""}, // no Euler trail in a path of two edges is still a result
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        try {
            form1->ShowResults({QString::fromLatin1(c.result)}, QString::fromLatin1(c.colour));
            EXPECT_STREQ(c.message, "");
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
            EXPECT_FALSE(form1->ShowsResult());
            EXPECT_EQ(Surface().Picture, plain);
        }
        form1->HideResults();
    }
}

// A trace is stepped by Page Down and Page Up, Home and End, each frame drawn as the exports draw
// it and said in the status bar; it follows edits and goes when its start is deleted.
TEST_F(ShownResult, ATraceStepsWithTheKeysAndFollowsTheGraph) {
    ThreeInARow();
    form1->ShowTrace(QStringLiteral("bfs:1"));
    EXPECT_EQ(Surface().Picture, ExpectedFrame("bfs:1", 0));
    EXPECT_EQ(Note(), QStringLiteral("Step 0 of 3: before the first step"));
    const struct {
        Qt::Key key;
        int frame;
        const char* words;
    } keys[] = {{Qt::Key_PageDown, 1, "visit 1"}, {Qt::Key_PageDown, 2, "visit 2"}, {Qt::Key_PageDown, 3, "visit 3"},
                {Qt::Key_PageDown, 3, "visit 3"}, {Qt::Key_PageUp, 2, "visit 2"},   {Qt::Key_Home, 0, "before"},
                {Qt::Key_PageUp, 0, "before"},    {Qt::Key_End, 3, "visit 3"}};
    std::vector<QImage> frames;
    for (const auto& k : keys) {
        SCOPED_TRACE(k.frame);
        Key(k.key, Qt::NoModifier);
        EXPECT_EQ(form1->ShownFrame(), k.frame);
        EXPECT_EQ(Surface().Picture, ExpectedFrame("bfs:1", k.frame));
        EXPECT_TRUE(Note().startsWith(QStringLiteral("Step %1 of 3: %2").arg(k.frame).arg(QLatin1String(k.words))))
            << Note().toStdString();
        frames.push_back(Surface().Picture);
    }
    EXPECT_NE(frames[2], frames[5]); // the last frame is not the first

    // A fourth vertex joined on: one step more, the frame kept.
    AddVertexAt({60, 220});
    AddEdgeBetween(C, {60, 220});
    EXPECT_EQ(form1->ShownFrame(), 3);
    EXPECT_TRUE(Note().startsWith(QStringLiteral("Step 3 of 4: visit 3"))) << Note().toStdString();
    Key(Qt::Key_End, Qt::NoModifier);
    EXPECT_EQ(Surface().Picture, ExpectedFrame("bfs:1", 4));

    // Its start deleted: hidden with the reason; Page Down is a key like any other again.
    ui.Deletevertex1->trigger();
    Click(A);
    EXPECT_FALSE(form1->ShowsResult());
    EXPECT_TRUE(Note().startsWith(QStringLiteral("Hidden bfs:1: "))) << Note().toStdString();
    EXPECT_EQ(Surface().Picture, FreshPicture());

    // Escape hides a trace as it hides results; a trace the graph cannot give shows nothing.
    form1->ShowTrace(QStringLiteral("kruskal"));
    Key(Qt::Key_End, Qt::NoModifier);
    EXPECT_NE(Surface().Picture, FreshPicture());
    Key(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_FALSE(form1->ShowsResult());
    EXPECT_EQ(Surface().Picture, FreshPicture());
    EXPECT_THROW(form1->ShowTrace(QStringLiteral("dijkstra:9")), std::exception);
    EXPECT_FALSE(form1->ShowsResult());
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

// Ctrl+0 moves the drawing onto the surface on the sides it left, in one undo step, and nothing
// when it is all there.
TEST_F(ShownResult, CtrlZeroBringsTheDrawingIntoView) {
    NewGraph(false, false);
    AddVertexAt({100, 100});
    AddVertexAt({200, 150});
    const int width = Surface().Picture.width(), height = Surface().Picture.height();
    const struct {
        int dx, dy; // the drag of the whole drawing before Ctrl+0
        bool moves;
    } cases[] = {{0, 0, false}, {-150, 0, true}, {0, -130, true}, {width, 0, true}, {-150, height, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + "," + std::to_string(c.dy));
        Press({300, 40});
        Move({300 + c.dx, 40 + c.dy});
        Release({300 + c.dx, 40 + c.dy});
        const QPoint dragged[] = {{}, {G().vertices[1].x, G().vertices[1].y}, {G().vertices[2].x, G().vertices[2].y}};
        const std::size_t steps = ui.History.UndoSteps();
        Key(Qt::Key_0);
        EXPECT_EQ(ui.History.UndoSteps(), steps + (c.moves ? 1 : 0));
        for (int v = 1; v <= 2; ++v) {
            const Tvertex& p = G().vertices[v];
            EXPECT_GE(p.x - geometry::VertexRadius, 0);
            EXPECT_GE(p.y - geometry::VertexRadius, 0);
            EXPECT_LT(p.x + geometry::VertexRadius, width);
            EXPECT_LT(p.y + geometry::VertexRadius, height);
            // A side that stayed on the surface is not moved.
            if (c.dx == 0) {
                EXPECT_EQ(p.x, dragged[v].x());
            }
            if (c.dy == 0) {
                EXPECT_EQ(p.y, dragged[v].y());
            }
        }
        // The two keep their places relative to each other.
        EXPECT_EQ(G().vertices[2].x - G().vertices[1].x, 100);
        EXPECT_EQ(G().vertices[2].y - G().vertices[1].y, 50);
        EXPECT_EQ(Surface().Picture, FreshPicture());
        if (c.moves) {
            Key(Qt::Key_Z);
            EXPECT_EQ(QPoint(G().vertices[1].x, G().vertices[1].y), dragged[1]);
            Key(Qt::Key_Y);
        }
    }
}

TEST_F(ShownResult, TheFirstVertexOfAnEdgeIsNamedUntilTheEdgeIsMadeOrGivenUp) {
    NewGraph(false, false);
    AddVertexAt(A);
    AddVertexAt(B);
    ui.Addedge1->trigger();
    Click(B);
    EXPECT_EQ(Note(), QStringLiteral("Edge from 2: click the second vertex"));
    Key(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(Note(), QString());
    AddEdgeBetween(A, B);
    EXPECT_EQ(G().edgeCount, 1);
    EXPECT_EQ(Note(), QString());
    EXPECT_EQ(Surface().Picture, FreshPicture());
}

// The panel follows every change, undo, New and Open while it is shown, and keeps to its side.
TEST_F(ShownResult, TheAnalysisPanelFollowsTheGraph) {
    ThreeInARow();
    Key(Qt::Key_I);
    TReportWindow* panel = TReportWindow::Find(*form1);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->Text().contains(QStringLiteral("3 vertices, 2 edges"))) << panel->Text().toStdString();
    AddVertexAt({120, 250});
    EXPECT_TRUE(panel->Text().contains(QStringLiteral("4 vertices, 2 edges"))) << panel->Text().toStdString();
    Key(Qt::Key_Z);
    EXPECT_TRUE(panel->Text().contains(QStringLiteral("3 vertices, 2 edges")));
    form1->OpenGraphFile(NODELOOM_TEST_DATA "/small.gf4");
    EXPECT_TRUE(panel->Text().contains(QStringLiteral("2 vertices, 1 edge,")));
    NewGraph(true, false);
    EXPECT_TRUE(panel->Text().contains(QStringLiteral("0 vertices")));
}

TEST(AnalysisPanelPlace, RightElseLeftElseBelowWithoutCoveringTheWindow) {
    const QRect main(381, 219, 421, 480);
    const QSize outer(570, 630);
    const struct {
        QRect room;
        QPoint place;
        int height;
    } cases[] = {
        {QRect(0, 0, 1920, 1080), QPoint(802, 219), 600},              // right
        {QRect(-300, 0, 1400, 1080), QPoint(-189, 219), 600},          // no room on the right: left
        {QRect(381, 0, 900, 1600), QPoint(381, 699), 600},             // neither side: below
        {QRect(381, 0, 900, 1000), QPoint(381, 699), 1000 - 699 - 30}, // below, lower
        {QRect(381, 0, 900, 800), QPoint(1281 - 570, 219), 600},       // nowhere: at the right edge
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.place.x());
        int height = 600;
        const QPoint place = TReportWindow::PlaceBeside(main, outer, c.room, height);
        EXPECT_EQ(place, c.place);
        EXPECT_EQ(height, c.height);
        // Wherever there was room, the panel stands on the screen and off the main window.
        const QRect panel(place, QSize(outer.width(), outer.height() - 600 + height));
        if (&c != &cases[std::size(cases) - 1]) {
            EXPECT_FALSE(panel.intersects(main));
            EXPECT_TRUE(c.room.contains(panel));
        }
    }
}

} // namespace
