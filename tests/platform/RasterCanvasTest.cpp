// The raster canvas's pixels: end points, the box convention, fills, clipping, huge coordinates,
// exact erase, and text cells equal to the Qt canvas's.

#include "RasterCanvas.h"

#include "Fonts.h"
#include "Graph_obj.h"
#include "QtCanvas.h"
#include "TestPictures.h"
#include "TextCodec.h"

#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace colors;

using TPixelSet = std::set<std::pair<int, int>>;

// Every pixel of the canvas that is not white.
TPixelSet Painted(const TCanvas& canvas, int w, int h) {
    TPixelSet out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (canvas.Pixel(x, y) != White) out.insert({x, y});
    return out;
}

struct TLine {
    int x0, y0, x1, y1;
};

TPixelSet LinePixels(const TLine& l, int w, int h) {
    QImage image = WhiteImage(w, h);
    TRasterCanvas canvas(image);
    canvas.SetPenColor(Black);
    canvas.MoveTo(l.x0, l.y0);
    canvas.LineTo(l.x1, l.y1);
    return Painted(canvas, w, h);
}

// The text painted in red on its white cell at (x, y) over a blue picture of w x h, by the raster
// canvas and by the Qt canvas; with erase, painted again in white a pixel right and a line lower,
// as a redraw erases it.
void TextOnBothCanvases(int w, int h, const std::string& text, int x, int y, bool erase, QImage& raster, QImage& qt) {
    raster = QImage(w, h, QImage::Format_RGB32);
    qt = QImage(w, h, QImage::Format_RGB32);
    raster.fill(0xFF0000FFu);
    qt.fill(0xFF0000FFu);
    TRasterCanvas rc(raster);
    TQtCanvas qc(qt);
    for (TCanvas* c : {static_cast<TCanvas*>(&rc), static_cast<TCanvas*>(&qc)}) {
        c->SetFontColor(Red);
        c->SetBrushColor(White);
        c->TextOut(x, y, text);
        if (!erase) continue;
        c->SetFontColor(White);
        c->TextOut(x + 1, y + 13, text);
    }
}

} // namespace

TEST(RasterCanvasColours, PixelReadsBackTheBgrValueAndImageHoldsRgb) {
    QImage image = WhiteImage(4, 4);
    TRasterCanvas canvas(image);
    canvas.SetPenColor(0x00112233);
    canvas.MoveTo(1, 1);
    canvas.LineTo(3, 1);
    EXPECT_EQ(canvas.Pixel(1, 1), 0x00112233u);
    EXPECT_EQ(image.pixel(1, 1), 0xFF332211u);
    EXPECT_EQ(canvas.Pixel(3, 1), White); // the end pixel is left alone
    EXPECT_EQ(canvas.Pixel(-1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.Pixel(4, 0), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.PenColor(), 0x00112233u);
}

TEST(RasterCanvasLines, EveryLineOmitsItsEndAndFollowsTheIdealLine) {
    const TLine lines[] = {
        {5, 5, 25, 5},  {25, 5, 5, 5},  {5, 5, 5, 25},   {5, 25, 5, 5},  {5, 5, 25, 25}, {25, 25, 5, 5},
        {5, 25, 25, 5}, {3, 4, 30, 11}, {30, 11, 3, 4},  {4, 3, 11, 30}, {11, 30, 4, 3}, {2, 20, 31, 17},
        {8, 8, 9, 9},   {8, 8, 9, 8},   {10, 2, 12, 31}, {0, 0, 31, 1},
    };
    for (const TLine& l : lines) {
        SCOPED_TRACE(std::to_string(l.x0) + "," + std::to_string(l.y0) + " -> " + std::to_string(l.x1) + "," +
                     std::to_string(l.y1));
        const TPixelSet px = LinePixels(l, 32, 32);
        const int adx = std::abs(l.x1 - l.x0), ady = std::abs(l.y1 - l.y0);
        EXPECT_EQ(static_cast<int>(px.size()), std::max(adx, ady));
        EXPECT_TRUE(px.count({l.x0, l.y0}));
        EXPECT_FALSE(px.count({l.x1, l.y1}));
        for (const auto& p : px) {
            // Each pixel lies within half a pixel of the ideal line along the minor axis.
            const double t =
                adx >= ady ? double(p.first - l.x0) / (l.x1 - l.x0) : double(p.second - l.y0) / (l.y1 - l.y0);
            const double ideal = adx >= ady ? l.y0 + t * (l.y1 - l.y0) : l.x0 + t * (l.x1 - l.x0);
            const int minor = adx >= ady ? p.second : p.first;
            EXPECT_LE(std::abs(minor - ideal), 0.5) << p.first << "," << p.second;
        }
    }
}

TEST(RasterCanvasLines, ConnectedLinesShareTheCurrentPosition) {
    QImage image = WhiteImage(20, 20);
    TRasterCanvas canvas(image);
    canvas.MoveTo(2, 2);
    canvas.LineTo(10, 2);
    canvas.LineTo(10, 10); // starts where the last one ended, so the corner is painted
    EXPECT_EQ(canvas.Pixel(10, 2), Black);
    EXPECT_EQ(canvas.Pixel(10, 9), Black);
    EXPECT_EQ(canvas.Pixel(10, 10), White);
    EXPECT_EQ(Painted(canvas, 20, 20).size(), 16u);
}

TEST(RasterCanvasLines, ZeroLengthLinePaintsNothing) { EXPECT_TRUE(LinePixels({5, 5, 5, 5}, 10, 10).empty()); }

TEST(RasterCanvasLines, WidePenCoversASquareAroundEachPixel) {
    QImage image = WhiteImage(20, 20);
    TRasterCanvas canvas(image);
    canvas.SetPenWidth(3);
    canvas.MoveTo(5, 10);
    canvas.LineTo(10, 10);
    const TPixelSet px = Painted(canvas, 20, 20);
    EXPECT_EQ(px.size(), 7u * 3u); // columns 4..10, rows 9..11
    EXPECT_TRUE(px.count({4, 9}));
    EXPECT_TRUE(px.count({10, 11}));
}

// A line seen through a small picture (or a clip box) covers exactly the pixels it covers on a
// large one: the entry point is computed, not approximated.
TEST(RasterCanvasClipping, ClippedLinesMatchTheUnclippedPixels) {
    constexpr int Off = 200, Small = 40, Big = 2 * Off + Small;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-Off, Small + Off - 1);
    for (int n = 0; n < 400; ++n) {
        const TLine l{coord(rng), coord(rng), coord(rng), coord(rng)};
        SCOPED_TRACE(std::to_string(l.x0) + "," + std::to_string(l.y0) + " -> " + std::to_string(l.x1) + "," +
                     std::to_string(l.y1));
        const TPixelSet big = LinePixels({l.x0 + Off, l.y0 + Off, l.x1 + Off, l.y1 + Off}, Big, Big);
        TPixelSet expected;
        for (const auto& p : big)
            if (p.first >= Off && p.first < Off + Small && p.second >= Off && p.second < Off + Small)
                expected.insert({p.first - Off, p.second - Off});
        ASSERT_EQ(LinePixels(l, Small, Small), expected);
    }
}

