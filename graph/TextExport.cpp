// Writers of the graph for Graphviz, GraphML readers and LaTeX.

#include "TextExport.h"

#include "Geometry.h"
#include "Marks.h"
#include "Text.h"

#include <cstdio>

using geometry::HeldVertices;

namespace {

// The text as UTF-8 with every control character (C0 and DEL) turned into a space: no format
// here can carry them, and the window shows none of them as a letter.
std::string PrintableUtf8(const std::string& bytes) {
    std::string text = Utf8Text(bytes);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
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

std::string DotQuoted(const std::string& bytes) {
    std::string out = "\"";
    for (char c : PrintableUtf8(bytes)) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
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
    return "color={rgb,255:red," + std::to_string(c & 0xFFu) + ";green," + std::to_string((c >> 8) & 0xFFu) +
           ";blue," + std::to_string((c >> 16) & 0xFFu) + "}";
}

} // namespace

std::string DotText(const Tgraph& g) {
    const char* arrow = g.directed ? " -> " : " -- ";
    // Graphviz measures in points and inches; one surface pixel is written as one point.
    char size[32];
    std::snprintf(size, sizeof size, "%.4f", 2 * geometry::VertexRadius / 72.0);
    std::string out = g.directed ? "digraph {\n" : "graph {\n";
    out += "  graph [outputorder=edgesfirst];\n";
    out += "  node [shape=circle, fixedsize=shape, width=" + std::string(size) + ", height=" + size +
           ", fontname=\"DejaVu Sans\", fontsize=11];\n";
    out += "  edge [fontname=\"DejaVu Sans\", fontsize=11];\n";
    for (int v = 1; v <= HeldVertices(g); ++v) {
        const Tvertex& c = g.vertices[v];
        out += "  " + std::to_string(v) + " [label=" + DotQuoted(c.name) + ", pos=\"" + std::to_string(c.x) + "," +
               std::to_string(-static_cast<long long>(c.y)) + "!\"];\n";
    }
    ForEachFileEdge(g, [&](int s, const Tedge& e) {
        const std::string color = HexColor(e.color);
        out += "  " + std::to_string(s) + arrow + std::to_string(e.target) + " [";
        if (g.weighted) out += "label=" + DotQuoted(e.weight) + ", ";
        out += "color=\"" + color + "\", fontcolor=\"" + color + "\"];\n";
    });
    return out + "}\n";
}

std::string GraphMLText(const Tgraph& g) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xsi:schemaLocation=\"http://graphml.graphdrawing.org/xmlns "
        "http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd\">\n"
        "  <key id=\"name\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>\n"
        "  <key id=\"x\" for=\"node\" attr.name=\"x\" attr.type=\"int\"/>\n"
        "  <key id=\"y\" for=\"node\" attr.name=\"y\" attr.type=\"int\"/>\n"
        "  <key id=\"weight\" for=\"edge\" attr.name=\"weight\" attr.type=\"string\"/>\n"
        "  <key id=\"color\" for=\"edge\" attr.name=\"color\" attr.type=\"string\"/>\n";
    out += std::string("  <graph id=\"G\" edgedefault=\"") + (g.directed ? "directed" : "undirected") + "\">\n";
    for (int v = 1; v <= HeldVertices(g); ++v) {
        const Tvertex& c = g.vertices[v];
        out += "    <node id=\"n" + std::to_string(v) + "\"><data key=\"name\">" + XmlEscaped(c.name) +
               "</data><data key=\"x\">" + std::to_string(c.x) + "</data><data key=\"y\">" + std::to_string(c.y) +
               "</data></node>\n";
    }
    int id = 0;
    ForEachFileEdge(g, [&](int s, const Tedge& e) {
        out += "    <edge id=\"e" + std::to_string(++id) + "\" source=\"n" + std::to_string(s) + "\" target=\"n" +
               std::to_string(e.target) + "\">";
        if (g.weighted) out += "<data key=\"weight\">" + XmlEscaped(e.weight) + "</data>";
        out += "<data key=\"color\">" + HexColor(e.color) + "</data></edge>\n";
    });
    return out + "  </graph>\n</graphml>\n";
}

// The picture, and the marks in it when marked (without, it is as the graph alone gives it).
static std::string TikzPicture(const Tgraph& g, const TMarks& marks, bool marked) {
    // A surface pixel is 0.75 pt (96 per inch); the vertex keeps its size on the page.
    char size[32];
    std::snprintf(size, sizeof size, "%gpt", 2 * geometry::VertexRadius * 0.75);
    std::string out = std::string("% Nodeloom graph: ") + (g.directed ? "directed" : "undirected") + ", " +
                      (g.weighted ? "weighted" : "unweighted") + ".\n";
    out += "\\begin{tikzpicture}[x=0.75pt, y=0.75pt, >=stealth,\n"
           "    vertex/.style={circle, draw, fill=white, minimum size=" +
           std::string(size) +
           ", inner sep=0pt},\n"
           "    every label/.style={font=\\footnotesize, inner sep=0pt},\n"
           "    weight/.style={auto, font=\\footnotesize}";
    // A result's parts, in styles of their own that a document may set anew.
    if (marked)
        out += ",\n    result edge/.style={line width=2.25pt, color=nl-result},\n"
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
    for (int v = 1; v <= HeldVertices(g); ++v) {
        const Tvertex& c = g.vertices[v];
        // The name lies over the circle without widening it, as on the surface.
        std::string extra;
        const auto fill = marks.vertexFills.find(v);
        if (fill != marks.vertexFills.end())
            extra += ", result vertex, fill=" + TikzColor(fill->second).substr(std::string("color=").size());
        const auto label = marks.vertexLabels.find(v);
        if (label != marks.vertexLabels.end()) extra += ", label={[result label]above right:{" + TexEscaped(label->second) + "}}";
        out += "  \\node[vertex" + extra + ", label=center:{" + TexEscaped(c.name) + "}] (v" + std::to_string(v) + ") at (" +
               std::to_string(c.x) + "," + std::to_string(-static_cast<long long>(c.y)) + ") {};\n";
    }
    ForEachFileEdge(g, [&](int s, const Tedge& e) {
        std::string options = g.directed ? "->, " : "";
        options += TikzColor(e.color);
        std::string path;
        if (e.target == s) path = "to[loop above]";
        else if (g.directed && e.twin) path = "to[bend left=8]";
        else path = "--";
        std::string label;
        if (g.weighted) label = std::string(" node[weight") + (e.target == s ? ", above" : "") + "] {" + TexEscaped(e.weight) + "}";
        const auto key = MarkKey(g.directed, s, e.target);
        if (marks.edges.count(key)) options += ", result edge";
        const auto mark = marks.edgeLabels.find(key);
        if (mark != marks.edgeLabels.end())
            label += std::string(" node[result edge label") + (e.target == s ? ", above=8pt" : "") + "] {" + TexEscaped(mark->second) + "}";
        out += "  \\draw[" + options + "] (v" + std::to_string(s) + ") " + path + label + " (v" +
               std::to_string(e.target) + ");\n";
    });
    return out + "\\end{tikzpicture}\n";
}

std::string TikzText(const Tgraph& g) { return TikzPicture(g, TMarks(), false); }

std::string TikzText(const Tgraph& g, const TMarks& marks) { return TikzPicture(g, marks, true); }

std::string TexText(const std::string& bytes) { return TexEscaped(bytes); }
