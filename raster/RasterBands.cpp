// The raster canvas's bands: a pass recorded once and replayed band by band into a picture
// of any height, and the picture whose rows lie an odd number of cache lines apart.

#include "RasterInternal.h"

#include "Geometry.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <vector>

using namespace raster;

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

// The canvas owns its recorder, whose type is known here.
TRasterCanvas::TRasterCanvas(QImage& image) : image_(image) {}

TRasterCanvas::~TRasterCanvas() = default;

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
