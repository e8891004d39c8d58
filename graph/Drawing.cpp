// Painting a graph on a canvas, and painting the same geometry in white to erase it.
// Drawing and erasing share every coordinate, so an erase covers exactly the old picture.

#include "Graph_obj.h"

#include "Geometry.h"
#include "Marks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

using namespace geometry;
using colors::Black;
using colors::White;

namespace {

enum class TInk { Draw, Erase };

constexpr int MarkedPenWidth = 3;  // a highlighted edge's lines
constexpr int MarkLabelGap = 3;    // between an edge and a result's text beside it
constexpr int CurrentPenWidth = 6; // the current step's edge
constexpr int CurrentRing = 4;     // the width of the ring round the current step's vertex

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

// The shape in long double, as the coordinates are defined: integer products first, then the
// division by the guarded length.
TNodeShape ExactNodeShape(const Tgraph& g, int s, const Tedge& node) {
    const TEdgeFrame f = EdgeFrame(g, s, node);
    TNodeShape shape;
    shape.mx = Nearest((f.x1 + f.x2) / 2.0L + f.ox);
    shape.my = Nearest((f.y1 + f.y2) / 2.0L + f.oy);
    shape.sx = static_cast<signed char>(Sign(f.dx));
    shape.sy = static_cast<signed char>(Sign(f.dy));
    shape.apart = f.len >= static_cast<long double>(f.r1 + f.r2);
    if (!shape.apart) return shape;
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

// The same shape in double, which is several times quicker than long double on x86. Each
// coordinate is a sum of a few terms whose magnitudes add up to at most `size`; double and long
// double both lie within size * 2^-50 of the exact sum, so wherever the double sum is farther
// than size * 2^-40 from a half (where rounding turns), both round to the same integer. A value
// nearer a half, or one beyond +-2^30, returns false and the long double computation decides.
class TFastShape {
public:
    bool ok = true;
    int Round(double v, double size) {
        if (!(std::fabs(v) < 0x1p30)) return Fail();
        const double r = std::nearbyint(v);
        if (0.5 - std::fabs(v - r) <= size * 0x1p-40) return Fail();
        return static_cast<int>(r);
    }

private:
    int Fail() {
        ok = false;
        return 0;
    }
};

TNodeShape NodeShape(const Tgraph& g, int s, const Tedge& node) {
    const Tvertex& a = g.vertices[s];
    const Tvertex& b = g.vertices[node.target];
    const long long ix1 = a.x, iy1 = a.y, ir1 = a.radius, ix2 = b.x, iy2 = b.y, ir2 = b.radius;
    const long long idx = ix2 - ix1, idy = iy2 - iy1;
    const bool paired = g.directed && node.twin != nullptr;
    // Coordinates this large are rare: the exact computation alone.
    constexpr long long Far = 1LL << 24;
    if (std::max({std::llabs(ix1), std::llabs(iy1), std::llabs(ix2), std::llabs(iy2), std::llabs(ir1),
                  std::llabs(ir2)}) > Far)
        return ExactNodeShape(g, s, node);

    const double x1 = static_cast<double>(ix1), y1 = static_cast<double>(iy1), x2 = static_cast<double>(ix2),
                 y2 = static_cast<double>(iy2), dx = static_cast<double>(idx), dy = static_cast<double>(idy);
    const double L = std::sqrt(dx * dx + dy * dy) + static_cast<double>(LengthGuard);
    const double ox = paired ? PairOffset * dy / L : 0.0, oy = paired ? -PairOffset * dx / L : 0.0;
    const double reach = std::fabs(x1) + std::fabs(y1) + std::fabs(x2) + std::fabs(y2) + PairOffset + 1;

    TFastShape fast;
    TNodeShape shape;
    shape.mx = fast.Round(static_cast<double>(ix1 + ix2) / 2.0 + ox, reach);
    shape.my = fast.Round(static_cast<double>(iy1 + iy2) / 2.0 + oy, reach);
    shape.sx = static_cast<signed char>(Sign(idx));
    shape.sy = static_cast<signed char>(Sign(idy));
    const double apartBy = L - static_cast<double>(ir1 + ir2);
    if (std::fabs(apartBy) <= reach * 0x1p-40) return ExactNodeShape(g, s, node);
    shape.apart = apartBy > 0;
    if (shape.apart) {
        // Each quotient (k d) / L is at most |k| in size, since |d| < L.
        auto at = [&](double x, double y, long long k, long long w) {
            const double kd = static_cast<double>(k), wd = static_cast<double>(w);
            const double size = reach + std::fabs(kd) + std::fabs(wd);
            return TPoint{fast.Round(x + (kd * dx) / L + (wd * dy) / L + ox, size),
                          fast.Round(y + (kd * dy) / L - (wd * dx) / L + oy, size)};
        };
        shape.end = at(x2, y2, -(ir2 - 1), 0);
        shape.start = at(x1, y1, ir1 - 1, 0);
        if (g.directed) {
            const long long barbs = ir2 + ArrowBarbs, notch = ir2 + ArrowNotch;
            shape.head[0] = at(x2, y2, -barbs, ArrowHalfWidth);
            shape.head[1] = at(x2, y2, -notch, 0);
            shape.head[2] = at(x2, y2, -barbs, -ArrowHalfWidth);
        }
    }
    return fast.ok ? shape : ExactNodeShape(g, s, node);
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
    const bool current = marks && marks->currentEdges.count(MarkKey(g.directed, s, node.target)) > 0;
    const bool marked = current || (marks && marks->edges.count(MarkKey(g.directed, s, node.target)) > 0);
    canvas.SetPenWidth(current ? CurrentPenWidth : marked ? MarkedPenWidth : 1);
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
        if (marks && marks->currentVertices.count(v)) {
            const long long ring = r + CurrentRing;
            canvas.SetPenColor(marks->highlight);
            canvas.SetBrushColor(marks->highlight);
            canvas.Ellipse(ClampInt(x - ring), ClampInt(y - ring), ClampInt(x + ring), ClampInt(y + ring));
            canvas.SetPenColor(Black);
            canvas.SetBrushColor(White);
        }
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