TEST(RasterCanvasClipping, ClipBoxKeepsThePixelsInsideAndNothingElse) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(-30, 90);
    for (int n = 0; n < 100; ++n) {
        QImage whole = WhiteImage(64, 64), part = WhiteImage(64, 64);
        TRasterCanvas a(whole), b(part);
        b.SetClip(10, 20, 50, 33);
        const TPoint poly[4] = {
            {coord(rng), coord(rng)}, {coord(rng), coord(rng)}, {coord(rng), coord(rng)}, {coord(rng), coord(rng)}};
        for (TRasterCanvas* c : {&a, &b}) {
            c->SetBrushColor(Red);
            c->Polygon(poly, 4);
            c->Ellipse(poly[0].x, poly[0].y, poly[1].x, poly[1].y);
            c->PolyBezier(poly);
        }
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const bool inside = x >= 10 && x < 50 && y >= 20 && y < 33;
                ASSERT_EQ(part.pixel(x, y), inside ? whole.pixel(x, y) : 0xFFFFFFFFu) << x << "," << y;
            }
    }
}

TEST(RasterCanvasClipping, HugeCoordinatesClipExactly) {
    QImage image = WhiteImage(100, 20);
    TRasterCanvas canvas(image);
    // Step i (x = -2e9 + i) has y = 5 + floor((4i + 4e9) / 8e9): 6 across the whole picture.
    canvas.MoveTo(-2000000000, 5);
    canvas.LineTo(2000000000, 7);
    TPixelSet expected;
    for (int x = 0; x < 100; ++x) expected.insert({x, 6});
    EXPECT_EQ(Painted(canvas, 100, 20), expected);

    // The far corners of the coordinate range, every shape: nothing crashes, nothing is stepped
    // through pixel by pixel.
    canvas.SetPenColor(White);
    canvas.MoveTo(INT_MIN, INT_MIN);
    canvas.LineTo(INT_MAX, INT_MAX);
    canvas.LineTo(INT_MIN, INT_MAX);
    canvas.LineTo(INT_MAX, INT_MIN);
    canvas.SetBrushColor(White);
    canvas.Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    EXPECT_TRUE(AllWhite(image));
    canvas.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    canvas.Ellipse(INT_MIN, 0, INT_MIN + 30, 30);
    canvas.SetPenWidth(3);
    canvas.Ellipse(INT_MIN, 5, INT_MAX, 40); // its top row crosses the picture, 2^32 pixels long
    canvas.MoveTo(INT_MAX, INT_MIN);
    canvas.LineTo(INT_MIN, INT_MAX);
    canvas.SetPenWidth(1);
    const TPoint far[4] = {{INT_MIN, INT_MIN}, {INT_MAX, 3}, {INT_MIN, INT_MAX}, {5, 5}};
    canvas.Polygon(far, 4);
    canvas.PolyBezier(far);
    canvas.TextOut(INT_MAX, INT_MAX, "99");
    canvas.TextOut(INT_MIN, INT_MIN, "99");
}

