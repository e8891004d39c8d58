// The canvas over a QImage: the box convention, colour order, opaque text, aliasing and the
// exactness of erasing by repainting in white.

#include "QtCanvas.h"
#include "TestPictures.h"

#include <QImage>
#include <QRect>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace colors;

// The smallest rectangle holding every pixel that is not white.
QRect InkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

std::set<QRgb> Colours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return colours;
}

struct TBox {
    int x1, y1, x2, y2;
};

class BoxConvention : public testing::TestWithParam<TBox> {};

TEST_P(BoxConvention, RectangleCoversItsBoxWithoutTheFarEdges) {
    const TBox b = GetParam();
    QImage image = WhiteImage(60, 60);
    TQtCanvas canvas(image);
    canvas.SetPenColor(Black);
    canvas.SetBrushColor(Red);
    canvas.Rectangle(b.x1, b.y1, b.x2, b.y2);
    EXPECT_EQ(InkBounds(image), QRect(QPoint(b.x1, b.y1), QPoint(b.x2 - 1, b.y2 - 1)));
    EXPECT_EQ(canvas.Pixel(b.x1, b.y1), Black);
    EXPECT_EQ(canvas.Pixel(b.x2 - 1, b.y2 - 1), Black);
    EXPECT_EQ(canvas.Pixel(b.x1 + 1, b.y1 + 1), Red);
    EXPECT_EQ(canvas.Pixel(b.x2 - 2, b.y2 - 2), Red);
}

TEST_P(BoxConvention, EllipseStaysInsideItsBoxAndTouchesEverySide) {
    const TBox b = GetParam();
    QImage image = WhiteImage(60, 60);
    TQtCanvas canvas(image);
    canvas.SetPenColor(Black);
    canvas.SetBrushColor(White);
    canvas.Ellipse(b.x1, b.y1, b.x2, b.y2);
    EXPECT_EQ(InkBounds(image), QRect(QPoint(b.x1, b.y1), QPoint(b.x2 - 1, b.y2 - 1)));
}

INSTANTIATE_TEST_SUITE_P(Boxes, BoxConvention,
                         testing::Values(TBox{0, 0, 30, 30},   // a vertex of radius 15 at (15, 15)
                                         TBox{10, 12, 41, 20}, // odd width
                                         TBox{25, 25, 55, 55}, // reaching the far corner
                                         TBox{5, 5, 9, 9}),    // small
                         [](const testing::TestParamInfo<TBox>& c) {
                             const TBox& b = c.param;
                             return "From" + std::to_string(b.x1) + "x" + std::to_string(b.y1) + "To" +
                                    std::to_string(b.x2) + "x" + std::to_string(b.y2);
                         });

TEST(QtCanvas, ReversedCornersDrawTheSameRectangle) {
    QImage a = WhiteImage(30, 30), b = WhiteImage(30, 30);
    TQtCanvas ca(a), cb(b);
    ca.Rectangle(3, 4, 20, 25);
    cb.Rectangle(20, 25, 3, 4);
    EXPECT_EQ(a, b);
}

TEST(QtCanvas, RectangleBeyondThePictureFillsItWholeWithoutItsFrame) {
    QImage image = WhiteImage(20, 10);
    TQtCanvas canvas(image);
    canvas.SetBrushColor(Silver);
    canvas.Rectangle(-1, -1, 21, 11);
    EXPECT_EQ(Colours(image), std::set<QRgb>{qRgb(0xC0, 0xC0, 0xC0)});
}

TEST(QtCanvas, ColoursAreReadBackInBgrOrder) {
    QImage image = WhiteImage(10, 10);
    TQtCanvas canvas(image);
    canvas.SetPenColor(0x00332211);
    canvas.SetBrushColor(0x00665544);
    canvas.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(canvas.Pixel(0, 0), 0x00332211u);
    EXPECT_EQ(canvas.Pixel(5, 5), 0x00665544u);
    EXPECT_EQ(canvas.PenColor(), 0x00332211u);
}

