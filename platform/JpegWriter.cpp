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

// The compression itself, between setjmp and the last libjpeg call: nothing here owns a C++
// object with a destructor, since a longjmp would skip it. The row must hold width * 3 bytes.
// Returns false with the message in error when libjpeg gave up.
bool Compress(const QImage& rgb, int quality, unsigned char* row, unsigned char** out, unsigned long* outSize,
              TJpegError& error) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&error.base);
    error.base.error_exit = JpegErrorExit;
    if (setjmp(error.escape)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo); // JFIF header, YCbCr, sequential (baseline) Huffman coding
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        for (int x = 0; x < rgb.width(); ++x) {
            row[3 * x] = static_cast<unsigned char>(qRed(pixels[x]));
            row[3 * x + 1] = static_cast<unsigned char>(qGreen(pixels[x]));
            row[3 * x + 2] = static_cast<unsigned char>(qBlue(pixels[x]));
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

std::string EncodeJpeg(const QImage& picture, int quality) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<unsigned char> row(static_cast<std::size_t>(rgb.width()) * 3 + 1);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    TJpegError error{};
    const bool done = Compress(rgb, quality, row.data(), &out, &outSize, error);
    std::string bytes;
    if (done && out) bytes.assign(reinterpret_cast<const char*>(out), outSize);
    std::free(out); // jpeg_mem_dest's buffer is malloc'd and left to the caller, even after an error
    if (!done) throw std::runtime_error(std::string("JPEG encoding failed: ") + error.message);
    return bytes;
}
