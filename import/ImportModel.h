#pragma once
// Internal to the import layer: the graph as a reader finds it, before it becomes a record.

#include "ImportGraph.h"

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Distinct vertex names counted for a refusal's message; more are reported as "at least".
constexpr std::size_t MaxCountedVertices = 100000;

struct TImportedVertex {
    std::string name;
    bool placed = false;
    double x = 0, y = 0; // surface pixels, y down
};

struct TImportedEdge {
    int source = 0, target = 0; // 0-based vertex indices
    std::string weight;
    std::optional<TColor> color;
};

class TImportedGraph {
public:
    bool directed = false, weighted = false;
    std::optional<TColor> base;            // the graph's base colour, when the file names one
    std::optional<long long> countedEdges; // the edge count of a Nodeloom file's counts line
    std::vector<std::string> notes;        // what a reader left out or changed, one line each

    // The vertex of that key (a name or an id), added at the end with that name when new; -1 once
    // MaxCountedVertices distinct keys are exceeded.
    int Vertex(const std::string& key);
    // A vertex without key (numbered files: graph6, matrices).
    int AddVertex(const std::string& name);
    std::size_t VertexCount() const { return vertexCount_; }
    TImportedVertex& At(int v) { return vertices_[static_cast<std::size_t>(v)]; }

    // Adds an edge between two vertices in the order of the file; a repeat of an edge already
    // there (either direction in an undirected graph, which must be known by then) is counted and
    // dropped. Edges of vertices past the table are only counted.
    void AddEdge(int source, int target, std::string weight = {}, std::optional<TColor> color = {});
    std::size_t EdgeCount() const { return edgeCount_; }
    // Edges a reader left out itself: repeats of an edge already added, and edges past the table.
    void AddUncounted(std::size_t repeats, std::size_t outside) {
        edgeCount_ += repeats + outside;
        merged_ += repeats;
    }

    // The record: false with the refusal in result when the graph is too large.
    bool Build(Tgraph& g, TImportResult& result) const;

private:
    std::vector<TImportedVertex> vertices_;     // the first MaxVertices + 1 only
    std::unordered_map<std::string, int> keys_; // the keys of the vertices in the table
    std::unordered_set<std::size_t> moreKeys_;  // past the table, only counted: their hashes
    std::size_t vertexCount_ = 0, edgeCount_ = 0, merged_ = 0;
    std::vector<TImportedEdge> edges_;
    std::bitset<(MaxVertices + 1) * (MaxVertices + 1)> seen_;
};

// The nearest of the sixteen table colours (by distance in RGB) to a colour.
TColor NearestColor(unsigned red, unsigned green, unsigned blue);
// "#RRGGBB" (or "#RRGGBBAA", alpha ignored) or one of the sixteen table names in any case.
std::optional<TColor> ColorOfText(std::string_view text);
// A decimal number: optional sign, digits with an optional fraction, an optional exponent.
bool IsDecimal(std::string_view text, double* value = nullptr);
// The text of a UTF-8 byte order mark, which no reader takes as part of the text after it.
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
// "it has N vertices and M edges; ..." for a graph too large for the record.
std::string TooLargeText(std::size_t vertices, std::size_t edges, bool atLeast = false);

// The readers: each fills the graph from the bytes, or says why it cannot.
bool ReadGraphML(const std::string& bytes, TImportedGraph& graph, std::string& error);
bool ReadDot(const std::string& bytes, TImportedGraph& graph, std::string& error);
bool ReadGraph6(const std::string& bytes, TImportedGraph& graph, std::string& error);
bool ReadEdgeText(const std::string& bytes, TImportedGraph& graph, std::string& error);
