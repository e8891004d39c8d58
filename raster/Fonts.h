#pragma once
// The program's two fonts. DejaVu Sans at 11 pixels stands in for the classic 8-point dialog
// font; the canvas copy is rasterised without antialiasing so that erasing a text in white
// covers exactly the pixels it painted.

#include <QFont>

QFont WindowFont();
QFont CanvasFont();
// DejaVu Sans at another pixel size, for the About window's larger lines.
QFont WindowFontOfSize(int pixelSize);