TEST(QtCanvas, PixelOutsideThePictureIsInvalid) {
    QImage image = WhiteImage(10, 10);
    TQtCanvas canvas(image);
    EXPECT_EQ(canvas.Pixel(-1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(10, 0), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(0, 10), 0xFFFFFFFFu);
}

TEST(QtCanvas, TextIsThirteenPixelsHigh) {
    QImage image = WhiteImage(10, 10);
    TQtCanvas canvas(image);
    EXPECT_EQ(canvas.TextHeight("12"), 13);
    EXPECT_EQ(canvas.TextHeight(""), 13);
    EXPECT_EQ(canvas.TextWidth(""), 0);
    EXPECT_GT(canvas.TextWidth("12"), canvas.TextWidth("1"));
}

TEST(QtCanvas, OpaqueTextFillsExactlyItsCellWithTheBrush) {
    QImage image = WhiteImage(80, 40);
    TQtCanvas canvas(image);
    canvas.SetBrushColor(Lime);
    canvas.SetFontColor(Navy);
    canvas.TextOut(10, 8, "Wg5");
    const int w = canvas.TextWidth("Wg5");
    const int h = canvas.TextHeight("Wg5");
    EXPECT_EQ(InkBounds(image), QRect(10, 8, w, h));
    std::set<QRgb> inside;
    for (int y = 8; y < 8 + h; ++y)
        for (int x = 10; x < 10 + w; ++x) inside.insert(image.pixel(x, y));
    // Aliased letters on the brush colour: exactly two colours in the cell.
    EXPECT_EQ(inside, (std::set<QRgb>{qRgb(0, 255, 0), qRgb(0, 0, 0x80)}));
}

TEST(QtCanvas, ShapesAreAliased) {
    QImage image = WhiteImage(120, 120);
    TQtCanvas canvas(image);
    canvas.SetPenColor(Black);
    canvas.SetBrushColor(White);
    canvas.MoveTo(3, 7);
    canvas.LineTo(110, 61);
    canvas.Ellipse(20, 20, 51, 47);
    const TPoint curve[4] = {{60, 100}, {110, 49}, {10, 49}, {60, 100}};
    canvas.PolyBezier(curve);
    canvas.SetFontColor(Black);
    canvas.TextOut(70, 90, "Ab");
    EXPECT_EQ(Colours(image), (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
}

TEST(QtCanvas, PenWidthWidensLines) {
    QImage image = WhiteImage(40, 40);
    TQtCanvas canvas(image);
    canvas.SetPenWidth(3);
    canvas.MoveTo(5, 20);
    canvas.LineTo(30, 20);
    EXPECT_EQ(InkBounds(image).height(), 3);
    canvas.SetPenWidth(1);
    QImage thin = WhiteImage(40, 40);
    TQtCanvas thinCanvas(thin);
    thinCanvas.MoveTo(5, 20);
    thinCanvas.LineTo(30, 20);
    EXPECT_EQ(InkBounds(thin), QRect(QPoint(5, 20), QPoint(30, 20)));
}

// The redraw erases a picture by repeating its calls in white; that must leave nothing behind.
TEST(QtCanvas, RepaintingInWhiteErasesEveryShape) {
    QImage image = WhiteImage(200, 160);
    TQtCanvas canvas(image);
    auto paint = [&canvas](TColor pen, TColor brush, TColor font) {
        canvas.SetPenColor(pen);
        canvas.SetBrushColor(brush);
        canvas.SetFontColor(font);
        canvas.MoveTo(17, 130);
        canvas.LineTo(163, 21);
        const TPoint arrow[4] = {{175, 97}, {177, 100}, {175, 103}, {186, 100}};
        canvas.Polygon(arrow, 4);
        const TPoint loop[4] = {{100, 100}, {150, 49}, {50, 49}, {100, 100}};
        canvas.PolyBezier(loop);
        canvas.Ellipse(85, 85, 115, 115);
        canvas.Rectangle(5, 5, 40, 33);
        canvas.TextOut(92, 95, "17");
        canvas.TextOut(120, 130, "weight w");
    };
    paint(Red, Blue, Navy);
    ASSERT_FALSE(AllWhite(image));
    paint(White, White, White);
    EXPECT_TRUE(AllWhite(image));
}

TEST(QtCanvas, DrawingOnAnEmptyPictureDoesNothing) {
    QImage image;
    TQtCanvas canvas(image);
    canvas.Rectangle(0, 0, 10, 10);
    canvas.TextOut(0, 0, "x");
    canvas.MoveTo(0, 0);
    canvas.LineTo(5, 5);
    EXPECT_TRUE(image.isNull());
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFFFFFFu);
}

} // namespace
