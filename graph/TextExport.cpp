// The TikZ picture for LaTeX, and what the text writers of other formats share.

#include "TextExport.h"

#include "Numbers.h"

#include "Geometry.h"
#include "Marks.h"
#include "Text.h"
#include "TikzAltText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using geometry::HeldVertices;

namespace {

// ---------------------------------------------------------------- TikZ

std::string TexEscaped(const std::string& bytes) {
    std::string out;
    for (char c : PrintableUtf8(bytes)) {
        switch (c) {
        case '\\': out += "\\textbackslash{}"; break;
        case '{': out += "\\{"; break;
        case '}': out += "\\}"; break;
        case '%': out += "\\%"; break;
        case '&': out += "\\&"; break;
        case '_': out += "\\_"; break;
        case '#': out += "\\#"; break;
        case '$': out += "\\$"; break;
        case '~': out += "\\textasciitilde{}"; break;
        case '^': out += "\\textasciicircum{}"; break;
        case '<': out += "\\textless{}"; break;
        case '>': out += "\\textgreater{}"; break;
        case '|': out += "\\textbar{}"; break;
        default: out += c;
        }
    }
    return out;
}

// The TikZ colour of an edge: the table's colour by name, any other as an RGB mix.
std::string TikzColor(TColor c) {
    for (const TColorEntry& e : ColorTable)
        if (e.value == c) return std::string("color=nl-") + e.name;
    return "color={rgb,255:red," + std::to_string(c & 0xFFu) + ";green," + std::to_string((c >> 8) & 0xFFu) + ";blue," +
           std::to_string((c >> 16) & 0xFFu) + "}";
}

} // namespace

std::string PercentEncoded(const std::string& bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b > 0x20 && b < 0x7F && c != '%' && c != '"' && c != '\\' && c != '<' && c != '>' && c != '&') {
            out += c;
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0xF];
        }
    }
    return out;
}

bool PercentDecoded(const std::string& text, std::string& bytes) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int hi = digit(text[i + 1]), lo = digit(text[i + 2]);
        if (hi < 0 || lo < 0) return false;
        bytes += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

bool ShownExactly(const std::string& bytes) { return PrintableUtf8(bytes) == bytes; }

namespace {

// TeX's dimensions end at 16383.99 pt, and TikZ computes with them: a coordinate stays within
// 8000 pt, which leaves room for its arithmetic (a curve's control points, a label's box).
constexpr double TikzReachPt = 8000;
// A label longer than this many characters is set in lines of this length: a line of 10000
// characters is wider than TeX can measure.
constexpr std::size_t TikzLineLength = 60;
// Beyond this many edge labels, pdfLaTeX's default main memory (5 million words) runs out before
// the picture is shipped out.
constexpr int TikzPdfLatexLabels = 4000;

// The label's text: escaped, and set in lines when it is long.
std::string TexLabel(const std::string& bytes, bool& lines) {
    const std::string text = PrintableUtf8(bytes);
    const std::vector<std::size_t> starts = CharacterStarts(text);
    lines = starts.size() - 1 > TikzLineLength;
    if (!lines) return TexEscaped(text);
    std::string out;
    for (std::size_t c = 0; c + 1 < starts.size(); c += TikzLineLength) {
        const std::size_t from = starts[c], to = starts[std::min(c + TikzLineLength, starts.size() - 1)];
        if (c > 0) out += "\\\\";
        out += TexEscaped(text.substr(from, to - from));
    }
    return out;
}

// Whether pdfLaTeX (with its UTF-8 input and T1 fonts) sets every character of the text: Latin-1
// and the Windows-1252 punctuation.
bool PdfLatexSets(const std::string& bytes) {
    for (char32_t c : DecodeText32(PrintableUtf8(bytes))) {
        if (c <= 0xFF) continue;
        bool known = false;
        for (char16_t k : Cp1252High) known = known || (k == c && k > 0xFF);
        if (!known) return false;
    }
    return true;
}

std::string Decimal(double v) { return numbers::Trimmed(v, 2); }

} // namespace

