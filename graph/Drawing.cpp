// Painting a graph on a canvas, and painting the same geometry in white to erase it.
// Drawing and erasing share every coordinate, so an erase covers exactly the old picture.

#include "Graph_obj.h"

#include "Geometry.h"

using namespace geometry;
using colors::Black;
using colors::White;

namespace {

enum class TInk { Draw, Erase };

// Each edge of an undirected graph is drawn once, from its lower-numbered end.
bool IsDrawnNode(const Tgraph& g, int s, const Tedge& node) { return g.directed || node.target >= s; }

TPoint Pt(long double x, long double y) { return {Nearest(x), Nearest(y)}; }

void PaintWeightLabel(const Tgraph& g, TCanvas& canvas, int s, const Tedge& node, TInk ink) {
    canvas.SetFontColor(ink == TInk::Erase ? White : node.color);
    canvas.SetBrushColor(White);
    const std::string& text = node.weight;
    const long long w = canvas.TextWidth(text);
    const long long h = canvas.TextHeight(text);

    if (node.target == s) {
        const Tvertex& v = g.vertices[s];
        canvas.TextOut(ClampInt(v.x - w / 2), ClampInt(static_cast<long long>(v.y) - LoopLabelRise), text);
        return;
    }

    const TEdgeFrame f = EdgeFrame(g, s, node);
    const long long mx = Nearest((f.x1 + f.x2) / 2.0L + f.ox);
    const long long my = Nearest((f.y1 + f.y2) / 2.0L + f.oy);

    // The box touches the anchor and lies to the left of the direction of travel.
    long long left, top;
    if (f.dx > 0 && f.dy < 0) {
        left = mx - w; top = my - h;
    } else if (f.dx > 0 && f.dy > 0) {
        left = mx; top = my - h;
    } else if (f.dx < 0 && f.dy < 0) {
        left = mx - w; top = my;
    } else if (f.dx < 0 && f.dy > 0) {
        left = mx; top = my;
    } else if (f.dx > 0) {
        left = mx - w / 2; top = my - h;
    } else if (f.dx < 0) {
        left = mx - w / 2; top = my;
    } else if (f.dy <= 0) {
        left = mx - w; top = my - h / 2;
    } else {
        left = mx; top = my - h / 2;
    }
    canvas.TextOut(ClampInt(left), ClampInt(top), text);
}

void PaintEdge(const Tgraph& g, TCanvas& canvas, int s, const Tedge& node, TInk ink) {
    canvas.SetPenWidth(1);
    const TColor color = ink == TInk::Erase ? White : node.hovered ? g.currentColor : node.color;
    canvas.SetPenColor(color);
    canvas.SetBrushColor(color);

    if (node.target == s) {
        const long long x = g.vertices[s].x, y = g.vertices[s].y;
        const TPoint curve[4] = {{ClampInt(x), ClampInt(y)},
                                 {ClampInt(x + LoopControlDx), ClampInt(y - LoopControlRise)},
                                 {ClampInt(x - LoopControlDx), ClampInt(y - LoopControlRise)},
                                 {ClampInt(x), ClampInt(y)}};
        canvas.PolyBezier(curve);
        if (g.directed) {
            TPoint head[4];
            for (int i = 0; i < 4; ++i)
                head[i] = {ClampInt(x + LoopArrowhead[i].x), ClampInt(y + LoopArrowhead[i].y)};
            canvas.Polygon(head, 4);
        }
        return;
    }

    const TEdgeFrame f = EdgeFrame(g, s, node);
    if (f.len < static_cast<long double>(f.r1 + f.r2)) return; // the circles overlap

    // Integer products first, then the division, as the coordinates are defined.
    const long double L = f.len;
    const TPoint end = Pt(f.x2 - ((f.r2 - 1) * f.dx) / L + f.ox, f.y2 - ((f.r2 - 1) * f.dy) / L + f.oy);
    const TPoint start = Pt(f.x1 + ((f.r1 - 1) * f.dx) / L + f.ox, f.y1 + ((f.r1 - 1) * f.dy) / L + f.oy);
    canvas.MoveTo(start.x, start.y);
    canvas.LineTo(end.x, end.y);

    if (ink == TInk::Draw) canvas.SetBrushColor(canvas.PenColor());
    if (!g.directed) return;

    const long long barbs = f.r2 + ArrowBarbs, notch = f.r2 + ArrowNotch;
    const TPoint head[4] = {
        Pt(f.x2 - (barbs * f.dx) / L + (ArrowHalfWidth * f.dy) / L + f.ox,
           f.y2 - (barbs * f.dy) / L - (ArrowHalfWidth * f.dx) / L + f.oy),
        Pt(f.x2 - (notch * f.dx) / L + f.ox, f.y2 - (notch * f.dy) / L + f.oy),
        Pt(f.x2 - (barbs * f.dx) / L - (ArrowHalfWidth * f.dy) / L + f.ox,
           f.y2 - (barbs * f.dy) / L + (ArrowHalfWidth * f.dx) / L + f.oy),
        end,
    };
    canvas.Polygon(head, 4);
}

void PaintGraph(const Tgraph& g, TCanvas& canvas, TInk ink) {
    const int count = HeldVertices(g);
    if (g.weighted) {
        for (int s = 1; s <= count; ++s)
            for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
                if (IsDrawnNode(g, s, *e)) PaintWeightLabel(g, canvas, s, *e, ink);
    }
    for (int s = 1; s <= count; ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (IsDrawnNode(g, s, *e)) PaintEdge(g, canvas, s, *e, ink);

    // Vertices last: a white disc hides the line ends inside it, and higher numbers lie on top.
    if (ink == TInk::Draw) {
        canvas.SetPenColor(Black);
        canvas.SetFontColor(Black);
        canvas.SetBrushColor(White);
    } else {
        canvas.SetPenColor(White);
        canvas.SetFontColor(White);
    }
    for (int v = 1; v <= count; ++v) {
        const Tvertex& c = g.vertices[v];
        const long long x = c.x, y = c.y, r = c.radius;
        canvas.Ellipse(ClampInt(x - r), ClampInt(y - r), ClampInt(x + r), ClampInt(y + r));
        const long long w = canvas.TextWidth(c.name);
        canvas.TextOut(ClampInt(x - w / 2), ClampInt(y - NameRise), c.name);
    }
}

} // namespace

void DrawGraph(const Tgraph& g, TCanvas& canvas) {
    if (!g.created) return;
    PaintGraph(g, canvas, TInk::Draw);
}

void EraseGraph(const Tgraph& g, TCanvas& canvas) { PaintGraph(g, canvas, TInk::Erase); }
