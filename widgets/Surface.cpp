#include "Surface.h"

#include "QtColor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

int EventX(const QMouseEvent* event) { return event->position().toPoint().x(); }
int EventY(const QMouseEvent* event) { return event->position().toPoint().y(); }

} // namespace

TImage::TImage(QWidget* parent) : QWidget(parent), canvas(Picture) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    canvas.OnChange = [this] { update(); };
}

// A copy of its own: sharing the picture would make the next redraw copy it out of its buffer.
void TImage::CopyPicture() const { QGuiApplication::clipboard()->setImage(Picture.copy()); }

// A picture with one side 0 is a null QImage that forgets the other side, so the sizes are kept
// apart from it.
void TImage::Resize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == pictureWidth && h == pictureHeight) return;
    pictureWidth = w;
    pictureHeight = h;
    QImage grown = RasterImage(w, h);
    if (!grown.isNull()) {
        grown.fill(ToQColor(canvas.BrushColor()));
        if (!Picture.isNull()) {
            QPainter painter(&grown);
            painter.drawImage(0, 0, Picture);
        }
    }
    Picture = grown;
    update();
}

void TImage::SetPictureHeight(int h) { Resize(pictureWidth, h); }
void TImage::SetPictureWidth(int w) { Resize(w, pictureHeight); }

void TImage::SetPictureSize(int w, int h) {
    SetPictureHeight(h);
    SetPictureWidth(w);
}

void TImage::paintEvent(QPaintEvent*) {
    canvas.Shown();
    QPainter painter(this);
    painter.drawImage(0, 0, Picture);
}

void TImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (OnResize) OnResize();
}

void TImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        leftDown = true;
        clickPending = true;
    }
    if (OnMouseDown) OnMouseDown(event->button(), event->modifiers(), EventX(event), EventY(event));
}

void TImage::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    leftDown = true;
    clickPending = false;
    if (OnDblClick) OnDblClick();
    if (OnMouseDown) OnMouseDown(event->button(), event->modifiers(), EventX(event), EventY(event));
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
    // Qt grabs the pointer for every button; only a left press keeps it outside the surface.
    if (!leftDown && !rect().contains(event->position().toPoint())) return;
    if (OnMouseMove) OnMouseMove(event->modifiers(), EventX(event), EventY(event));
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        const bool click = leftDown && clickPending && inside;
        leftDown = false;
        clickPending = false;
        if (click && OnClick) OnClick();
    } else if (!inside && !leftDown) {
        return;
    }
    if (OnMouseUp) OnMouseUp(event->button(), event->modifiers(), EventX(event), EventY(event));
}
