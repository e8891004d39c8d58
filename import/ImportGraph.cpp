// The import entry points, the record built from what a reader found, and the helpers the
// readers share.

#include "ImportModel.h"

#include "Geometry.h"
#include "Numbers.h"
#include "SafeFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

int Clamped(double v) {
    if (!(v == v)) return 0;
    return geometry::Nearest(static_cast<long double>(v));
}

} // namespace

int TImportedGraph::Vertex(const std::string& key) {
    const auto found = keys_.find(key);
    if (found != keys_.end()) return found->second;
    if (vertexCount_ >= MaxCountedVertices) return -1;
    const int v = AddVertex(key);
    keys_.emplace(key, v);
    return v;
}

int TImportedGraph::AddVertex(const std::string& name) {
    const int v = static_cast<int>(vertexCount_++);
    if (vertices_.size() <= static_cast<std::size_t>(MaxVertices)) {
        vertices_.emplace_back();
        vertices_.back().name = name;
    }
    return v;
}

void TImportedGraph::AddEdge(int source, int target, std::string weight, std::optional<TColor> color) {
    ++edgeCount_;
    if (source < 0 || target < 0 || source >= MaxVertices || target >= MaxVertices) return;
    if (!directed && source > target) std::swap(source, target);
    const std::size_t key = static_cast<std::size_t>(source) * (MaxVertices + 1) + static_cast<std::size_t>(target);
    if (seen_[key]) {
        ++merged_;
        return;
    }
    seen_[key] = true;
    edges_.push_back({source, target, std::move(weight), color});
}

bool TImportedGraph::Build(Tgraph& g, TImportResult& result) const {
    InitGraph(g);
    const std::size_t edges = edgeCount_ - merged_;
    if (vertexCount_ > static_cast<std::size_t>(MaxVertices) || edges > static_cast<std::size_t>(MaxEdges)) {
        result.error = TooLargeText(vertexCount_, edgeCount_, vertexCount_ >= MaxCountedVertices);
        return false;
    }
    g.directed = directed;
    g.weighted = weighted;
    g.baseColor = base.value_or(colors::Black);
    g.vertexCount = static_cast<std::int32_t>(vertexCount_);
    result.placed.assign(vertexCount_ + 1, false);
    for (std::size_t i = 0; i < vertexCount_; ++i) {
        Tvertex& v = g.vertices[i + 1];
        const TImportedVertex& from = vertices_[i];
        v.name = from.name;
        v.radius = geometry::VertexRadius;
        v.x = from.placed ? Clamped(from.x) : 0;
        v.y = from.placed ? Clamped(from.y) : 0;
        result.placed[i + 1] = from.placed;
    }
    // Each list is built head first, so the edges go in backwards: the record then lists them,
    // and a gf4 file writes them, in the order they came.
    for (auto e = edges_.rbegin(); e != edges_.rend(); ++e) {
        const int s = e->source + 1, t = e->target + 1;
        const TColor color = e->color.value_or(g.baseColor);
        for (int half = 0; half < (directed || s == t ? 1 : 2); ++half) {
            const int from = half == 0 ? s : t, to = half == 0 ? t : s;
            ::AddEdge(g, from, to, std::string());
            Tedge& node = *g.edgeLists[from];
            node.color = color;
            if (weighted) node.weight = e->weight;
        }
    }
    g.edgeCount = static_cast<std::int32_t>(
        std::clamp<long long>(countedEdges.value_or(static_cast<long long>(edges_.size())), 0, MaxEdges));
    if (merged_ > 0)
        result.notes.push_back(std::to_string(merged_) +
                               (merged_ == 1 ? " parallel edge was" : " parallel edges were") +
                               " merged into the edge before (its weight and colour kept).");
    g.fileName.clear();
    g.created = true;
    return true;
}

TColor NearestColor(unsigned red, unsigned green, unsigned blue) {
    TColor best = colors::Black;
    long long bestDistance = -1;
    for (const TColorEntry& e : ColorTable) {
        const long long dr = static_cast<long long>(e.value & 0xFFu) - red;
        const long long dg = static_cast<long long>((e.value >> 8) & 0xFFu) - green;
        const long long db = static_cast<long long>((e.value >> 16) & 0xFFu) - blue;
        const long long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = e.value;
        }
    }
    return best;
}

std::optional<TColor> ColorOfText(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    if (!text.empty() && text[0] == '#' && (text.size() == 7 || text.size() == 9)) {
        unsigned value[3];
        for (int k = 0; k < 3; ++k) {
            unsigned v = 0;
            for (int d = 0; d < 2; ++d) {
                const char c = text[static_cast<std::size_t>(1 + 2 * k + d)];
                if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
                v = v * 16 + static_cast<unsigned>(
                                 std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10));
            }
            value[k] = v;
        }
        return NearestColor(value[0], value[1], value[2]);
    }
    return ColorNamed(text);
}

bool IsDecimal(std::string_view s, double* value) {
    std::size_t i = 0, digits = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        std::size_t exponent = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    if (i != s.size()) return false;
    if (value) *value = numbers::Parse(s).value_or(0);
    return true;
}

std::string TooLargeText(std::size_t vertices, std::size_t edges, bool atLeast) {
    return std::string("it has ") + (atLeast ? "at least " : "") + std::to_string(vertices) + " vertices and " +
           std::to_string(edges) + " edges; a graph holds at most " + std::to_string(MaxVertices) + " vertices and " +
           std::to_string(MaxEdges) + " edges";
}

bool ImportGraphText(const std::string& bytes, TImportFormat format, Tgraph& g, TImportResult& result) {
    InitGraph(g);
    result = TImportResult();
    try {
        TImportedGraph graph;
        bool read = false;
        switch (format) {
        case TImportFormat::GraphML: read = ReadGraphML(bytes, graph, result.error); break;
        case TImportFormat::Dot: read = ReadDot(bytes, graph, result.error); break;
        case TImportFormat::Graph6: read = ReadGraph6(bytes, graph, result.error); break;
        case TImportFormat::Text: read = ReadEdgeText(bytes, graph, result.error); break;
        }
        if (!read) {
            if (result.error.empty()) result.error = "it is not a graph file";
            return false;
        }
        if (!graph.Build(g, result)) {
            InitGraph(g);
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        InitGraph(g);
        result.error = "not enough memory to read it";
        return false;
    }
}

bool ImportGraph(const std::string& path, TImportFormat format, Tgraph& g, TImportResult& result) {
    InitGraph(g);
    result = TImportResult();
    std::string bytes;
    try {
        result.readFailure = ReadWholeFile(path, bytes);
        if (result.readFailure) {
            result.error = FailureReason(result.readFailure);
            return false;
        }
    } catch (const std::bad_alloc&) {
        result.error = "not enough memory to read it";
        return false;
    }
    return ImportGraphText(bytes, format, g, result);
}
