// Drawing coordinates, checked call by call on a recording canvas (text is 6 px a character, 13 high).

#include "GraphBuilders.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using Calls = std::vector<std::string>;

TEST(DrawEdge, UnpairedArcLineAndArrowhead) {
    Tgraph g;
    MakeGraph(g, true, false, {{100, 100}, {200, 100}});
    Connect(g, 1, 2);
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("MoveTo"), Calls{"MoveTo(114,100) ink=000000 fill=000000"});
    EXPECT_EQ(c.Only("LineTo"), Calls{"LineTo(186,100) ink=000000 fill=000000"});
    EXPECT_EQ(c.Only("Polygon"), Calls{"Polygon(175,97,177,100,175,103,186,100) ink=000000 fill=000000"});
}

TEST(DrawEdge, PairedArcsAreDrawnFourPixelsToTheirLeft) {
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}, {200, 100}});
    Connect(g, 1, 2, "/*ab*/");
    Connect(g, 2, 1, "/*abcd*/ red");
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("MoveTo"),
              (Calls{"MoveTo(114,96) ink=000000 fill=000000", "MoveTo(186,104) ink=0000FF fill=0000FF"}));
    EXPECT_EQ(c.Only("LineTo"),
              (Calls{"LineTo(186,96) ink=000000 fill=000000", "LineTo(114,104) ink=0000FF fill=0000FF"}));
    EXPECT_EQ(c.Only("Polygon"), (Calls{"Polygon(175,93,177,96,175,99,186,96) ink=000000 fill=000000",
                                        "Polygon(125,107,123,104,125,101,114,104) ink=0000FF fill=0000FF"}));
    // Labels: right-going above its line, left-going below; weight text in the edge's colour on white.
    Calls labels = c.Only("TextOut");
    labels.resize(2);
    EXPECT_EQ(labels,
              (Calls{"TextOut(144,83) ink=000000 fill=FFFFFF 'ab'", "TextOut(138,104) ink=0000FF fill=FFFFFF 'abcd'"}));
}

TEST(DrawEdge, UnpairedLabelSitsAboveAHorizontalEdge) {
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}, {200, 100}});
    Connect(g, 1, 2, "/*ab*/");
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("TextOut(144"), Calls{"TextOut(144,87) ink=000000 fill=FFFFFF 'ab'"});
}

TEST(DrawEdge, DiagonalArcAndItsPairedLine) {
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}, {200, 200}});
    Connect(g, 1, 2, "/*w*/");
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("MoveTo"), Calls{"MoveTo(110,110) ink=000000 fill=000000"});
    EXPECT_EQ(c.Only("LineTo"), Calls{"LineTo(190,190) ink=000000 fill=000000"});
    EXPECT_EQ(c.Only("Polygon"), Calls{"Polygon(184,180,184,184,180,184,190,190) ink=000000 fill=000000"});
    EXPECT_EQ(c.Only("TextOut(150"), Calls{"TextOut(150,137) ink=000000 fill=FFFFFF 'w'"});

    Connect(g, 2, 1);
    TRecordingCanvas paired;
    DrawGraph(g, paired);
    EXPECT_EQ(paired.Only("MoveTo")[0], "MoveTo(113,107) ink=000000 fill=000000");
    EXPECT_EQ(paired.Only("LineTo")[0], "LineTo(193,187) ink=000000 fill=000000");
}

TEST(DrawEdge, OverlappingCirclesDrawNoLineButTouchingOnesDo) {
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}, {129, 100}, {100, 300}, {130, 300}});
    Connect(g, 1, 2, "/*x*/");
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_TRUE(c.Only("LineTo").empty());
    EXPECT_TRUE(c.Only("Polygon").empty());
    EXPECT_EQ(c.Only("TextOut(111").size(), 1u); // the label is drawn all the same

    Connect(g, 3, 4);
    TRecordingCanvas t;
    DrawGraph(g, t);
    EXPECT_EQ(t.Only("MoveTo"), Calls{"MoveTo(114,300) ink=000000 fill=000000"});
    EXPECT_EQ(t.Only("LineTo"), Calls{"LineTo(116,300) ink=000000 fill=000000"});
    EXPECT_EQ(t.Only("Polygon"), Calls{"Polygon(105,297,107,300,105,303,116,300) ink=000000 fill=000000"});
}

