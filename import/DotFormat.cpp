// DOT through Graphviz's own parser (cgraph): whatever Graphviz reads. Labels, positions (points,
// y up), colours, and a weight from the weight attribute or, in Nodeloom's own files, the label.

#include "ImportModel.h"

#include "Cgraph.h"
#include "FormatWriters.h"
#include "Geometry.h"
#include "Numbers.h"
#include "TextExport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace {

// cgraph reports through one global function (see Cgraph.h on threads).
std::string* dotErrors = nullptr;

// cgraph hands a message over in pieces ("Error", ": <stdin>: syntax error in line 1 ..."); the
// first message is kept, as one line.
int CollectError(char* message) {
    if (!dotErrors || !message || dotErrors->size() > 400 || dotErrors->find('\n') != std::string::npos) return 0;
    *dotErrors += message;
    return 0;
}

// Graphviz's parser takes time that grows with the square of a string's length, and longer still
// for a concatenation "..." + "...". Strings are bounded before it runs: one quoted string (or
// name, or HTML string) at Graphviz's documented limit, a concatenation at 1 MiB, and all
// concatenations longer than one string at 16 MiB together.
constexpr std::size_t MaxDotString = 16384, MaxDotConcatenation = std::size_t(1) << 20,
                      MaxDotLongStrings = std::size_t(16) << 20;

// Empty when the strings of the DOT text keep within those bounds, else what is too long.
std::string DotStringsTooLong(const std::string& text) {
    const std::size_t n = text.size();
    std::size_t i = 0, chain = 0, longTotal = 0;
    bool inChain = false; // after a quoted string, up to a '+' or anything else
    auto endChain = [&] {
        if (chain > MaxDotString) longTotal += chain;
        chain = 0;
        inChain = false;
    };
    while (i < n) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
        } else if (c == '#' && (i == 0 || text[i - 1] == '\n')) {
            while (i < n && text[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? n : end + 2;
        } else if (c == '+' && inChain) {
            ++i;
        } else if (c == '"') {
            const std::size_t start = ++i;
            while (i < n && text[i] != '"') i += text[i] == '\\' ? 2 : 1;
            const std::size_t length = std::min(i, n) - start;
            ++i;
            if (length > MaxDotString)
                return "a quoted string of " + std::to_string(length) + " bytes (more than 16384)";
            chain += length;
            inChain = true;
            if (chain > MaxDotConcatenation) return "a concatenated string of more than 1 MiB";
        } else {
            endChain();
            std::size_t start = i, depth = 0;
            if (c == '<') {
                for (; i < n; ++i) {
                    if (text[i] == '<')
                        ++depth;
                    else if (text[i] == '>' && --depth == 0)
                        break;
                }
                ++i;
            } else {
                while (i < n && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_' ||
                                 text[i] == '.' || static_cast<unsigned char>(text[i]) >= 0x80))
                    ++i;
                if (i == start) ++i; // punctuation
            }
            if (i - start > MaxDotString) return "a name of " + std::to_string(i - start) + " bytes (more than 16384)";
        }
        if (longTotal > MaxDotLongStrings) return "more than 16 MiB of concatenated strings";
    }
    return {};
}

// An attribute's value, or empty when unset.
std::string Value(void* object, const char* name) {
    const char* value = agget(object, const_cast<char*>(name));
    return value ? value : "";
}

// A label as shown: Graphviz's escapes \\ (one backslash) and \N (the node's name) resolved,
// the line ends \n, \l, \r as line feeds.
std::string LabelText(const std::string& label, const char* nodeName) {
    if (label == "\\N") return nodeName ? nodeName : "";
    std::string out;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] != '\\' || i + 1 == label.size()) {
            out += label[i];
            continue;
        }
        const char c = label[++i];
        if (c == 'N' && nodeName)
            out += nodeName;
        else if (c == 'n' || c == 'l' || c == 'r')
            out += '\n';
        else
            out += c;
    }
    return out;
}

// "x,y" or "x,y!" in points, y up, as surface pixels, y down.
bool Position(const std::string& pos, double& x, double& y) {
    const std::size_t comma = pos.find(',');
    if (comma == std::string::npos) return false;
    std::string second = pos.substr(comma + 1);
    const std::size_t end = second.find_first_of(",!");
    if (end != std::string::npos) second.resize(end);
    double px = 0, py = 0;
    if (!IsDecimal(pos.substr(0, comma), &px) || !IsDecimal(second, &py)) return false;
    x = px / geometry::PointsPerPixel;
    y = -py / geometry::PointsPerPixel;
    return true;
}

// The text the exact attribute holds, else the label as shown.
std::string ExactOr(void* object, const char* exactName, const std::string& shown) {
    std::string bytes;
    const std::string exact = Value(object, exactName);
    if (!exact.empty() && PercentDecoded(exact, bytes)) return bytes;
    return shown;
}

} // namespace

