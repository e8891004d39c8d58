#pragma once
// JPEG encoding of the drawing surface through libjpeg: a baseline JFIF file with three colour
// components (YCbCr from 24-bit RGB), the library's defaults, and the quality asked for.

#include <string>

class QImage;

constexpr int JpegQuality = 90;

// The JPEG file's bytes for the picture. Throws std::runtime_error with libjpeg's message when
// the library refuses the picture (an empty one, for instance); it never ends the process.
std::string EncodeJpeg(const QImage& picture, int quality = JpegQuality);