TEST(DrawEdge, SelfLoopCurveArrowheadAndLabel) {
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}});
    Connect(g, 1, 1, "/*loop*/ green");
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("PolyBezier"), Calls{"PolyBezier(100,100,150,49,50,49,100,100) ink=008000 fill=008000"});
    EXPECT_EQ(c.Only("Polygon"), Calls{"Polygon(110,88,117,81,113,81,111,78) ink=008000 fill=008000"});
    EXPECT_EQ(c.Only("TextOut(88"), Calls{"TextOut(88,50) ink=008000 fill=FFFFFF 'loop'"});
}

struct TLabelCase {
    int x2, y2;
    int left, top; // for a 'ww' label: w 12, h 13
};

class LabelPlacement : public testing::TestWithParam<TLabelCase> {};

// The label box touches the mid-point and lies to the left of the direction of travel.
TEST_P(LabelPlacement, ByDirectionOfTravel) {
    const TLabelCase& p = GetParam();
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}, {p.x2, p.y2}});
    Connect(g, 1, 2, "/*ww*/");
    TRecordingCanvas c;
    DrawGraph(g, c);
    const Calls labels = c.Only("TextOut");
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels[0],
              "TextOut(" + std::to_string(p.left) + "," + std::to_string(p.top) + ") ink=000000 fill=FFFFFF 'ww'");
}

INSTANTIATE_TEST_SUITE_P(Directions, LabelPlacement,
                         testing::Values(TLabelCase{200, 0, 138, 37},    // up and right
                                         TLabelCase{200, 200, 150, 137}, // down and right
                                         TLabelCase{0, 0, 38, 50},       // up and left
                                         TLabelCase{0, 200, 50, 150},    // down and left
                                         TLabelCase{200, 100, 144, 87},  // right
                                         TLabelCase{0, 100, 44, 100},    // left
                                         TLabelCase{100, 0, 88, 44},     // up
                                         TLabelCase{100, 100, 88, 94},   // both centres at one point
                                         TLabelCase{100, 200, 100, 144}, // down
                                         TLabelCase{201, 100, 144, 87},  // mid x 150.5 rounds to 150
                                         TLabelCase{203, 100, 146, 87}), // mid x 151.5 rounds to 152
                         [](const testing::TestParamInfo<TLabelCase>& c) {
                             return "To" + std::to_string(c.param.x2) + "x" + std::to_string(c.param.y2);
                         });

TEST(DrawGraph, UndirectedEdgeDrawnOnceFromTheLowerEnd) {
    Tgraph g;
    MakeGraph(g, false, true, {{200, 100}, {100, 100}});
    Connect(g, 2, 1, "/*ww*/");
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("MoveTo"), Calls{"MoveTo(186,100) ink=000000 fill=000000"});
    EXPECT_TRUE(c.Only("Polygon").empty());
    EXPECT_EQ(c.Only("TextOut(144"), Calls{"TextOut(144,100) ink=000000 fill=FFFFFF 'ww'"}); // as travel 1 -> 2
}

