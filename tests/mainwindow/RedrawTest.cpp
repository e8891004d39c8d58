// RefreshView and FormResize: the picture after redraws, resizes and moves, and the title and
// status texts it sets.

#include "AppWindows.h"
#include "CaseNames.h"
#include "StatusBar.h"
#include "Surface.h"

#include <string>

namespace {

using namespace colors;

class Redraw : public testing::Test, protected TAppWindows {
protected:
    // A directed, weighted graph with a pair of opposite edges, a self-loop and labels.
    void BuildGraph() {
        Tgraph& g = ui.LiveGraph;
        g.directed = true;
        g.weighted = true;
        g.created = true;
        AddVertex(g, 60, 70);
        AddVertex(g, 180, 90);
        AddVertex(g, 110, 200);
        ConnectVertices(g, 1, 2, "red");
        ConnectVertices(g, 2, 1, "navy");
        ConnectVertices(g, 2, 3, "green");
        ConnectVertices(g, 3, 3, "purple");
        for (int s = 1; s <= 3; ++s)
            for (Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
                e->weight = "w" + std::to_string(s * 10 + e->target);
        g.vertices[1].name = "Ab";
    }

    void Grow(int dw, int dh) {
        form1->resize(form1->width() + dw, form1->height() + dh);
        QApplication::processEvents();
    }
};

TEST_F(Redraw, MovingAVertexLeavesNoTraceOfTheOldPicture) {
    ShowMain();
    BuildGraph();
    form1->RefreshView();
    ASSERT_EQ(ui.Image1->Picture, FreshPicture());

    MoveVertex(ui.LiveGraph, 2, 37, -21);
    form1->RefreshView();
    EXPECT_EQ(ui.Image1->Picture, FreshPicture());

    MoveAllVertices(ui.LiveGraph, -15, 30);
    ui.LiveGraph.vertices[3].name = "long";
    form1->RefreshView();
    EXPECT_EQ(ui.Image1->Picture, FreshPicture());
}

TEST_F(Redraw, SilverUnderPixelTwoTwoWhitensTheWholeSurfaceFirst) {
    ShowMain();
    BuildGraph();
    form1->RefreshView();
    TRasterCanvas& canvas = ui.Image1->Canvas();
    canvas.SetPenColor(Silver);
    canvas.SetBrushColor(Silver);
    canvas.Rectangle(0, 0, 5, 5);
    canvas.Rectangle(250, 250, 260, 260); // elsewhere: only a whitening removes it
    form1->RefreshView();
    EXPECT_EQ(ui.Image1->Picture, FreshPicture());
}

TEST_F(Redraw, SilverElsewhereIsLeftAlone) {
    ShowMain();
    BuildGraph();
    form1->RefreshView();
    TRasterCanvas& canvas = ui.Image1->Canvas();
    canvas.SetPenColor(Silver);
    canvas.SetBrushColor(Silver);
    canvas.Rectangle(250, 250, 260, 260);
    canvas.SetBrushColor(White);
    form1->RefreshView();
    EXPECT_EQ(canvas.Pixel(255, 255), Silver);
}

TEST_F(Redraw, GrowingWithoutAGraphFramesTheNewEdges) {
    ShowMain();
    const int oldW = ui.Image1->width(), oldH = ui.Image1->height();
    Grow(60, 40);
    TImage& surface = *ui.Image1;
    const int w = surface.width(), h = surface.height();
    ASSERT_EQ(w, oldW + 60);
    ASSERT_EQ(h, oldH + 40);
    ASSERT_EQ(surface.Picture.size(), QSize(w, h));
    TRasterCanvas& canvas = surface.Canvas();
    EXPECT_EQ(canvas.Pixel(w - 1, h / 2), Black);
    EXPECT_EQ(canvas.Pixel(w / 2, h - 1), Black);
    EXPECT_EQ(canvas.Pixel(oldW - 1, h / 2), Silver); // the old frame is gone
    EXPECT_EQ(canvas.Pixel(w / 2, oldH - 1), Silver);
    EXPECT_EQ(canvas.Pixel(w - 2, h - 2), Silver);
}

TEST_F(Redraw, GrowingWithAGraphKeepsTheDrawingOnWhite) {
    ShowMain();
    BuildGraph();
    form1->RefreshView();
    const QImage before = ui.Image1->Picture;
    Grow(80, 50);
    const QImage after = ui.Image1->Picture;
    ASSERT_EQ(after.size(), before.size() + QSize(80, 50));
    EXPECT_EQ(after.copy(QRect(QPoint(0, 0), before.size())), before);
    EXPECT_EQ(after, FreshPicture());
}

TEST_F(Redraw, ResizeAfterClosingBeganDoesNotRedraw) {
    ShowMain();
    const QSize before = ui.Image1->Picture.size();
    form1->FormClose();
    Grow(50, 50);
    EXPECT_EQ(ui.Image1->Picture.size(), before);
}

TEST_F(Redraw, LosingTheGraphReturnsToTheNoGraphState) {
    ShowMain();
    BuildGraph();
    form1->RefreshView();
    ui.LiveGraph.created = false;
    form1->RefreshView();
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1"));
    EXPECT_EQ(ui.StatusBar1->PanelText(0), QStringLiteral("Graph not created"));
    EXPECT_EQ(ui.Image1->Canvas().Pixel(2, 2), Silver);
}

struct TTitleCase {
    const char* fileName;
    const char* title;
};

class Title : public testing::TestWithParam<TTitleCase> {};

TEST_P(Title, NamesTheFileWithoutItsFolder) {
    EXPECT_EQ(GraphTitle(GetParam().fileName), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    FileNames, Title,
    testing::Values(TTitleCase{"", "Nodeloom 5.1  - new graph"},
                    TTitleCase{"/home/ann/graphs/a.gf4", "Nodeloom 5.1  - a.gf4"},
                    TTitleCase{"a.gf4", "Nodeloom 5.1  - a.gf4"}, TTitleCase{"/a.gf4", "Nodeloom 5.1  - a.gf4"},
                    TTitleCase{"C:\\g\\a.gf4", "Nodeloom 5.1  - C:\\g\\a.gf4"}, // backslash is no separator here
                    TTitleCase{"/tmp/gr\xE4ph.gf4", "Nodeloom 5.1  - gräph.gf4"}),
    [](const testing::TestParamInfo<TTitleCase>& c) { return TestName(c.param.fileName); });

TEST_F(Redraw, LoadedGraphNamesItsFileAndKind) {
    ShowMain();
    LoadGraph(ui.LiveGraph, NODELOOM_TEST_DATA "/directed_navy.gf4");
    ASSERT_TRUE(ui.LiveGraph.created);
    form1->RefreshView();
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - directed_navy.gf4"));
    EXPECT_EQ(ui.StatusBar1->PanelText(0), QStringLiteral(" Directed unweighted graph"));
    EXPECT_EQ(ui.StatusBar1->PanelText(1), QString());
    EXPECT_EQ(ui.Image1->Picture, FreshPicture());
}

} // namespace
