#include "PictureBounds.h"

#include "Geometry.h"

#include <algorithm>

using geometry::Nearest;

void TBoundsCanvas::Box(long long x1, long long y1, long long x2, long long y2) {
    if (x1 == x2 || y1 == y2) return; // an empty box paints nothing
    right_ = std::max(right_, std::max(x1, x2));
    bottom_ = std::max(bottom_, std::max(y1, y2));
}

// A pen of width w paints a w x w square around each point of a line.
void TBoundsCanvas::PenPoint(long long x, long long y) {
    const long long before = (penWidth_ - 1) / 2;
    right_ = std::max(right_, x - before + penWidth_);
    bottom_ = std::max(bottom_, y - before + penWidth_);
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

// The raster canvas draws the curve as 32 straight pieces through B(k/32), rounded half to even.
void TBoundsCanvas::PolyBezier(const TPoint (&p)[4]) {
    constexpr long long Pieces = 32;
    for (long long k = 0; k <= Pieces; ++k) {
        const long long m = Pieces - k;
        const long long c0 = m * m * m, c1 = 3 * m * m * k, c2 = 3 * m * k * k, c3 = k * k * k;
        const long double scale = Pieces * Pieces * Pieces;
        PenPoint(Nearest((c0 * p[0].x + c1 * p[1].x + c2 * p[2].x + c3 * p[3].x) / scale),
                 Nearest((c0 * p[0].y + c1 * p[1].y + c2 * p[2].y + c3 * p[3].y) / scale));
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
