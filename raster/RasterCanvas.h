#pragma once
// A canvas that writes pixels straight into a 32-bit QImage, with the aliased semantics the
// drawing relies on: every shape covers the same pixels whatever its colours, so painting a
// picture again in white erases it exactly. Coordinates are surface pixels; any 32-bit value is
// accepted, and whatever lies outside the image (or the clip box) is dropped without being
// stepped through.
//
//   Lines      Bresenham, one pixel wide; the last pixel is not painted.
//   Rectangle  pixels x1..x2-1, y1..y2-1: the border in the pen, the inside in the brush.
//   Ellipse    the same box; the pixels whose centres lie inside the inscribed ellipse, the
//              border ring of that set in the pen and the rest in the brush.
//   Polygon    closed; filled even-odd at pixel centres, then every edge drawn as a line.
//   PolyBezier 32 straight pieces through points of the cubic taken at t = k/32, rounded
//              half to even in integers.
//   TextOut    an opaque cell (text width x text height) in the brush colour, letters in the
//              font colour, painted from pieces Qt renders once (see TextRaster.h): only the
//              letters over the picture cost anything beyond the text's width.
//
// PaintBands runs a sequence of calls once, recording them, and paints a picture too large to hold
// one band at a time in a small image: each shape in the bands it reaches, in the order of the
// calls. Since every shape covers the same pixels with or without a clip box, the picture is the
// one the calls paint directly.

#include "Canvas.h"
#include "TextRaster.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// A 32-bit picture of width x height for a raster canvas, its pixels not yet set (fill it), or a
// null image when it cannot be had. Its rows start an odd number of 64-byte cache lines apart:
// rows a multiple of a power of two apart (1280 pixels are 80 lines) share a few of the L1
// cache's sets, so a steep line evicts its own pixels as it goes; with an odd stride it spreads
// over all of them (the complete graph's redraw on a 1280-pixel surface: 21 -> 16 ms).
QImage RasterImage(int width, int height);

class TRasterCanvas : public TCanvas {
public:
    // Paints on image, which must outlive the canvas and stay in Format_RGB32 or Format_ARGB32.
    // The image may be resized or reassigned between calls.
    explicit TRasterCanvas(QImage& image);
    ~TRasterCanvas() override;

    // Runs at the first change of pixels after construction or after the last Shown(): the
    // surface schedules one repaint there, not one for every shape of a redraw.
    std::function<void()> OnChange;
    void Shown() { changeReported_ = false; }

    TColor BrushColor() const { return brush_; }

    // The bytes of pixels a band of PaintBands holds at most (the rows of a narrow picture: at
    // least MinBandRows).
    static constexpr std::size_t BandBytes = 512u << 10;
    static constexpr int MinBandRows = 8;
    // The bands the last PaintBands painted in; 0 when it painted nothing.
    int LastPassBands() const { return lastPassBands_; }

    // While a frame is open, the image's pixels and size are the ones it had when the frame
    // opened, instead of being asked of Qt for every shape (bits() also checks the image's
    // sharing): the image must not be resized, reassigned or shared until the frame closes.
    class TFrame {
    public:
        explicit TFrame(TRasterCanvas& canvas);
        ~TFrame();
        TFrame(const TFrame&) = delete;
        TFrame& operator=(const TFrame&) = delete;

    private:
        TRasterCanvas& canvas_;
        bool open_ = false;
    };

    // Paints what paint draws on a white picture of width x height pixels, without holding it:
    // the image this canvas paints on becomes a band of at most bandRows rows, and band is called
    // with it for each band in turn from the top, with the picture row of its first row and the
    // rows it holds. A band that no shape reaches is white and costs no painting.
    // fromBottom: the bands in turn from the bottom instead (a BMP file stores its rows so).
    void PaintBands(const std::function<void(TCanvas&)>& paint, int width, int height, int bandRows,
                    const std::function<void(const QImage& image, int top, int rows)>& band, bool fromBottom = false);

    // Restricts painting to the box [x1, x2) x [y1, y2) inside the image; the pixels a shape
    // covers inside the box are exactly those it covers without it.
    void SetClip(int x1, int y1, int x2, int y2);
    void ResetClip();

