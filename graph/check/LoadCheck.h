#pragma once
// What must hold after reading any bytes at all: the record's invariants, and a graph that was
// read saves and reads back the same. Shared by the fuzz target and the regression tests.

#include "Invariants.h"

#include <string>

inline bool NameSurvivesFile(const std::string& name) {
    return name.find("*/") == std::string::npos && (name.empty() || name[0] != '/');
}

// Empty when b, read back from a save of a, is the same graph.
inline std::string SameGraph(const Tgraph& a, const Tgraph& b, bool onlyNamesThatSurvive) {
    if (!b.created) return "saved graph does not read back";
    if (std::string broken = CheckInvariants(b); !broken.empty()) return broken;
    if (b.directed != a.directed || b.weighted != a.weighted || b.baseColor != a.baseColor ||
        b.vertexCount != a.vertexCount || b.edgeCount != a.edgeCount)
        return "header differs";
    for (int v = 1; v <= a.vertexCount; ++v) {
        const Tvertex &p = a.vertices[v], &q = b.vertices[v];
        const bool checkName = !onlyNamesThatSurvive || NameSurvivesFile(p.name);
        if ((checkName && p.name != q.name) || p.x != q.x || p.y != q.y || q.radius != 15)
            return "vertex " + std::to_string(v) + " differs";
    }
    for (int s = 1; s <= a.vertexCount; ++s) {
        int held = 0, heldBack = 0;
        for (const Tedge* e = a.edgeLists[s].get(); e; e = e->next.get(), ++held) {
            const Tedge* f = b.edgeLists[s].get();
            while (f && f->target != e->target) f = f->next.get();
            if (!f) return "edge lost";
            if (f->weight != e->weight || f->color != e->color) return "edge weight or colour changed";
        }
        for (const Tedge* f = b.edgeLists[s].get(); f; f = f->next.get()) ++heldBack;
        if (held != heldBack) return "edge gained";
    }
    return {};
}

// Empty when everything holds, else what broke.
inline std::string CheckLoadOf(const std::string& bytes) {
    Tgraph g;
    g.fileName = "before";
    LoadGraphFromText(g, bytes, "input.gf4");
    if (std::string broken = CheckInvariants(g); !broken.empty()) return "after load: " + broken;
    if (!g.created) return g.fileName == "before" ? "" : "fileName changed by a failed load";
    if (g.fileName != "input.gf4") return "fileName not set by a load";
    for (int v = 1; v <= g.vertexCount; ++v)
        if (g.vertices[v].radius != 15) return "vertex radius not 15";

    // The format frames names without escaping: a name holding "*/" or starting with "/" cannot
    // come back whole. Every other name must, and a second save and load must change nothing.
    Tgraph back, again;
    LoadGraphFromText(back, GraphFileText(g), "again.gf4");
    if (std::string differs = SameGraph(g, back, true); !differs.empty()) return "after reload: " + differs;
    LoadGraphFromText(again, GraphFileText(back), "again.gf4");
    if (std::string differs = SameGraph(back, again, false); !differs.empty()) return "after second reload: " + differs;
    return {};
}
