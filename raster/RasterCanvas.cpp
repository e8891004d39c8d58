#include "RasterInternal.h"

#include "Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

using namespace raster;

void TRasterCanvas::SetClip(int x1, int y1, int x2, int y2) {
    clipped_ = true;
    clipX1_ = x1;
    clipY1_ = y1;
    clipX2_ = x2;
    clipY2_ = y2;
}

void TRasterCanvas::ResetClip() { clipped_ = false; }

void TRasterCanvas::SetPenColor(TColor c) {
    pen_ = c;
    penPixel_ = ToPixel(c);
}

void TRasterCanvas::SetBrushColor(TColor c) {
    brush_ = c;
    brushPixel_ = ToPixel(c);
}

bool TRasterCanvas::Target(TTarget& t) const {
    if (passBits_) {
        t.bits = passBits_;
        t.stride = passStride_;
        t.x2 = passWidth_;
        t.y2 = static_cast<long long>(originY_) + passHeight_;
    } else {
        if (image_.isNull() || image_.depth() != 32) return false;
        t.bits = nullptr; // fetched last: it may copy a shared image, with another stride
        t.stride = 0;
        t.x2 = image_.width();
        t.y2 = static_cast<long long>(originY_) + image_.height();
    }
    t.x1 = 0;
    t.y1 = originY_;
    t.row0 = originY_;
    if (clipped_) {
        t.x1 = std::max<long long>(t.x1, clipX1_);
        t.y1 = std::max<long long>(t.y1, clipY1_);
        t.x2 = std::min<long long>(t.x2, clipX2_);
        t.y2 = std::min<long long>(t.y2, clipY2_);
    }
    if (t.x1 >= t.x2 || t.y1 >= t.y2) return false;
    if (!t.bits) {
        t.bits = reinterpret_cast<u32*>(image_.bits());
        t.stride = image_.bytesPerLine() / 4;
    }
    return true;
}

void TRasterCanvas::StartReplay(const TTarget& image) {
    passBits_ = image.bits;
    passStride_ = image.stride;
    passWidth_ = image_.width();
    passHeight_ = image_.height();
}

TRasterCanvas::TFrame::TFrame(TRasterCanvas& canvas) : canvas_(canvas) {
    if (canvas.passBits_) return; // inside a frame or a pass already
    const bool clipped = canvas.clipped_;
    canvas.clipped_ = false;
    TTarget t;
    open_ = canvas.Target(t);
    canvas.clipped_ = clipped;
    if (open_) canvas.StartReplay(t);
}

TRasterCanvas::TFrame::~TFrame() {
    if (open_) canvas_.passBits_ = nullptr;
}

TColor TRasterCanvas::Pixel(int x, int y) const {
    const long long row = static_cast<long long>(y) - originY_;
    if (image_.isNull() || image_.depth() != 32 || x < 0 || row < 0 || x >= image_.width() || row >= image_.height())
        return 0xFFFFFFFFu;
    return FromPixel(reinterpret_cast<const u32*>(image_.constScanLine(static_cast<int>(row)))[x]);
}

// A wide pen paints a square of its width around each pixel of the path.
void TRasterCanvas::PenSquare(const TTarget& t, long long x, long long y) const {
    const long long x0 = x - geometry::PenBefore(penWidth_), y0 = y - geometry::PenBefore(penWidth_);
    for (long long row = y0; row < y0 + penWidth_; ++row) FillSpan(t, row, x0, x0 + penWidth_, penPixel_);
}

