#pragma once
// The extent of a drawing: a canvas that paints nothing and records how far right and down the
// calls reach, with the pixel rules of the raster canvas (boxes exclusive of their right and
// bottom edge, lines and polygons through their points, texts as their cells). It sizes an
// exported picture so that it holds exactly what DrawGraph paints.

#include "Graph_obj.h"

#include <utility>

struct TPictureSize {
    int width;
    int height;
};

class TBoundsCanvas : public TCanvas {
public:
    // Texts are measured by measure, the canvas that would paint them.
    explicit TBoundsCanvas(TCanvas& measure) : measure_(measure) {}

    // One past the rightmost and the lowest pixel covered; 0 when nothing reached x >= 0 or
    // y >= 0 (pixels at negative coordinates lie outside every picture).
    long long Right() const { return right_; }
    long long Bottom() const { return bottom_; }
    // The box of every pixel covered, at any coordinates: left and top inclusive, right and bottom
    // exclusive; false when nothing was covered.
    bool Covered(long long& left, long long& top, long long& right, long long& bottom) const {
        left = left_, top = top_, right = allRight_, bottom = allBottom_;
        return covered_;
    }

    void SetPenColor(TColor c) override { pen_ = c; }
    TColor PenColor() const override { return pen_; }
    void SetPenWidth(int w) override { penWidth_ = w < 1 ? 1 : w; }
    void SetBrushColor(TColor) override {}
    void SetFontColor(TColor) override {}
    TColor Pixel(int, int) const override { return 0xFFFFFFFF; }
    void Rectangle(int x1, int y1, int x2, int y2) override { Box(x1, y1, x2, y2); }
    void Ellipse(int x1, int y1, int x2, int y2) override { Box(x1, y1, x2, y2); }
    void MoveTo(int x, int y) override { x_ = x, y_ = y; }
    void LineTo(int x, int y) override;
    void Polygon(const TPoint* points, int count) override;
    void PolyBezier(const TPoint (&points)[4]) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override { return measure_.TextWidth(text); }
    int TextHeight(const std::string& text) override { return measure_.TextHeight(text); }

private:
    void Box(long long x1, long long y1, long long x2, long long y2);
    void PenPoint(long long x, long long y);

    TCanvas& measure_;
    TColor pen_ = 0;
    int penWidth_ = 1;
    long long x_ = 0, y_ = 0;
    long long right_ = 0, bottom_ = 0;
    bool covered_ = false;
    long long left_ = 0, top_ = 0, allRight_ = 0, allBottom_ = 0;
    void Cover(long long x1, long long y1, long long x2, long long y2);
};

// The picture an export draws g on: the smallest one anchored at (0, 0) that holds everything
// DrawGraph paints, plus PictureMargin on the right and at the bottom, each side at most
// MaxPictureSide (what lies further is cut off, as at negative coordinates).
TPictureSize ExportPictureSize(const Tgraph& g, TCanvas& measure);

// A picture of the drawing alone: the box of everything DrawGraph paints with PictureMargin on
// every side (one pixel more where the shift below would be odd). Moving every vertex by (dx, dy)
// puts the box there; the shift is even, so every rounding of the drawing stays as it is and the
// picture shows the same pixels. Each side at most MaxPictureSide. Nothing moves (0, 0) and the
// size is ExportPictureSize's when nothing is drawn or a vertex would leave the 32-bit range.
struct TCrop {
    int dx, dy;
    TPictureSize size;
};
TCrop CropToDrawing(const Tgraph& g, TCanvas& measure);

// The shift (dx, dy) that brings the whole drawing onto a surface of width x height, moving only
// on the sides that need it: a drawing beyond the left or top edge comes in to PictureMargin from
// it, one beyond the right or bottom edge to PictureMargin from that; one wider or taller than the
// surface shows its left or top side. Even, as CropToDrawing's; (0, 0) when the drawing is on the
// surface already, when nothing is drawn, or when a vertex would leave the 32-bit range.
std::pair<int, int> ShiftIntoView(const Tgraph& g, TCanvas& measure, int width, int height);
