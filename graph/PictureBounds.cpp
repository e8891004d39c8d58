#include "PictureBounds.h"

#include "Geometry.h"

#include <algorithm>
#include <cstdint>

void TBoundsCanvas::Cover(long long x1, long long y1, long long x2, long long y2) {
    if (!covered_) {
        left_ = x1, top_ = y1, allRight_ = x2, allBottom_ = y2;
        covered_ = true;
        return;
    }
    left_ = std::min(left_, x1);
    top_ = std::min(top_, y1);
    allRight_ = std::max(allRight_, x2);
    allBottom_ = std::max(allBottom_, y2);
}

void TBoundsCanvas::Box(long long x1, long long y1, long long x2, long long y2) {
    if (x1 == x2 || y1 == y2) return; // an empty box paints nothing
    right_ = std::max(right_, std::max(x1, x2));
    bottom_ = std::max(bottom_, std::max(y1, y2));
    Cover(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2));
}

// A pen of width w paints a w x w square around each point of a line.
void TBoundsCanvas::PenPoint(long long x, long long y) {
    const long long before = geometry::PenBefore(penWidth_);
    right_ = std::max(right_, x - before + penWidth_);
    bottom_ = std::max(bottom_, y - before + penWidth_);
    Cover(x - before, y - before, x - before + penWidth_, y - before + penWidth_);
}

// The end pixel of a line is left out when painting, but a line's ends lie inside the shapes
// DrawGraph joins, so counting it costs no picture a pixel.
void TBoundsCanvas::LineTo(int x, int y) {
    if (x != x_ || y != y_) {
        PenPoint(x_, y_);
        PenPoint(x, y);
    }
    x_ = x, y_ = y;
}

void TBoundsCanvas::Polygon(const TPoint* points, int count) {
    if (count < 2) return;
    for (int i = 0; i < count; ++i) PenPoint(points[i].x, points[i].y);
}

// The curve's pixels lie on the pieces between its drawn points.
void TBoundsCanvas::PolyBezier(const TPoint (&p)[4]) {
    for (int k = 0; k <= geometry::BezierPieces; ++k) {
        const TPoint q = geometry::BezierPoint(p, k);
        PenPoint(q.x, q.y);
    }
    x_ = p[3].x, y_ = p[3].y;
}

void TBoundsCanvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    const long long w = TextWidth(text), h = TextHeight(text);
    if (w <= 0 || h <= 0) return;
    Box(x, y, x + w, y + h);
}

TPictureSize ExportPictureSize(const Tgraph& g, TCanvas& measure) {
    TBoundsCanvas bounds(measure);
    DrawGraph(g, bounds);
    const long long w = bounds.Right() + geometry::PictureMargin, h = bounds.Bottom() + geometry::PictureMargin;
    return {static_cast<int>(std::min<long long>(w, geometry::MaxPictureSide)),
            static_cast<int>(std::min<long long>(h, geometry::MaxPictureSide))};
}

TCrop CropToDrawing(const Tgraph& g, TCanvas& measure) {
    TBoundsCanvas bounds(measure);
    DrawGraph(g, bounds);
    const long long m = geometry::PictureMargin;
    auto none = [&] { return TCrop{0, 0, ExportPictureSize(g, measure)}; };
    long long left, top, right, bottom;
    if (!bounds.Covered(left, top, right, bottom)) return none();
    long long dx = m - left, dy = m - top;
    dx += dx & 1; // even: a half rounds to the same neighbour after the shift
    dy += dy & 1;
    for (int v = 1; v <= geometry::HeldVertices(g); ++v)
        if (g.vertices[v].x + dx < INT32_MIN || g.vertices[v].x + dx > INT32_MAX || g.vertices[v].y + dy < INT32_MIN ||
            g.vertices[v].y + dy > INT32_MAX)
            return none();
    return {static_cast<int>(dx),
            static_cast<int>(dy),
            {static_cast<int>(std::min<long long>(right + dx + m, geometry::MaxPictureSide)),
             static_cast<int>(std::min<long long>(bottom + dy + m, geometry::MaxPictureSide))}};
}

namespace {

// One axis of ShiftIntoView: the drawing covers [low, high) of [0, size).
long long AxisShift(long long low, long long high, long long size) {
    const long long m = geometry::PictureMargin;
    long long shift = 0;
    if (high > size) shift = size - m - high;
    if (low + shift < 0 || (low < 0 && shift == 0)) shift = m - low;
    return shift + (shift & 1 ? (shift > 0 ? 1 : -1) : 0);
}

} // namespace

std::pair<int, int> ShiftIntoView(const Tgraph& g, TCanvas& measure, int width, int height) {
    TBoundsCanvas bounds(measure);
    DrawGraph(g, bounds);
    long long left, top, right, bottom;
    if (!bounds.Covered(left, top, right, bottom)) return {0, 0};
    const long long dx = AxisShift(left, right, width), dy = AxisShift(top, bottom, height);
    for (int v = 1; v <= geometry::HeldVertices(g); ++v)
        if (g.vertices[v].x + dx < INT32_MIN || g.vertices[v].x + dx > INT32_MAX || g.vertices[v].y + dy < INT32_MIN ||
            g.vertices[v].y + dy > INT32_MAX)
            return {0, 0};
    return {static_cast<int>(dx), static_cast<int>(dy)};
}