TEST(RasterCanvasBoxes, RectangleCoversItsBoxRightAndBottomExclusive) {
    for (const auto& box : {std::vector<int>{2, 3, 9, 11}, std::vector<int>{9, 11, 2, 3}}) {
        QImage image = WhiteImage(16, 16);
        TRasterCanvas canvas(image);
        canvas.SetBrushColor(Red);
        canvas.Rectangle(box[0], box[1], box[2], box[3]);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool in = x >= 2 && x <= 8 && y >= 3 && y <= 10;
                const bool border = in && (x == 2 || x == 8 || y == 3 || y == 10);
                ASSERT_EQ(canvas.Pixel(x, y), border ? Black : in ? Red : White) << x << "," << y;
            }
    }
    QImage image = WhiteImage(8, 8);
    TRasterCanvas canvas(image);
    canvas.Rectangle(3, 3, 3, 6); // an empty box paints nothing
    EXPECT_TRUE(AllWhite(image));
    canvas.Rectangle(-1, -1, 9, 9); // the frame falls outside, the brush fills the picture
    EXPECT_EQ(Painted(canvas, 8, 8).size(), 0u);
}

TEST(RasterCanvasBoxes, EllipseFillsItsBoxSymmetricallyWithAClosedOutline) {
    const int sizes[][2] = {{30, 30}, {31, 31}, {7, 5}, {12, 20}, {2, 2}, {1, 1}, {40, 3}};
    for (const auto& s : sizes) {
        const int w = s[0], h = s[1];
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        QImage image = WhiteImage(60, 40);
        image.fill(0xFF00FF00u); // green, to tell the white brush from the background
        TRasterCanvas canvas(image);
        canvas.SetBrushColor(White);
        canvas.Ellipse(5, 4, 5 + w, 4 + h);
        int minX = 99, maxX = -1, minY = 99, maxY = -1;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x) {
                const TColor c = canvas.Pixel(x, y);
                if (c == 0x0000FF00) continue;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
                // Mirror images about both axes of the box have the same colour.
                EXPECT_EQ(canvas.Pixel(2 * 5 + w - 1 - x, y), c);
                EXPECT_EQ(canvas.Pixel(x, 2 * 4 + h - 1 - y), c);
                if (c == White) {
                    // A brush pixel is enclosed: all four neighbours are painted.
                    for (const auto& d : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                        EXPECT_NE(canvas.Pixel(x + d.first, y + d.second), 0x0000FF00u);
                }
            }
        EXPECT_EQ(minX, 5);
        EXPECT_EQ(maxX, 5 + w - 1);
        EXPECT_EQ(minY, 4);
        EXPECT_EQ(maxY, 4 + h - 1);
    }
}

TEST(RasterCanvasPolygons, SquareIsFilledWithTheBrushAndOutlinedOnEveryEdge) {
    QImage image = WhiteImage(30, 30);
    TRasterCanvas canvas(image);
    canvas.SetBrushColor(Red);
    const TPoint square[4] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    canvas.Polygon(square, 4);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool in = x >= 10 && x <= 20 && y >= 10 && y <= 20;
            const bool edge = in && (x == 10 || x == 20 || y == 10 || y == 20);
            ASSERT_EQ(canvas.Pixel(x, y), edge ? Black : in ? Red : White) << x << "," << y;
        }
}

TEST(RasterCanvasPolygons, SelfCrossingPolygonIsFilledEvenOdd) {
    QImage image = WhiteImage(60, 60);
    TRasterCanvas canvas(image);
    canvas.SetPenColor(Blue);
    canvas.SetBrushColor(Red);
    // A five-pointed star drawn in one stroke: its centre is wound twice, so even-odd leaves it empty.
    const TPoint star[5] = {{30, 2}, {47, 55}, {2, 21}, {58, 21}, {13, 55}};
    canvas.Polygon(star, 5);
    EXPECT_EQ(canvas.Pixel(30, 32), White);
    EXPECT_EQ(canvas.Pixel(30, 10), Red); // a point of the star
    EXPECT_EQ(canvas.Pixel(30, 2), Blue); // a vertex, on the outline
}

