// The JPEG encoder: what a JPEG reader finds in the bytes it writes.

#include "JpegWriter.h"
#include "JpegDecode.h"
#include "TestPictures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

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
            for (int x = 0; x < size.width(); ++x)
                worst = std::max(worst, ChannelDistance(jpeg.image.pixel(x, y), picture.pixel(x, y)));
        EXPECT_LE(worst, 12);
    }
}

TEST(JpegWriter, AnEmptyPictureRaisesAnErrorInsteadOfEndingTheProgram) {
    EXPECT_THROW(EncodeJpeg(QImage()), std::runtime_error);
    // The encoder is whole again after the error.
    EXPECT_EQ(DecodeJpeg(EncodeJpeg(Quadrants(16, 16))).error, "");
}

} // namespace
