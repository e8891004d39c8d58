// The plain-text formats: edge lists and adjacency matrices (.txt, .csv), graph6, sparse6 and
// digraph6 (.g6, .s6).

#include "ImportModel.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

// ---------------------------------------------------------------- edge lists and matrices

// The lines of a text one at a time, without comments ('#' to the end of the line), each cut
// into fields at spaces, tabs and commas; lines without fields are passed over. Line ends: LF, CR
// LF or CR. A line that holds a control character (binary data) stops the reading.
class TLines {
public:
    explicit TLines(std::string_view text) : text_(text) {
        if (text_.substr(0, Utf8Bom.size()) == Utf8Bom) text_.remove_prefix(Utf8Bom.size());
    }

    // The next line with fields: false at the end, or (with Problem() set) at a line of binary data.
    bool Next() {
        while (at_ < text_.size()) {
            std::size_t end = at_;
            while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r') ++end;
            std::string_view line = text_.substr(at_, end - at_);
            at_ = end + 1;
            if (end < text_.size() && text_[end] == '\r' && at_ < text_.size() && text_[at_] == '\n') ++at_;
            ++number_;
            for (const char c : line) {
                const unsigned char b = static_cast<unsigned char>(c);
                if ((b < 0x20 && c != '\t') || b == 0x7F) {
                    char code[8];
                    std::snprintf(code, sizeof code, "0x%02X", b);
                    problem_ = "line " + std::to_string(number_) + " holds " +
                               (b == 0 ? std::string("a NUL byte") : "the control character " + std::string(code)) +
                               ": it is not text";
                    at_ = text_.size();
                    return false;
                }
            }
            const std::size_t hash = line.find('#');
            if (hash != std::string_view::npos) line = line.substr(0, hash);
            fields_.clear();
            for (std::size_t i = 0; i < line.size();) {
                while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ',')) ++i;
                const std::size_t start = i;
                while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',') ++i;
                if (i > start) fields_.push_back(line.substr(start, i - start));
            }
            if (!fields_.empty()) return true;
        }
        return false;
    }
    std::size_t Number() const { return number_; }
    const std::vector<std::string_view>& Fields() const { return fields_; }
    const std::string& Problem() const { return problem_; }

private:
    std::string_view text_;
    std::size_t at_ = 0, number_ = 0;
    std::vector<std::string_view> fields_;
    std::string problem_;
};

bool AllDecimal(const std::vector<std::string_view>& fields) {
    for (std::string_view f : fields)
        if (!IsDecimal(f)) return false;
    return true;
}

// Whether the text is an adjacency matrix: a first line of four numbers or more (no edge list
// line has so many fields), or n lines of n numbers each.
bool IsMatrix(std::string_view text) {
    TLines lines(text);
    if (!lines.Next() || !AllDecimal(lines.Fields())) return false;
    const std::size_t n = lines.Fields().size();
    if (n >= 4) return true;
    std::size_t rows = 1;
    while (lines.Next()) {
        if (++rows > n || lines.Fields().size() != n || !AllDecimal(lines.Fields())) return false;
    }
    return lines.Problem().empty() && rows == n;
}

std::string Place(std::size_t row, std::size_t column) {
    return "row " + std::to_string(row) + ", column " + std::to_string(column) + " of the matrix";
}