TEST(RasterCanvasPolygons, ArrowheadKeepsItsOutlineInsideTheFilledShape) {
    QImage image = WhiteImage(200, 120);
    TRasterCanvas canvas(image);
    canvas.SetPenColor(Blue);
    canvas.SetBrushColor(Blue);
    const TPoint head[4] = {{175, 97}, {177, 100}, {175, 103}, {186, 100}};
    canvas.Polygon(head, 4);
    const TPixelSet px = Painted(canvas, 200, 120);
    for (const TPoint& p : head) EXPECT_TRUE(px.count({p.x, p.y}));
    for (const auto& p : px) {
        EXPECT_GE(p.first, 175);
        EXPECT_LE(p.first, 186);
        EXPECT_GE(p.second, 97);
        EXPECT_LE(p.second, 103);
    }
    EXPECT_EQ(canvas.Pixel(180, 100), Blue);  // filled along the axis
    EXPECT_EQ(canvas.Pixel(176, 100), White); // the notch behind B
}

TEST(RasterCanvasCurves, SelfLoopCurveIsReproducibleAndPassesThroughItsMiddle) {
    const TPoint loop[4] = {{100, 100}, {150, 49}, {50, 49}, {100, 100}};
    QImage a = WhiteImage(200, 120), b = WhiteImage(200, 120);
    TRasterCanvas ca(a), cb(b);
    ca.PolyBezier(loop);
    cb.MoveTo(3, 3); // the curve does not start at the current position
    cb.PolyBezier(loop);
    EXPECT_EQ(a, b);
    EXPECT_EQ(ca.Pixel(100, 62), Black); // B(1/2) = (100, 61.75)
    EXPECT_EQ(ca.Pixel(100, 61), White);
    const TPixelSet px = Painted(ca, 200, 120);
    for (const auto& p : px) EXPECT_GE(p.second, 61); // it rises about 38 px above the centre
    ca.SetPenColor(White);
    ca.PolyBezier(loop);
    EXPECT_TRUE(AllWhite(a));
}

// Any sequence of shapes painted again in white, with the same calls, leaves a white picture.
TEST(RasterCanvasErase, RepaintingEveryShapeInWhiteRestoresTheBackground) {
    QImage image = WhiteImage(160, 120);
    TRasterCanvas canvas(image);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> coord(-60, 220), colour(0, 0xFFFFFF), kind(0, 5);
    struct TCall {
        int kind;
        TPoint p[4];
        TColor pen, brush, font;
        std::string text;
    };
    std::vector<TCall> calls;
    for (int n = 0; n < 300; ++n) {
        TCall c{kind(rng),
                {},
                static_cast<TColor>(colour(rng)),
                static_cast<TColor>(colour(rng)),
                static_cast<TColor>(colour(rng)),
                std::to_string(colour(rng) % 1000)};
        for (TPoint& p : c.p) p = {coord(rng), coord(rng)};
        calls.push_back(c);
    }
    auto paint = [&](bool erase) {
        for (const TCall& c : calls) {
            canvas.SetPenColor(erase ? White : c.pen);
            canvas.SetBrushColor(erase ? White : c.brush);
            canvas.SetFontColor(erase ? White : c.font);
            switch (c.kind) {
            case 0:
                canvas.MoveTo(c.p[0].x, c.p[0].y);
                canvas.LineTo(c.p[1].x, c.p[1].y);
                break;
            case 1: canvas.Rectangle(c.p[0].x, c.p[0].y, c.p[1].x, c.p[1].y); break;
            case 2: canvas.Ellipse(c.p[0].x, c.p[0].y, c.p[0].x + 30, c.p[0].y + 30); break;
            case 3: canvas.Polygon(c.p, 4); break;
            case 4: canvas.PolyBezier(c.p); break;
            default: canvas.TextOut(c.p[0].x, c.p[0].y, c.text); break;
            }
        }
    };
    paint(false);
    EXPECT_FALSE(AllWhite(image));
    paint(true);
    EXPECT_TRUE(AllWhite(image));
}

// The picture painted in two halves, each clipped to its box, is the picture of one pass, and the
// canvas is left in the state that pass leaves it in.
TEST(RasterCanvasHalves, TwoHalvesPaintThePictureOfOnePass) {
    auto live = std::make_unique<Tgraph>();
    InitGraph(*live);
    live->created = live->directed = live->weighted = true;
    const int at[][2] = {{40, 30}, {220, 60}, {120, 110}, {30, 200}, {230, 215}, {130, 123}};
    for (const auto& p : at) AddVertex(*live, p[0], p[1]);
    for (int s = 1; s <= 6; ++s)
        for (int t = 1; t <= 6; ++t)
            if (s != t) AddEdge(*live, s, t, "/*" + std::to_string(s * 10 + t) + "*/ teal");
    AddEdge(*live, 6, 6, "/*on the middle*/ maroon"); // its loop and label cross the halves' border
    auto paint = [&](TCanvas& c) {
        c.SetPenColor(Blue);
        c.MoveTo(5, 5);
        c.LineTo(250, 230);
        DrawGraph(*live, c);
        c.MoveTo(17, 19);
    };

    QImage single = WhiteImage(260, 240);
    TRasterCanvas one(single);
    paint(one);

    QImage halves = WhiteImage(260, 240);
    TRasterCanvas two(halves);
    for (int pass = 0; pass < 2; ++pass) { // texts new, then measured already
        halves.fill(0xFFFFFFFFu);
        two.SetClip(0, 0, 260, 120);
        paint(two);
        two.SetClip(0, 120, 260, 240);
        paint(two);
        two.ResetClip();
        EXPECT_EQ(halves, single);
    }

    EXPECT_EQ(two.PenColor(), one.PenColor());
    two.LineTo(17, 40); // the current position is the one the sequence ended at
    one.LineTo(17, 40);
    EXPECT_EQ(halves, single);
}

