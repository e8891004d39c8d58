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
//              font colour; each distinct (text, font colour, brush colour) cell is rendered by
//              Qt once and copied afterwards.
//
// PaintInHalves runs a sequence of calls on two threads, each painting its own half of the
// picture; since every shape covers the same pixels with or without a clip box, the picture is
// the one a single thread would paint.

#include "Canvas.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class TRasterCanvas : public TCanvas {
public:
    // Paints on image, which must outlive the canvas and stay in Format_RGB32 or Format_ARGB32.
    // The image may be resized or reassigned between calls.
    explicit TRasterCanvas(QImage& image);
    ~TRasterCanvas() override;

    // Calls paint, possibly twice at once: on this thread and on a second one, with canvases that
    // start in this canvas's state and are clipped to the top and the bottom half of the picture.
    // Either way the picture is the same and this canvas is left in the state the calls ended in.
    // paint must make the same calls whatever canvas it is given and only read what it shares.
    // Texts are rendered on this thread only: a half that meets a text not yet cached is painted
    // again here once the text is rendered. With TSplit::Auto one pass runs on this thread alone
    // while such a pass takes under SplitAboveMs (small pictures are not worth a second thread);
    // beyond that, the way whose last pass was faster is taken, and every ProbeEvery-th pass the
    // other way, since a second core may come and go with the machine's load.
    enum class TSplit { Auto, Always, Never };
    static constexpr double SplitAboveMs = 6.0;
    static constexpr int ProbeEvery = 16;
    void SetSplit(TSplit split) { split_ = split; }

    // Runs at the first change of pixels after construction or after the last Shown(): the
    // surface schedules one repaint there, not one for every shape of a redraw.
    std::function<void()> OnChange;
    void Shown() { changeReported_ = false; }

    TColor BrushColor() const { return brush_; }
    void PaintInHalves(const std::function<void(TCanvas&)>& paint);

    // Restricts painting to the box [x1, x2) x [y1, y2) inside the image; the pixels a shape
    // covers inside the box are exactly those it covers without it.
    void SetClip(int x1, int y1, int x2, int y2);
    void ResetClip();

    // The text cache is emptied when it would grow past this many cells or texts, or this many
    // pixels of cells: enough for every label of a complete 100-vertex graph.
    static constexpr std::size_t MaxCachedCells = 16384;
    static constexpr std::size_t MaxCachedPixels = 4u << 20;
    std::size_t CachedCellCount() const { return cache_->cellCount; }

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
    struct TTarget; // the image's pixels and the clip box for one shape
    // What is known about one text: how it is shown and measured, the pixels its letters paint
    // outside the cell (relative to the cell's corner), and the cells rendered for it so far.
    struct TTextEntry {
        QString shown;
        int width = 0, height = 0;
        std::vector<TPoint> overhang;
        // Pixels of the cells rendered so far, row by row; key: font colour << 32 | brush colour.
        std::vector<std::pair<std::uint64_t, std::vector<std::uint32_t>>> cells;
    };

    // The texts and cells shared by a canvas and its two halves.
    struct TTextCache {
        std::unordered_map<std::string, TTextEntry> texts;
        std::size_t cellCount = 0, cellPixels = 0;
    };

    TRasterCanvas(QImage& image, std::shared_ptr<TTextCache> cache);
    bool Target(TTarget& t) const;
    // Null only for a half that may not render texts, which then notes that it missed one.
    TTextEntry* Entry(const std::string& text);
    void CopyStateFrom(const TRasterCanvas& other);
    void Changed() {
        if (changeReported_ || !OnChange) return;
        changeReported_ = true;
        OnChange();
    }
    void ClearTextCache();
    QImage RenderCell(const TTextEntry& entry, TColor font, TColor brush, int margin) const;
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

    // A half paints through pixels fetched once on the calling thread: QImage::bits() writes to
    // the image's bookkeeping and may not run on two threads at once.
    std::uint32_t* fixedBits_ = nullptr;
    std::ptrdiff_t fixedStride_ = 0;
    int fixedWidth_ = 0, fixedHeight_ = 0;
    bool rendersText_ = true; // false for a half while it runs beside the other one
    bool missedText_ = false;

    QFont font_;
    int ascent_ = 0, lineHeight_ = 0;
    std::shared_ptr<TTextCache> cache_;
    const std::string* lastText_ = nullptr; // the key of lastEntry_, inside the cache
    TTextEntry* lastEntry_ = nullptr;
    std::unique_ptr<TRasterCanvas> halves_[2];
    TSplit split_ = TSplit::Auto;
    // Wall time of the last pass made each way, negative before the first; passes counted for Auto.
    double aloneMs_ = -1, splitMs_ = -1;
    unsigned passes_ = 0;
    bool changeReported_ = false;
};
