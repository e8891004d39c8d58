#include "RasterCanvas.h"

#include "Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {

__extension__ using Int128 = __int128;
using u32 = std::uint32_t;

u32 ToPixel(TColor c) { return 0xFF000000u | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu); }
TColor FromPixel(u32 p) { return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16; }

bool FitsInt64(Int128 v) { return v >= LLONG_MIN / 2 && v <= LLONG_MAX / 2; }

// floor(n / d) for d > 0, in 64-bit arithmetic whenever the operands allow it.
long long FloorDiv(Int128 n, Int128 d) {
    if (FitsInt64(n) && FitsInt64(d)) {
        const long long a = static_cast<long long>(n), b = static_cast<long long>(d);
        long long q = a / b;
        if (a % b != 0 && a < 0) --q;
        return q;
    }
    Int128 q = n / d;
    if (n % d != 0 && n < 0) --q;
    return static_cast<long long>(q);
}
long long CeilDiv(Int128 n, Int128 d) { return -FloorDiv(-n, d); }

} // namespace

struct TRasterCanvas::TTarget {
    u32* bits;                // the pixel of the image's first row and column
    std::ptrdiff_t stride;    // in pixels
    long long row0;           // the picture row of the image's first row
    long long x1, y1, x2, y2; // the paintable box in picture coordinates, right and bottom exclusive
    u32* Row(long long y) const { return bits + (y - row0) * stride; }
};

// The shapes of a pass, each with the state it is painted in, and for each band the shapes that
// reach it, in the order of the calls. Texts are measured by the canvas that replays them.
class TRasterCanvas::TRecorder : public TCanvas {
public:
    enum class TOp : std::uint8_t { Rectangle, Ellipse, Line, Polygon, Bezier, Text };
    struct TShape {
        TOp op;
        int a, b, c, d; // coordinates; for Polygon and Bezier: first point and count; for Text: x, y, text
        TColor pen, brush, font;
        int penWidth;
        int fromX, fromY; // where a line starts
    };

    explicit TRecorder(TRasterCanvas& owner) : owner_(owner) {}
    void Start(long long top, long long bottom, long long rows) {
        shapes.clear();
        points.clear();
        textCount = 0;
        reach.clear();
        changes = false;
        top_ = top;
        bottom_ = bottom;
        rows_ = std::max(1LL, rows);
        pen_ = owner_.pen_;
        brush_ = owner_.brush_;
        font_ = owner_.fontColor_;
        penWidth_ = owner_.penWidth_;
        x_ = static_cast<int>(owner_.curX_);
        y_ = static_cast<int>(owner_.curY_);
    }
    // Sorts the shapes into bands: first[k] .. first[k + 1] of order are those of band k.
    void Sort() {
        const long long span = bottom_ - top_;
        const std::size_t bands = span > 0 ? static_cast<std::size_t>((span + rows_ - 1) / rows_) : 0;
        first.assign(bands + 1, 0);
        for (const TReach& r : reach)
            for (std::uint32_t k = r.first; k <= r.last; ++k) ++first[k + 1];
        for (std::size_t k = 0; k < bands; ++k) first[k + 1] += first[k];
        order.resize(first[bands]);
        std::vector<std::uint32_t> next(first.begin(), first.end() - 1);
        for (const TReach& r : reach)
            for (std::uint32_t k = r.first; k <= r.last; ++k) order[next[k]++] = r.shape;
    }
    void End() {
        owner_.SetPenColor(pen_);
        owner_.SetBrushColor(brush_);
        owner_.fontColor_ = font_;
        owner_.penWidth_ = penWidth_;
        owner_.curX_ = x_;
        owner_.curY_ = y_;
    }

    std::vector<TShape> shapes;
    std::vector<TPoint> points;
    std::vector<std::string> texts; // the first textCount are this pass's
    std::size_t textCount = 0;
    std::vector<std::uint32_t> first, order;
    bool changes = false; // a shape that changes pixels was drawn