bool ReadDot(const std::string& bytes, TImportedGraph& graph, std::string& error) {
    if (bytes.find('\0') != std::string::npos) {
        error = "it holds a NUL byte, which DOT does not allow";
        return false;
    }
    if (const std::string tooLong = DotStringsTooLong(bytes); !tooLong.empty()) {
        error = "it holds " + tooLong + ", which is not read";
        return false;
    }
    std::string errors;
    dotErrors = &errors;
    TAgraphOwner owner;
    {
        const TGraphvizErrors collect(AGERR, CollectError);
        owner.reset(agmemread(bytes.c_str()));
    }
    dotErrors = nullptr;
    Agraph_t* const g = owner.get();
    if (!g) {
        errors = errors.substr(0, errors.find('\n'));
        if (errors.compare(0, 7, "Error: ") == 0) errors.erase(0, 7);
        if (errors.compare(0, 9, "<stdin>: ") == 0) errors.erase(0, 9);
        error = errors.empty() ? "it is not a DOT graph" : "it is not a DOT graph: " + errors;
        return false;
    }
    const std::size_t nodes = static_cast<std::size_t>(agnnodes(g)), edges = static_cast<std::size_t>(agnedges(g));
    if (nodes > static_cast<std::size_t>(MaxVertices)) {
        error = TooLargeText(nodes, edges);
        return false;
    }
    graph.directed = agisdirected(g);
    // Nodeloom's own file says whether it is weighted; another's has weights where it has them.
    const std::string weightedSaid = Value(g, "nodeloom_weighted");
    const bool own = !weightedSaid.empty();
    if (own) {
        graph.weighted = weightedSaid == "true";
        graph.base = ColorOfText(Value(g, "nodeloom_base"));
        double counted = 0;
        if (IsDecimal(Value(g, "nodeloom_edges"), &counted)) graph.countedEdges = static_cast<long long>(counted);
    }

    std::unordered_map<Agnode_t*, int> index;
    for (Agnode_t* n = agfstnode(g); n; n = agnxtnode(g, n)) {
        const char* name = agnameof(n);
        const std::string label = Value(n, "label");
        const std::string shown = own || !label.empty() ? LabelText(label, name) : std::string(name);
        const int v = graph.AddVertex(ExactOr(n, "nodeloom_name", shown));
        index[n] = v;
        double x = 0, y = 0;
        if (Position(Value(n, "pos"), x, y)) {
            TImportedVertex& vertex = graph.At(v);
            vertex.placed = true;
            vertex.x = x;
            vertex.y = y;
        }
    }
    // The edges in the order the file gives them.
    std::vector<Agedge_t*> all;
    for (Agnode_t* n = agfstnode(g); n; n = agnxtnode(g, n))
        for (Agedge_t* e = agfstout(g, n); e; e = agnxtout(g, e)) all.push_back(e);
    std::sort(all.begin(), all.end(), [](Agedge_t* a, Agedge_t* b) { return AGSEQ(a) < AGSEQ(b); });
    bool weighted = false;
    for (Agedge_t* e : all) {
        std::string weight;
        if (own) {
            weight = ExactOr(e, "nodeloom_weight", LabelText(Value(e, "label"), nullptr));
        } else {
            weight = Value(e, "weight");
            weighted = weighted || !weight.empty();
        }
        const std::string color = Value(e, "color");
        std::optional<TColor> c;
        if (!color.empty()) c = ColorOfText(color.substr(0, color.find_first_of(":;")));
        graph.AddEdge(index[agtail(e)], index[aghead(e)], weight, c);
    }
    if (!own) graph.weighted = weighted;
    return true;
}

// ---------------------------------------------------------------- the writer

namespace {

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

} // namespace

std::string DotText(const Tgraph& g) {
    const char* arrow = g.directed ? " -> " : " -- ";
    // Graphviz measures in points and inches; a surface pixel is 0.75 pt, as in the pictures.
    const std::string size = numbers::Fixed(geometry::VertexInches, 4);
    std::string base;
    ColorName(g, g.baseColor, base);
    std::string out = g.directed ? "digraph {\n" : "graph {\n";
    // What the gf4 file holds besides the standard attributes, so that it can be read back whole.
    out += std::string("  graph [outputorder=edgesfirst, nodeloom_weighted=") + (g.weighted ? "true" : "false") +
           ", nodeloom_base=\"" + base + "\", nodeloom_edges=" + std::to_string(g.edgeCount) + "];\n";
    out += "  node [shape=circle, fixedsize=shape, width=" + std::string(size) + ", height=" + size +
           ", fontname=\"DejaVu Sans\", fontsize=8.25];\n";
    out += "  edge [fontname=\"DejaVu Sans\", fontsize=8.25];\n";
    for (int v = 1; v <= geometry::HeldVertices(g); ++v) {
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
