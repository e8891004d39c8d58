#pragma once
// Internal to the graph library: edge insertion with an optional index of the nodes by their two
// ends, so that a bulk build (the file reader) skips the list walks of AddEdge.

#include "Graph_obj.h"

#include <cstring>
#include <string_view>

struct TEdgeIndex {
    Tedge* at[MaxVertices + 1][MaxVertices + 1]; // at[s][t]: the node from s to t, or null
    TEdgeIndex() { std::memset(at, 0, sizeof at); }
};

// AddEdge; with an index, it must hold every node of g and is kept up to date.
bool InsertEdge(Tgraph& g, int source, int target, std::string_view text, TEdgeIndex* index);
