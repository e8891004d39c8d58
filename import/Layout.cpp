// The layouts: Graphviz's neato through gvc, a circle and a grid.

#include "Layout.h"

#include "Geometry.h"
#include "Numbers.h"

#include "Cgraph.h"

#include <graphviz/gvc.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

struct TPointF {
    double x, y;
};

bool Placed(const std::vector<bool>& placed, int v) {
    return static_cast<std::size_t>(v) >= placed.size() || placed[static_cast<std::size_t>(v)];
}

// The inner box that vertex centres may take.
constexpr double Inset = geometry::VertexRadius + LayoutMargin;
constexpr double InnerWidth = LayoutAreaWidth - 2 * Inset, InnerHeight = LayoutAreaHeight - 2 * Inset;

// Scales (down only, never above 4/3 pixel a point) and centres the points in the inner box.
void FitIntoArea(std::vector<TPointF>& points, double naturalScale) {
    if (points.empty()) return;
    double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const TPointF& p : points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    double scale = naturalScale;
    if (maxX - minX > 0) scale = std::min(scale, InnerWidth / (maxX - minX));
    if (maxY - minY > 0) scale = std::min(scale, InnerHeight / (maxY - minY));
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    for (TPointF& p : points) {
        p.x = LayoutAreaWidth / 2.0 + (p.x - cx) * scale;
        p.y = LayoutAreaHeight / 2.0 + (p.y - cy) * scale;
    }
}

// Neato's positions (surface pixels, y down, before fitting) of all vertices; pinned ones, given
// as pixels, are kept where they are.
bool Neato(const Tgraph& g, const std::vector<bool>& pinned, std::vector<TPointF>& out, std::string& error) {
    static GVC_t* const context = gvContext(); // kept for the program's life, as Graphviz's own tools do
    if (!context) {
        error = "Graphviz's layout library cannot be started";
        return false;
    }
    const bool anyPinned = std::find(pinned.begin() + 1, pinned.end(), true) != pinned.end();
    const TAgraphOwner owner(agopen(const_cast<char*>("layout"), Agundirected, nullptr));
    Agraph_t* const graph = owner.get();
    if (!graph) {
        error = "not enough memory for the layout";
        return false;
    }
    // Pinned positions count only with a random start; its seed is fixed, so the result is too.
    agattr(graph, AGRAPH, const_cast<char*>("start"), const_cast<char*>(anyPinned ? "random1" : "regular"));
    agattr(graph, AGRAPH, const_cast<char*>("notranslate"), const_cast<char*>("true"));
    if (anyPinned) {
        agattr(graph, AGNODE, const_cast<char*>("pos"), const_cast<char*>(""));
        agattr(graph, AGNODE, const_cast<char*>("pin"), const_cast<char*>("false"));
    }
    agattr(graph, AGNODE, const_cast<char*>("shape"), const_cast<char*>("circle"));
    const std::string width = numbers::Fixed(geometry::VertexInches, 4);
    agattr(graph, AGNODE, const_cast<char*>("width"), const_cast<char*>(width.c_str()));
    agattr(graph, AGNODE, const_cast<char*>("label"), const_cast<char*>(""));
    const int n = geometry::HeldVertices(g);
    std::vector<Agnode_t*> nodes(static_cast<std::size_t>(n) + 1);
    for (int v = 1; v <= n; ++v) {
        const std::string name = std::to_string(v);
        Agnode_t* node = agnode(graph, const_cast<char*>(name.c_str()), 1);
        nodes[static_cast<std::size_t>(v)] = node;
        if (pinned[static_cast<std::size_t>(v)]) {
            const std::string pos = numbers::Fixed(g.vertices[v].x * geometry::PointsPerPixel, 6) + "," +
                                    numbers::Fixed(-g.vertices[v].y * geometry::PointsPerPixel, 6);
            agset(node, const_cast<char*>("pos"), const_cast<char*>(pos.c_str()));
            agset(node, const_cast<char*>("pin"), const_cast<char*>("true"));
        }
    }
    for (int s = 1; s <= n; ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (e->target != s && e->target >= 1 && e->target <= n && (e->target > s || !e->twin))
                agedge(graph, nodes[static_cast<std::size_t>(s)], nodes[static_cast<std::size_t>(e->target)], nullptr,
                       1);
    // Graphviz's notes go nowhere: a failure is reported below.
    int failed = 0;
    {
        const TGraphvizErrors quiet(AGMAX, nullptr);
        failed = gvLayout(context, graph, "neato");
    }
    if (failed != 0) {
        error = "Graphviz cannot lay the graph out";
        return false;
    }
    // The layout's data goes before the graph (the owner's agclose).
    struct TLayoutFree {
        GVC_t* context;
        Agraph_t* graph;
        ~TLayoutFree() { gvFreeLayout(context, graph); }
    } const freeLayout{context, graph};
    out.assign(static_cast<std::size_t>(n) + 1, {0, 0});
    for (int v = 1; v <= n; ++v) {
        const pointf p = ND_coord(nodes[static_cast<std::size_t>(v)]);
        out[static_cast<std::size_t>(v)] = {p.x / geometry::PointsPerPixel, -p.y / geometry::PointsPerPixel};
    }
    return true;
}

void Store(Tgraph& g, const std::vector<TPointF>& points, const std::vector<bool>& only) {
    for (int v = 1; v <= geometry::HeldVertices(g); ++v) {
        if (!only.empty() && !only[static_cast<std::size_t>(v)]) continue;
        g.vertices[v].x = geometry::Nearest(points[static_cast<std::size_t>(v)].x);
        g.vertices[v].y = geometry::Nearest(points[static_cast<std::size_t>(v)].y);
    }
}

} // namespace

