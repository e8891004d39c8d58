// The raster canvas's ellipses and polygons: an ellipse's rows kept by the size of its box,
// and small one-colour polygons painted from the spans of their shape, kept by its hash.

#include "RasterInternal.h"

#include "Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

using namespace raster;

namespace {

// The pixels of row j of a w x h ellipse box whose centres lie inside the inscribed ellipse:
// columns [left, right] of the box, or left > right for none. Pixel (i, j) is inside when
// (2i + 1 - w)^2 h^2 + (2j + 1 - h)^2 w^2 <= w^2 h^2, decided in exact integers (in long double
// only for boxes over 2^31 pixels wide or tall).
struct TSpan {
    long long left, right;
};

TSpan EllipseRow(long long w, long long h, long long j) {
    if (j < 0 || j >= h) return {1, 0};
    const long long s = 2 * j + 1 - h;
    const bool exact = w < (1LL << 31) && h < (1LL << 31);
    const long double ws = static_cast<long double>(w), hs = static_cast<long double>(h);
    const long double a = hs * hs - static_cast<long double>(s) * s;
    long long tMax = static_cast<long long>(ws * std::sqrt(a) / hs);
    if (tMax > w - 1) tMax = w - 1;
    if ((tMax - (w - 1)) % 2 != 0) --tMax; // t = 2i + 1 - w has the parity of w - 1
    if (exact) {
        const Int128 rhs = Int128(w) * w * (Int128(h) * h - Int128(s) * s);
        auto inside = [&](long long t) { return Int128(t) * t * h * h <= rhs; };
        while (tMax >= 0 && !inside(tMax)) tMax -= 2;
        while (tMax + 2 <= w - 1 && inside(tMax + 2)) tMax += 2;
    }
    if (tMax < 0) return {1, 0};
    return {(w - 1 - tMax) / 2, (w - 1 + tMax) / 2};
}

} // namespace

void TRasterCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    const long long l = std::min(x1, x2), r = std::max(x1, x2), top = std::min(y1, y2), bottom = std::max(y1, y2);
    const long long w = r - l, h = bottom - top;
    if (w == 0 || h == 0) return;
    TTarget t;
    if (!Target(t)) return;
    Changed();
    const long long grow = penWidth_;
    if (r <= t.x1 - grow || l >= t.x2 + grow || bottom <= t.y1 - grow || top >= t.y2 + grow) return;

    // The rows of a box met before come from its spans (every vertex of a graph is the same size).
    const std::vector<TEllipseRow>* known = nullptr;
    if (w <= MaxCachedEllipse && h <= MaxCachedEllipse) {
        const std::uint64_t key = static_cast<std::uint64_t>(w) << 32 | static_cast<std::uint64_t>(h);
        auto found = ellipses_.find(key);
        if (found == ellipses_.end()) {
            if (ellipses_.size() >= MaxCachedEllipses) ellipses_.clear();
            std::vector<TEllipseRow> rows(static_cast<std::size_t>(h));
            for (long long j = 0; j < h; ++j) {
                const TSpan span = EllipseRow(w, h, j);
                rows[static_cast<std::size_t>(j)] = {span.left, span.right};
            }
            found = ellipses_.emplace(key, std::move(rows)).first;
        }
        known = &found->second;
    }
    auto rowAt = [&](long long j) {
        if (!known || j < 0 || j >= h) return EllipseRow(w, h, j);
        const TEllipseRow& k = (*known)[static_cast<std::size_t>(j)];
        return TSpan{k.left, k.right};
    };

    // The pen paints the border ring: the inside pixels with a 4-neighbour outside.
    const long long jFirst = std::max(0LL, t.y1 - grow - top), jLast = std::min(h - 1, t.y2 - 1 + grow - top);
    TSpan above = rowAt(jFirst - 1), row = rowAt(jFirst);
    for (long long j = jFirst; j <= jLast; ++j) {
        const TSpan below = rowAt(j + 1);
        if (row.left <= row.right) {
            const long long y = top + j;
            const long long inL = std::max({row.left + 1, above.left, below.left});
            const long long inR = std::min({row.right - 1, above.right, below.right});
            if (inL <= inR) FillSpan(t, y, l + inL, l + inR + 1, brushPixel_);
            auto ring = [&](long long from, long long to) { // columns from..to of the box
                if (from > to) return;
                if (penWidth_ == 1) {
                    FillSpan(t, y, l + from, l + to + 1, penPixel_);
                    return;
                }
                from = std::max(from, t.x1 - grow - l); // only the columns a square can reach
                to = std::min(to, t.x2 - 1 + grow - l);
                for (long long i = from; i <= to; ++i) PenSquare(t, l + i, y);
            };
            if (inL <= inR) {
                ring(row.left, inL - 1);
                ring(inR + 1, row.right);
            } else {
                ring(row.left, row.right);
            }
        }
        above = row;
        row = below;
    }
}

