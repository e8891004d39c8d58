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
// PaintPass runs a sequence of calls once, recording them, and replays the record: on this thread
// alone, or for a large picture on two threads at once, each painting its half of the picture.
// Since every shape covers the same pixels with or without a clip box, the picture is the one a
// single thread paints.

#include "Canvas.h"
#include "TextRaster.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

    // Calls paint once and paints what it drew. paint runs on a recording canvas: its texts are
    // measured by this canvas, its PenColor() is the pen it set last, and it must not read pixels.
    // The record is replayed on two threads, each clipped to its half of the picture, when it
    // holds at least SplitFromShapes shapes, the picture is at least SplitFromHeight rows high
    // and the machine has a second core (a fixed rule: the same pass always takes the same way);
    // otherwise on this thread. This canvas is left in the state the calls ended in.
    static constexpr std::size_t SplitFromShapes = 4000; // about 1000 arcs, erased and drawn
    static constexpr int SplitFromHeight = 64;
    void PaintPass(const std::function<void(TCanvas&)>& paint);
    bool LastPassSplit() const { return lastPassSplit_; }

    // Restricts painting to the box [x1, x2) x [y1, y2) inside the image; the pixels a shape
    // covers inside the box are exactly those it covers without it.
    void SetClip(int x1, int y1, int x2, int y2);
    void ResetClip();

    // The texts measured and the pieces rendered so far (see TextRaster.h).
    const TTextRaster& Texts() const { return *texts_; }

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
    struct TCall {
        enum class TOp : std::uint8_t { Pen, PenWidth, Brush, Font, Rectangle, Ellipse, Move, Line, Polygon, Bezier, Text };
        TOp op;
        int a, b, c, d; // coordinates; for Polygon and Bezier: first point and count; for Text: x, y, text
    };
    void Replay(const TRecorder& record, bool shared);
    struct TTarget; // the image's pixels and the clip box for one shape
    bool Target(TTarget& t) const;
    void Changed() {
        if (changeReported_ || !OnChange) return;
        changeReported_ = true;
        OnChange();
    }
    void PaintLine(const TTarget& t, long long x0, long long y0, long long x1, long long y1, std::uint32_t px) const;
    void FillSpan(const TTarget& t, long long y, long long xa, long long xb, std::uint32_t px) const;
    void PenSquare(const TTarget& t, long long x, long long y) const;

    QImage& image_;
    bool clipped_ = false;
    int clipX1_ = 0, clipY1_ = 0, clipX2_ = 0, clipY2_ = 0;
    TColor pen_ = 0, brush_ = 0x00FFFFFF, fontColor_ = 0;
    std::uint32_t penPixel_ = 0xFF000000u, brushPixel_ = 0xFFFFFFFFu;
    int penWidth_ = 1;
    long long curX_ = 0, curY_ = 0;

    TTextRaster text_;
    TTextRaster* texts_ = &text_; // the owner's for the bottom half of a split pass
    // While a split pass replays: the pixels fetched once on this thread, since QImage::bits()
    // writes to the image's bookkeeping and may not run on two threads at once.
    std::uint32_t* fixedBits_ = nullptr;
    bool textShared_ = false; // painting texts as prepared, beside another thread
    std::unique_ptr<TRecorder> recorder_;
    std::unique_ptr<TRasterCanvas> half_; // the bottom half of a split pass
    bool lastPassSplit_ = false;
    bool changeReported_ = false;
};
