// Writers of the graph for Graphviz, GraphML readers and LaTeX.

#include "TextExport.h"

#include "Geometry.h"
#include "Marks.h"
#include "Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using geometry::HeldVertices;

namespace {

// The text as UTF-8 with every control character (C0, DEL and C1, which the five unassigned
// Windows-1252 bytes become) and the noncharacters U+FFFE and U+FFFF turned into spaces: no
// format here can carry them, and the window shows none of them as a letter.
std::string PrintableUtf8(const std::string& bytes) {
    const std::string text = Utf8Text(bytes);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            out += ' ';
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            out += ' '; // U+0080..U+009F
            ++i;
        } else if (c == 0xEF && i + 2 < text.size() && text[i + 1] == '\xBF' &&
                   (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
            out += ' ';
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Calls f(source, edge) for every edge line of the gf4 file, in the file's order.
template <typename F>
void ForEachFileEdge(const Tgraph& g, F f) {
    for (int s = 1; s <= HeldVertices(g); ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (g.directed || e->target >= s) f(s, *e);
}

// "#RRGGBB" of a 0x00BBGGRR colour.
std::string HexColor(TColor c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c & 0xFFu, (c >> 8) & 0xFFu, (c >> 16) & 0xFFu);
    return text;
}

// ---------------------------------------------------------------- DOT

// Graphviz reads quoted strings of up to 16384 characters; longer texts are written as a
// concatenation "..." + "...", cut between characters and never inside an escape.
constexpr std::size_t DotChunk = 16000;

std::string DotQuoted(const std::string& bytes) {
    std::string out = "\"";
    std::size_t chunk = 0;
    const std::string text = PrintableUtf8(bytes);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool continuation = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
        if (chunk >= DotChunk && !continuation) {
            out += "\" + \"";
            chunk = 0;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            ++chunk;
        }
        out += c;
        ++chunk;
    }
    return out + '"';
}

// A surface length in points, exactly: pixels times 0.75 has at most two decimals.
std::string Points(long long pixels) {
    const long long quarters = pixels * 3;
    const bool negative = quarters < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(quarters) : static_cast<unsigned long long>(quarters);
    std::string out = (negative ? "-" : "") + std::to_string(magnitude / 4);
    static const char* const fractions[4] = {"", ".25", ".5", ".75"};
    return out + fractions[magnitude % 4];
}

// ---------------------------------------------------------------- GraphML

std::string XmlEscaped(const std::string& bytes) {
    std::string out;
    for (char c : PrintableUtf8(bytes)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

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

std::string DotText(const Tgraph& g) {
    const char* arrow = g.directed ? " -> " : " -- ";
    // Graphviz measures in points and inches; a surface pixel is 0.75 pt, as in the pictures.
    char size[32];
    std::snprintf(size, sizeof size, "%.4f", 2 * geometry::VertexRadius * 0.75 / 72.0);
    std::string base;
    ColorName(g, g.baseColor, base);
    std::string out = g.directed ? "digraph {\n" : "graph {\n";
    // What the gf4 file holds besides the standard attributes, so that it can be read back whole.
    out += std::string("  graph [outputorder=edgesfirst, nodeloom_weighted=") + (g.weighted ? "true" : "false") +
           ", nodeloom_base=\"" + base + "\", nodeloom_edges=" + std::to_string(g.edgeCount) + "];\n";
    out += "  node [shape=circle, fixedsize=shape, width=" + std::string(size) + ", height=" + size +
           ", fontname=\"DejaVu Sans\", fontsize=8.25];\n";
    out += "  edge [fontname=\"DejaVu Sans\", fontsize=8.25];\n";
    for (int v = 1; v <= HeldVertices(g); ++v) {
        const Tvertex& c = g.vertices[v];
        out += "  " + std::to_string(v) + " [label=" + DotQuoted(c.name) + ", pos=\"" + Points(c.x) + "," +
               Points(-static_cast<long long>(c.y)) + "!\"";
        if (!ShownExactly(c.name)) out += ", nodeloom_name=" + DotQuoted(PercentEncoded(c.name));
        out += "];\n";
    }
    ForEachFileEdge(g, [&](int s, const Tedge& e) {
        const std::string color = HexColor(e.color);
        out += "  " + std::to_string(s) + arrow + std::to_string(e.target) + " [";
        if (g.weighted) {
            out += "label=" + DotQuoted(e.weight) + ", ";
            if (!ShownExactly(e.weight)) out += "nodeloom_weight=" + DotQuoted(PercentEncoded(e.weight)) + ", ";
        }
        if (e.target == s) {
            // Above the vertex, as the surface draws it: one Bezier curve through the same points.
            const long long x = g.vertices[s].x, y = g.vertices[s].y;
            const long long dx = geometry::LoopControlDx, rise = geometry::LoopControlRise;
            out += "pos=\"" + Points(x) + "," + Points(-y) + " " + Points(x + dx) + "," + Points(rise - y) + " " +
                   Points(x - dx) + "," + Points(rise - y) + " " + Points(x) + "," + Points(-y) + "\", ";
        }
        out += "color=\"" + color + "\", fontcolor=\"" + color + "\"];\n";
    });
    return out + "}\n";
}

namespace {

// A weight that GraphML's double type reads: an optional sign, digits with an optional
// fraction, an optional exponent.
bool IsDecimalNumber(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        std::size_t exponent = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && exponent < 3) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == s.size();
}

} // namespace

std::string GraphMLText(const Tgraph& g) {
    bool numeric = g.weighted;
    ForEachFileEdge(g, [&](int, const Tedge& e) { numeric = numeric && IsDecimalNumber(e.weight); });
    std::string base;
    ColorName(g, g.baseColor, base);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\" "
                      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                      "xsi:schemaLocation=\"http://graphml.graphdrawing.org/xmlns "
                      "http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd\">\n"
                      "  <key id=\"weighted\" for=\"graph\" attr.name=\"nodeloom.weighted\" attr.type=\"boolean\"/>\n"
                      "  <key id=\"base\" for=\"graph\" attr.name=\"nodeloom.base\" attr.type=\"string\"/>\n"
                      "  <key id=\"edges\" for=\"graph\" attr.name=\"nodeloom.edges\" attr.type=\"int\"/>\n"
                      "  <key id=\"name\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>\n"
                      "  <key id=\"label\" for=\"node\" attr.name=\"label\" attr.type=\"string\"/>\n"
                      "  <key id=\"exactname\" for=\"node\" attr.name=\"nodeloom.name\" attr.type=\"string\"/>\n"
                      "  <key id=\"x\" for=\"node\" attr.name=\"x\" attr.type=\"int\"/>\n"
                      "  <key id=\"y\" for=\"node\" attr.name=\"y\" attr.type=\"int\"/>\n"
                      "  <key id=\"weight\" for=\"edge\" attr.name=\"weight\" attr.type=\"string\"/>\n";
    if (numeric) out += "  <key id=\"value\" for=\"edge\" attr.name=\"weight_value\" attr.type=\"double\"/>\n";
    out += "  <key id=\"exactweight\" for=\"edge\" attr.name=\"nodeloom.weight\" attr.type=\"string\"/>\n"
           "  <key id=\"color\" for=\"edge\" attr.name=\"color\" attr.type=\"string\"/>\n";
    out += std::string("  <graph id=\"G\" edgedefault=\"") + (g.directed ? "directed" : "undirected") + "\">\n";
    out += std::string("    <data key=\"weighted\">") + (g.weighted ? "true" : "false") + "</data><data key=\"base\">" +
           base + "</data><data key=\"edges\">" + std::to_string(g.edgeCount) + "</data>\n";
    for (int v = 1; v <= HeldVertices(g); ++v) {
        const Tvertex& c = g.vertices[v];
        const std::string name = XmlEscaped(c.name);
        out += "    <node id=\"n" + std::to_string(v) + "\"><data key=\"name\">" + name +
               "</data><data key=\"label\">" + name + "</data>";
        if (!ShownExactly(c.name)) out += "<data key=\"exactname\">" + PercentEncoded(c.name) + "</data>";
        out += "<data key=\"x\">" + std::to_string(c.x) + "</data><data key=\"y\">" + std::to_string(c.y) +
               "</data></node>\n";
    }
    int id = 0;
    ForEachFileEdge(g, [&](int s, const Tedge& e) {
        out += "    <edge id=\"e" + std::to_string(++id) + "\" source=\"n" + std::to_string(s) + "\" target=\"n" +
               std::to_string(e.target) + "\">";
        if (g.weighted) {
            out += "<data key=\"weight\">" + XmlEscaped(e.weight) + "</data>";
            if (numeric) out += "<data key=\"value\">" + e.weight + "</data>";
            if (!ShownExactly(e.weight)) out += "<data key=\"exactweight\">" + PercentEncoded(e.weight) + "</data>";
        }
        out += "<data key=\"color\">" + HexColor(e.color) + "</data></edge>\n";
    });
    return out + "  </graph>\n</graphml>\n";
}

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

std::string Decimal(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) {
        const bool dot = s.back() == '.';
        s.pop_back();
        if (dot) break;
    }
    return s == "-0" ? "0" : s;
}

} // namespace

// The picture, and the marks in it when marked (without, it is as the graph alone gives it).
static std::string TikzPicture(const Tgraph& g, const TMarks& marks, bool marked) {
    // A surface pixel is 0.75 pt (96 per inch); the vertex keeps its size on the page.
    char size[32];
    std::snprintf(size, sizeof size, "%gpt", 2 * geometry::VertexRadius * 0.75);
    const int n = HeldVertices(g);

    // Coordinates as they are when they keep within TeX's reach; else taken from the drawing's
    // corner and, when it is still too large, scaled down.
    long long minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int v = 1; v <= n; ++v) {
        const long long x = g.vertices[v].x, y = -static_cast<long long>(g.vertices[v].y);
        if (v == 1 || x < minX) minX = x;
        if (v == 1 || x > maxX) maxX = x;
        if (v == 1 || y < minY) minY = y;
        if (v == 1 || y > maxY) maxY = y;
    }
    const double reach = TikzReachPt / 0.75;
    const bool inReach = std::max({-minX, maxX, -minY, maxY}) <= static_cast<long long>(reach);
    const long long originX = inReach ? 0 : minX, originY = inReach ? 0 : minY;
    const double extent = static_cast<double>(std::max(maxX - minX, maxY - minY));
    const double unit = inReach || extent <= reach ? 1.0 : reach / extent; // drawing pixels per picture unit
    auto X = [&](double x) { return Decimal((x - static_cast<double>(originX)) * unit); };
    auto Y = [&](double y) { return Decimal((y - static_cast<double>(originY)) * unit); };