namespace {

// Where the picture's coordinates come from: as they are when they keep within TeX's reach; else
// taken from the drawing's corner and, when it is still too large, scaled down.
struct TTikzPlace {
    long long originX = 0, originY = 0;
    double unit = 1.0; // drawing pixels per picture unit
    std::string X(double x) const { return Decimal((x - static_cast<double>(originX)) * unit); }
    std::string Y(double y) const { return Decimal((y - static_cast<double>(originY)) * unit); }
};

TTikzPlace TikzPlacement(const Tgraph& g) {
    const int n = HeldVertices(g);
    long long minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int v = 1; v <= n; ++v) {
        const long long x = g.vertices[v].x, y = -static_cast<long long>(g.vertices[v].y);
        if (v == 1 || x < minX) minX = x;
        if (v == 1 || x > maxX) maxX = x;
        if (v == 1 || y < minY) minY = y;
        if (v == 1 || y > maxY) maxY = y;
    }
    const double reach = TikzReachPt / geometry::PointsPerPixel;
    const bool inReach = std::max({-minX, maxX, -minY, maxY}) <= static_cast<long long>(reach);
    TTikzPlace place;
    place.originX = inReach ? 0 : minX;
    place.originY = inReach ? 0 : minY;
    const double extent = static_cast<double>(std::max(maxX - minX, maxY - minY));
    place.unit = inReach || extent <= reach ? 1.0 : reach / extent;
    return place;
}

// The engine: pdfLaTeX unless a text holds what it cannot set or the labels outgrow its memory.
std::string TikzEngine(const Tgraph& g) {
    bool pdfLatex = true;
    int labels = 0;
    for (int v = 1; v <= HeldVertices(g); ++v) pdfLatex = pdfLatex && PdfLatexSets(g.vertices[v].name);
    ForEachFileEdge(g, [&](int, const Tedge& e) {
        if (!g.weighted) return;
        ++labels;
        pdfLatex = pdfLatex && PdfLatexSets(e.weight);
    });
    if (!pdfLatex) return "lualatex (a name or weight holds characters that pdfLaTeX cannot set)";
    if (labels > TikzPdfLatexLabels) return "lualatex (pdfLaTeX's default memory does not hold this many labels)";
    return "pdflatex";
}

// The vertex's node: the name lies over the circle without widening it, as on the surface.
std::string TikzVertex(const Tgraph& g, const TMarks& marks, int v, const TTikzPlace& place) {
    const Tvertex& c = g.vertices[v];
    bool lines = false;
    const std::string name = TexLabel(c.name, lines);
    std::string extra;
    const auto fill = marks.vertexFills.find(v);
    if (fill != marks.vertexFills.end())
        extra += ", result vertex, fill=" + TikzColor(fill->second).substr(std::string("color=").size());
    if (marks.currentVertices.count(v)) extra += ", current vertex";
    const auto mark = marks.vertexLabels.find(v);
    if (mark != marks.vertexLabels.end())
        extra += ", label={[result label]above right:{" + TexEscaped(mark->second) + "}}";
    const std::string label = lines ? "label={[align=center]center:{" + name + "}}" : "label=center:{" + name + "}";
    return "  \\node[vertex" + extra + ", " + label + "] (v" + std::to_string(v) + ") at (" + place.X(c.x) + "," +
           place.Y(-static_cast<double>(c.y)) + ") {};\n";
}

// The edge line's path: a loop above its vertex, a paired arc bent to its left, else straight.
// Curves by their control points, computed here: TikZ's own bends multiply the distance between
// the ends, which overflows for ends far apart.
std::string TikzEdgePath(const Tgraph& g, int s, const Tedge& e, const TTikzPlace& place) {
    const double x1 = g.vertices[s].x, y1 = -static_cast<double>(g.vertices[s].y);
    const double x2 = g.vertices[e.target].x, y2 = -static_cast<double>(g.vertices[e.target].y);
    if (e.target == s) {
        // Above the vertex, through the surface's control points.
        const double dx = geometry::LoopControlDx, rise = geometry::LoopControlRise;
        return ".. controls (" + place.X(x1 + dx) + "," + place.Y(y1 + rise) + ") and (" + place.X(x1 - dx) + "," +
               place.Y(y1 + rise) + ") ..";
    }
    if (g.directed && e.twin) {
        // Bent to the left by 8 degrees at both ends, the control points at 0.3915 of the way.
        const double k = 0.3915, c8 = std::cos(8 * 3.14159265358979 / 180), s8 = std::sin(8 * 3.14159265358979 / 180);
        const double dx = x2 - x1, dy = y2 - y1;
        const double ax = x1 + k * (dx * c8 - dy * s8), ay = y1 + k * (dx * s8 + dy * c8);
        const double bx = x2 + k * (-dx * c8 - dy * s8), by = y2 + k * (dx * s8 - dy * c8);
        return ".. controls (" + place.X(ax) + "," + place.Y(ay) + ") and (" + place.X(bx) + "," + place.Y(by) + ") ..";
    }
    return "--";
}

