// The picture files: the BMP encoding, and writing encoded bytes to a path with the errors of a
// file that cannot be written.

#include "BmpWriter.h"
#include "Files.h"
#include "GraphExport.h"
#include "PngWriter.h"
#include "TestPictures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace {

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

// The PNG writer's pictures read back exactly, given in bands of any height: white rows repeated
// at the top, in the middle and at the bottom, a repeated row that is not white, noise that takes
// every filter, and pictures one pixel wide or high. A picture given short of rows is refused.
TEST(PngEncoding, ReadsBackWithExactlyThePixels) {
    QImage picture = WhiteImage(301, 97);
    const QImage quadrants = Quadrants(301, 20);
    for (int y = 0; y < 20; ++y) std::copy_n(quadrants.constScanLine(y), 301 * 4, picture.scanLine(40 + y));
    std::uint32_t seed = 7;
    for (int x = 0; x < 301; ++x) picture.setPixel(x, 70, (seed = seed * 1103515245u + 12345u) >> 8);
    for (int y = 71; y < 74; ++y) std::copy_n(picture.constScanLine(70), 301 * 4, picture.scanLine(y));
    for (const QImage& image : {picture, Quadrants(1, 9), Quadrants(9, 1), WhiteImage(5, 5)})
        for (const int band : {1, 7, 97}) {
            SCOPED_TRACE(std::to_string(image.width()) + " wide, bands of " + std::to_string(band));
            TPngWriter png(image.width(), image.height());
            for (int top = 0; top < image.height(); top += band) {
                const int rows = std::min(band, image.height() - top);
                png.Rows(image.copy(0, top, image.width(), rows), rows);
            }
            const std::string bytes = png.Finish();
            const QImage back =
                QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "PNG");
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image.convertToFormat(QImage::Format_RGB32));
        }
    TPngWriter partial(4, 4);
    partial.Rows(WhiteImage(4, 4), 3);
    EXPECT_THROW(partial.Finish(), std::runtime_error);
    EXPECT_THROW(TPngWriter(0, 4), std::runtime_error);
}

class PictureFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir.path.empty()); }
    TempFolder dir;
    const std::string folder = dir.path;
};

TEST_F(PictureFileTest, ReplacesAnExistingFileWhole) {
    const std::string path = folder + "/p.bmp";
    WritePictureFile(path, std::string(5000, 'x'));
    WritePictureFile(path, "short");
    EXPECT_EQ(ReadBytes(path), "short");
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

TEST_F(PictureFileTest, ALinkToADeviceIsRefusedAndTheDeviceLeftAlone) {
    // Every write to /dev/full would fail for want of space; it is not even opened.
    const std::string path = folder + "/full.bmp";
    ASSERT_EQ(symlink("/dev/full", path.c_str()), 0);
    try {
        WritePictureFile(path, std::string(100000, 'x'));
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + path + "\". It is a character device, not a regular file");
    }
    char target[64] = {};
    EXPECT_EQ(readlink(path.c_str(), target, sizeof target - 1), 9);
    EXPECT_STREQ(target, "/dev/full");
}

} // namespace
