#pragma once
// Small helpers that build graph records for the tests through the record's own operations.

#include "Graph_obj.h"

#include <initializer_list>
#include <utility>
#include <vector>

struct TPointXY {
    int x, y;
};

// A created graph with the given vertices (numbered in order) and no edges.
inline void MakeGraph(Tgraph& g, bool directed, bool weighted, std::initializer_list<TPointXY> vertices,
                      TColor base = colors::Black) {
    InitGraph(g);
    g.directed = directed;
    g.weighted = weighted;
    g.baseColor = base;
    g.created = true;
    for (const TPointXY& p : vertices) AddVertex(g, p.x, p.y);
}

// Adds an edge as the editor does.
inline bool Connect(Tgraph& g, int s, int t, const std::string& text = "") { return ConnectVertices(g, s, t, text); }

inline Tedge* FindEdge(const Tgraph& g, int s, int t) {
    for (Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
        if (e->target == t) return e;
    return nullptr;
}

// Targets of list s, head first.
inline std::vector<int> Targets(const Tgraph& g, int s) {
    std::vector<int> out;
    for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get()) out.push_back(e->target);
    return out;
}

inline int NodeCount(const Tgraph& g) {
    int n = 0;
    for (int i = 1; i <= MaxVertices; ++i)
        for (const Tedge* e = g.edgeLists[i].get(); e; e = e->next.get()) ++n;
    return n;
}
