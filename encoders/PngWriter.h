#pragma once
// PNG encoding of a picture that arrives band by band: 8-bit RGB, each row's filter (none, sub or
// up) chosen as libpng chooses it, zlib's run-length strategy; a row equal to the one above costs a comparison and a
// copy of a few hundred bytes made once, so that blank stretches of a picture cost next to nothing.

#include <memory>
#include <string>

class QImage;

class TPngWriter {
public:
    // Throws std::runtime_error for an empty picture.
    TPngWriter(int width, int height);
    ~TPngWriter();
    TPngWriter(const TPngWriter&) = delete;
    TPngWriter& operator=(const TPngWriter&) = delete;

    // The next rows of the picture: the first count rows of image (32 bits a pixel, as wide as
    // the picture).
    void Rows(const QImage& image, int count);
    // The file's bytes once every row was given. Throws std::runtime_error when a row is missing.
    std::string Finish();

    struct TState;

private:
    std::unique_ptr<TState> state_;
};
