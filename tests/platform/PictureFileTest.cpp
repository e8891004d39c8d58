// The picture files: the BMP encoding, and writing encoded bytes to a path with the errors of a
// file that cannot be written.

#include "Files.h"
#include "PictureFile.h"
#include "TestPictures.h"

#include <QImage>

#include <gtest/gtest.h>

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
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + path + "\". It is a character device, not a regular file");
    }
    char target[64] = {};
    EXPECT_EQ(readlink(path.c_str(), target, sizeof target - 1), 9);
    EXPECT_STREQ(target, "/dev/full");
}

} // namespace