// A sequence recorded once and painted band by band paints what the calls paint directly, texts
// long and short included, and leaves the canvas in the state they leave.
TEST(RasterCanvasHalves, RecordedPassPaintsWhatTheCallsPaint) {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->created = g->directed = g->weighted = true;
    for (int i = 0; i < 40; ++i) AddVertex(*g, 150 + (i % 8) * 37 - (i / 8) * 11, 20 + (i / 8) * 45 + (i % 3) * 7);
    std::string longLabel = "/*";
    while (longLabel.size() < 900) longLabel += " long label, fjord AV";
    for (int s = 1; s <= 40; ++s)
        for (int t = 1; t <= 40; ++t)
            if (s != t)
                AddEdge(*g, s, t, (s * t) % 97 == 0 ? longLabel + "*/ navy" : "/*" + std::to_string(s * t) + "*/ teal");
    g->vertices[7].name = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D name"; // laid out whole
    for (const bool large : {false, true}) {
        SCOPED_TRACE(large ? "in bands" : "one band");
        auto paint = [&](TCanvas& c) {
            c.SetPenColor(Blue);
            c.MoveTo(5, 5);
            c.LineTo(390, 230);
            if (large) DrawGraph(*g, c);
            c.SetFontColor(Red);
            c.TextOut(-300, 118, longLabel);
            c.MoveTo(17, 19);
        };
        QImage direct = WhiteImage(400, 240), band, passed = WhiteImage(400, 240);
        TRasterCanvas one(direct), two(band);
        paint(one);
        for (int pass = 0; pass < 2; ++pass) { // texts new, then measured already
            passed.fill(0xFFFFFFFFu);
            // Many bands, shapes and texts crossing their edges; or one band.
            two.PaintBands(paint, 400, 240, large ? 7 : 240, [&](const QImage& image, int top, int count) {
                for (int y = 0; y < count; ++y) std::copy_n(image.constScanLine(y), 400 * 4, passed.scanLine(top + y));
            });
            EXPECT_EQ(two.LastPassBands() > 1, large);
            EXPECT_EQ(passed, direct);
        }
        EXPECT_EQ(two.PenColor(), one.PenColor());
        // The current position is the one the sequence ended at.
        band.fill(0xFFFFFFFFu);
        two.LineTo(17, 0);
        QImage expected = WhiteImage(400, band.height());
        TRasterCanvas three(expected);
        three.SetPenColor(one.PenColor());
        three.MoveTo(17, 19);
        three.LineTo(17, 0);
        EXPECT_EQ(band, expected);
    }
}

// The complete graph, self-loops with their arrowheads, and names and weights long and short,
// placed across band edges: the pass painted in bands of any height, and the picture painted band
// by band into a small image, are the picture the calls paint directly, pixel for pixel.
TEST(RasterCanvasBands, BandedPaintEqualsDirectPaint) {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->created = g->directed = g->weighted = true;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < 100; ++i)
        AddVertex(*g, 300 + static_cast<int>(std::lround(250 * std::cos(2 * pi * i / 100))),
                  260 + static_cast<int>(std::lround(230 * std::sin(2 * pi * i / 100))));
    for (int s = 1; s <= 100; ++s)
        for (int t = 1; t <= 100; ++t)
            if (s != t || s % 9 == 0) AddEdge(*g, s, t, "/*" + std::to_string(s * t % 1000) + "*/ navy");
    for (int v = 1; v <= 100; v += 7) g->vertices[v].name = "Vertex " + std::to_string(v) + " fjord AV Wave";
    g->vertices[50].name = std::string(3000, 'W');
    auto paint = [&](TCanvas& c) { DrawGraph(*g, c); };

    QImage direct = WhiteImage(600, 520);
    TRasterCanvas one(direct);
    paint(one);
    for (const int rows : {1, 13, 64, 0}) {
        SCOPED_TRACE("bands of " + std::to_string(rows) + " rows");
        QImage band, joined = WhiteImage(600, 520);
        int next = 0;
        TRasterCanvas three(band);
        three.PaintBands(paint, 600, 520, rows ? rows : 100, [&](const QImage& image, int top, int count) {
            EXPECT_EQ(top, next);
            next = top + count;
            for (int y = 0; y < count; ++y) std::copy_n(image.constScanLine(y), 600 * 4, joined.scanLine(top + y));
        });
        EXPECT_EQ(next, 520);
        EXPECT_EQ(joined, direct);
    }
}

