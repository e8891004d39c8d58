// Results shown on the surface, driven as a user does: shown, followed through edits, hidden when
// they no longer apply or by Escape, and written by Save image; the add-edge tool's pending
// vertex in the status bar.

#include "Analysis.h"
#include "EditorFixture.h"
#include "Files.h"
#include "Marks.h"
#include "ReportWindow.h"
#include "StatusBar.h"

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
