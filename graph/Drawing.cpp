// Painting a graph on a canvas, and painting the same geometry in white to erase it.
// Drawing and erasing share every coordinate, so an erase covers exactly the old picture.

#include "Graph_obj.h"

#include "Geometry.h"
#include "Marks.h"

#include <algorithm>
#include <vector>

using namespace geometry;
using colors::Black;
using colors::White;

namespace {

enum class TInk { Draw, Erase };

constexpr int MarkedPenWidth = 3; // a highlighted edge's lines
constexpr int MarkLabelGap = 3;   // between an edge and a result's text beside it

// Each edge of an undirected graph is drawn once, from its lower-numbered end.
bool IsDrawnNode(const Tgraph& g, int s, const Tedge& node) { return g.directed || node.target >= s; }

TPoint Pt(long double x, long double y) { return {Nearest(x), Nearest(y)}; }

// What one pass paints of an edge node between two vertices, computed once and shared by its
// label, line and arrowhead.
struct TNodeShape {
    int mx, my;         // the label's anchor: the middle of the drawn line
    signed char sx, sy; // signs of the direction of travel
    bool apart;         // the circles do not overlap: the line and arrowhead are drawn
    TPoint start, end, head[3];
};

int Sign(long long v) { return (v > 0) - (v < 0); }

TNodeShape NodeShape(const Tgraph& g, int s, const Tedge& node) {
    const TEdgeFrame f = EdgeFrame(g, s, node);
    TNodeShape shape;
    shape.mx = Nearest((f.x1 + f.x2) / 2.0L + f.ox);
    shape.my = Nearest((f.y1 + f.y2) / 2.0L + f.oy);
    shape.sx = static_cast<signed char>(Sign(f.dx));
    shape.sy = static_cast<signed char>(Sign(f.dy));
    shape.apart = f.len >= static_cast<long double>(f.r1 + f.r2);
    if (!shape.apart) return shape;
    // Integer products first, then the division, as the coordinates are defined.
    const long double L = f.len;
    shape.end = Pt(f.x2 - ((f.r2 - 1) * f.dx) / L + f.ox, f.y2 - ((f.r2 - 1) * f.dy) / L + f.oy);
    shape.start = Pt(f.x1 + ((f.r1 - 1) * f.dx) / L + f.ox, f.y1 + ((f.r1 - 1) * f.dy) / L + f.oy);
    if (!g.directed) return shape;
    const long long barbs = f.r2 + ArrowBarbs, notch = f.r2 + ArrowNotch;
    shape.head[0] = Pt(f.x2 - (barbs * f.dx) / L + (ArrowHalfWidth * f.dy) / L + f.ox,
                       f.y2 - (barbs * f.dy) / L - (ArrowHalfWidth * f.dx) / L + f.oy);
    shape.head[1] = Pt(f.x2 - (notch * f.dx) / L + f.ox, f.y2 - (notch * f.dy) / L + f.oy);
    shape.head[2] = Pt(f.x2 - (barbs * f.dx) / L - (ArrowHalfWidth * f.dy) / L + f.ox,
                       f.y2 - (barbs * f.dy) / L + (ArrowHalfWidth * f.dx) / L + f.oy);
    return shape;
}

// The box of a w x h label at an edge's anchor (mx, my), for travel in the direction of signs
// (dx, dy): it touches the anchor and lies to the left of the direction.
void LabelBox(long long mx, long long my, int dx, int dy, long long w, long long h, long long& left, long long& top) {
    // The box touches the anchor and lies to the left of the direction of travel.
    if (dx > 0 && dy < 0) {
        left = mx - w;
        top = my - h;
    } else if (dx > 0 && dy > 0) {
        left = mx;
        top = my - h;
    } else if (dx < 0 && dy < 0) {
        left = mx - w;
        top = my;
    } else if (dx < 0 && dy > 0) {
        left = mx;
        top = my;
    } else if (dx > 0) {
        left = mx - w / 2;
        top = my - h;
    } else if (dx < 0) {
        left = mx - w / 2;
        top = my;
    } else if (dy <= 0) {
        left = mx - w;
        top = my - h / 2;
    } else {
        left = mx;
        top = my - h / 2;
    }
}

void PaintWeightLabel(const Tgraph& g, TCanvas& canvas, int s, const Tedge& node, const TNodeShape* shape, TInk ink) {
    canvas.SetFontColor(ink == TInk::Erase ? White : node.color);
    canvas.SetBrushColor(White);
    const std::string& text = node.weight;
    const long long w = canvas.TextWidth(text);
    const long long h = canvas.TextHeight(text);

    if (!shape) { // a self-loop
        const Tvertex& v = g.vertices[s];
        canvas.TextOut(ClampInt(v.x - w / 2), ClampInt(static_cast<long long>(v.y) - LoopLabelRise), text);
        return;
    }

    long long left, top;
    LabelBox(shape->mx, shape->my, shape->sx, shape->sy, w, h, left, top);
    canvas.TextOut(ClampInt(left), ClampInt(top), text);
}

void PaintEdge(const Tgraph& g, TCanvas& canvas, int s, const Tedge& node, const TNodeShape* shape, TInk ink,
               const TMarks* marks = nullptr) {
    const bool marked = marks && marks->edges.count(MarkKey(g.directed, s, node.target)) > 0;
    canvas.SetPenWidth(marked ? MarkedPenWidth : 1);
    const TColor color = ink == TInk::Erase ? White
                         : marked           ? marks->highlight
                         : node.hovered     ? g.currentColor
                                            : node.color;
    canvas.SetPenColor(color);
    canvas.SetBrushColor(color);

    if (!shape) { // a self-loop
        const long long x = g.vertices[s].x, y = g.vertices[s].y;
        const TPoint curve[4] = {{ClampInt(x), ClampInt(y)},
                                 {ClampInt(x + LoopControlDx), ClampInt(y - LoopControlRise)},
                                 {ClampInt(x - LoopControlDx), ClampInt(y - LoopControlRise)},
                                 {ClampInt(x), ClampInt(y)}};
        canvas.PolyBezier(curve);
        if (g.directed) {
            TPoint head[4];
            for (int i = 0; i < 4; ++i) head[i] = {ClampInt(x + LoopArrowhead[i].x), ClampInt(y + LoopArrowhead[i].y)};
            canvas.Polygon(head, 4);
        }
        return;
    }

    if (!shape->apart) return; // the circles overlap
    canvas.MoveTo(shape->start.x, shape->start.y);
    canvas.LineTo(shape->end.x, shape->end.y);

    if (ink == TInk::Draw) canvas.SetBrushColor(canvas.PenColor());
    if (!g.directed) return;

    const TPoint head[4] = {shape->head[0], shape->head[1], shape->head[2], shape->end};
    canvas.Polygon(head, 4);
}

// A result's text beside an edge: across the line from its weight, in the highlight colour.
void PaintMarkLabel(const Tgraph& g, TCanvas& canvas, int s, const TNodeShape* shape, const std::string& text,
                    TColor color) {
    canvas.SetFontColor(color);
    canvas.SetBrushColor(White);
    const long long w = canvas.TextWidth(text), h = canvas.TextHeight(text);
    long long left, top;
    if (!shape) { // a self-loop: above its weight
        const Tvertex& v = g.vertices[s];
        left = v.x - w / 2;
        top = static_cast<long long>(v.y) - LoopLabelRise - h;
    } else {
        LabelBox(shape->mx, shape->my, -shape->sx, -shape->sy, w, h, left, top);
        // A little off the line, so that it does not run into the weight across it.
        left -= MarkLabelGap * shape->sy;
        top += MarkLabelGap * shape->sx;
    }
    canvas.TextOut(ClampInt(left), ClampInt(top), text);
}

void PaintGraph(const Tgraph& g, TCanvas& canvas, TInk ink, const TMarks* marks = nullptr) {
    const int count = HeldVertices(g);
    // The drawn nodes in list order, with the shape of each one between two vertices.
    struct TDrawn {
        const Tedge* node;
        int s;
        bool loop;
        TNodeShape shape;
    };
    std::vector<TDrawn> drawn;
    drawn.reserve(static_cast<std::size_t>(std::max(0, g.edgeCount)) * 2 + 8);
    for (int s = 1; s <= count; ++s)
        for (const Tedge* e = g.edgeLists[s].get(); e; e = e->next.get())
            if (IsDrawnNode(g, s, *e)) {
                drawn.push_back({e, s, e->target == s, {}});
                if (e->target != s) drawn.back().shape = NodeShape(g, s, *e);
            }
    if (g.weighted)
        for (const TDrawn& d : drawn) PaintWeightLabel(g, canvas, d.s, *d.node, d.loop ? nullptr : &d.shape, ink);
    if (marks)
        for (const TDrawn& d : drawn) {
            const auto label = marks->edgeLabels.find(MarkKey(g.directed, d.s, d.node->target));
            if (label != marks->edgeLabels.end())
                PaintMarkLabel(g, canvas, d.s, d.loop ? nullptr : &d.shape, label->second, marks->highlight);
        }
    for (const TDrawn& d : drawn) PaintEdge(g, canvas, d.s, *d.node, d.loop ? nullptr : &d.shape, ink, marks);
    if (marks) canvas.SetPenWidth(1);

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
        const auto fill = marks ? marks->vertexFills.find(v) : std::map<int, TColor>::const_iterator();
        const bool filled = marks && fill != marks->vertexFills.end();
        if (filled) canvas.SetBrushColor(fill->second);
        canvas.Ellipse(ClampInt(x - r), ClampInt(y - r), ClampInt(x + r), ClampInt(y + r));
        const long long w = canvas.TextWidth(c.name);
        canvas.TextOut(ClampInt(x - w / 2), ClampInt(y - NameRise), c.name);
        if (filled) canvas.SetBrushColor(White);
    }
    if (!marks) return;
    // A result's texts above and to the right of their vertices, over everything else.
    canvas.SetFontColor(marks->highlight);
    for (const auto& [v, text] : marks->vertexLabels) {
        if (v < 1 || v > count) continue;
        const Tvertex& c = g.vertices[v];
        const long long h = canvas.TextHeight(text);
        canvas.TextOut(ClampInt(static_cast<long long>(c.x) + c.radius),
                       ClampInt(static_cast<long long>(c.y) - c.radius - h), text);
    }
}

} // namespace

void DrawGraph(const Tgraph& g, TCanvas& canvas) {
    if (!g.created) return;
    PaintGraph(g, canvas, TInk::Draw);
}

void DrawGraph(const Tgraph& g, TCanvas& canvas, const TMarks& marks) {
    if (!g.created) return;
    PaintGraph(g, canvas, TInk::Draw, &marks);
}

void EraseGraph(const Tgraph& g, TCanvas& canvas) { PaintGraph(g, canvas, TInk::Erase); }