std::optional<TLayout> LayoutOf(const std::string& name) {
    if (name == "neato") return TLayout::Neato;
    if (name == "circle") return TLayout::Circle;
    if (name == "grid") return TLayout::Grid;
    if (name == "keep") return TLayout::Keep;
    return std::nullopt;
}

TLayout DefaultLayout(const Tgraph& g, const std::vector<bool>& placed) {
    for (int v = 1; v <= geometry::HeldVertices(g); ++v)
        if (!Placed(placed, v)) return TLayout::Neato;
    return TLayout::Keep;
}

bool LayOut(Tgraph& g, TLayout layout, const std::vector<bool>& placed, std::string& error) {
    const int n = geometry::HeldVertices(g);
    std::vector<TPointF> points(static_cast<std::size_t>(n) + 1, {0, 0});
    switch (layout) {
    case TLayout::Keep: {
        std::vector<bool> pinned(static_cast<std::size_t>(n) + 1, true), free(static_cast<std::size_t>(n) + 1, false);
        bool any = false;
        for (int v = 1; v <= n; ++v) {
            pinned[static_cast<std::size_t>(v)] = Placed(placed, v);
            free[static_cast<std::size_t>(v)] = !pinned[static_cast<std::size_t>(v)];
            any = any || free[static_cast<std::size_t>(v)];
        }
        if (!any) return true;
        if (!Neato(g, pinned, points, error)) return false;
        Store(g, points, free);
        return true;
    }
    case TLayout::Neato: {
        if (!Neato(g, std::vector<bool>(static_cast<std::size_t>(n) + 1, false), points, error)) return false;
        std::vector<TPointF> laid(points.begin() + 1, points.end());
        FitIntoArea(laid, 1.0);
        std::copy(laid.begin(), laid.end(), points.begin() + 1);
        break;
    }
    case TLayout::Circle: {
        const double radius = std::min(InnerWidth, InnerHeight) / 2, pi = std::acos(-1.0);
        for (int v = 1; v <= n; ++v) {
            const double angle = 2 * pi * (v - 1) / std::max(n, 1);
            points[static_cast<std::size_t>(v)] = {LayoutAreaWidth / 2.0 + (n > 1 ? radius * std::sin(angle) : 0),
                                                   LayoutAreaHeight / 2.0 - (n > 1 ? radius * std::cos(angle) : 0)};
        }
        break;
    }
    case TLayout::Grid: {
        const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))))),
                  rows = std::max(1, (n + columns - 1) / columns);
        const double stepX = columns > 1 ? InnerWidth / (columns - 1) : 0,
                     stepY = rows > 1 ? InnerHeight / (rows - 1) : 0;
        for (int v = 1; v <= n; ++v) {
            const int column = (v - 1) % columns, row = (v - 1) / columns;
            points[static_cast<std::size_t>(v)] = {columns > 1 ? Inset + column * stepX : LayoutAreaWidth / 2.0,
                                                   rows > 1 ? Inset + row * stepY : LayoutAreaHeight / 2.0};
        }
        break;
    }
    }
    Store(g, points, {});
    return true;
}
