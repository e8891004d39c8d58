#pragma once
// The graphs the benchmarks share.

#include "Graph_obj.h"

#include <cmath>
#include <memory>
#include <string>

// The complete digraph: all 9900 arcs, weights (s * t) mod 1000 on every one, vertices on a circle.
inline std::unique_ptr<Tgraph> CompleteWeightedDigraph() {
    auto g = std::make_unique<Tgraph>();
    InitGraph(*g);
    g->directed = g->weighted = g->created = true;
    g->baseColor = colors::Black;
    for (int v = 0; v < MaxVertices; ++v) {
        const double angle = 2 * 3.14159265358979 * v / MaxVertices;
        AddVertex(*g, 640 + static_cast<int>(460 * std::cos(angle)), 512 + static_cast<int>(460 * std::sin(angle)));
    }
    for (int s = 1; s <= MaxVertices; ++s)
        for (int t = 1; t <= MaxVertices; ++t)
            if (s != t) ConnectVertices(*g, s, t, "/*" + std::to_string((s * t) % 1000) + "*/");
    return g;
}
