#pragma once
// PNG encoding of a picture that arrives band by band, through libpng: 8-bit RGB, zlib's fastest
// level, libpng's adaptive filters, and a row equal to the one above it written as "up" (all
// zeros to compress), so that a blank picture costs little more than its size in zeros.

#include <memory>
#include <string>

class QImage;

class TPngWriter {
public:
    // Throws std::runtime_error for a picture libpng refuses (an empty one, for instance).
    TPngWriter(int width, int height);
    ~TPngWriter();
    TPngWriter(const TPngWriter&) = delete;
    TPngWriter& operator=(const TPngWriter&) = delete;

    // The next rows of the picture: the first count rows of image (32 bits a pixel, as wide as
    // the picture).
    void Rows(const QImage& image, int count);
    // The file's bytes once every row was given. Throws std::runtime_error when a row is missing
    // or libpng gave up.
    std::string Finish();

    struct TState; // libpng's state, reached by its callbacks

private:
    std::unique_ptr<TState> state_;
};
