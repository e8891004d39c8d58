#pragma once
// The drawing surface: an off-screen picture shown at the control's top-left, unscaled, and the
// mouse events of the control turned into the order the editor relies on:
//   press                        -> OnMouseDown(button, modifiers, x, y)
//   pointer move                 -> OnMouseMove(modifiers, x, y)
//   left release inside after a press on the surface -> OnClick(), then OnMouseUp(...)
//   second press of a double-click -> OnDblClick(), then OnMouseDown(...); its release gives
//                                   OnMouseUp(...) and no OnClick()
// A left press captures the pointer until its release; other buttons do not, so their moves and
// releases arrive only while the pointer is over the surface.

#include "RasterCanvas.h"

#include <QImage>
#include <QWidget>

#include <functional>

class TImage : public QWidget {
public:
    explicit TImage(QWidget* parent = nullptr);

    // The picture and its canvas; drawing through the canvas repaints the control.
    QImage Picture;
    TRasterCanvas& Canvas() { return canvas; }

    // Resizing keeps the picture at the top left and fills new area with the canvas's brush colour.
    void SetPictureHeight(int h);
    void SetPictureWidth(int w);
    void SetPictureSize(int w, int h);
    int PictureWidth() const { return pictureWidth; }
    int PictureHeight() const { return pictureHeight; }
    // Puts the picture on the clipboard as an image, exactly its pixels.
    void CopyPicture() const;

    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseDown;
    std::function<void(Qt::KeyboardModifiers, int, int)> OnMouseMove;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseUp;
    std::function<void()> OnResize;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Resize(int w, int h);

    TRasterCanvas canvas;
    int pictureWidth = 0, pictureHeight = 0;
    bool leftDown = false;     // a left press on the surface that is not yet released
    bool clickPending = false; // that press may still end in a click
};
