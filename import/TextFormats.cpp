// The plain-text formats: edge lists and adjacency matrices (.txt, .csv), graph6, sparse6 and
// digraph6 (.g6, .s6).

#include "ImportModel.h"

#include <cstdint>
#include <string_view>

namespace {

// ---------------------------------------------------------------- edge lists and matrices

// The lines of the text without comments ('#' to the end of the line), each cut into fields at
// spaces, tabs and commas; lines without fields are left out. line numbers counted from 1.
struct TLine {
    std::size_t number;
    std::vector<std::string_view> fields;
};

std::vector<TLine> FieldLines(std::string_view text) {
    std::vector<TLine> lines;
    std::size_t number = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (end < text.size() && text[end] == '\r' && at < text.size() && text[at] == '\n') ++at;
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = line.substr(0, hash);
        TLine fields{number, {}};
        for (std::size_t i = 0; i < line.size();) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ',')) ++i;
            const std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',') ++i;
            if (i > start) fields.fields.push_back(line.substr(start, i - start));
        }
        if (!fields.fields.empty()) lines.push_back(std::move(fields));
    }
    return lines;
}

// n lines of n numbers each.
bool IsMatrix(const std::vector<TLine>& lines) {
    for (const TLine& line : lines) {
        if (line.fields.size() != lines.size()) return false;
        for (std::string_view f : line.fields)
            if (!IsDecimal(f)) return false;
    }
    return !lines.empty();
}

bool ReadMatrix(const std::vector<TLine>& lines, TImportedGraph& graph, std::string& error) {
    const std::size_t n = lines.size();
    if (n > static_cast<std::size_t>(MaxVertices)) {
        std::size_t edges = 0;
        for (const TLine& line : lines)
            for (std::string_view f : line.fields) {
                double v = 0;
                IsDecimal(f, &v);
                if (v != 0) ++edges;
            }
        error = TooLargeText(n, edges);
        return false;
    }
    std::vector<double> value(n * n);
    bool weighted = false;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            IsDecimal(lines[i].fields[j], &value[i * n + j]);
            if (value[i * n + j] != 0 && value[i * n + j] != 1) weighted = true;
        }
    bool symmetric = true;
    for (std::size_t i = 0; i < n && symmetric; ++i)
        for (std::size_t j = 0; j < i && symmetric; ++j) symmetric = value[i * n + j] == value[j * n + i];
    graph.directed = !symmetric;
    graph.weighted = weighted;
    for (std::size_t i = 0; i < n; ++i) graph.AddVertex(std::to_string(i + 1));
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = graph.directed ? 0 : i; j < n; ++j)
            if (value[i * n + j] != 0)
                graph.AddEdge(static_cast<int>(i), static_cast<int>(j),
                              weighted ? std::string(lines[i].fields[j]) : std::string());
    return true;
}

bool ReadEdgeList(const std::vector<TLine>& lines, TImportedGraph& graph, std::string& error) {
    struct TPending {
        int source, target;
        std::string weight;
    };
    // Each ordered pair once: a repeat is merged whatever the graph's kind turns out to be, and
    // the list stays as small as the record, whatever the file's length.
    std::vector<TPending> pending;
    std::vector<bool> seen(static_cast<std::size_t>(MaxVertices) * MaxVertices);
    std::size_t repeats = 0, outside = 0;
    for (const TLine& line : lines) {
        // "a -> b": the arrow may stand alone or be written against the names.
        std::vector<std::string_view> f;
        for (std::string_view field : line.fields) {
            for (std::size_t arrow; (arrow = field.find("->")) != std::string_view::npos;) {
                if (arrow > 0) f.push_back(field.substr(0, arrow));
                f.push_back("->");
                field = field.substr(arrow + 2);
            }
            if (!field.empty()) f.push_back(field);
        }
        const bool arrow = f.size() >= 3 && f[1] == "->";
        if (arrow) {
            f.erase(f.begin() + 1);
            graph.directed = true;
        }
        bool bad = f.size() > 3;
        for (std::string_view field : f) bad = bad || field == "->";
        if (bad) {
            error = "line " + std::to_string(line.number) + " is neither \"a b [weight]\" nor \"a -> b [weight]\"";
            return false;
        }
        const int a = graph.Vertex(std::string(f[0]));
        if (f.size() == 1) continue; // a vertex without edges
        const int b = graph.Vertex(std::string(f[1]));
        if (f.size() == 3) graph.weighted = true;
        if (a < 0 || b < 0 || a >= MaxVertices || b >= MaxVertices) {
            ++outside;
            continue;
        }
        const std::size_t pair = static_cast<std::size_t>(a) * MaxVertices + static_cast<std::size_t>(b);
        if (seen[pair]) {
            ++repeats;
            continue;
        }
        seen[pair] = true;
        pending.push_back({a, b, f.size() == 3 ? std::string(f[2]) : std::string()});
    }
    // Only now is it known whether the graph is directed, which decides what a repeat is.
    for (TPending& p : pending) graph.AddEdge(p.source, p.target, std::move(p.weight));
    graph.AddUncounted(repeats, outside);
    return true;
}

// ---------------------------------------------------------------- graph6, sparse6, digraph6

