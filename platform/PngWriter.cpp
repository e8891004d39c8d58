#include "PngWriter.h"

#include <QImage>

#include <csetjmp>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <png.h>

struct TPngWriter::TState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string bytes;
    std::vector<unsigned char> previous; // the last row given, to find repeated rows
    std::vector<unsigned char> rgb;      // and the same row as libpng takes it
    int width = 0, height = 0, written = 0;
    bool failed = false;
    char message[256] = {};
};

namespace {

// libpng's errors jump back to the call that made them, with the message kept; nothing between
// setjmp and libpng's calls owns an object with a destructor.
extern "C" void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<TPngWriter::TState*>(png_get_error_ptr(png));
    std::strncpy(state->message, message ? message : "unknown error", sizeof state->message - 1);
    png_longjmp(png, 1);
}

extern "C" void PngWarning(png_structp, png_const_charp) {}

extern "C" void PngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* state = static_cast<TPngWriter::TState*>(png_get_io_ptr(png));
    try {
        state->bytes.append(reinterpret_cast<const char*>(data), length);
    } catch (const std::exception&) {
        png_error(png, "not enough memory for the file");
    }
}

extern "C" void PngFlush(png_structp) {}

bool Start(TPngWriter::TState& s) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_set_write_fn(s.png, &s, PngWrite, PngFlush);
    png_set_IHDR(s.png, s.info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(s.png, s.info, 3780, 3780, PNG_RESOLUTION_METER); // 96 pixels an inch
    png_set_compression_level(s.png, 1);
    png_set_filter(s.png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
    png_write_info(s.png, s.info);
    return true;
}

bool WriteRow(TPngWriter::TState& s, const unsigned char* row, bool repeated) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_set_filter(s.png, PNG_FILTER_TYPE_BASE, repeated ? PNG_FILTER_UP : PNG_ALL_FILTERS);
    png_write_row(s.png, row);
    return true;
}

bool End(TPngWriter::TState& s) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_write_end(s.png, nullptr);
    return true;
}

} // namespace

TPngWriter::TPngWriter(int width, int height) : state_(std::make_unique<TState>()) {
    TState& s = *state_;
    s.width = width;
    s.height = height;
    if (width <= 0 || height <= 0) throw std::runtime_error("the picture cannot be encoded as PNG");
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s, PngError, PngWarning);
    if (s.png) s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info || !Start(s)) {
        png_destroy_write_struct(&s.png, &s.info);
        throw std::runtime_error(std::string("the picture cannot be encoded as PNG: ") + s.message);
    }
}

TPngWriter::~TPngWriter() {
    if (state_->png) png_destroy_write_struct(&state_->png, &state_->info);
}

void TPngWriter::Rows(const QImage& image, int count) {
    TState& s = *state_;
    const std::size_t bytes = static_cast<std::size_t>(s.width) * 4;
    s.rgb.resize(static_cast<std::size_t>(s.width) * 3);
    for (int y = 0; y < count && !s.failed && s.written < s.height; ++y) {
        const unsigned char* row = image.constScanLine(y);
        // A row equal to the one above is passed on as it was converted.
        const bool repeated = s.written > 0 && std::memcmp(row, s.previous.data(), bytes) == 0;
        if (!repeated) {
            s.previous.assign(row, row + bytes);
            const auto* pixels = reinterpret_cast<const QRgb*>(row);
            for (int x = 0; x < s.width; ++x) {
                s.rgb[3 * static_cast<std::size_t>(x)] = static_cast<unsigned char>(qRed(pixels[x]));
                s.rgb[3 * static_cast<std::size_t>(x) + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
                s.rgb[3 * static_cast<std::size_t>(x) + 2] = static_cast<unsigned char>(qBlue(pixels[x]));
            }
        }
        s.failed = !WriteRow(s, s.rgb.data(), repeated);
        ++s.written;
    }
}

std::string TPngWriter::Finish() {
    TState& s = *state_;
    if (!s.failed && s.written == s.height) s.failed = !End(s);
    else if (!s.failed) std::strncpy(s.message, "rows are missing", sizeof s.message - 1);
    if (s.failed || s.written != s.height)
        throw std::runtime_error(std::string("the picture cannot be encoded as PNG: ") + s.message);
    return std::move(s.bytes);
}
