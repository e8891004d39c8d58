#include "QtCanvas.h"

#include "Fonts.h"
#include "QtColor.h"
#include "TextCodec.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <algorithm>

TQtCanvas::TQtCanvas(QImage& image) : image(image), font(CanvasFont()) {}

void TQtCanvas::SetPenColor(TColor c) { penColor = c; }
TColor TQtCanvas::PenColor() const { return penColor; }
void TQtCanvas::SetPenWidth(int w) { penWidth = std::max(1, w); }
void TQtCanvas::SetBrushColor(TColor c) { brushColor = c; }
void TQtCanvas::SetFontColor(TColor c) { fontColor = c; }

TColor TQtCanvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height()) return 0xFFFFFFFF;
    return FromQRgb(image.pixel(x, y));
}

void TQtCanvas::Begin(QPainter& painter, bool fill) const {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    QPen pen(ToQColor(penColor));
    pen.setWidth(penWidth);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(fill ? QBrush(ToQColor(brushColor)) : QBrush(Qt::NoBrush));
}

void TQtCanvas::Changed() {
    if (OnChange) OnChange();
}

// Qt's rectangle and ellipse include their far edge: a box of w pixels is drawn with width w - 1.
void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (image.isNull()) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    {
        QPainter painter(&image);
        Begin(painter, true);
        painter.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    }
    Changed();
}

void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (image.isNull()) return;
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    {
        QPainter painter(&image);
        Begin(painter, true);
        // Qt's aliased outline of a flat ellipse can step one pixel past its box; the box is the rule.
        painter.setClipRect(x1, y1, x2 - x1, y2 - y1);
        painter.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    }
    Changed();
}

void TQtCanvas::MoveTo(int x, int y) { penPos = {x, y}; }

void TQtCanvas::LineTo(int x, int y) {
    if (image.isNull()) {
        penPos = {x, y};
        return;
    }
    {
        QPainter painter(&image);
        Begin(painter, false);
        painter.drawLine(penPos.x, penPos.y, x, y);
    }
    penPos = {x, y};
    Changed();
}

void TQtCanvas::Polygon(const TPoint* points, int count) {
    if (image.isNull()) return;
    if (count < 2) return;
    QPolygon polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i) polygon.append(QPoint(points[i].x, points[i].y));
    {
        QPainter painter(&image);
        Begin(painter, true);
        painter.drawPolygon(polygon);
    }
    Changed();
}

void TQtCanvas::PolyBezier(const TPoint (&points)[4]) {
    if (image.isNull()) return;
    QPainterPath path(QPointF(points[0].x, points[0].y));
    path.cubicTo(QPointF(points[1].x, points[1].y), QPointF(points[2].x, points[2].y),
                 QPointF(points[3].x, points[3].y));
    {
        QPainter painter(&image);
        Begin(painter, false);
        painter.drawPath(path);
    }
    penPos = points[3];
    Changed();
}

// The text cell (advance width by line height) is filled with the brush colour, then the
// letters are drawn in the font colour on top of it.
void TQtCanvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty() || image.isNull()) return;
    const QString shown = DecodeText(text);
    const QFontMetrics metrics(font);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.fillRect(QRect(x, y, metrics.horizontalAdvance(shown), metrics.height()),
                         ToQColor(brushColor));
        painter.setFont(font);
        painter.setPen(ToQColor(fontColor));
        painter.drawText(x, y + metrics.ascent(), shown);
    }
    Changed();
}

int TQtCanvas::TextWidth(const std::string& text) {
    return QFontMetrics(font).horizontalAdvance(DecodeText(text));
}

int TQtCanvas::TextHeight(const std::string& text) {
    (void)text;
    return QFontMetrics(font).height();
}
