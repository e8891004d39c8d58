#pragma once
// Conversion between the program's 0x00BBGGRR colours and Qt's, for everything that paints
// through Qt or reads Qt's pixels.

#include "Colors.h"

#include <QColor>
#include <QRgb>

inline QColor ToQColor(TColor c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

inline TColor FromQRgb(QRgb rgb) {
    return static_cast<TColor>(qRed(rgb)) | static_cast<TColor>(qGreen(rgb)) << 8 |
           static_cast<TColor>(qBlue(rgb)) << 16;
}
