// The JPEG encoder and the picture file writer: what a JPEG reader finds in the bytes, the BMP
// encoding, and the errors of a file that cannot be written.

#include "JpegDecode.h"
#include "JpegWriter.h"
#include "PictureFile.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <unistd.h>

namespace {

// Four solid quadrants in distinct colours: a swap of channels, a mirror or a lost row shows.
QImage Quadrants(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, w / 2, h / 2, QColor(220, 30, 30));
    painter.fillRect(w / 2, 0, w - w / 2, h / 2, QColor(30, 200, 40));
    painter.fillRect(0, h / 2, w / 2, h - h / 2, QColor(20, 40, 210));
    painter.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, QColor(240, 230, 20));
    return image;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(JpegWriter, WritesABaselineJfifFileWithThreeComponentsAtQualityNinety) {
    const TDecodedJpeg jpeg = DecodeJpeg(EncodeJpeg(Quadrants(64, 48)));
    ASSERT_EQ(jpeg.error, "");
    EXPECT_TRUE(jpeg.jfif);
    EXPECT_EQ(jpeg.components, 3);
    EXPECT_EQ(jpeg.colorSpace, JCS_YCbCr);
    EXPECT_FALSE(jpeg.progressive);
    EXPECT_FALSE(jpeg.arithmetic);
    EXPECT_TRUE(jpeg.baselineFrame);
    // The standard luminance table starts at 16; quality 90 scales it by 20 %.
    EXPECT_EQ(jpeg.lumaQuant0, 3);
}

TEST(JpegWriter, KeepsTheColoursOfEachQuadrant) {
    const QImage picture = Quadrants(64, 48);
    const TDecodedJpeg jpeg = DecodeJpeg(EncodeJpeg(picture));
    ASSERT_EQ(jpeg.error, "");
    ASSERT_EQ(jpeg.image.size(), picture.size());
    // Away from the edges where the colours meet, each quadrant keeps its colour.
    for (const QPoint p : {QPoint(16, 12), QPoint(48, 12), QPoint(16, 36), QPoint(48, 36)})
        EXPECT_LE(ChannelDistance(jpeg.image.pixel(p), picture.pixel(p)), 6) << p.x() << "," << p.y();
}

// Gentle ramps that chroma subsampling keeps: red falls to the right, blue grows downwards, green
// along the diagonal. A swap of red and blue, a mirror or rows read with the wrong stride all move
// pixels far from their colours.
QImage Ramps(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(200 - x / 2, 60 + (x + y) / 4, 30 + 2 * y));
    return image;
}

TEST(JpegWriter, KeepsSizeAndPixelsOfOddSizedPictures) {
    for (const QSize size : {QSize(37, 23), QSize(1, 1), QSize(301, 7), QSize(2, 90)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage picture = Ramps(size.width(), size.height());
        const TDecodedJpeg jpeg = DecodeJpeg(EncodeJpeg(picture));
        ASSERT_EQ(jpeg.error, "");
        ASSERT_EQ(jpeg.image.size(), size);
        EXPECT_LT(MeanDistance(jpeg.image, picture), 3.0);
        int worst = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) worst = std::max(worst, ChannelDistance(jpeg.image.pixel(x, y), picture.pixel(x, y)));
        EXPECT_LE(worst, 12);
    }
}

TEST(JpegWriter, AnEmptyPictureRaisesAnErrorInsteadOfEndingTheProgram) {
    EXPECT_THROW(EncodeJpeg(QImage()), std::runtime_error);
    // The encoder is whole again after the error.
    EXPECT_EQ(DecodeJpeg(EncodeJpeg(Quadrants(16, 16))).error, "");
}

TEST(BmpEncoding, ReadsBackWithExactlyThePixels) {
    QImage picture = Quadrants(37, 23);
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    const std::string bytes = EncodeBmp(picture);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes[28], 24) << "bits a pixel";
    QImage back;
    ASSERT_TRUE(back.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "BMP"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_THROW(EncodeBmp(QImage()), std::runtime_error);
}

class PictureFileTest : public testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/nodeloom-picture-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }
    std::string folder;
};

TEST_F(PictureFileTest, ReplacesAnExistingFileWhole) {
    const std::string path = folder + "/p.bmp";
    WritePictureFile(path, std::string(5000, 'x'));
    WritePictureFile(path, "short");
    EXPECT_EQ(ReadFile(path), "short");
}

TEST_F(PictureFileTest, AFileThatCannotBeCreatedNamesThePathAndTheCause) {
    const std::string path = folder + "/missing/p.bmp";
    try {
        WritePictureFile(path, "bytes");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". No such file or directory");
    }
}

TEST_F(PictureFileTest, AFailedWriteIsReported) {
    // Every write to /dev/full fails for want of space.
    const std::string path = folder + "/full.bmp";
    ASSERT_EQ(symlink("/dev/full", path.c_str()), 0);
    try {
        WritePictureFile(path, std::string(100000, 'x'));
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + path + "\". No space left on device");
    }
}

} // namespace
