#include "BmpWriter.h"

#include "Geometry.h"

#include <QImage>

#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace {

void PutLittle(std::string& to, std::size_t at, std::uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) to[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (8 * k) & 0xFFu);
}

} // namespace

std::size_t BmpRowBytes(int width) { return (static_cast<std::size_t>(width > 0 ? width : 0) * 3 + 3) / 4 * 4; }

std::string BmpHeader(int width, int height) {
    constexpr std::size_t Header = 54;
    const std::size_t size = Header + BmpRowBytes(width) * static_cast<std::size_t>(height > 0 ? height : 0);
    if (width <= 0 || height <= 0 || size > 0xFFFFFFFFu)
        throw std::runtime_error("The picture cannot be encoded as BMP");
    std::string header(Header, '\0');
    header[0] = 'B';
    header[1] = 'M';
    PutLittle(header, 2, static_cast<std::uint32_t>(size), 4);
    PutLittle(header, 10, Header, 4);
    PutLittle(header, 14, 40, 4); // BITMAPINFOHEADER
    PutLittle(header, 18, static_cast<std::uint32_t>(width), 4);
    PutLittle(header, 22, static_cast<std::uint32_t>(height), 4); // rows stored from the bottom up
    PutLittle(header, 26, 1, 2);
    PutLittle(header, 28, 24, 2);
    PutLittle(header, 34, static_cast<std::uint32_t>(size - Header), 4);
    PutLittle(header, 38, 3780, 4); // 96 pixels an inch
    PutLittle(header, 42, geometry::PixelsPerMetre, 4);
    return header;
}

void BmpRow(const QImage& image, int y, int width, char* to) {
    const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
        to[3 * x] = static_cast<char>(qBlue(from[x]));
        to[3 * x + 1] = static_cast<char>(qGreen(from[x]));
        to[3 * x + 2] = static_cast<char>(qRed(from[x]));
    }
}

TBmpWriter::TBmpWriter(int width, int height) : width_(width), height_(height), stride_(BmpRowBytes(width)) {
    bytes_ = BmpHeader(width, height);
    bytes_.resize(bytes_.size() + stride_ * static_cast<std::size_t>(height), '\0');
}

void TBmpWriter::Rows(const QImage& image, int top, int count) {
    for (int y = 0; y < count && top + y < height_; ++y)
        BmpRow(image, y, width_, bytes_.data() + 54 + stride_ * static_cast<std::size_t>(height_ - 1 - (top + y)));
}

std::string EncodeBmp(const QImage& picture) {
    if (picture.isNull()) throw std::runtime_error("The picture cannot be encoded as BMP");
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    TBmpWriter bmp(rgb.width(), rgb.height());
    bmp.Rows(rgb, 0, rgb.height());
    return bmp.Finish();
}
