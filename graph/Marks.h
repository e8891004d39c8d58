#pragma once
// Results drawn into a picture of the graph: highlighted edges, texts beside vertices and edges,
// vertex fills. A plain description; DrawGraph and TikzText draw it over the graph as it is.

#include "Colors.h"

#include <map>
#include <set>
#include <string>
#include <utility>

struct TMarks {
    TColor highlight = colors::Red; // the highlighted edges' colour
    // Edges by their ends, (source, target); an undirected edge as (lower, higher) number.
    std::set<std::pair<int, int>> edges;
    std::map<int, std::string> vertexLabels;               // by vertex number: a text beside the vertex
    std::map<int, TColor> vertexFills;                     // by vertex number: the disc's fill instead of white
    std::map<std::pair<int, int>, std::string> edgeLabels; // by the edges' key: a text beside the edge
    // A step's own vertices and edges, drawn heavier still: a ring round the vertex, a wider line.
    std::set<int> currentVertices;
    std::set<std::pair<int, int>> currentEdges;
};

// The key of the edge from s to t in the marks' maps.
inline std::pair<int, int> MarkKey(bool directed, int s, int t) {
    return directed || s <= t ? std::make_pair(s, t) : std::make_pair(t, s);
}
