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

// The distance that a layout keeps between any two vertex centres: a circle's diameter, and a
// little more, so that rounding to whole pixels keeps it.
constexpr double Spacing = 2 * geometry::VertexRadius + 2;
// The distance between neighbours on a circle or a grid, when the area is too small for them.
constexpr double Roomy = 3 * geometry::VertexRadius;

// Places the drawing: centred in the area where it fits, else from the area's top left corner,
// where it grows to the right and downwards.
void Place(std::vector<TPointF>& points) {
    if (points.empty()) return;
    double minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const TPointF& p : points) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    const double dx = maxX - minX <= InnerWidth ? LayoutAreaWidth / 2.0 - (minX + maxX) / 2 : Inset - minX;
    const double dy = maxY - minY <= InnerHeight ? LayoutAreaHeight / 2.0 - (minY + maxY) / 2 : Inset - minY;
    for (TPointF& p : points) p.x += dx, p.y += dy;
}

// Scales (down only, never above 4/3 pixel a point) into the inner box as far as the vertices
// stay Spacing apart, then places the drawing.
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
    // The closest pair sets the least scale (quadratic, for at most MaxVertices vertices).
    double closest = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const double d = std::hypot(points[i].x - points[j].x, points[i].y - points[j].y);
            if (d > 0 && (closest == 0 || d < closest)) closest = d;
        }
    if (closest > 0) scale = std::max(scale, Spacing / closest);
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    for (TPointF& p : points) p.x = (p.x - cx) * scale, p.y = (p.y - cy) * scale;
    Place(points);
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
    // Graphviz's own overlap removal, with room around each circle: no two vertices on top of
    // each other, however many there are.
    if (!anyPinned) {
        agattr(graph, AGRAPH, const_cast<char*>("overlap"), const_cast<char*>("prism"));
        agattr(graph, AGRAPH, const_cast<char*>("sep"), const_cast<char*>("+6"));
    }
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
        // The largest circle of the area, or a larger one where neighbours would be closer than
        // Roomy on it.
        const double pi = std::acos(-1.0);
        const double radius =
            std::max(std::min(InnerWidth, InnerHeight) / 2, n > 1 ? Roomy / (2 * std::sin(pi / std::max(n, 2))) : 0.0);
        std::vector<TPointF> laid;
        for (int v = 1; v <= n; ++v) {
            const double angle = 2 * pi * (v - 1) / std::max(n, 1);
            laid.push_back({n > 1 ? radius * std::sin(angle) : 0, n > 1 ? -radius * std::cos(angle) : 0});
        }
        Place(laid);
        std::copy(laid.begin(), laid.end(), points.begin() + 1);
        break;
    }
    case TLayout::Grid: {
        // Spread over the area, or Roomy apart where the area is too small for that.
        const int columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))))),
                  rows = std::max(1, (n + columns - 1) / columns);
        const double stepX = columns > 1 ? std::max(Roomy, InnerWidth / (columns - 1)) : 0,
                     stepY = rows > 1 ? std::max(Roomy, InnerHeight / (rows - 1)) : 0;
        std::vector<TPointF> laid;
        for (int v = 1; v <= n; ++v) laid.push_back({((v - 1) % columns) * stepX, ((v - 1) / columns) * stepY});
        Place(laid);
        std::copy(laid.begin(), laid.end(), points.begin() + 1);
        break;
    }
    }
    Store(g, points, {});
    return true;
}