    // The engine: pdfLaTeX unless a text holds what it cannot set or the labels outgrow its memory.
    bool pdfLatex = true;
    int labels = 0;
    for (int v = 1; v <= n; ++v) pdfLatex = pdfLatex && PdfLatexSets(g.vertices[v].name);
    ForEachFileEdge(g, [&](int, const Tedge& e) {
        if (!g.weighted) return;
        ++labels;
        pdfLatex = pdfLatex && PdfLatexSets(e.weight);
    });
    std::string engine = "pdflatex";
    if (!pdfLatex)
        engine = "lualatex (a name or weight holds characters that pdfLaTeX cannot set)";
    else if (labels > TikzPdfLatexLabels)
        engine = "lualatex (pdfLaTeX's default memory does not hold this many labels)";

    std::string out = std::string("% Nodeloom graph: ") + (g.directed ? "directed" : "undirected") + ", " +
                      (g.weighted ? "weighted" : "unweighted") + ". TeX engine: " + engine + ".\n";
    char scale[32];
    std::snprintf(scale, sizeof scale, "%.6gpt", 0.75 * unit);
    out += "\\begin{tikzpicture}[x=" + std::string(scale) + ", y=" + scale +
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
    for (int v = 1; v <= n; ++v) {
        const Tvertex& c = g.vertices[v];
        bool lines = false;
        const std::string name = TexLabel(c.name, lines);
        // The name lies over the circle without widening it, as on the surface.
        std::string extra;
        const auto fill = marks.vertexFills.find(v);
        if (fill != marks.vertexFills.end())
            extra += ", result vertex, fill=" + TikzColor(fill->second).substr(std::string("color=").size());
        if (marks.currentVertices.count(v)) extra += ", current vertex";
        const auto mark = marks.vertexLabels.find(v);
        if (mark != marks.vertexLabels.end())
            extra += ", label={[result label]above right:{" + TexEscaped(mark->second) + "}}";
        const std::string label = lines ? "label={[align=center]center:{" + name + "}}" : "label=center:{" + name + "}";
        out += "  \\node[vertex" + extra + ", " + label + "] (v" + std::to_string(v) + ") at (" + X(c.x) + "," +
               Y(-static_cast<double>(c.y)) + ") {};\n";
    }
    ForEachFileEdge(g, [&](int s, const Tedge& e) {
        std::string options = g.directed ? "->, " : "";
        options += TikzColor(e.color);
        // Curves by their control points, computed here: TikZ's own bends multiply the distance
        // between the ends, which overflows for ends far apart.
        const double x1 = g.vertices[s].x, y1 = -static_cast<double>(g.vertices[s].y);
        const double x2 = g.vertices[e.target].x, y2 = -static_cast<double>(g.vertices[e.target].y);
        std::string path;
        if (e.target == s) {
            // Above the vertex, through the surface's control points.
            const double dx = geometry::LoopControlDx, rise = geometry::LoopControlRise;
            path = ".. controls (" + X(x1 + dx) + "," + Y(y1 + rise) + ") and (" + X(x1 - dx) + "," + Y(y1 + rise) +
                   ") ..";
        } else if (g.directed && e.twin) {
            // Bent to the left by 8 degrees at both ends, the control points at 0.3915 of the way.
            const double k = 0.3915, c8 = std::cos(8 * 3.14159265358979 / 180),
                         s8 = std::sin(8 * 3.14159265358979 / 180);
            const double dx = x2 - x1, dy = y2 - y1;
            const double ax = x1 + k * (dx * c8 - dy * s8), ay = y1 + k * (dx * s8 + dy * c8);
            const double bx = x2 + k * (-dx * c8 - dy * s8), by = y2 + k * (dx * s8 - dy * c8);
            path = ".. controls (" + X(ax) + "," + Y(ay) + ") and (" + X(bx) + "," + Y(by) + ") ..";
        } else {
            path = "--";
        }
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
        out += "  \\draw[" + options + "] (v" + std::to_string(s) + ") " + path + label + " (v" +
               std::to_string(e.target) + ");\n";
    });
    return out + "\\end{tikzpicture}\n";
}

std::string TikzText(const Tgraph& g) { return TikzPicture(g, TMarks(), false); }

std::string TikzText(const Tgraph& g, const TMarks& marks) { return TikzPicture(g, marks, true); }

std::string TexText(const std::string& bytes) { return TexEscaped(bytes); }
