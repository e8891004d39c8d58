// DOT through Graphviz's own parser (cgraph): whatever Graphviz reads. Labels, positions (points,
// y up), colours, and a weight from the weight attribute or, in Nodeloom's own files, the label.

#include "ImportModel.h"

#include "Cgraph.h"
#include "DotScan.h"
#include "FormatWriters.h"
#include "Geometry.h"
#include "Numbers.h"
#include "TextExport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <unordered_map>

// cgraph's own: empties its reader's buffer (exported by libcgraph, not declared in its public
// headers). Graphviz calls it after a failed read only.
extern "C" void aglexbad(void);

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

// The length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    const std::size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    const unsigned second = byte(i + 1);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
        (c == 0xF4 && second > 0x8F))
        return 0; // overlong, a surrogate, or past U+10FFFF
    return length;
}

// The text in UTF-8 as Graphviz shows it: with a Latin-1 charset every byte is its character;
// otherwise a byte that begins no valid UTF-8 sequence is taken as Latin-1 all the same. converted:
// set when a byte was taken so.
std::string Utf8Text(std::string_view text, bool latin1, bool& converted) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = latin1 ? 0 : Utf8Length(text, i);
        if (length > 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[i++]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        if (!latin1) converted = true;
    }
    return out;
}

// Graphviz's names of Latin-1, in any case.
bool IsLatin1Charset(std::string charset) {
    for (char& c : charset) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* name : {"latin-1", "latin1", "l1", "iso-8859-1", "iso_8859-1", "iso8859-1", "iso-ir-100"})
        if (charset == name) return true;
    return false;
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
    // A byte order mark is not part of the first word.
    const bool bom = std::string_view(bytes).substr(0, Utf8Bom.size()) == Utf8Bom;
    const TDotScan scan = ScanDot(std::string_view(bytes).substr(bom ? Utf8Bom.size() : 0));
    if (!scan.refusal.empty()) {
        error = scan.refusal;
        return false;
    }
    // The first graph alone: Graphviz's reader would keep the rest, unbounded, for the next read.
    const std::string first = std::string(std::string_view(bytes).substr(bom ? Utf8Bom.size() : 0)).substr(0, scan.end);
    std::string errors;
    dotErrors = &errors;
    TAgraphOwner owner;
    {
        const TGraphvizErrors collect(AGERR, CollectError);
        owner.reset(agmemread(first.c_str()));
        // Whatever the reader kept past the graph goes, so that the next text read starts afresh.
        aglexbad();
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

    if (scan.moreGraphs)
        graph.notes.push_back("Only the first graph of the file is read; the graphs after it are left out.");
    const bool latin1 = IsLatin1Charset(Value(g, "charset"));
    bool converted = false;
    std::unordered_map<Agnode_t*, int> index;
    for (Agnode_t* n = agfstnode(g); n; n = agnxtnode(g, n)) {
        const char* name = agnameof(n);
        const std::string label = Value(n, "label");
        const std::string shown =
            Utf8Text(own || !label.empty() ? LabelText(label, name) : std::string(name), latin1, converted);
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
            weight = Utf8Text(Value(e, "weight"), latin1, converted);
            weighted = weighted || !weight.empty();
        }
        const std::string color = Value(e, "color");
        std::optional<TColor> c;
        if (!color.empty()) c = ColorOfText(color.substr(0, color.find_first_of(":;")));
        // An edge without a weight has Graphviz's default one, where others have theirs.
        if (!own && weight.empty()) weight = "1";
        graph.AddEdge(index[agtail(e)], index[aghead(e)], weight, c);
    }
    if (!own) graph.weighted = weighted;
    if (converted)
        graph.notes.push_back("Bytes that are not UTF-8 were read as Latin-1 characters, as Graphviz reads them.");
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