// Even-odd fill sampled at pixel centres: in row j an edge from (xa, ya) to (xb, yb), ya <= j < yb,
// crosses at X = xa + (j + 0.5 - ya)(xb - xa)/(yb - ya), and the pixels from ceil(X - 0.5) on lie
// to its right. Each edge keeps that ceiling and its remainder and steps them row by row.
void TRasterCanvas::Polygon(const TPoint* points, int count) {
    if (!points || count < 2) return;
    TTarget t;
    if (!Target(t)) return;
    Changed();
    if (penWidth_ == 1 && pen_ == brush_ && count <= MaxCachedPolygonPoints) {
        const std::uint64_t key = PolygonKey(points, count);
        if (key != 0) {
            if (polygonSlots_.empty()) polygonSlots_.resize(PolygonSlots);
            TPolygonSlot& slot = polygonSlots_[(key * 0x9E3779B97F4A7C15u) >> (64 - PolygonSlotBits)];
            if (slot.key != key) {
                if (polygonSpans_.size() >= MaxPolygonSpans) { // forget every shape
                    polygonSpans_.clear();
                    for (TPolygonSlot& s : polygonSlots_) s.key = 0;
                }
                slot.first = static_cast<std::uint32_t>(polygonSpans_.size());
                AddPolygonSpans(points, count, slot);
                slot.count = static_cast<std::uint32_t>(polygonSpans_.size()) - slot.first;
                slot.key = key;
            }
            const long long x = points[0].x, y = points[0].y;
            if (y + slot.top < t.y2 && y + slot.bottom > t.y1)
                for (std::uint32_t k = slot.first; k < slot.first + slot.count; ++k) {
                    const TPolygonSpan& span = polygonSpans_[k];
                    FillSpan(t, y + span.dy, x + span.x0, x + span.x1, penPixel_);
                }
            return;
        }
    }
    PaintPolygon(t, points, count, brushPixel_, penPixel_);
}

