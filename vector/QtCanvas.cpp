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

TQtCanvas::TQtCanvas(QImage& target) : image(&target), font(CanvasFont()) {}

TQtCanvas::TQtCanvas(QPainter& painter) : external(&painter), font(CanvasFont()) {}

void TQtCanvas::SetPenColor(TColor c) { penColor = c; }
TColor TQtCanvas::PenColor() const { return penColor; }
void TQtCanvas::SetPenWidth(int w) { penWidth = std::max(1, w); }
void TQtCanvas::SetBrushColor(TColor c) { brushColor = c; }
void TQtCanvas::SetFontColor(TColor c) { fontColor = c; }

TColor TQtCanvas::Pixel(int x, int y) const {
    if (!image || x < 0 || y < 0 || x >= image->width() || y >= image->height()) return 0xFFFFFFFF;
    return FromQRgb(image->pixel(x, y));
}

// Only what differs is set: a vector device writes out every change of the painter's state.
void TQtCanvas::Begin(QPainter& painter, bool fill) const {
    if (painter.testRenderHint(QPainter::Antialiasing)) painter.setRenderHint(QPainter::Antialiasing, false);
    if (painter.testRenderHint(QPainter::TextAntialiasing)) painter.setRenderHint(QPainter::TextAntialiasing, false);
    QPen pen(ToQColor(penColor));
    pen.setWidth(penWidth);
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    if (painter.pen() != pen) painter.setPen(pen);
    const QBrush brush = fill ? QBrush(ToQColor(brushColor)) : QBrush(Qt::NoBrush);
    if (painter.brush() != brush) painter.setBrush(brush);
}

void TQtCanvas::Paint(bool fill, const std::function<void(QPainter&)>& paint) {
    if (external) {
        Begin(*external, fill);
        paint(*external);
    } else {
        if (!image || image->isNull()) return;
        QPainter painter(image);
        Begin(painter, fill);
        paint(painter);
    }
}

// Qt's rectangle and ellipse include their far edge: a box of w pixels is drawn with width w - 1.
void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    Paint(true, [&](QPainter& painter) { painter.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1); });
}

void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 - x1 < 1 || y2 - y1 < 1) return;
    Paint(true, [&](QPainter& painter) {
        // Qt's aliased outline of a flat ellipse can step one pixel past its box; the box is the
        // rule. On a vector device the clip is written out, so it is left to pictures.
        if (!external) painter.setClipRect(x1, y1, x2 - x1, y2 - y1);
        painter.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    });
}

void TQtCanvas::MoveTo(int x, int y) { penPos = {x, y}; }

void TQtCanvas::LineTo(int x, int y) {
    const TPoint from = penPos;
    penPos = {x, y};
    Paint(false, [&](QPainter& painter) { painter.drawLine(from.x, from.y, x, y); });
}

void TQtCanvas::Polygon(const TPoint* points, int count) {
    if (count < 2) return;
    QPolygon polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i) polygon.append(QPoint(points[i].x, points[i].y));
    Paint(true, [&](QPainter& painter) { painter.drawPolygon(polygon); });
}

void TQtCanvas::PolyBezier(const TPoint (&points)[4]) {
    if (!external && (!image || image->isNull())) return;
    QPainterPath path(QPointF(points[0].x, points[0].y));
    path.cubicTo(QPointF(points[1].x, points[1].y), QPointF(points[2].x, points[2].y),
                 QPointF(points[3].x, points[3].y));
    penPos = points[3];
    Paint(false, [&](QPainter& painter) { painter.drawPath(path); });
}

// The text cell (advance width by line height) is filled with the brush colour, then the
// letters are drawn in the font colour on top of it.
void TQtCanvas::TextOut(int x, int y, const std::string& text) {
    if (text.empty()) return;
    const QString shown = DecodeText(text);
    const QFontMetrics metrics(font);
    Paint(true, [&](QPainter& painter) {
        painter.setPen(Qt::NoPen);
        painter.drawRect(QRect(x, y, metrics.horizontalAdvance(shown), metrics.height()));
        if (painter.font() != font) painter.setFont(font);
        painter.setPen(ToQColor(fontColor));
        painter.drawText(x, y + metrics.ascent(), shown);
    });
}

int TQtCanvas::TextWidth(const std::string& text) { return QFontMetrics(font).horizontalAdvance(DecodeText(text)); }

int TQtCanvas::TextHeight(const std::string& text) {
    (void)text;
    return QFontMetrics(font).height();
}
