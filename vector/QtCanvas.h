#pragma once
// A canvas over QPainter: every TCanvas call paints straight into a QImage, or through a painter
// that stays open on another device (an SVG generator, a PDF writer); aliased, with solid pens,
// so that the same calls always cover the same pixels.

#include "Canvas.h"

#include <QFont>

#include <functional>

class QImage;
class QPainter;

class TQtCanvas : public TCanvas {
public:
    // The image must outlive the canvas and stay Format_RGB32; it may be reassigned (resized).
    explicit TQtCanvas(QImage& image);
    // Paints through painter, which must stay active as long as the canvas paints. Pixel then
    // reads every point as outside the picture.
    explicit TQtCanvas(QPainter& painter);

    void SetPenColor(TColor c) override;
    TColor PenColor() const override;
    void SetPenWidth(int w) override;
    void SetBrushColor(TColor c) override;
    void SetFontColor(TColor c) override;
    // 0x00BBGGRR of the pixel; 0xFFFFFFFF for a point outside the picture.
    TColor Pixel(int x, int y) const override;
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
    void Begin(QPainter& painter, bool fill) const;
    // Runs paint with a painter set up for a shape (fill: with the brush); nothing happens on a
    // null image.
    void Paint(bool fill, const std::function<void(QPainter&)>& paint);

    QImage* image = nullptr;      // the picture painted on, or
    QPainter* external = nullptr; // the painter painted through
    QFont font;
    TColor penColor = colors::Black;
    TColor brushColor = colors::White;
    TColor fontColor = colors::Black;
    int penWidth = 1;
    TPoint penPos{0, 0};
};
