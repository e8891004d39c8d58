// The drawing surface: its picture, resizing that keeps contents, and the order in which the
// mouse events reach the editor.

#include "Surface.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class SurfaceEvents : public testing::Test {
protected:
    void SetUp() override {
        surface.resize(200, 150);
        surface.SetPictureSize(200, 150);
        surface.OnMouseDown = [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
            Log("down " + Button(b) + " " + std::to_string(x) + "," + std::to_string(y));
        };
        surface.OnMouseMove = [this](Qt::KeyboardModifiers, int x, int y) {
            Log("move " + std::to_string(x) + "," + std::to_string(y));
        };
        surface.OnClick = [this] { Log("click"); };
        surface.OnDblClick = [this] { Log("dblclick"); };
        surface.OnMouseUp = [this](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
            Log("up " + Button(b) + " " + std::to_string(x) + "," + std::to_string(y));
        };
        surface.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
        events.clear();
    }

    static std::string Button(Qt::MouseButton b) {
        return b == Qt::LeftButton ? "left" : b == Qt::RightButton ? "right" : "other";
    }
    void Log(const std::string& e) { events.push_back(e); }

    // Sends a mouse event through the application, as the window system does.
    void Send(QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, surface.mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(&surface, &event);
    }

    TImage surface;
    std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST_F(SurfaceEvents, LeftClickGivesDownClickUp) {
    QTest::mousePress(&surface, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    QTest::mouseRelease(&surface, Qt::LeftButton, Qt::NoModifier, QPoint(30, 40));
    EXPECT_EQ(events, (Events{"down left 30,40", "click", "up left 30,40"}));
}

TEST_F(SurfaceEvents, DragEndsInAClickWhereTheDragEnds) {
    Send(QEvent::MouseButtonPress, Qt::LeftButton, {10, 10}, Qt::LeftButton);
    Send(QEvent::MouseMove, Qt::NoButton, {20, 25}, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {20, 25}, Qt::NoButton);
    EXPECT_EQ(events, (Events{"down left 10,10", "move 20,25", "click", "up left 20,25"}));
}

TEST_F(SurfaceEvents, DoubleClickGivesDblClickThenDownAndNoSecondClick) {
    // The window system's order: press, release, double-click, release.
    Send(QEvent::MouseButtonPress, Qt::LeftButton, {50, 60}, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {50, 60}, Qt::NoButton);
    Send(QEvent::MouseButtonDblClick, Qt::LeftButton, {50, 60}, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {50, 60}, Qt::NoButton);
    EXPECT_EQ(events,
              (Events{"down left 50,60", "click", "up left 50,60", "dblclick", "down left 50,60", "up left 50,60"}));
}

TEST_F(SurfaceEvents, LeftReleaseOutsideGivesNoClickButItsRelease) {
    Send(QEvent::MouseButtonPress, Qt::LeftButton, {10, 10}, Qt::LeftButton);
    Send(QEvent::MouseMove, Qt::NoButton, {250, 10}, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, Qt::LeftButton, {250, 10}, Qt::NoButton);
    // The left press captures the pointer: the move and release outside still arrive.
    EXPECT_EQ(events, (Events{"down left 10,10", "move 250,10", "up left 250,10"}));
}

TEST_F(SurfaceEvents, OtherButtonsGiveNoClickAndDoNotCapture) {
    Send(QEvent::MouseButtonPress, Qt::RightButton, {10, 10}, Qt::RightButton);
    Send(QEvent::MouseButtonRelease, Qt::RightButton, {12, 10}, Qt::NoButton);
    Send(QEvent::MouseButtonPress, Qt::RightButton, {10, 10}, Qt::RightButton);
    Send(QEvent::MouseMove, Qt::NoButton, {300, 10}, Qt::RightButton);
    Send(QEvent::MouseButtonRelease, Qt::RightButton, {300, 10}, Qt::NoButton);
    EXPECT_EQ(events, (Events{"down right 10,10", "up right 12,10", "down right 10,10"}));
}

TEST_F(SurfaceEvents, MovesWithoutAButtonArrive) {
    QTest::mouseMove(&surface, QPoint(70, 80));
    QApplication::processEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "move 70,80");
}

TEST(Surface, GrowingKeepsThePictureAndFillsWithTheBrushColour) {
    TImage surface;
    surface.SetPictureSize(10, 8);
    surface.Canvas().SetBrushColor(colors::Red);
    surface.Canvas().SetPenColor(colors::Red);
    surface.Canvas().Rectangle(0, 0, 10, 8);
    surface.Canvas().SetBrushColor(colors::Silver);
    surface.SetPictureHeight(20);
    surface.SetPictureWidth(30);
    ASSERT_EQ(surface.Picture.size(), QSize(30, 20));
    EXPECT_EQ(surface.Canvas().Pixel(9, 7), colors::Red);
    EXPECT_EQ(surface.Canvas().Pixel(10, 7), colors::Silver);
    EXPECT_EQ(surface.Canvas().Pixel(9, 8), colors::Silver);
    EXPECT_EQ(surface.Canvas().Pixel(29, 19), colors::Silver);
}

TEST(Surface, ShrinkingToNothingAndBackKeepsBothSides) {
    TImage surface;
    surface.SetPictureHeight(40);
    EXPECT_TRUE(surface.Picture.isNull());
    surface.SetPictureWidth(50);
    EXPECT_EQ(surface.Picture.size(), QSize(50, 40));
    surface.SetPictureSize(0, 0);
    surface.SetPictureSize(7, 9);
    EXPECT_EQ(surface.Picture.size(), QSize(7, 9));
}

TEST(Surface, ShowsThePictureAtTheTopLeftUnscaled) {
    TImage surface;
    surface.resize(40, 30);
    surface.SetPictureSize(20, 10);
    surface.Canvas().SetBrushColor(colors::Blue);
    surface.Canvas().SetPenColor(colors::Blue);
    surface.Canvas().Rectangle(0, 0, 20, 10);
    const QImage shown = surface.grab().toImage();
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(shown.pixel(19, 9), qRgb(0, 0, 255));
    EXPECT_NE(shown.pixel(20, 9), qRgb(0, 0, 255));
    EXPECT_NE(shown.pixel(19, 10), qRgb(0, 0, 255));
}

} // namespace
