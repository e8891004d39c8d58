#pragma once
// The record's invariants, checked from outside: an empty text when they hold, else what broke.

#include "Graph_obj.h"

#include <set>
#include <string>

// countEdges: also require edgeCount to equal the edges held (true for graphs built by editing;
// a loaded file keeps the count its counts line gave).
inline std::string CheckInvariants(const Tgraph& g, bool countEdges = false) {
    const auto where = [](int s, const Tedge& e) {
        return " (node " + std::to_string(s) + "->" + std::to_string(e.target) + ")";
    };
    if (g.vertexCount < 0 || g.vertexCount > MaxVertices) return "vertexCount out of range";
    for (int i = g.vertexCount + 1; i <= MaxVertices; ++i)
        if (g.edgeLists[i]) return "list above vertexCount not empty: " + std::to_string(i);
    if (g.edgeLists[0]) return "list 0 not empty";
    int edges = 0;
    for (int s = 1; s <= g.vertexCount; ++s) {
        std::set<int> seen;
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get()) {
            if (e->source != s) return "source differs from its list" + where(s, *e);
            if (e->target < 1 || e->target > g.vertexCount) return "target out of range" + where(s, *e);
            if (!seen.insert(e->target).second) return "target twice in one list" + where(s, *e);
            const Tedge* reverse = nullptr;
            for (const Tedge* r = g.edgeLists[e->target].get(); r; r = r->next.get())
                if (r->target == s) {
                    reverse = r;
                    break;
                }
            if (e->twin != reverse) return "twin is not the reverse node" + where(s, *e);
            if (reverse && reverse->twin != e) return "twin link not mutual" + where(s, *e);
            if (!g.directed && !reverse) return "undirected edge without its other half" + where(s, *e);
            if (g.directed || e->target >= s) ++edges;
        }
    }
    if (countEdges && edges != g.edgeCount)
        return "edgeCount " + std::to_string(g.edgeCount) + " but " + std::to_string(edges) + " edges held";
    return {};
}

// The graph's content written out, everything an undo brings back: kind, base colour, created,
// file name, counts, the vertices and every node of every list in order with its twin's source.
inline std::string GraphContent(const Tgraph& g) {
    const auto n = [](long long v) { return std::to_string(v) + " "; };
    std::string out = n(g.directed) + n(g.weighted) + n(g.created) + n(g.baseColor) + g.fileName + "|" +
                      n(g.vertexCount) + n(g.edgeCount);
    for (int v = 1; v <= g.vertexCount && v <= MaxVertices; ++v) {
        out += "\n" + n(g.vertices[v].x) + n(g.vertices[v].y) + n(g.vertices[v].radius) + g.vertices[v].name + "|";
        for (const Tedge* e = g.edgeLists[v].get(); e; e = e->next.get())
            out += n(e->source) + n(e->target) + n(e->color) + e->weight + "|" + n(e->twin ? e->twin->source : 0);
    }
    return out;
}