// Bresenham from (x0, y0) towards (x1, y1), the end pixel excluded. Step i along the major axis
// puts the minor coordinate at floor((2 i d_minor + d_major) / (2 d_major)) from the start, so
// the part inside the box is found by division and only that part is stepped through.
void TRasterCanvas::PaintLine(const TTarget& t, long long x0, long long y0, long long x1, long long y1, u32 px) const {
    const long long adx = std::llabs(x1 - x0), ady = std::llabs(y1 - y0);
    if (adx == 0 && ady == 0) return;
    const long long grow = penWidth_ > 1 ? penWidth_ : 0;
    const long long bx1 = t.x1 - grow, by1 = t.y1 - grow, bx2 = t.x2 + grow, by2 = t.y2 + grow;
    if (std::max(x0, x1) < bx1 || std::min(x0, x1) >= bx2 || std::max(y0, y1) < by1 || std::min(y0, y1) >= by2) return;

    const bool xMajor = adx >= ady;
    const long long a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
    const long long da = xMajor ? adx : ady, db = xMajor ? ady : adx;
    const int sa = (xMajor ? x1 - x0 : y1 - y0) < 0 ? -1 : 1;
    const int sb = (xMajor ? y1 - y0 : x1 - x0) < 0 ? -1 : 1;
    const long long aLo = xMajor ? bx1 : by1, aHi = (xMajor ? bx2 : by2) - 1;
    const long long bLo = xMajor ? by1 : bx1, bHi = (xMajor ? by2 : bx2) - 1;

    long long iLo = 0, iHi = da - 1;
    if (sa > 0) {
        iLo = std::max(iLo, aLo - a0);
        iHi = std::min(iHi, aHi - a0);
    } else {
        iLo = std::max(iLo, a0 - aHi);
        iHi = std::min(iHi, a0 - aLo);
    }
    if (iLo > iHi) return;
    // The minor offset q must stay within [qLo, qHi] to remain inside the box.
    const long long qLo = sb > 0 ? bLo - b0 : b0 - bHi;
    const long long qHi = sb > 0 ? bHi - b0 : b0 - bLo;
    if (db == 0) {
        if (qLo > 0 || qHi < 0) return;
    } else {
        // q_i >= k exactly when i >= ceil((2k - 1) da / (2 db)); q_i <= k when i < (2k + 1) da / (2 db).
        if (qLo > 0) iLo = std::max(iLo, CeilDiv(Int128(2 * qLo - 1) * da, Int128(2) * db));
        if (qHi < db) iHi = std::min(iHi, CeilDiv(Int128(2 * qHi + 1) * da, Int128(2) * db) - 1);
        if (iLo > iHi) return;
    }

    const long long limit = 2 * da, inc = 2 * db;
    long long q = 0, r = da;
    if (iLo > 0) {
        const Int128 n = Int128(iLo) * inc + da;
        q = FloorDiv(n, limit);
        r = static_cast<long long>(n - Int128(q) * limit);
    }
    long long a = a0 + sa * iLo, b = b0 + sb * q;
    long long count = iHi - iLo + 1;

    if (penWidth_ > 1) {
        for (; count > 0; --count) {
            if (xMajor)
                PenSquare(t, a, b);
            else
                PenSquare(t, b, a);
            a += sa;
            r += inc;
            if (r >= limit) {
                r -= limit;
                b += sb;
            }
        }
        return;
    }

    const std::ptrdiff_t stepA = xMajor ? sa : sa * t.stride;
    const std::ptrdiff_t stepB = xMajor ? sb * t.stride : sb;
    u32* p = xMajor ? t.Row(b) + a : t.Row(a) + b;
    // Long runs step in fixed point, free of the carried compare; short ones (arrowheads) are not
    // worth its two divisions.
    if (count >= 32 && (count + 1) * static_cast<unsigned long long>(limit) <= (1ULL << 32)) {
        // The minor steps taken, floor((r + n inc) / limit), as 32.32 fixed point rounded up:
        // the rounding stays below 1 / limit over these few steps, so the floor is the same.
        std::uint64_t frac = ((static_cast<std::uint64_t>(r) << 32) + limit - 1) / limit;
        const std::uint64_t slope = ((static_cast<std::uint64_t>(inc) << 32) + limit - 1) / limit;
        for (; count > 0; --count) {
            p[static_cast<std::ptrdiff_t>(frac >> 32) * stepB] = px;
            p += stepA;
            frac += slope;
        }
        return;
    }
    for (; count > 0; --count) {
        *p = px;
        p += stepA;
        r += inc;
        const long long over = -static_cast<long long>(r >= limit); // all ones when the minor step is due
        p += stepB & over;
        r -= limit & over;
    }
}

void TRasterCanvas::MoveTo(int x, int y) {
    curX_ = x;
    curY_ = y;
}

void TRasterCanvas::LineTo(int x, int y) {
    TTarget t;
    if (Target(t)) {
        Changed();
        PaintLine(t, curX_, curY_, x, y, penPixel_);
    }
    curX_ = x;
    curY_ = y;
}

void TRasterCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    long long l = std::min(x1, x2), r = std::max(x1, x2), top = std::min(y1, y2), bottom = std::max(y1, y2);
    if (l == r || top == bottom) return;
    TTarget t;
    if (!Target(t)) return;
    Changed();
    const long long grow = penWidth_;
    if (r <= t.x1 - grow || l >= t.x2 + grow || bottom <= t.y1 - grow || top >= t.y2 + grow) return;

    // Only the rows inside the box are visited, however tall the rectangle is.
    const long long firstRow = std::max(top + 1, t.y1), lastRow = std::min(bottom - 2, t.y2 - 1);
    for (long long y = firstRow; y <= lastRow; ++y) FillSpan(t, y, l + 1, r - 1, brushPixel_);

    if (penWidth_ > 1) {
        PaintLine(t, l, top, r - 1, top, penPixel_);
        PaintLine(t, r - 1, top, r - 1, bottom - 1, penPixel_);
        PaintLine(t, r - 1, bottom - 1, l, bottom - 1, penPixel_);
        PaintLine(t, l, bottom - 1, l, top, penPixel_);
        return;
    }
    FillSpan(t, top, l, r, penPixel_);
    FillSpan(t, bottom - 1, l, r, penPixel_);
    for (long long y = std::max(top + 1, t.y1); y <= std::min(bottom - 2, t.y2 - 1); ++y) {
        FillSpan(t, y, l, l + 1, penPixel_);
        FillSpan(t, y, r - 1, r, penPixel_);
    }
}

void TRasterCanvas::PolyBezier(const TPoint (&points)[4]) {
    TTarget t;
    if (!Target(t)) return;
    Changed();
    long long minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (const TPoint& p : points) {
        minX = std::min<long long>(minX, p.x);
        maxX = std::max<long long>(maxX, p.x);
        minY = std::min<long long>(minY, p.y);
        maxY = std::max<long long>(maxY, p.y);
    }
    const long long grow = penWidth_;
    if (maxX < t.x1 - grow || minX >= t.x2 + grow || maxY < t.y1 - grow || minY >= t.y2 + grow) return;

    long long prevX = points[0].x, prevY = points[0].y;
    for (int k = 1; k <= geometry::BezierPieces; ++k) {
        const TPoint p = geometry::BezierPoint(points, k);
        PaintLine(t, prevX, prevY, p.x, p.y, penPixel_);
        prevX = p.x;
        prevY = p.y;
    }
}

int TRasterCanvas::TextWidth(const std::string& text) { return texts_.Width(text); }

int TRasterCanvas::TextHeight(const std::string&) { return texts_.LineHeight(); }

void TRasterCanvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    TTarget t;
    if (!Target(t)) return;
    Changed();
    texts_.Paint({t.bits, t.stride, t.row0, t.x1, t.y1, t.x2, t.y2}, x, y, text, ToPixel(fontColor_), brushPixel_);
}