    void SetPenColor(TColor c) override { pen_ = c; }
    TColor PenColor() const override { return pen_; }
    void SetPenWidth(int w) override { penWidth_ = w < 1 ? 1 : w; }
    void SetBrushColor(TColor c) override { brush_ = c; }
    void SetFontColor(TColor c) override { font_ = c; }
    TColor Pixel(int x, int y) const override { return owner_.Pixel(x, y); }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        if (x1 == x2 || y1 == y2) return;
        Shape(TOp::Rectangle, x1, y1, x2, y2, std::min(y1, y2), std::max(y1, y2));
    }
    void Ellipse(int x1, int y1, int x2, int y2) override {
        if (x1 == x2 || y1 == y2) return;
        Shape(TOp::Ellipse, x1, y1, x2, y2, std::min(y1, y2), std::max(y1, y2));
    }
    void MoveTo(int x, int y) override { x_ = x, y_ = y; }
    void LineTo(int x, int y) override {
        Shape(TOp::Line, x, y, 0, 0, std::min(y, y_), std::max(y, y_));
        x_ = x, y_ = y;
    }
    void Polygon(const TPoint* p, int count) override {
        if (!p || count < 2) return;
        Shape(TOp::Polygon, static_cast<int>(points.size()), count, 0, 0, Low(p, count), High(p, count));
        points.insert(points.end(), p, p + count);
    }
    void PolyBezier(const TPoint (&p)[4]) override { // the curve lies inside its control points
        Shape(TOp::Bezier, static_cast<int>(points.size()), 4, 0, 0, Low(p, 4), High(p, 4));
        points.insert(points.end(), p, p + 4);
    }
    void TextOut(int x, int y, const std::string& text) override {
        if (text.empty()) return;
        if (textCount < texts.size())
            texts[textCount].assign(text);
        else
            texts.push_back(text);
        const long long m = owner_.texts_.Margin();
        Shape(TOp::Text, x, y, static_cast<int>(textCount++), 0, y - m, y + owner_.texts_.LineHeight() + m);
    }
    int TextWidth(const std::string& text) override { return owner_.TextWidth(text); }
    int TextHeight(const std::string& text) override { return owner_.TextHeight(text); }

private:
    struct TReach {
        std::uint32_t shape, first, last; // bands first..last
    };
    static long long Low(const TPoint* p, int n) {
        long long v = p[0].y;
        for (int k = 1; k < n; ++k) v = std::min<long long>(v, p[k].y);
        return v;
    }
    static long long High(const TPoint* p, int n) {
        long long v = p[0].y;
        for (int k = 1; k < n; ++k) v = std::max<long long>(v, p[k].y);
        return v;
    }
    // A shape that paints no row outside low..high, widened by the pen: a wide pen paints a
    // square of its width around each point.
    void Shape(TOp op, int a, int b, int c, int d, long long low, long long high) {
        changes = true;
        const long long lo = std::max(low - penWidth_, top_), hi = std::min(high + penWidth_, bottom_ - 1);
        if (lo > hi) return;
        reach.push_back({static_cast<std::uint32_t>(shapes.size()), static_cast<std::uint32_t>((lo - top_) / rows_),
                         static_cast<std::uint32_t>((hi - top_) / rows_)});
        shapes.push_back({op, a, b, c, d, pen_, brush_, font_, penWidth_, x_, y_});
    }

    TRasterCanvas& owner_;
    std::vector<TReach> reach;
    long long top_ = 0, bottom_ = 0, rows_ = 1;
    TColor pen_ = 0, brush_ = 0, font_ = 0;
    int penWidth_ = 1;
    int x_ = 0, y_ = 0;
};

QImage RasterImage(int width, int height) {
    constexpr std::size_t Line = 64;
    if (width <= 0 || height <= 0) return QImage();
    std::size_t lines = (static_cast<std::size_t>(width) * 4 + Line - 1) / Line;
    lines += 1 - lines % 2;
    const std::size_t stride = lines * Line;
    constexpr std::size_t MaxBytes = std::size_t{1} << 36; // far beyond any screen or export
    if (static_cast<std::size_t>(height) > MaxBytes / stride) return QImage();
    void* data = std::aligned_alloc(Line, stride * static_cast<std::size_t>(height));
    if (!data) return QImage();
    QImage image(
        static_cast<uchar*>(data), width, height, static_cast<qsizetype>(stride), QImage::Format_RGB32,
        [](void* pixels) { std::free(pixels); }, data);
    if (image.isNull()) std::free(data);
    return image;
}

