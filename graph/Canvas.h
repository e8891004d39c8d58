#pragma once
// The canvas as the drawing routines see it. The Qt implementation lives in platform/;
// the tests record the calls instead.

#include "Colors.h"

#include <string>

struct TPoint {
    int x;
    int y;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;
    virtual void SetPenColor(TColor c) = 0;
    virtual TColor PenColor() const = 0;
    virtual void SetPenWidth(int w) = 0;
    virtual void SetBrushColor(TColor c) = 0;
    virtual void SetFontColor(TColor c) = 0;
    virtual TColor Pixel(int x, int y) const = 0;
    // Pen outline, brush fill; right and bottom edges exclusive: Rectangle(0, 0, w, h) outlines
    // pixels 0..w-1 x 0..h-1.
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0; // same box convention
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    virtual void Polygon(const TPoint* points, int count) = 0;       // closed, pen outline, brush fill
    virtual void PolyBezier(const TPoint (&points)[4]) = 0;          // start, two controls, end
    virtual void TextOut(int x, int y, const std::string& text) = 0; // opaque cell in the brush colour
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;
};