    // The texts measured and the pieces rendered so far (see TextRaster.h).
    const TTextRaster& Texts() const { return texts_; }

    void SetPenColor(TColor c) override;
    TColor PenColor() const override { return pen_; }
    void SetPenWidth(int w) override { penWidth_ = w < 1 ? 1 : w; }
    void SetBrushColor(TColor c) override;
    void SetFontColor(TColor c) override { fontColor_ = c; }
    TColor Pixel(int x, int y) const override; // 0xFFFFFFFF outside the image
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polygon(const TPoint* points, int count) override;
    void PolyBezier(const TPoint (&points)[4]) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

private:
    class TRecorder;
    struct TTarget; // the image's pixels and the clip box for one shape
    bool Target(TTarget& t) const;
    void Changed() {
        if (changeReported_ || !OnChange) return;
        changeReported_ = true;
        OnChange();
    }
    // Records paint and sorts its shapes into bands of rows rows from row top of the picture.
    void Record(const std::function<void(TCanvas&)>& paint, long long top, long long bottom, long long rows);
    void ReplayBand(std::size_t band);
    void EndPass();
    void PaintLine(const TTarget& t, long long x0, long long y0, long long x1, long long y1, std::uint32_t px) const;
    void FillSpan(const TTarget& t, long long y, long long xa, long long xb, std::uint32_t px) const;
    void PaintPolygon(const TTarget& t, const TPoint* points, int count, std::uint32_t fill, std::uint32_t line) const;
    // Small polygons in one colour (arrowheads: each one of a drag step was painted in the step
    // before, in white or in its colour), painted from their spans, found once for each shape and
    // kept in a table of slots indexed by the shape's hash (a shape meeting another's slot takes it).
    struct TPolygonSpan {
        int dy, x0, x1; // row and columns [x0, x1) from the first point
    };
    struct TPolygonSlot {
        std::uint64_t key = 0;              // the shape (PolygonKey), 0 for none
        std::uint32_t first = 0, count = 0; // its spans in polygonSpans_
        int top = 0, bottom = 0;            // rows [top, bottom) from the first point
    };
    static constexpr int MaxCachedPolygonPoints = 4;
    static constexpr int PolygonSlotBits = 16;
    static constexpr std::size_t PolygonSlots = std::size_t{1} << PolygonSlotBits;
    static constexpr std::size_t MaxPolygonSpans = std::size_t{1} << 20;
    static std::uint64_t PolygonKey(const TPoint* points, int count);
    void AddPolygonSpans(const TPoint* points, int count, TPolygonSlot& slot);
    std::vector<TPolygonSlot> polygonSlots_;
    std::vector<TPolygonSpan> polygonSpans_;
    // The pixels of each row of an ellipse's box, by the box's size: columns [left, right].
    struct TEllipseRow {
        long long left, right;
    };
    static constexpr long long MaxCachedEllipse = 4096;
    static constexpr std::size_t MaxCachedEllipses = 64;
    std::unordered_map<std::uint64_t, std::vector<TEllipseRow>> ellipses_;
    void PenSquare(const TTarget& t, long long x, long long y) const;

    QImage& image_;
    int originY_ = 0; // the picture row of the image's first row
    bool clipped_ = false;
    int clipX1_ = 0, clipY1_ = 0, clipX2_ = 0, clipY2_ = 0;
    TColor pen_ = 0, brush_ = 0x00FFFFFF, fontColor_ = 0;
    std::uint32_t penPixel_ = 0xFF000000u, brushPixel_ = 0xFFFFFFFFu;
    int penWidth_ = 1;
    long long curX_ = 0, curY_ = 0;

    TTextRaster texts_;
    // While a pass replays: the pixels and the image's size, fetched once (QImage::bits() checks
    // the image's sharing, and every accessor is a call into Qt).
    std::uint32_t* passBits_ = nullptr;
    int passWidth_ = 0, passHeight_ = 0;
    std::ptrdiff_t passStride_ = 0;
    void StartReplay(const TTarget& image);
    std::unique_ptr<TRecorder> recorder_;
    int lastPassBands_ = 0;
    bool changeReported_ = false;
};