TRasterCanvas::TRasterCanvas(QImage& image) : image_(image) {}

TRasterCanvas::~TRasterCanvas() = default;

void TRasterCanvas::Record(const std::function<void(TCanvas&)>& paint, long long top, long long bottom,
                           long long rows) {
    if (!recorder_) recorder_ = std::make_unique<TRecorder>(*this);
    recorder_->Start(top, bottom, rows);
    paint(*recorder_);
    recorder_->Sort();
}

void TRasterCanvas::ReplayBand(std::size_t band) {
    const TRecorder& r = *recorder_;
    TTarget t;
    if (!Target(t)) return;
    for (std::uint32_t k = r.first[band]; k < r.first[band + 1]; ++k) {
        const TRecorder::TShape& s = r.shapes[r.order[k]];
        if (s.pen != pen_) SetPenColor(s.pen);
        if (s.brush != brush_) SetBrushColor(s.brush);
        fontColor_ = s.font;
        penWidth_ = s.penWidth;
        switch (s.op) {
        case TRecorder::TOp::Rectangle: Rectangle(s.a, s.b, s.c, s.d); break;
        case TRecorder::TOp::Ellipse: Ellipse(s.a, s.b, s.c, s.d); break;
        case TRecorder::TOp::Line: PaintLine(t, s.fromX, s.fromY, s.a, s.b, penPixel_); break;
        case TRecorder::TOp::Polygon: Polygon(r.points.data() + s.a, s.b); break;
        case TRecorder::TOp::Bezier: {
            const TPoint(&p)[4] = *reinterpret_cast<const TPoint(*)[4]>(r.points.data() + s.a);
            PolyBezier(p);
            break;
        }
        case TRecorder::TOp::Text: TextOut(s.a, s.b, r.texts[static_cast<std::size_t>(s.c)]); break;
        }
    }
}

void TRasterCanvas::EndPass() { recorder_->End(); }

namespace {

// Puts the canvas's clip box and fetched pixels back however a pass ends.
template <class TRestore>
struct TScopeExit {
    TRestore restore;
    ~TScopeExit() { restore(); }
};
template <class TRestore>
TScopeExit(TRestore) -> TScopeExit<TRestore>;

} // namespace

void TRasterCanvas::PaintBands(const std::function<void(TCanvas&)>& paint, int width, int height, int bandRows,
                               const std::function<void(const QImage& image, int top, int rows)>& band,
                               bool fromBottom) {
    if (width <= 0 || height <= 0) return;
    const int rows = std::clamp(bandRows, 1, height);
    image_ = RasterImage(width, rows);
    if (image_.isNull())
        throw std::runtime_error("not enough memory for a picture of " + std::to_string(width) + " x " +
                                 std::to_string(rows) + " pixels");
    image_.fill(0xFFFFFFFFu);
    const bool wasClipped = clipped_;
    TScopeExit restore{[&] {
        passBits_ = nullptr;
        originY_ = 0;
        clipped_ = wasClipped;
    }};
    clipped_ = false;
    Record(paint, 0, height, rows);
    lastPassBands_ = 0;
    bool white = true;
    const std::vector<std::uint32_t>& first = recorder_->first;
    const std::size_t bands = first.size() - 1;
    for (std::size_t step = 0; step < bands; ++step) {
        const std::size_t k = fromBottom ? bands - 1 - step : step;
        const int top = static_cast<int>(k) * rows, count = std::min(rows, height - top);
        originY_ = top;
        if (!white) image_.fill(0xFFFFFFFFu);
        white = true;
        if (first[k] != first[k + 1]) {
            TTarget t;
            passBits_ = nullptr;
            if (Target(t)) {
                StartReplay(t);
                SetClip(0, top, width, top + count);
                ReplayBand(k);
                clipped_ = false;
                white = false;
                ++lastPassBands_;
            }
        }
        band(image_, top, count);
    }
    EndPass();
}

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

void TRasterCanvas::FillSpan(const TTarget& t, long long y, long long xa, long long xb, u32 px) const {
    if (y < t.y1 || y >= t.y2) return;
    xa = std::max(xa, t.x1);
    xb = std::min(xb, t.x2);
    if (xa >= xb) return;
    std::fill_n(t.Row(y) + xa, xb - xa, px);
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
