#pragma once
// Graphs written by other programs: GraphML, Graphviz DOT, graph6 and sparse6, edge lists and
// adjacency matrices, read into the graph record; and the placing of vertices a file gives no
// position (Layout.h). No Qt.

#include "FileFailure.h"
#include "Graph_obj.h"

#include <optional>
#include <string>
#include <vector>

// GraphML; DOT; graph6, sparse6 and digraph6 (told apart by the content); an edge list or an
// adjacency matrix (told apart by the content). The table of formats (formats/) names their endings.
enum class TImportFormat { GraphML, Dot, Graph6, Text };

struct TImportResult {
    std::string error;              // why the file gives no graph; empty on success
    TFileFailure readFailure;       // ImportGraph: why the file could not be read at all
    std::vector<std::string> notes; // what changed on the way in, one line each
    std::vector<bool> placed;       // placed[v]: the file gives vertex v (1..n) a position; [0] unused
};

// Reads the bytes as the format into g, which becomes a created graph without a file name. A
// graph beyond what the record holds (more than MaxVertices vertices or MaxEdges edges) is
// refused with its counts; parallel edges are merged, the first one's weight and colour kept.
// On failure, result.error says why and g is left not created.
bool ImportGraphText(const std::string& bytes, TImportFormat format, Tgraph& g, TImportResult& result);

// ImportGraphText of the file at path, a regular file of at most MaxReadBytes, in that format.
bool ImportGraph(const std::string& path, TImportFormat format, Tgraph& g, TImportResult& result);