bool ReadMatrix(std::string_view text, TImportedGraph& graph, std::string& error) {
    TLines lines(text);
    lines.Next();
    const std::size_t n = lines.Fields().size();
    const bool fits = n <= static_cast<std::size_t>(MaxVertices);
    std::vector<double> value(fits ? n * n : 0);
    std::vector<std::string> weight(fits ? n * n : 0);
    std::size_t rows = 0, edges = 0;
    bool weighted = false;
    do {
        const std::vector<std::string_view>& row = lines.Fields();
        ++rows;
        if (rows > n) {
            error = "the matrix has more rows than its " + std::to_string(n) + " columns (row " + std::to_string(rows) +
                    " is on line " + std::to_string(lines.Number()) + ")";
            return false;
        }
        for (std::size_t j = 0; j < row.size() && j < n; ++j) {
            double v = 0;
            if (!IsDecimal(row[j], &v)) {
                error = Place(rows, j + 1) + " (line " + std::to_string(lines.Number()) + ") is \"" +
                        std::string(row[j].substr(0, 40)) + "\", which is not a number";
                return false;
            }
            edges += v != 0;
            weighted = weighted || (v != 0 && v != 1);
            if (fits) value[(rows - 1) * n + j] = v, weight[(rows - 1) * n + j] = row[j];
        }
        if (row.size() != n) {
            error = row.size() < n
                        ? Place(rows, row.size() + 1) + " is missing: the row has " + std::to_string(row.size()) +
                              " entries, the first has " + std::to_string(n)
                        : Place(rows, n + 1) + " is one too many: the first row has " + std::to_string(n) + " entries";
            error += " (line " + std::to_string(lines.Number()) + ")";
            return false;
        }
    } while (lines.Next());
    if (!lines.Problem().empty()) {
        error = lines.Problem();
        return false;
    }
    if (rows != n) {
        error = "the matrix has " + std::to_string(rows) + (rows == 1 ? " row" : " rows") + " of " + std::to_string(n) +
                " entries; it must be square";
        return false;
    }
    if (!fits) {
        error = TooLargeText(n, edges);
        return false;
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
                graph.AddEdge(static_cast<int>(i), static_cast<int>(j), weighted ? weight[i * n + j] : std::string());
    return true;
}

bool ReadEdgeList(std::string_view text, TImportedGraph& graph, std::string& error) {
    struct TPending {
        int source, target;
        std::string weight;
    };
    // Each ordered pair once: a repeat is merged whatever the graph's kind turns out to be, and
    // the list stays as small as the record, whatever the file's length.
    std::vector<TPending> pending;
    std::vector<bool> seen(static_cast<std::size_t>(MaxVertices) * MaxVertices);
    std::size_t repeats = 0, outside = 0;
    TLines lines(text);
    std::vector<std::string_view> f;
    std::string lastName = "\n"; // no name holds a line feed
    int lastVertex = -1;
    while (lines.Next()) {
        // "a -> b": the arrow may stand alone or be written against the names.
        f.clear();
        for (std::string_view field : lines.Fields()) {
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
            error = "line " + std::to_string(lines.Number()) + " is neither \"a b [weight]\" nor \"a -> b [weight]\"";
            return false;
        }
        // The vertex of a name, looked up once for a run of lines that repeat it.
        const auto vertex = [&](std::string_view name) {
            if (name != lastName) lastName.assign(name), lastVertex = graph.Vertex(lastName);
            return lastVertex;
        };
        const int a = vertex(f[0]);
        if (f.size() == 1) continue; // a vertex without edges
        const int b = vertex(f[1]);
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
    if (!lines.Problem().empty()) {
        error = lines.Problem();
        return false;
    }
    if (lines.Number() == 0 || (graph.VertexCount() == 0)) {
        error = "it holds no edge and no vertex";
        return false;
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
    const char* kind = directed ? "digraph6" : "graph6";
    // The bytes of a line are bounded by the file's, and the largest file holds 2^24 vertices.
    if (n > (std::uint64_t(1) << 24)) {
        error = "its first line gives " + std::to_string(n) + " vertices; a graph holds at most " +
                std::to_string(MaxVertices) + " (and no file so large is read)";
        return false;
    }
    const std::uint64_t need = directed ? n * n : n * (n - (n > 0 ? 1 : 0)) / 2, needBytes = (need + 5) / 6;
    if (static_cast<std::uint64_t>(bits.Size()) < needBytes) {
        error = "it is cut short: " + std::to_string(n) + " vertices need " + std::to_string(needBytes) +
                " bytes of edges, it has " + std::to_string(bits.Size());
        return false;
    }
    if (static_cast<std::uint64_t>(bits.Size()) > needBytes) {
        error = "its first line is no " + std::string(kind) + " graph: " + std::to_string(n) + " vertices need " +
                std::to_string(needBytes) + " bytes of edges, and " + std::to_string(bits.Size() - needBytes) +
                " more follow";
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
    return IsMatrix(bytes) ? ReadMatrix(bytes, graph, error) : ReadEdgeList(bytes, graph, error);
}

bool ReadGraph6(const std::string& bytes, TImportedGraph& graph, std::string& error) {
    std::string_view line(bytes);
    if (line.substr(0, Utf8Bom.size()) == Utf8Bom) line.remove_prefix(Utf8Bom.size());
    // The graphs after the first, one a line, are counted for a note.
    std::size_t more = 0;
    for (std::size_t end = line.find('\n'); end != std::string_view::npos; end = line.find('\n', end + 1))
        if (end + 1 < line.size() && line[end + 1] != '\n' && line[end + 1] != '\r') ++more;
    if (more > 0)
        graph.notes.push_back("The file holds " + std::to_string(more) + (more == 1 ? " graph" : " graphs") +
                              " after the first; only the first is read.");
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
