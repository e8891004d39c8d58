#pragma once
// Reads a JPEG file's bytes back with libjpeg, for the tests of the picture export: what the
// header says (JFIF, components, coding) and the decoded pixels.

#include <QImage>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

struct TDecodedJpeg {
    std::string error; // libjpeg's message when the bytes are not a JPEG it can read
    bool jfif = false;
    int components = 0;
    J_COLOR_SPACE colorSpace = JCS_UNKNOWN;
    bool progressive = false;
    bool arithmetic = false;
    bool baselineFrame = false; // a SOF0 marker: baseline sequential DCT
    int lumaQuant0 = 0;         // first value of the luminance quantisation table
    QImage image;               // Format_RGB32
};

namespace jpegtest {

struct TError {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

extern "C" inline void ErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<TError*>(cinfo->err)->escape, 1); }

// The decoding between setjmp and the last libjpeg call; no object with a destructor is made here.
inline bool Decode(const std::string& bytes, TDecodedJpeg& out, char* message) {
    jpeg_decompress_struct cinfo;
    TError error;
    cinfo.err = jpeg_std_error(&error.base);
    error.base.error_exit = ErrorExit;
    if (setjmp(error.escape)) {
        (*cinfo.err->format_message)(reinterpret_cast<j_common_ptr>(&cinfo), message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    out.jfif = cinfo.saw_JFIF_marker;
    out.components = cinfo.num_components;
    out.colorSpace = cinfo.jpeg_color_space;
    out.progressive = cinfo.progressive_mode;
    out.arithmetic = cinfo.arith_code;
    if (cinfo.quant_tbl_ptrs[0]) out.lumaQuant0 = cinfo.quant_tbl_ptrs[0]->quantval[0];
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out.image =
        QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB32);
    unsigned char* row = static_cast<unsigned char*>(std::malloc(cinfo.output_width * 3 + 1));
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[1] = {row};
        jpeg_read_scanlines(&cinfo, rows, 1);
        auto* line = reinterpret_cast<QRgb*>(out.image.scanLine(y));
        for (int x = 0; x < out.image.width(); ++x) line[x] = qRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
    }
    std::free(row);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace jpegtest

inline TDecodedJpeg DecodeJpeg(const std::string& bytes) {
    TDecodedJpeg out;
    char message[JMSG_LENGTH_MAX] = {};
    if (!jpegtest::Decode(bytes, out, message)) out.error = message[0] ? message : "not a JPEG";
    // Walk the marker segments up to the start of scan: a baseline file's frame is SOF0 (FF C0).
    std::size_t at = 2; // after SOI
    while (at + 3 < bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF) {
        const auto marker = static_cast<unsigned char>(bytes[at + 1]);
        if (marker == 0xDA) break;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
            out.baselineFrame = marker == 0xC0;
        const std::size_t length =
            static_cast<unsigned char>(bytes[at + 2]) * 256u + static_cast<unsigned char>(bytes[at + 3]);
        at += 2 + length;
    }
    return out;
}

// The largest difference of any colour channel at the pixel.
inline int ChannelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The mean of ChannelDistance over the pictures, which must have the same size.
inline double MeanDistance(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) sum += ChannelDistance(a.pixel(x, y), b.pixel(x, y));
    return a.width() * a.height() > 0 ? sum / (a.width() * a.height()) : 0;
}
