// Which vertex or edge lies under a point of the surface, and the hover flags that follow the pointer.

#include "Graph_obj.h"

#include "Geometry.h"

using namespace geometry;

int VertexAt(const Tgraph& g, int x, int y) {
    int found = 0;
    for (int v = 1; v <= g.vertexCount; ++v) {
        const Tvertex& c = g.vertices[v];
        const long long dx = static_cast<long long>(x) - c.x;
        const long long dy = static_cast<long long>(y) - c.y;
        const long long r = c.radius;
        // Far points are rejected before squaring, so nothing overflows.
        if (dx > r || dx < -r || dy > r || dy < -r) continue;
        if (dx * dx + dy * dy <= r * r) found = v; // the highest number, drawn on top, wins
    }
    return found;
}

bool EdgeHit(const Tgraph& g, int x, int y, int s, const Tedge& node) {
    if (node.target == s) {
        const long long dx = static_cast<long long>(x) - g.vertices[s].x;
        const long long dy = static_cast<long long>(y) - (static_cast<long long>(g.vertices[s].y) - LoopRise);
        if (dx >= LoopHitRadius || dx <= -LoopHitRadius || dy >= LoopHitRadius || dy <= -LoopHitRadius) return false;
        return dx * dx + dy * dy < LoopHitRadius2;
    }

    // Cheap rejection in integers: a hit needs the unshifted foot between the ends and the point
    // within EdgeReach of the line through both centres. Two vertices on one centre act as an
    // endless vertical line and are left to the full test.
    if (g.vertices[s].x != g.vertices[node.target].x || g.vertices[s].y != g.vertices[node.target].y) {
        const Tvertex& a = g.vertices[s];
        const Tvertex& b = g.vertices[node.target];
        constexpr long long Reach = EdgeReach;
        const long long minX = a.x < b.x ? a.x : b.x, maxX = a.x < b.x ? b.x : a.x;
        const long long minY = a.y < b.y ? a.y : b.y, maxY = a.y < b.y ? b.y : a.y;
        if (x < minX - Reach || x > maxX + Reach || y < minY - Reach || y > maxY + Reach) return false;
        // The same reach from the line through both centres, without a square root.
        const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
        const double cross = (static_cast<double>(x) - a.x) * dy - (static_cast<double>(y) - a.y) * dx;
        if (cross * cross > static_cast<double>(Reach * Reach) * (dx * dx + dy * dy)) return false;
    }

    const TEdgeFrame f = EdgeFrame(g, s, node);
    const long double px = x, py = y;

    // Foot of the perpendicular from the point to the line through both centres.
    long double fx, fy;
    if (f.dx == 0) {
        fx = f.x1;
        fy = py;
    } else if (f.dy == 0) {
        fx = px;
        fy = f.y1;
    } else {
        const long double ldx = f.dx, ldy = f.dy;
        const long double u = ((px - f.x1) * ldx + (py - f.y1) * ldy) / (ldx * ldx + ldy * ldy);
        fx = f.x1 + u * ldx;
        fy = f.y1 + u * ldy;
    }
    // The column and row tests below use this unshifted foot: the shifted one of a nearly
    // vertical or horizontal pair can lie beside both ends and would never hit.
    const long double footX = fx, footY = fy;

    if (f.paired) {
        fx = Nearest(fx + f.ox);
        fy = Nearest(fy + f.oy);
    }

    if ((fx - px) * (fx - px) + (fy - py) * (fy - py) > EdgeTolerance2) return false;
    if (f.dx != 0 && (f.x2 - footX) * (footX - f.x1) < 0) return false;
    if (f.dy != 0 && (f.y2 - footY) * (footY - f.y1) < 0) return false;
    if ((fx - f.x1) * (fx - f.x1) + (fy - f.y1) * (fy - f.y1) <= static_cast<long double>(f.r1 * f.r1)) return false;
    return (fx - f.x2) * (fx - f.x2) + (fy - f.y2) * (fy - f.y2) > static_cast<long double>(f.r2 * f.r2);
}

bool HoverEdges(Tgraph& g, int x, int y) {
    bool changed = false;
    for (int i = 1; i <= g.vertexCount; ++i) {
        for (Tedge* e = g.edgeLists[i].get(); e; e = e->next.get()) {
            const bool hit = EdgeHit(g, x, y, i, *e);
            if (hit != e->hovered) changed = true;
            e->hovered = hit;
        }
    }
    return changed;
}

Tedge* FirstHoveredEdge(Tgraph& g) {
    for (int i = 1; i <= g.vertexCount; ++i)
        for (Tedge* e = g.edgeLists[i].get(); e; e = e->next.get())
            if (e->hovered) return e;
    return nullptr;
}
