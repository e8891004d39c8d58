#pragma once
// JPEG encoding of the drawing surface through libjpeg: a baseline JFIF file with three colour
// components (YCbCr from 24-bit RGB), the library's defaults, and the quality asked for.

#include <memory>
#include <string>

class QImage;

constexpr int JpegQuality = 90;

// The same encoding for a picture that arrives band by band, from the top: memory holds one
// row, libjpeg's buffers and the file.
class TJpegWriter {
public:
    // Throws std::runtime_error with libjpeg's message when it refuses the picture.
    TJpegWriter(int width, int height, int quality = JpegQuality);
    ~TJpegWriter();
    TJpegWriter(const TJpegWriter&) = delete;
    TJpegWriter& operator=(const TJpegWriter&) = delete;
    // The next rows: the first count rows of image (32 bits a pixel, as wide as the picture).
    void Rows(const QImage& image, int count);
    // The file's bytes once every row was given; throws std::runtime_error otherwise.
    std::string Finish();

    struct TState; // libjpeg's state, reached by its error handler

private:
    std::unique_ptr<TState> state_;
};

// The JPEG file's bytes for the picture. Throws std::runtime_error with libjpeg's message when
// the library refuses the picture (an empty one, for instance); it never ends the process.
std::string EncodeJpeg(const QImage& picture, int quality = JpegQuality);
