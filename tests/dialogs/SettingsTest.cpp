// The new-graph settings window: its layout, its Create and the choices it keeps.

#include "AppWindows.h"
#include "ColorBox.h"
#include "Surface.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

using namespace colors;

class SettingsWindow : public testing::Test, protected TAppWindows {};

TEST_F(SettingsWindow, CreateSelectsTheBaseColourInTheMainBoxWithoutChangingCurrentColor) {
    ShowMain();
    ui.LiveGraph.currentColor = Green;
    form1->ToolButton1Click();
    form2->ColorBox1->SetSelected(Red);
    form2->Button1Click();
    EXPECT_EQ(ui.LiveGraph.baseColor, Red);
    EXPECT_EQ(ui.ColorBox1->Selected(), Red);
    EXPECT_EQ(ui.LiveGraph.currentColor, Green);
}

TEST_F(SettingsWindow, ChoicesAreKeptBetweenUses) {
    ShowMain();
    form1->ToolButton1Click();
    form2->CheckBox1->setChecked(true);
    form2->ColorBox1->SetSelected(Navy);
    form2->Button1Click();
    // A graph of another kind in between does not reach the window.
    ui.LiveGraph.directed = false;
    ui.LiveGraph.weighted = true;
    ui.LiveGraph.baseColor = Red;

    form1->ToolButton1Click();
    EXPECT_TRUE(form2->CheckBox1->isChecked());
    EXPECT_FALSE(form2->CheckBox2->isChecked());
    EXPECT_EQ(form2->ColorBox1->Selected(), Navy);
    form2->Button1Click();
    EXPECT_TRUE(ui.LiveGraph.directed);
    EXPECT_FALSE(ui.LiveGraph.weighted);
    EXPECT_EQ(ui.LiveGraph.baseColor, Navy);
}

TEST_F(SettingsWindow, FirstUseStartsUncheckedAtBlackInAWindowOfFixedSize) {
    EXPECT_FALSE(form2->CheckBox1->isChecked());
    EXPECT_FALSE(form2->CheckBox2->isChecked());
    EXPECT_EQ(form2->ColorBox1->Selected(), Black);
    EXPECT_EQ(form2->minimumSize(), form2->maximumSize());
    EXPECT_EQ(form2->Label1->text(), QStringLiteral("Basecolor"));
    EXPECT_EQ(form2->Button1->text(), QStringLiteral("Create"));
    EXPECT_TRUE(form2->Button1->isDefault());
}

TEST_F(SettingsWindow, CreateEmptiesTheGraphAndItsPicture) {
    ShowMain();
    Tgraph& g = ui.LiveGraph;
    g.created = true;
    AddVertex(g, 60, 60);
    AddVertex(g, 160, 90);
    ConnectVertices(g, 1, 2, "red");
    g.fileName = "/tmp/old.gf4";
    form1->RefreshView();
    ASSERT_FALSE(PictureIsAll(*ui.Image1, White));

    ui.ToolButton10->setChecked(true);
    form1->ToolButton1Click();
    form2->Button1Click();
    EXPECT_EQ(g.vertexCount, 0);
    EXPECT_EQ(g.edgeCount, 0);
    EXPECT_TRUE(g.fileName.empty());
    EXPECT_TRUE(PictureIsAll(*ui.Image1, White));
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1  - new graph"));
    EXPECT_TRUE(ui.ToolButton10->isChecked()); // a chosen tool stays chosen
}

TEST_F(SettingsWindow, EnterActsAsCreate) {
    ShowMain();
    form1->ToolButton1Click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form2.get()));
    form2->activateWindow();
    form2->CheckBox2->setFocus();
    QTest::keyClick(form2->CheckBox2, Qt::Key_Return);
    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(ui.LiveGraph.created);
}

TEST_F(SettingsWindow, ClosingItChangesNothing) {
    ShowMain();
    form1->ToolButton1Click();
    form2->CheckBox1->setChecked(true);
    form2->ColorBox1->SetSelected(Red);
    form2->close();
    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(form1->isEnabled());
    EXPECT_FALSE(ui.LiveGraph.created);
    EXPECT_EQ(ui.ColorBox1->Selected(), Black);
    EXPECT_EQ(form1->windowTitle(), QStringLiteral("Nodeloom 5.1"));
}

// Escape closes the secondary windows as their close control does, and the main window has the
// keyboard again.
TEST_F(SettingsWindow, EscapeClosesItAndTheOtherSecondaryWindows) {
    ShowMain();
    for (QWidget* window :
         {static_cast<QWidget*>(form2.get()), static_cast<QWidget*>(form4.get()), static_cast<QWidget*>(form5.get())}) {
        window->show();
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(form1->isEnabled());
    }
    EXPECT_FALSE(ui.LiveGraph.created); // closing the settings window creates nothing
}

} // namespace
