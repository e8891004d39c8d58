#pragma once
// The BMP encoding of a picture: whole, or band by band as it is painted.

#include <cstddef>
#include <string>

class QImage;

// The parts of a standard Windows bitmap file of 24 bits a pixel: its header (54 bytes; throws
// std::runtime_error for an empty picture or one too large for the format), the bytes of each row
// (BmpRowBytes, padded to 4), stored from the bottom row up, and the bytes of row y of image.
std::string BmpHeader(int width, int height);
std::size_t BmpRowBytes(int width);
void BmpRow(const QImage& image, int y, int width, char* to);

// A standard Windows bitmap file, filled band by band in any order: memory holds the file, which
// is as large as the format makes it, and nothing else of the picture.
class TBmpWriter {
public:
    // Throws std::runtime_error for an empty picture or one too large for the format.
    TBmpWriter(int width, int height);
    // Rows top..top+count-1 of the picture: the first count rows of image (32 bits a pixel).
    void Rows(const QImage& image, int top, int count);
    std::string Finish() { return std::move(bytes_); }

private:
    std::string bytes_;
    int width_, height_;
    std::size_t stride_;
};

// The bytes of a standard Windows bitmap file of the picture (24 bits a pixel for an RGB32
// picture). Throws std::runtime_error when the picture cannot be encoded (an empty picture).
std::string EncodeBmp(const QImage& picture);
