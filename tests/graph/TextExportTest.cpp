// The text exports (DOT, GraphML's text, TikZ), the text conversion they share, and the extent
// of a drawing that sizes the exported pictures.

#include "TextExport.h"
#include "FormatWriters.h"
#include "GraphBuilders.h"
#include "PictureBounds.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Directed and weighted: a paired arc, a loop, texts with every character a format must escape.
void MakeDirected(Tgraph& g) {
    MakeGraph(g, true, true, {{10, 20}, {110, 20}});
    g.vertices[1].name = "a\\b{c}%d&e_f\"g";
    g.vertices[2].name = "x\ty";
    Connect(g, 1, 2, "/*1_2*/ navy");
    Connect(g, 2, 1, "/*$#~^*/");
    Connect(g, 2, 2, "/*<|>*/ red");
}

// Undirected and unweighted: one edge, written once.
void MakeUndirected(Tgraph& g) {
    MakeGraph(g, false, false, {{0, 0}, {50, -40}}, 0x00008000);
    g.vertices[1].name = "A";
    Connect(g, 1, 2);
}

struct TFormatCase {
    const char* name;
    void (*make)(Tgraph&);
    std::string (*write)(const Tgraph&);
    std::vector<std::string> lines; // expected in this order, each a whole line
    std::vector<std::string> absent;
};

TEST(TextExport, EachFormatWritesEveryVertexAndEdgeLineEscaped) {
    const TFormatCase cases[] = {
        {"dot undirected",
         MakeUndirected,
         DotText,
         {"graph {", "  1 [label=\"A\", pos=\"0,0!\"];", "  2 [label=\"2\", pos=\"37.5,30!\"];",
          "  1 -- 2 [color=\"#008000\", fontcolor=\"#008000\"];", "}"},
         {" -> ", "2 -- 1"}},
        {"tikz directed",
         MakeDirected,
         TikzText,
         {"\\begin{tikzpicture}[x=0.75pt, y=0.75pt, >=stealth,", "  \\definecolor{nl-black}{RGB}{0,0,0}",
          "  \\definecolor{nl-navy}{RGB}{0,0,128}",
          "  \\node[vertex, label=center:{a\\textbackslash{}b\\{c\\}\\%d\\&e\\_f\"g}] (v1) at (10,-20) {};",
          "  \\node[vertex, label=center:{x y}] (v2) at (110,-20) {};",
          "  \\draw[->, color=nl-navy] (v1) .. controls (48.77,-14.55) and (71.23,-14.55) .. node[weight] {1\\_2} "
          "(v2);",
          "  \\draw[->, color=nl-red] (v2) .. controls (160,31) and (60,31) .. node[weight, above] "
          "{\\textless{}\\textbar{}\\textgreater{}} (v2);",
          "  \\draw[->, color=nl-black] (v2) .. controls (71.23,-25.45) and (48.77,-25.45) .. node[weight] "
          "{\\$\\#\\textasciitilde{}\\textasciicircum{}} (v1);",
          "\\end{tikzpicture}"},
         {}},
        {"tikz undirected",
         MakeUndirected,
         TikzText,
         {"  \\node[vertex, label=center:{A}] (v1) at (0,0) {};",
          "  \\node[vertex, label=center:{2}] (v2) at (50,40) {};", "  \\draw[color=nl-green] (v1) -- (v2);"},
         {"->]", "(v2) -- (v1)", "node[weight"}},
        {"graphml undirected",
         MakeUndirected,
         GraphMLText,
         {"  <graph id=\"G\" edgedefault=\"undirected\">",
          "    <node id=\"n2\"><data key=\"name\">2</data><data key=\"label\">2</data><data key=\"x\">50</data><data "
          "key=\"y\">-40</data></node>",
          "    <edge id=\"e1\" source=\"n1\" target=\"n2\"><data key=\"color\">#008000</data></edge>"},
         {"<data key=\"weight\">", "source=\"n2\""}},
    };
    for (const TFormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        Tgraph g;
        c.make(g);
        const std::string text = c.write(g);
        std::vector<std::string> got;
        for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            got.push_back(text.substr(at, end - at));
        }
        auto at = got.begin();
        for (const std::string& line : c.lines) {
            at = std::find(at, got.end(), line);
            ASSERT_NE(at, got.end()) << "missing or out of order: " << line << "\nin:\n" << text;
            ++at;
        }
        for (const std::string& s : c.absent) EXPECT_EQ(text.find(s), std::string::npos) << s;
    }
}

TEST(TextExport, Utf8TextKeepsUtf8AndReadsAnythingElseAsWindows1252) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"}, // valid UTF-8
        {"caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},     // Windows-1252 é and the euro sign
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, // a surrogate
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},             // cut short
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(Utf8Text(in), out) << in;
}

struct TBoundsCase {
    const char* name;
    void (*draw)(TCanvas&);
    long long right, bottom;
};