TEST(DrawGraph, OrderIsLabelsThenEdgesThenVerticesWithNames) {
    Tgraph g;
    MakeGraph(g, false, true, {{100, 100}, {200, 100}});
    Connect(g, 1, 2, "/*7*/");
    g.vertices[1].name = "long name";
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.calls,
              (Calls{"TextOut(147,87) ink=000000 fill=FFFFFF '7'", "MoveTo(114,100) ink=000000 fill=000000",
                     "LineTo(186,100) ink=000000 fill=000000", "Ellipse(85,85,115,115) ink=000000 fill=FFFFFF",
                     "TextOut(73,95) ink=000000 fill=FFFFFF 'long name'",
                     "Ellipse(185,85,215,115) ink=000000 fill=FFFFFF", "TextOut(197,95) ink=000000 fill=FFFFFF '2'"}));
}

TEST(DrawGraph, HoveredEdgeUsesCurrentColourButItsWeightKeepsItsOwn) {
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}, {200, 100}});
    Connect(g, 1, 2, "/*7*/ red");
    g.currentColor = colors::Blue;
    FindEdge(g, 1, 2)->hovered = true;
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("LineTo"), Calls{"LineTo(186,100) ink=FF0000 fill=FF0000"});
    EXPECT_EQ(c.Only("TextOut(147"), Calls{"TextOut(147,87) ink=0000FF fill=FFFFFF '7'"});
}

TEST(DrawGraph, UnweightedGraphDrawsNoLabelsAndNotCreatedDrawsNothing) {
    Tgraph g;
    MakeGraph(g, true, false, {{100, 100}, {200, 100}});
    Connect(g, 1, 2);
    FindEdge(g, 1, 2)->weight = "stray";
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("TextOut").size(), 2u); // the two vertex names only
    g.created = false;
    TRecordingCanvas none;
    DrawGraph(g, none);
    EXPECT_TRUE(none.calls.empty());
}

// The erase repeats every shape of the drawing, at the same coordinates, in white.
TEST(EraseGraph, RetracesTheDrawingInWhiteEvenWhenNotCreated) {
    Tgraph g;
    MakeGraph(g, true, true, {{100, 100}, {200, 180}, {50, 300}});
    Connect(g, 1, 2, "/*a*/ red");
    Connect(g, 2, 1, "/*b*/");
    Connect(g, 3, 3, "/*c*/ blue");
    Connect(g, 3, 1, "/*d*/");
    FindEdge(g, 3, 1)->hovered = true;
    g.currentColor = colors::Lime;
    TRecordingCanvas drawn, erased;
    DrawGraph(g, drawn);
    g.created = false;
    erased.brush = colors::White;
    EraseGraph(g, erased);
    ASSERT_EQ(drawn.calls.size(), erased.calls.size());
    for (std::size_t i = 0; i < drawn.calls.size(); ++i) {
        const std::string& d = drawn.calls[i];
        const std::string& e = erased.calls[i];
        EXPECT_EQ(d.substr(0, d.find(" ink")), e.substr(0, e.find(" ink")));
        EXPECT_NE(e.find("ink=FFFFFF fill=FFFFFF"), std::string::npos) << e;
    }

    Tgraph zero;
    TRecordingCanvas nothing;
    EraseGraph(zero, nothing);
    EXPECT_TRUE(nothing.calls.empty());
}

TEST(DrawGraph, FarVerticesClampInsteadOfOverflowing) {
    Tgraph g;
    MakeGraph(g, true, true, {{2147483647, 2147483647}, {-2147483647 - 1, -2147483647 - 1}});
    Connect(g, 1, 2, "/*x*/");
    Connect(g, 2, 1, "/*y*/");
    Connect(g, 1, 1, "/*z*/");
    TRecordingCanvas c;
    DrawGraph(g, c);
    EXPECT_EQ(c.Only("Ellipse")[0], "Ellipse(2147483632,2147483632,2147483647,2147483647) ink=000000 fill=FFFFFF");
    EXPECT_EQ(c.Only("PolyBezier")[0].substr(0, 42), "PolyBezier(2147483647,2147483647,214748364");
}