TEST(RasterCanvasChanges, OneChangeIsReportedForEachShownPicture) {
    QImage image = WhiteImage(100, 100);
    TRasterCanvas canvas(image);
    int reports = 0;
    canvas.OnChange = [&reports] { ++reports; };
    canvas.MoveTo(200, 200); // moving paints nothing
    EXPECT_EQ(reports, 0);
    canvas.LineTo(10, 10);
    canvas.Rectangle(1, 1, 5, 5);
    canvas.TextOut(3, 3, "1");
    EXPECT_EQ(reports, 1);
    canvas.Shown();
    canvas.Ellipse(10, 10, 90, 90);
    canvas.TextOut(3, 3, "1");
    EXPECT_EQ(reports, 2);
}

TEST(RasterCanvasText, CellIsOpaqueAndEqualToTheQtCanvasText) {
    // "J" and the accented capitals reach outside their cell.
    const std::string texts[] = {"17", "Vertex 42", "Jy_(Q)", "\xC3\x89t\xC3\xA9", "caf\xC9", "W"};
    const int positions[][2] = {{10, 10}, {-4, 3}, {70, 22}, {0, -6}};
    for (const std::string& text : texts)
        for (const auto& pos : positions) {
            SCOPED_TRACE(text + " at " + std::to_string(pos[0]) + "," + std::to_string(pos[1]));
            QImage raster, qt;
            TextOnBothCanvases(80, 30, text, pos[0], pos[1], false, raster, qt);
            TRasterCanvas rc(raster);
            TQtCanvas qc(qt);
            ASSERT_EQ(rc.TextWidth(text), qc.TextWidth(text));
            ASSERT_EQ(rc.TextHeight(text), qc.TextHeight(text));
            ASSERT_EQ(raster, qt);
            // Opaque: nothing of the blue background is left inside the cell.
            const int w = rc.TextWidth(text), h = rc.TextHeight(text);
            for (int y = std::max(0, pos[1]); y < std::min(30, pos[1] + h); ++y)
                for (int x = std::max(0, pos[0]); x < std::min(80, pos[0] + w); ++x)
                    ASSERT_NE(raster.pixel(x, y), 0xFF0000FFu) << x << "," << y;
        }
}

TEST(RasterCanvasText, EmptyTextPaintsNothingButHasTheLineHeight) {
    QImage image = WhiteImage(20, 20);
    TRasterCanvas canvas(image);
    canvas.SetBrushColor(Red);
    canvas.TextOut(2, 2, "");
    EXPECT_TRUE(AllWhite(image));
    EXPECT_EQ(canvas.TextWidth(""), 0);
    EXPECT_EQ(canvas.TextHeight(""), canvas.TextHeight("8"));
    EXPECT_GT(canvas.TextHeight(""), 0);
}

// Letters are rendered once whatever their colours: another font or brush colour paints the same
// letters in the new colours from the same pieces.
TEST(RasterCanvasText, CacheGivesTheSamePixelsWhateverTheColours) {
    QImage image = WhiteImage(60, 20);
    TRasterCanvas canvas(image);
    canvas.SetFontColor(Black);
    canvas.SetBrushColor(White);
    canvas.TextOut(5, 3, "1234");
    const QImage first = image.copy();
    const std::size_t pieces = canvas.Texts().PieceCount();
    EXPECT_GE(pieces, 1u);
    image.fill(0xFFFFFFFFu);
    canvas.TextOut(5, 3, "1234");
    EXPECT_EQ(image, first);

    canvas.SetFontColor(Red);
    canvas.TextOut(5, 3, "1234");
    canvas.SetBrushColor(Blue);
    canvas.TextOut(5, 3, "1234");
    EXPECT_EQ(canvas.Texts().PieceCount(), pieces);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const QRgb was = first.pixel(x, y);
            const bool inCell =
                x >= 5 && x < 5 + canvas.TextWidth("1234") && y >= 3 && y < 3 + canvas.TextHeight("1234");
            const QRgb expected = !inCell ? 0xFFFFFFFFu : was == 0xFF000000u ? 0xFFFF0000u : 0xFF0000FFu;
            ASSERT_EQ(image.pixel(x, y), expected) << x << "," << y;
        }
}

