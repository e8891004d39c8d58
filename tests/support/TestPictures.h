#pragma once
// Pictures for the Qt tests: a picture whose channels and orientation show, white pictures and
// the check that one is still all white, whether a surface is all one colour, and the picture a
// graph alone gives.

#include "Graph_obj.h"
#include "Surface.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <type_traits>
#include <utility>

// Four solid quadrants in distinct colours: a swap of channels, a mirror or a lost row shows.
inline QImage Quadrants(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, w / 2, h / 2, QColor(220, 30, 30));
    painter.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(30, 200, 40));
    painter.fillRect(0, h / 2, w / 2, h - h / 2, QColor(20, 40, 210));
    painter.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(240, 230, 20));
    return image;
}

inline QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

inline bool AllWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
    return true;
}

// Whether every pixel of the surface's picture has the colour.
inline bool PictureIsAll(TImage& surface, TColor colour) {
    for (int y = 0; y < surface.Picture.height(); ++y)
        for (int x = 0; x < surface.Picture.width(); ++x)
            if (surface.Canvas().Pixel(x, y) != colour) return false;
    return true;
}

// The kind of canvas the surface paints with, for drawing expected pictures the same way.
using TSurfaceCanvas = std::remove_reference_t<decltype(std::declval<TImage&>().Canvas())>;

// A white picture of the size with only g drawn on it, as the surface's canvas draws it.
inline QImage GraphPicture(const Tgraph& g, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    TSurfaceCanvas canvas(image);
    DrawGraph(g, canvas);
    return image;
}
