#include "JpegWriter.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

// libjpeg's own error_exit ends the process; this one jumps back to the encoder with the message.
struct TJpegError {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
    auto* error = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, error->message);
    std::longjmp(error->escape, 1);
}

} // namespace

struct TJpegWriter::TState {
    jpeg_compress_struct cinfo{};
    TJpegError error{};
    bool created = false, failed = false;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    std::vector<unsigned char> row;
};

namespace {

// Each step runs between setjmp and its last libjpeg call: nothing here owns a C++ object with a
// destructor, since a longjmp would skip it. Each returns false when libjpeg gave up.
bool Begin(TJpegWriter::TState& s, int width, int height, int quality) {
    s.cinfo.err = jpeg_std_error(&s.error.base);
    s.error.base.error_exit = JpegErrorExit;
    if (setjmp(s.error.escape)) return false;
    jpeg_create_compress(&s.cinfo);
    s.created = true;
    jpeg_mem_dest(&s.cinfo, &s.out, &s.outSize);
    s.cinfo.image_width = static_cast<JDIMENSION>(width);
    s.cinfo.image_height = static_cast<JDIMENSION>(height);
    s.cinfo.input_components = 3;
    s.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&s.cinfo); // JFIF header, YCbCr, sequential (baseline) Huffman coding
    jpeg_set_quality(&s.cinfo, quality, TRUE);
    jpeg_start_compress(&s.cinfo, TRUE);
    return true;
}

bool WriteRow(TJpegWriter::TState& s, const QRgb* pixels) {
    if (setjmp(s.error.escape)) return false;
    unsigned char* row = s.row.data();
    for (JDIMENSION x = 0; x < s.cinfo.image_width; ++x) {
        row[3 * x] = static_cast<unsigned char>(qRed(pixels[x]));
        row[3 * x + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
        row[3 * x + 2] = static_cast<unsigned char>(qBlue(pixels[x]));
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&s.cinfo, rows, 1);
    return true;
}

bool End(TJpegWriter::TState& s) {
    if (setjmp(s.error.escape)) return false;
    jpeg_finish_compress(&s.cinfo);
    return true;
}

} // namespace

TJpegWriter::TJpegWriter(int width, int height, int quality) : state_(std::make_unique<TState>()) {
    TState& s = *state_;
    s.row.resize(static_cast<std::size_t>(width > 0 ? width : 0) * 3 + 1);
    if (!Begin(s, width, height, quality)) {
        // No destructor runs for a constructor that throws: libjpeg's memory goes here.
        const std::string message = std::string("JPEG encoding failed: ") + s.error.message;
        if (s.created) jpeg_destroy_compress(&s.cinfo);
        s.created = false;
        std::free(s.out);
        s.out = nullptr;
        throw std::runtime_error(message);
    }
}

TJpegWriter::~TJpegWriter() {
    if (state_->created) jpeg_destroy_compress(&state_->cinfo);
    std::free(state_->out); // jpeg_mem_dest's buffer is malloc'd and left to the caller, even after an error
}

void TJpegWriter::Rows(const QImage& image, int count) {
    TState& s = *state_;
    for (int y = 0; y < count && !s.failed && s.cinfo.next_scanline < s.cinfo.image_height; ++y)
        s.failed = !WriteRow(s, reinterpret_cast<const QRgb*>(image.constScanLine(y)));
}

std::string TJpegWriter::Finish() {
    TState& s = *state_;
    if (!s.failed && s.cinfo.next_scanline == s.cinfo.image_height)
        s.failed = !End(s);
    else if (!s.failed)
        throw std::runtime_error("JPEG encoding failed: rows are missing");
    if (s.failed) throw std::runtime_error(std::string("JPEG encoding failed: ") + s.error.message);
    return std::string(reinterpret_cast<const char*>(s.out), s.outSize);
}

std::string EncodeJpeg(const QImage& picture, int quality) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    TJpegWriter jpeg(rgb.width(), rgb.height(), quality);
    jpeg.Rows(rgb, rgb.height());
    return jpeg.Finish();
}