// The six-bit groups of the text after its first character(s): each byte 63..126.
class TSixBits {
public:
    explicit TSixBits(std::string_view data) : data_(data) {}
    bool Valid() const {
        for (char c : data_)
            if (static_cast<unsigned char>(c) < 63 || static_cast<unsigned char>(c) > 126) return false;
        return true;
    }
    std::size_t Size() const { return data_.size(); }
    unsigned Group(std::size_t i) const { return static_cast<unsigned>(static_cast<unsigned char>(data_[i]) - 63); }
    // Bit k of the stream, most significant bit of each group first.
    bool Bit(std::uint64_t k) const { return (Group(static_cast<std::size_t>(k / 6)) >> (5 - k % 6)) & 1u; }

private:
    std::string_view data_;
};

// N(n) at the start of data; false for a malformed one. The rest is left in data.
bool VertexCountOf(std::string_view& data, std::uint64_t& n) {
    auto group = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(data[i]) - 63); };
    if (data.empty()) return false;
    std::size_t length = 1;
    if (static_cast<unsigned char>(data[0]) != 126) {
        n = group(0);
    } else if (data.size() >= 2 && static_cast<unsigned char>(data[1]) != 126) {
        if (data.size() < 4) return false;
        n = (group(1) << 12) | (group(2) << 6) | group(3);
        length = 4;
    } else {
        if (data.size() < 8) return false;
        n = 0;
        for (std::size_t i = 2; i < 8; ++i) n = (n << 6) | group(i);
        length = 8;
    }
    data.remove_prefix(length);
    return true;
}

bool ReadSparse6(TSixBits bits, std::uint64_t n, TImportedGraph& graph, std::string& error) {
    int k = 1;
    while ((std::uint64_t(1) << k) < n) ++k;
    for (std::uint64_t i = 0; i < n && n <= static_cast<std::uint64_t>(MaxVertices); ++i)
        graph.AddVertex(std::to_string(i));
    const std::uint64_t total = static_cast<std::uint64_t>(bits.Size()) * 6;
    std::uint64_t at = 0, v = 0, edges = 0;
    while (at + 1 + static_cast<std::uint64_t>(k) <= total) {
        const bool b = bits.Bit(at++);
        std::uint64_t x = 0;
        for (int i = 0; i < k; ++i) x = (x << 1) | (bits.Bit(at++) ? 1u : 0u);
        if (b) ++v;
        if (x >= n || v >= n) break;
        if (x > v) {
            v = x;
        } else {
            ++edges;
            if (n <= static_cast<std::uint64_t>(MaxVertices)) graph.AddEdge(static_cast<int>(x), static_cast<int>(v));
        }
    }
    if (n > static_cast<std::uint64_t>(MaxVertices)) {
        error = TooLargeText(static_cast<std::size_t>(n), static_cast<std::size_t>(edges));
        return false;
    }
    return true;
}

bool ReadDense6(TSixBits bits, std::uint64_t n, bool directed, TImportedGraph& graph, std::string& error) {
    // graph6: the upper triangle column by column; digraph6: the whole matrix row by row.
    const std::uint64_t need = directed ? n * n : n * (n - (n > 0 ? 1 : 0)) / 2;
    if (n > (std::uint64_t(1) << 24) || static_cast<std::uint64_t>(bits.Size()) * 6 < need) {
        error = "it is cut short: " + std::to_string(n) + " vertices need " + std::to_string((need + 5) / 6) +
                " bytes of edges, it has " + std::to_string(bits.Size());
        return false;
    }
    graph.directed = directed;
    const bool fits = n <= static_cast<std::uint64_t>(MaxVertices);
    std::size_t edges = 0;
    for (std::uint64_t i = 0; i < n && fits; ++i) graph.AddVertex(std::to_string(i));
    std::uint64_t k = 0;
    for (std::uint64_t j = 0; j < n; ++j)
        for (std::uint64_t i = 0; i < (directed ? n : j); ++i)
            if (bits.Bit(k++)) {
                ++edges;
                if (!fits) continue;
                if (directed)
                    graph.AddEdge(static_cast<int>(j), static_cast<int>(i));
                else
                    graph.AddEdge(static_cast<int>(i), static_cast<int>(j));
            }
    if (!fits) {
        error = TooLargeText(static_cast<std::size_t>(n), edges);
        return false;
    }
    return true;
}

} // namespace

bool ReadEdgeText(const std::string& bytes, TImportedGraph& graph, std::string& error) {
    const std::vector<TLine> lines = FieldLines(bytes);
    if (lines.empty()) {
        error = "it holds no edge and no vertex";
        return false;
    }
    return IsMatrix(lines) ? ReadMatrix(lines, graph, error) : ReadEdgeList(lines, graph, error);
}

bool ReadGraph6(const std::string& bytes, TImportedGraph& graph, std::string& error) {
    std::string_view line(bytes);
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (std::string_view header : {">>graph6<<", ">>sparse6<<", ">>digraph6<<"})
        if (line.substr(0, header.size()) == header) line.remove_prefix(header.size());
    if (line.empty()) {
        error = "it holds no graph";
        return false;
    }
    const char kind = line[0];
    if (kind == ':' || kind == '&') line.remove_prefix(1);
    std::uint64_t n = 0;
    if (!TSixBits(line).Valid() || !VertexCountOf(line, n)) {
        error = "its first line is no graph6, sparse6 or digraph6 graph";
        return false;
    }
    if (kind == ':') return ReadSparse6(TSixBits(line), n, graph, error);
    return ReadDense6(TSixBits(line), n, kind == '&', graph, error);
}
