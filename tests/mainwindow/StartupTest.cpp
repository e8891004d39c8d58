// The main window as start-up leaves it, and new graphs made through the settings window.

#include "AppWindows.h"
#include "ColorBox.h"
#include "StatusBar.h"
#include "Surface.h"
#include "ToolBar.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <string>
#include <tuple>

namespace {

using namespace colors;

class MainWindowStartup : public testing::Test, protected TAppWindows {};

TEST_F(MainWindowStartup, ShowsTheNoGraphStateWithASilverFramedSurface) {
    ShowMain();
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1"));
    EXPECT_EQ(ui.StatusBar1->PanelText(0), QStringLiteral("Graph not created"));
    EXPECT_EQ(ui.StatusBar1->PanelText(1), QStringLiteral("Create or load graph from file"));
    EXPECT_FALSE(ui.LiveGraph.created);
    EXPECT_FALSE(ui.appClosing);

    TImage& surface = *ui.Image1;
    const int w = surface.width(), h = surface.height();
    ASSERT_GT(w, 10);
    ASSERT_GT(h, 10);
    ASSERT_EQ(surface.Picture.size(), QSize(w, h));
    TRasterCanvas& canvas = surface.Canvas();
    for (const QPoint p :
         {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1), QPoint(w / 2, 0), QPoint(0, h / 2)}) {
        SCOPED_TRACE(p.x() * 10000 + p.y());
        EXPECT_EQ(canvas.Pixel(p.x(), p.y()), Black);
    }
    EXPECT_EQ(canvas.Pixel(1, 1), Silver);
    EXPECT_EQ(canvas.Pixel(w - 2, h - 2), Silver);
    EXPECT_EQ(canvas.Pixel(w / 2, h / 2), Silver);
    // The window shows the picture itself.
    EXPECT_EQ(surface.grab().toImage().pixel(w / 2, h / 2), qRgb(0xC0, 0xC0, 0xC0));
}

// Not the pixel offsets of the layout: the toolbar's order, and what each control says and does.
TEST_F(MainWindowStartup, ToolbarMenusAndStatusBarCarryTheirTextsAndIcons) {
    ShowMain();
    // Left to right: the file commands, the four tools, Cancel, then the colour's label and box.
    const QWidget* order[] = {ui.ToolButton1,  ui.ToolButton4,  ui.ToolButton6,  ui.ToolButton8,
                              ui.ToolButton10, ui.ToolButton12, ui.ToolButton14, ui.ToolButton16,
                              ui.ToolButton18, ui.Label1,       ui.ColorBox1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        EXPECT_LE(order[i - 1]->geometry().right(), order[i]->geometry().left()) << i;
    EXPECT_EQ(ui.ToolButton1->toolTip(), QStringLiteral("Create a new graph"));
    EXPECT_EQ(ui.ToolButton12->toolTip(), QStringLiteral("Add new edge"));
    EXPECT_EQ(ui.ToolButton18->toolTip(), QStringLiteral("Cancel all actions"));
    for (const QToolButton* b : {ui.ToolButton10, ui.ToolButton12, ui.ToolButton14, ui.ToolButton16})
        EXPECT_TRUE(b->isCheckable());
    EXPECT_FALSE(ui.ToolButton18->isCheckable());
    // The longest text of the first panel fits it.
    const QLabel* panel0 = ui.StatusBar1->Panel(0);
    EXPECT_LE(panel0->fontMetrics().horizontalAdvance(QStringLiteral(" Undirected unweighted graph")),
              panel0->contentsRect().width());

    EXPECT_EQ(ui.Label1->text(), QStringLiteral("   Color  "));
    EXPECT_EQ(ui.ColorBox1->toolTip(), QStringLiteral("Current color"));
    EXPECT_EQ(ui.ColorBox1->Selected(), Black);

    EXPECT_EQ(ui.File1->title(), QStringLiteral("Graph"));
    EXPECT_EQ(ui.N1->title(), QStringLiteral("Edit"));
    EXPECT_EQ(ui.Help1->title(), QStringLiteral("Help"));
    for (QMenu* menu : {ui.File1, ui.N1})
        for (QAction* a : menu->actions()) {
            SCOPED_TRACE(a->text().toStdString());
            EXPECT_FALSE(a->icon().isNull());
        }
    for (QAction* a : ui.Help1->actions()) EXPECT_TRUE(a->icon().isNull());
    EXPECT_EQ(ui.Cancelediting1->text(), QStringLiteral("Cancel editing"));
    EXPECT_EQ(ui.Usingguide1->text(), QStringLiteral("Help"));
}

TEST_F(MainWindowStartup, NewShowsTheSettingsWindowFromToolbarAndMenu) {
    ShowMain();
    QTest::mouseClick(ui.ToolButton1, Qt::LeftButton);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(form1->isEnabled());
    form2->close();
    EXPECT_TRUE(form1->isEnabled());
    ui.New1->trigger();
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(form2->windowTitle(), QStringLiteral("Graph Settings"));
}

TEST_F(MainWindowStartup, KeysReachTheWindowAtFirstAndAfterAClickOnTheSurface) {
    ShowMain();
    form1->activateWindow();
    QApplication::processEvents();
    EXPECT_FALSE(ui.ColorBox1->hasFocus());
    ui.ColorBox1->setFocus();
    ASSERT_TRUE(ui.ColorBox1->hasFocus());
    QTest::mouseClick(ui.Image1, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    EXPECT_FALSE(ui.ColorBox1->hasFocus());
}

TEST_F(MainWindowStartup, ExitClosesTheWindowAndSetsTheClosingFlag) {
    ShowMain();
    ui.Exit1->trigger();
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(ui.appClosing);
}

// Create through the settings window's own controls, for every kind of graph.
class CreateGraph : public testing::TestWithParam<std::tuple<bool, bool>>, protected TAppWindows {};

TEST_P(CreateGraph, GivesAnEmptyWhiteGraphOfThatKind) {
    const auto [directed, weighted] = GetParam();
    ShowMain();
    form1->ToolButton1Click();
    ASSERT_TRUE(form2->isVisible());
    form2->CheckBox1->setChecked(directed);
    form2->CheckBox2->setChecked(weighted);
    QTest::mouseClick(form2->Button1, Qt::LeftButton);

    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(form1->isEnabled());
    const Tgraph& g = ui.LiveGraph;
    EXPECT_TRUE(g.created);
    EXPECT_EQ(g.directed, directed);
    EXPECT_EQ(g.weighted, weighted);
    EXPECT_EQ(g.baseColor, Black); // not the white that InitGraph gives
    EXPECT_TRUE(PictureIsAll(*ui.Image1, White));
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - new graph"));
    const QString kind = QString::fromLatin1(directed ? " Directed " : " Undirected ") +
                         QString::fromLatin1(weighted ? "weighted graph" : "unweighted graph");
    EXPECT_EQ(ui.StatusBar1->PanelText(0), kind);
    EXPECT_EQ(ui.StatusBar1->PanelText(1), QString());
}

INSTANTIATE_TEST_SUITE_P(Kinds, CreateGraph, testing::Combine(testing::Bool(), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<bool, bool>>& c) {
                             return std::string(std::get<0>(c.param) ? "Directed" : "Undirected") +
                                    (std::get<1>(c.param) ? "Weighted" : "Unweighted");
                         });

} // namespace