TEST(PictureBounds, EachCallReachesAsFarAsItPaints) {
    const TBoundsCase cases[] = {
        {"box, right and bottom edge exclusive", [](TCanvas& c) { c.Rectangle(3, 4, 10, 20); }, 10, 20},
        {"ellipse given backwards", [](TCanvas& c) { c.Ellipse(40, 30, 5, 6); }, 40, 30},
        {"empty box", [](TCanvas& c) { c.Rectangle(3, 4, 3, 20); }, 0, 0},
        {"all at negative coordinates", [](TCanvas& c) { c.Ellipse(-40, -30, -5, -6); }, 0, 0},
        {"line through both ends",
         [](TCanvas& c) {
             c.MoveTo(30, 7);
             c.LineTo(5, 5);
         },
         31, 8},
        {"line of no length",
         [](TCanvas& c) {
             c.MoveTo(30, 7);
             c.LineTo(30, 7);
         },
         0, 0},
        {"wide pen",
         [](TCanvas& c) {
             c.SetPenWidth(3);
             c.MoveTo(0, 0);
             c.LineTo(10, 10);
         },
         12, 12},
        {"polygon",
         [](TCanvas& c) {
             const TPoint p[3] = {{1, 9}, {7, 2}, {4, 4}};
             c.Polygon(p, 3);
         },
         8, 10},
        {"text cell: 6 px a character, 13 high", [](TCanvas& c) { c.TextOut(100, 50, "abc"); }, 118, 63},
        {"empty text", [](TCanvas& c) { c.TextOut(100, 50, ""); }, 0, 0},
        // The self-loop's curve turns back at x + 14.4: its controls at x + 50 are not reached.
        {"loop curve",
         [](TCanvas& c) {
             const TPoint p[4] = {{100, 100}, {150, 49}, {50, 49}, {100, 100}};
             c.PolyBezier(p);
         },
         115, 101},
    };
    for (const TBoundsCase& c : cases) {
        SCOPED_TRACE(c.name);
        TRecordingCanvas measure;
        TBoundsCanvas bounds(measure);
        c.draw(bounds);
        EXPECT_EQ(bounds.Right(), c.right);
        EXPECT_EQ(bounds.Bottom(), c.bottom);
    }
}

TEST(PictureBounds, PictureHoldsDrawingPlusMarginUpToTheLargestSide) {
    Tgraph g;
    TRecordingCanvas measure;
    MakeGraph(g, true, true, {{0, 100}, {300, 50}});
    g.vertices[1].name = "a long name for a vertex"; // 144 px wide, from x = -72: cut off
    Connect(g, 1, 2, "/*w*/");
    const std::pair<int, int> fitted[] = {{315 + 10, 115 + 10}, {16384, 16384}, {10, 10}};
    for (const auto& [w, h] : fitted) {
        const TPictureSize size = ExportPictureSize(g, measure);
        EXPECT_EQ(size.width, w);
        EXPECT_EQ(size.height, h);
        if (w == 325)
            MoveVertex(g, 2, 1000000, 1000000);
        else
            g.created = false; // nothing drawn: the margin alone
    }
}

} // namespace

namespace {

// TikZ for TeX's limits: every coordinate within 8000 pt once scaled, long texts in lines, curves
// by their control points, and the engine the file needs named in its first comment.
TEST(TextExport, TikzKeepsWithinTexAndNamesItsEngine) {
    const struct {
        const char* name;
        std::vector<TPointXY> at;
        std::string text; // every name and weight
        bool directed;
        const char* engine;
    } cases[] = {
        {"opposite arcs 1600 px apart", {{0, 0}, {1600, 0}}, "a", true, "pdflatex."},
        {"coordinates past 21845", {{-30000, 40000}, {2147483647, -2147483647}}, "b", false, "pdflatex."},
        {"a 10000-character name", {{0, 0}, {100, 0}}, std::string(10000, 'n'), true, "pdflatex."},
        {"a name pdfLaTeX cannot set", {{0, 0}, {100, 0}}, "\xE6\x97\xA5\xE2\x82\xAC", false, "lualatex (a name"},
        {"Windows-1252 text", {{0, 0}, {100, 0}}, "caf\xE9 \x80 \x81", false, "pdflatex."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tgraph g;
        MakeGraph(g, c.directed, true, {c.at[0], c.at[1]});
        g.vertices[1].name = g.vertices[2].name = c.text;
        Connect(g, 1, 2, "/*" + c.text + "*/");
        Connect(g, 2, 1, "/*" + c.text + "*/");
        Connect(g, 2, 2, "/*w*/");
        const std::string tex = TikzText(g);
        EXPECT_NE(tex.substr(0, tex.find('\n')).find("TeX engine: " + std::string(c.engine)), std::string::npos)
            << tex.substr(0, 200);
        EXPECT_EQ(tex.find("bend"), std::string::npos);
        EXPECT_EQ(tex.find("\xC2\x81"), std::string::npos) << "a C1 control";
        const double unit = std::stod(tex.substr(tex.find("[x=") + 3));
        // Every number in the picture's coordinates, in points.
        int coordinates = 0;
        for (const char* before : {"at (", "controls (", "and ("})
            for (std::size_t at = tex.find(before); at != std::string::npos; at = tex.find(before, at + 1)) {
                const std::size_t open = tex.find('(', at) + 1, comma = tex.find(',', open);
                for (const std::string& number :
                     {tex.substr(open, comma - open), tex.substr(comma + 1, tex.find(')', comma) - comma - 1)})
                    EXPECT_LE(std::abs(std::stod(number) * unit), 8000.01) << number;
                ++coordinates;
            }
        EXPECT_EQ(coordinates, 2 + 2 * (c.directed ? 3 : 1)); // two vertices; a loop, and two bent arcs when directed
        // No line of a label longer than 60 characters.
        for (std::size_t at = tex.find("nnnnn"); at != std::string::npos; at = tex.find("nnnnn", at + 61))
            EXPECT_LE(tex.find_first_not_of('n', at) - at, 60u);
    }
}

} // namespace
