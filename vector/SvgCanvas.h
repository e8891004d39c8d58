#pragma once
// A canvas that writes SVG: one element per shape, the colours and widths as shared classes in
// one style sheet, whole coordinates in surface pixels, texts as text. Measures texts as the
// raster canvas does, so that a picture holds the shapes at the places the raster picture shows.
//
// The view box starts half a pixel up and left: a coordinate names a pixel, whose centre lies
// half a unit further on, so a one-pixel line between two pixel centres covers those pixels, and
// the outline of a box of pixels x1..x2-1 runs from x1 to x2 - 1.
//   Lines      <polyline>, square caps; Rectangle <rect>, Ellipse <circle> or <ellipse>;
//   Polygon    <polygon>; PolyBezier <path> with one cubic;
//   TextOut    the cell as <rect>, the letters as <text> at the baseline: only the part of a long
//              text that can show inside the picture is written.
// Texts are written as UTF-8 with control characters and the two non-characters XML refuses
// shown as spaces, so the file is well formed whatever the names hold.

#include "Canvas.h"
#include "TextRaster.h"

#include <string>
#include <unordered_map>
#include <vector>

class TSvgCanvas : public TCanvas {
public:
    TSvgCanvas(int width, int height);
    // The picture's size, for a canvas that measured the drawing first.
    void SetSize(int width, int height);

    // The whole file: header, style sheet, a white background and the shapes drawn so far.
    std::string Finish(const std::string& title) const;

    void SetPenColor(TColor c) override { pen_ = c; }
    TColor PenColor() const override { return pen_; }
    void SetPenWidth(int w) override { penWidth_ = w < 1 ? 1 : w; }
    void SetBrushColor(TColor c) override { brush_ = c; }
    void SetFontColor(TColor c) override { font_ = c; }
    TColor Pixel(int, int) const override { return 0xFFFFFFFF; }
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void MoveTo(int x, int y) override { x_ = x, y_ = y; }
    void LineTo(int x, int y) override;
    void Polygon(const TPoint* points, int count) override;
    void PolyBezier(const TPoint (&points)[4]) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override { return texts_.Width(text); }
    int TextHeight(const std::string&) override { return texts_.LineHeight(); }

private:
    enum class TPaint { Stroke, StrokeFill, Fill };
    // Starts an element: "<name class=..." for the style of what it paints: the pen, and fill.
    void Open(const char* name, TPaint paint, TColor fill);
    void Number(long long v);
    void RectBox(long long x, long long y, long long width, long long height);
    void Half(long long twice); // twice / 2, a whole number or one half more
    void Point(long long x, long long y);

    int width_, height_;
    TTextRaster texts_;
    TColor pen_ = 0, brush_ = 0x00FFFFFF, font_ = 0;
    int penWidth_ = 1;
    int x_ = 0, y_ = 0;
    std::string body_;
    std::vector<std::string> styles_; // class k is "k" in base 26 letters
    std::unordered_map<std::string, std::size_t> styleIndex_;
    std::string key_;
};