// Every coordinate of an arc, as defined: long double, integer products before the division by
// the guarded length, rounded half to even. The drawing may compute it another way, but must land
// on the same pixels for every pair of ends, including those whose values fall on halves.
TEST(DrawEdge, ArcCoordinatesMatchTheirLongDoubleDefinition) {
    std::mt19937 random(20261208);
    auto round = [](long double v) { return static_cast<int>(std::rintl(v)); };
    for (int trial = 0; trial < 20000; ++trial) {
        // Small spreads give many exact halves and ties; wide ones cover the far range.
        const int spread = trial % 3 == 0 ? 8 : trial % 3 == 1 ? 300 : 20000000;
        std::uniform_int_distribution<int> at(-spread, spread), radius(0, 20);
        const long long x1 = at(random), y1 = at(random), x2 = at(random), y2 = at(random);
        const long long r1 = radius(random), r2 = radius(random);
        const bool paired = trial % 2 == 0;
        Tgraph g;
        MakeGraph(g, true, true, {});
        g.vertexCount = 2; // placed directly: the editor would refuse overlapping circles
        g.vertices[1] = {"", static_cast<int>(r1), static_cast<int>(x1), static_cast<int>(y1)};
        g.vertices[2] = {"", static_cast<int>(r2), static_cast<int>(x2), static_cast<int>(y2)};
        Connect(g, 1, 2);
        if (paired) Connect(g, 2, 1);

        const long long dx = x2 - x1, dy = y2 - y1;
        const long double L =
            std::sqrt(static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy) + 0.0001L;
        if (x1 == x2 && y1 == y2) continue;
        const long double ox = paired ? 4 * dy / L : 0.0L, oy = paired ? -4 * dx / L : 0.0L;
        auto point = [&](long double x, long double y) {
            return std::to_string(round(x)) + "," + std::to_string(round(y));
        };
        // The empty weight's box: at the anchor, above it for travel to the right, below it to the
        // left, centred on it straight up or down.
        const long double mx = (x1 + x2) / 2.0L + ox, my = (y1 + y2) / 2.0L + oy;
        std::string expected = "TextOut(" + std::to_string(round(mx)) + "," +
                               std::to_string(round(my) - (dx > 0   ? 13
                                                           : dx < 0 ? 0
                                                                    : 6)) +
                               ")";
        if (L >= r1 + r2) {
            const long long barbs = r2 + 10, notch = r2 + 8;
            expected += " MoveTo(" + point(x1 + ((r1 - 1) * dx) / L + ox, y1 + ((r1 - 1) * dy) / L + oy) + ") LineTo(" +
                        point(x2 - ((r2 - 1) * dx) / L + ox, y2 - ((r2 - 1) * dy) / L + oy) + ") Polygon(" +
                        point(x2 - (barbs * dx) / L + (3 * dy) / L + ox, y2 - (barbs * dy) / L - (3 * dx) / L + oy) +
                        "," + point(x2 - (notch * dx) / L + ox, y2 - (notch * dy) / L + oy) + "," +
                        point(x2 - (barbs * dx) / L - (3 * dy) / L + ox, y2 - (barbs * dy) / L + (3 * dx) / L + oy) +
                        "," + point(x2 - ((r2 - 1) * dx) / L + ox, y2 - ((r2 - 1) * dy) / L + oy) + ")";
        }
        TRecordingCanvas c;
        DrawGraph(g, c);
        // The first arc's label, line and arrowhead; the second arc mirrors them.
        std::string drawn = c.calls.at(0).substr(0, c.calls[0].find(' '));
        int taken = 0;
        for (const std::string& call : c.calls)
            if (taken < 3 && call.find("Ellipse") != 0 && call.find("TextOut") != 0)
                drawn += " " + call.substr(0, call.find(' ')), ++taken;
        ASSERT_EQ(drawn, expected) << "(" << x1 << "," << y1 << " r" << r1 << ") -> (" << x2 << "," << y2 << " r" << r2
                                   << ")" << (paired ? " paired" : "");
    }
}

} // namespace