TEST(RasterCanvasText, CacheStaysWithinItsBound) {
    QImage image = WhiteImage(40, 20);
    TRasterCanvas canvas(image);
    canvas.SetBrushColor(White);
    canvas.SetFontColor(Black);
    const std::size_t texts = TTextRaster::MaxTexts + 10;
    for (std::size_t n = 1; n <= texts; ++n) {
        const std::string text = std::to_string(n);
        canvas.TextOut(0, 0, text);
        ASSERT_LE(canvas.Texts().TextCount(), TTextRaster::MaxTexts);
        ASSERT_LE(canvas.Texts().PieceCount(), TTextRaster::MaxPieces);
    }
    EXPECT_EQ(canvas.Texts().TextCount(), 10u);
    // Still right after the cache was emptied.
    QImage fresh = WhiteImage(40, 20);
    TRasterCanvas other(fresh);
    other.TextOut(0, 0, std::to_string(texts));
    EXPECT_EQ(image, fresh);
}

// Texts of every kind, measured and painted by the raster canvas and by Qt's own text rendering,
// over the cell's start, its middle, its end and far away from the picture.
TEST(RasterCanvasText, LongMixedAndOffSurfaceTextsEqualTheQtCanvasText) {
    std::string words, ascii;
    for (int k = 0; words.size() < 3000; ++k) words += std::to_string(k) + " office AVATAR To, fjord; W.A. ";
    // Long printable ASCII without a ligature is measured from its bytes.
    for (int k = 0; ascii.size() < 6000; ++k) ascii += std::to_string(k) + " AVATAR To, jetty; W.A. {x=y} ";
    const std::string texts[] = {
        words,                                                                      // long, kerned pairs and ligatures
        "\xCE\xB1\xCE\xB2\xCE\xB3 \xD0\x96\xD0\xB8\xD0\xB2 e\xCC\x81t\xC3\xA9 ffi", // Greek, Cyrillic, a mark
        "x\xE4\xB8\xAD\xE6\x96\x87y \xF0\x9F\x98\x80 z", // CJK and a character beyond 16 bits
        "ab \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D 12 cd",     // right to left: laid out whole
        "tab\there \x7F",                                // control characters: whole
        "caf\xE9 \x80 \x81\x9D na\xEFve \xFF\xFE",       // invalid UTF-8: Windows-1252
        "\xEF\xBB\xBFwith a byte order mark",
        std::string(2000, 'f') + "i", // one ligature after a long run
        ascii,
        ascii + "fi", // the same with a ligature at its end, measured as a whole
    };
    for (const std::string& text : texts) {
        QImage probe = WhiteImage(1, 1);
        TRasterCanvas measure(probe);
        TQtCanvas qtMeasure(probe);
        const int w = measure.TextWidth(text);
        ASSERT_EQ(w, qtMeasure.TextWidth(text)) << text.substr(0, 40);
        const int positions[][2] = {{3, 4}, {-w / 2, 14}, {200 - w, 24}, {150, -6}, {-w - 40, 10}, {-1000000, 10}};
        for (const auto& pos : positions) {
            SCOPED_TRACE(text.substr(0, 40) + " at " + std::to_string(pos[0]) + "," + std::to_string(pos[1]));
            QImage raster, qt;
            TextOnBothCanvases(240, 40, text, pos[0], pos[1], true, raster, qt);
            ASSERT_EQ(raster, qt);
        }
    }
}

// Random texts of plain letters, kerned pairs, ligature letters, marks and other scripts: the
// width is Qt's, and so are the pixels.
TEST(RasterCanvasText, RandomTextsMeasureAndPaintAsQtDoes) {
    const char* const pool[] = {"f",
                                "i",
                                "l",
                                "A",
                                "V",
                                "T",
                                "o",
                                "W",
                                "a",
                                "y",
                                " ",
                                ".",
                                ",",
                                "1",
                                "7",
                                "\xC3\xA9",
                                "\xCC\x81",
                                "\xCE\xA9",
                                "\xD0\xAF",
                                "\xE2\x80\x94",
                                "\xC5\x93",
                                "j",
                                "'",
                                "\xE4\xB8\xAD",
                                "\xE3\x81\x82",
                                "\xF0\x9F\x98\x80",
                                "\xD5\xA1",
                                "\xE0\xA4\x95"};
    std::mt19937 random(20261208);
    QImage raster(300, 20, QImage::Format_RGB32), qt(300, 20, QImage::Format_RGB32);
    TRasterCanvas rc(raster);
    TQtCanvas qc(qt);
    for (int n = 0; n < 400; ++n) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 40);
        for (int k = 0; k < length; ++k) text += pool[random() % (sizeof pool / sizeof *pool)];
        SCOPED_TRACE(text);
        ASSERT_EQ(rc.TextWidth(text), qc.TextWidth(text));
        raster.fill(0xFFFFFFFFu);
        qt.fill(0xFFFFFFFFu);
        for (TCanvas* c : {static_cast<TCanvas*>(&rc), static_cast<TCanvas*>(&qc)}) {
            c->SetFontColor(Black);
            c->SetBrushColor(White);
            c->TextOut(static_cast<int>(n % 7) - 3, 4, text);
        }
        ASSERT_EQ(raster, qt);
    }
}