// The edge line: its colour and arrow, its path, its weight and the result's parts.
std::string TikzEdge(const Tgraph& g, const TMarks& marks, int s, const Tedge& e, const TTikzPlace& place) {
    std::string options = g.directed ? "->, " : "";
    options += TikzColor(e.color);
    std::string label;
    if (g.weighted) {
        bool lines = false;
        const std::string weight = TexLabel(e.weight, lines);
        label = std::string(" node[weight") + (e.target == s ? ", above" : "") + (lines ? ", align=center" : "") +
                "] {" + weight + "}";
    }
    const auto key = MarkKey(g.directed, s, e.target);
    if (marks.currentEdges.count(key))
        options += ", current edge";
    else if (marks.edges.count(key))
        options += ", result edge";
    const auto mark = marks.edgeLabels.find(key);
    if (mark != marks.edgeLabels.end())
        label += std::string(" node[result edge label") + (e.target == s ? ", above=8pt" : "") + "] {" +
                 TexEscaped(mark->second) + "}";
    return "  \\draw[" + options + "] (v" + std::to_string(s) + ") " + TikzEdgePath(g, s, e, place) + label + " (v" +
           std::to_string(e.target) + ");\n";
}

} // namespace

// The picture, and the marks in it when marked (without, it is as the graph alone gives it).
static std::string TikzPicture(const Tgraph& g, const TMarks& marks, bool marked) {
    // Marks that only carry the words for readers draw nothing: no result styles.
    marked = marked && (marks.DrawsResult() || marks.altText.empty());
    // A surface pixel is 0.75 pt (96 per inch); the vertex keeps its size on the page.
    const std::string size = numbers::General(2 * geometry::VertexRadius * geometry::PointsPerPixel, 6) + "pt";
    const TTikzPlace place = TikzPlacement(g);

    std::string out = std::string("% Nodeloom graph: ") + (g.directed ? "directed" : "undirected") + ", " +
                      (g.weighted ? "weighted" : "unweighted") + ". TeX engine: " + TikzEngine(g) + ".\n";
    out += TikzDescriptionComment(marks.description);
    const std::string scale = numbers::General(geometry::PointsPerPixel * place.unit, 6) + "pt";
    out += "\\begin{tikzpicture}[" + TikzAltOption(marks.altText) + "x=" + std::string(scale) + ", y=" + scale +
           ", >=stealth,\n"
           "    vertex/.style={circle, draw, fill=white, minimum size=" +
           std::string(size) +
           ", inner sep=0pt},\n"
           "    every label/.style={font=\\footnotesize, inner sep=0pt},\n"
           "    weight/.style={auto, font=\\footnotesize}";
    // A result's parts, in styles of their own that a document may set anew.
    if (marked)
        out += ",\n    result edge/.style={line width=2.25pt, color=nl-result},\n"
               "    current edge/.style={line width=4.5pt, color=nl-result},\n"
               "    current vertex/.style={double=nl-result, double distance=3pt},\n"
               "    result vertex/.style={},\n"
               "    result label/.style={font=\\footnotesize, text=nl-result, above right, inner sep=1pt},\n"
               "    result edge label/.style={auto=right, font=\\footnotesize, text=nl-result}";
    out += "]\n";
    for (const TColorEntry& e : ColorTable) {
        out += std::string("  \\definecolor{nl-") + e.name + "}{RGB}{" + std::to_string(e.value & 0xFFu) + "," +
               std::to_string((e.value >> 8) & 0xFFu) + "," + std::to_string((e.value >> 16) & 0xFFu) + "}\n";
    }
    if (marked)
        out += "  \\colorlet{nl-result}{" + TikzColor(marks.highlight).substr(std::string("color=").size()) + "}\n";
    for (int v = 1; v <= HeldVertices(g); ++v) out += TikzVertex(g, marks, v, place);
    ForEachFileEdge(g, [&](int s, const Tedge& e) { out += TikzEdge(g, marks, s, e, place); });
    return out + "\\end{tikzpicture}\n";
}

std::string TikzText(const Tgraph& g) { return TikzPicture(g, TMarks(), false); }

std::string TikzText(const Tgraph& g, const TMarks& marks) { return TikzPicture(g, marks, true); }

std::string TexText(const std::string& bytes) { return TexEscaped(bytes); }