// A polygon's pixels move with it by whole pixels: they are found once for its shape, relative to
// its first point, on a small image of its own, and added to the spans of known shapes.
void TRasterCanvas::AddPolygonSpans(const TPoint* points, int count, TPolygonSlot& slot) {
    TPoint shifted[MaxCachedPolygonPoints];
    int minX = points[0].x, minY = points[0].y, maxX = minX, maxY = minY;
    for (int k = 1; k < count; ++k) {
        minX = std::min(minX, points[k].x);
        minY = std::min(minY, points[k].y);
        maxX = std::max(maxX, points[k].x);
        maxY = std::max(maxY, points[k].y);
    }
    for (int k = 0; k < count; ++k) shifted[k] = {points[k].x - minX, points[k].y - minY};
    const int w = maxX - minX + 1, h = maxY - minY + 1;
    std::vector<u32> scratch(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    TTarget t{scratch.data(), w, 0, 0, 0, w, h};
    PaintPolygon(t, shifted, count, 1, 1);
    const int dx = minX - points[0].x, dy = minY - points[0].y;
    for (int row = 0; row < h; ++row) {
        const u32* line = scratch.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(w);
        for (int col = 0; col < w;) {
            if (!line[col]) {
                ++col;
                continue;
            }
            const int start = col;
            while (col < w && line[col]) ++col;
            polygonSpans_.push_back({dy + row, dx + start, dx + col});
        }
    }
    slot.top = dy;
    slot.bottom = dy + h;
}

// The shape of a polygon of at most MaxCachedPolygonPoints points whose points lie within 63
// pixels of its first one: the count and each point's offset from the first, 7 bits a coordinate;
// 0 for any other polygon.
std::uint64_t TRasterCanvas::PolygonKey(const TPoint* points, int count) {
    std::uint64_t key = static_cast<std::uint64_t>(count);
    for (int k = 1; k < count; ++k) {
        const long long dx = static_cast<long long>(points[k].x) - points[0].x,
                        dy = static_cast<long long>(points[k].y) - points[0].y;
        if (dx < -63 || dx > 63 || dy < -63 || dy > 63) return 0;
        key = key << 14 | static_cast<std::uint64_t>(dx + 64) << 7 | static_cast<std::uint64_t>(dy + 64);
    }
    return key;
}

void TRasterCanvas::PaintPolygon(const TTarget& t, const TPoint* points, int count, u32 fill, u32 line) const {
    long long minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (int k = 1; k < count; ++k) {
        minX = std::min<long long>(minX, points[k].x);
        maxX = std::max<long long>(maxX, points[k].x);
        minY = std::min<long long>(minY, points[k].y);
        maxY = std::max<long long>(maxY, points[k].y);
    }
    const long long grow = penWidth_;
    if (maxX < t.x1 - grow || minX >= t.x2 + grow || maxY < t.y1 - grow || minY >= t.y2 + grow) return;

    struct TEdge {
        long long xa, ya, xb, yb; // ya < yb
        long long q, e, stepQ, stepR, d;
        bool started;
    };
    TEdge small[8];
    std::vector<TEdge> large;
    TEdge* edges = small;
    if (count > 8) {
        large.resize(count);
        edges = large.data();
    }
    int edgeCount = 0;
    for (int k = 0; k < count; ++k) {
        const TPoint& p = points[k];
        const TPoint& n = points[(k + 1) % count];
        if (p.y == n.y) continue;
        TEdge& e = edges[edgeCount++];
        const bool down = p.y < n.y;
        e.xa = down ? p.x : n.x;
        e.ya = down ? p.y : n.y;
        e.xb = down ? n.x : p.x;
        e.yb = down ? n.y : p.y;
        e.d = 2 * (e.yb - e.ya);
        const long long step = 2 * (e.xb - e.xa);
        if (step >= 0 && step < e.d)
            e.stepQ = 0; // steep edges, the most common, need no division
        else if (step < 0 && step >= -e.d)
            e.stepQ = -1;
        else
            e.stepQ = FloorDiv(step, e.d);
        e.stepR = step - e.stepQ * e.d;
        e.started = false;
    }

    const long long firstRow = std::max(minY, t.y1), lastRow = std::min(maxY - 1, t.y2 - 1);
    long long crossSmall[8];
    std::vector<long long> crossLarge;
    long long* cross = crossSmall;
    if (edgeCount > 8) {
        crossLarge.resize(edgeCount);
        cross = crossLarge.data();
    }
    for (long long j = firstRow; j <= lastRow; ++j) {
        int n = 0;
        for (int k = 0; k < edgeCount; ++k) {
            TEdge& e = edges[k];
            if (j < e.ya || j >= e.yb) continue;
            if (!e.started) {
                const Int128 num = Int128(2 * e.xa - 1) * (e.yb - e.ya) + Int128(2 * j + 1 - 2 * e.ya) * (e.xb - e.xa);
                e.q = CeilDiv(num, e.d);
                e.e = static_cast<long long>(Int128(e.q) * e.d - num);
                e.started = true;
            } else {
                e.q += e.stepQ;
                e.e -= e.stepR;
                if (e.e < 0) {
                    e.e += e.d;
                    ++e.q;
                }
            }
            // Insertion keeps the row's crossings sorted; there are few of them.
            int at = n++;
            while (at > 0 && cross[at - 1] > e.q) {
                cross[at] = cross[at - 1];
                --at;
            }
            cross[at] = e.q;
        }
        for (int k = 0; k + 1 < n; k += 2) FillSpan(t, j, cross[k], cross[k + 1], fill);
    }

    for (int k = 0; k < count; ++k) {
        const TPoint& p = points[k];
        const TPoint& n = points[(k + 1) % count];
        PaintLine(t, p.x, p.y, n.x, n.y, line);
    }
}