// A name of a million characters: measured as Qt measures it, and painted (and erased) at its
// start, its middle and out of sight. (How fast: the benchmark's RedrawLongName4M.)
TEST(RasterCanvasText, MillionCharacterTextIsMeasuredAndPainted) {
    std::string name;
    while (name.size() < 1000000) name += "Vertex name, fairly long; ";
    QImage image = WhiteImage(400, 60);
    TRasterCanvas canvas(image);
    const int w = canvas.TextWidth(name);
    for (int x : {0, -w / 2, -w - 100, 1 << 30})
        for (TColor font : {Black, White}) {
            canvas.SetFontColor(font);
            canvas.SetBrushColor(White);
            canvas.TextOut(x, 20, name);
        }
    EXPECT_TRUE(AllWhite(image)); // every painting was erased
    EXPECT_EQ(w, QFontMetrics(CanvasFont(), &image).horizontalAdvance(DecodeText(name)));
}

// Long texts are kept by their length and hashes of their bytes: texts of one length that differ
// in one character, ASCII or not, are each measured as Qt measures them, again and again.
TEST(RasterCanvasText, LongTextsOfOneLengthAreMeasuredApart) {
    QImage image = WhiteImage(10, 10);
    TRasterCanvas canvas(image);
    const QFontMetrics qt(CanvasFont(), &image);
    std::string ascii(6000, 'i'), other = ascii, accented = ascii;
    other[3000] = 'W';
    accented.replace(3000, 1, "\xC3\x89");
    accented.pop_back();
    for (int round = 0; round < 2; ++round)
        for (const std::string* text : {&ascii, &other, &accented})
            EXPECT_EQ(canvas.TextWidth(*text), qt.horizontalAdvance(DecodeText(*text)));
    EXPECT_NE(canvas.TextWidth(ascii), canvas.TextWidth(other));
}

// The surface's picture: rows an odd number of cache lines apart, whatever the width, and as
// good a picture as Qt's own for the canvas.
TEST(RasterImage, RowsStartAnOddNumberOfCacheLinesApart) {
    for (const int w : {1, 15, 16, 17, 400, 1280, 1281, 4096}) {
        SCOPED_TRACE(w);
        QImage image = RasterImage(w, 240);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_GE(image.bytesPerLine(), 4 * w);
        EXPECT_EQ(image.bytesPerLine() % 64, 0);
        EXPECT_EQ(image.bytesPerLine() / 64 % 2, 1);
        image.fill(0xFFFFFFFFu);
        QImage plain = WhiteImage(w, 240);
        TRasterCanvas ours(image), qts(plain);
        for (TRasterCanvas* c : {&ours, &qts}) {
            c->SetPenColor(Red);
            c->MoveTo(w - 1, 0);
            c->LineTo(0, 239);
            c->Ellipse(-5, 100, w / 2 + 3, 130);
        }
        EXPECT_EQ(image, plain);
        // Shared, the picture is copied before it is painted, into Qt's own stride.
        const QImage kept = image;
        for (TRasterCanvas* c : {&ours, &qts}) c->Rectangle(0, 3, w / 3 + 4, 200);
        EXPECT_EQ(image, plain);
        EXPECT_NE(kept, plain);
    }
    EXPECT_TRUE(RasterImage(0, 10).isNull());
    EXPECT_TRUE(RasterImage(10, -1).isNull());
}

// A small polygon in one colour is painted from the spans of its shape, found once: at any place,
// clipped or not, it covers the pixels that its fill and outline cover when painted apart.
TEST(RasterCanvasPolygon, ShapesPaintedFromTheirSpansCoverTheirOwnPixels) {
    std::mt19937 random(8122026);
    std::uniform_int_distribution<int> offset(-12, 12), place(-20, 80), count(2, 5);
    QImage cached = WhiteImage(64, 48), apart = WhiteImage(64, 48);
    TRasterCanvas one(cached), two(apart);
    one.SetPenColor(Red);
    one.SetBrushColor(Red);
    two.SetPenColor(Blue);
    two.SetBrushColor(Red);
    for (int trial = 0; trial < 3000; ++trial) {
        TPoint shape[5];
        const int n = count(random);
        for (int k = 0; k < n; ++k) shape[k] = {offset(random), offset(random)};
        for (int placed = 0; placed < 3; ++placed) { // the second and third time from the spans
            const int x = place(random), y = place(random);
            TPoint at[5];
            for (int k = 0; k < n; ++k) at[k] = {shape[k].x + x, shape[k].y + y};
            cached.fill(0xFFFFFFFFu);
            apart.fill(0xFFFFFFFFu);
            one.Polygon(at, n);
            two.Polygon(at, n);
            for (int row = 0; row < 48; ++row)
                for (int col = 0; col < 64; ++col)
                    ASSERT_EQ(cached.pixel(col, row) != 0xFFFFFFFFu, apart.pixel(col, row) != 0xFFFFFFFFu)
                        << "trial " << trial << " at " << col << "," << row;
        }
    }
}
