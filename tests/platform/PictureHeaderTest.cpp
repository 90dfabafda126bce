#include "platform/PictureHeader.h"

#include "support/TestGame.h"

#include <gtest/gtest.h>

namespace {

std::string le16(int v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)};
}
std::string le32(int v) {
    return le16(v & 0xFFFF) + le16(v >> 16 & 0xFFFF);
}
std::string be16(int v) {
    return {static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v & 0xFF)};
}
std::string be32(int v) {
    return be16(v >> 16 & 0xFFFF) + be16(v & 0xFFFF);
}

std::string png(int w, int h) {
    return std::string("\x89PNG\r\n\x1A\n", 8) + be32(13) + "IHDR" + be32(w) + be32(h) + std::string(5, '\0');
}

std::string bmp(int w, int h) {
    return "BM" + le32(0) + le32(0) + le32(54) + le32(40) + le32(w) + le32(h) + le16(1) + le16(24);
}

std::string jpeg(int w, int h) {
    // Start of image, an APP0 segment and a comment before the baseline frame.
    std::string app0 = "\xFF\xE0" + be16(16) + std::string("JFIF\0", 5) + std::string(9, '\0');
    std::string comment = "\xFF\xFE" + be16(7) + "hello";
    std::string frame = "\xFF\xC0" + be16(17) + "\x08" + be16(h) + be16(w) + "\x03" + std::string(9, '\0');
    return "\xFF\xD8" + app0 + comment + frame + "\xFF\xDA";
}

void expectSize(const std::optional<PictureSize>& s, int w, int h) {
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->width, w);
    EXPECT_EQ(s->height, h);
}

} // namespace

TEST(PictureHeader, ReadsTheSizeOfEachFormat) {
    expectSize(pictureSizeFromHeader(png(1920, 1440)), 1920, 1440);
    expectSize(pictureSizeFromHeader(bmp(40, 30)), 40, 30);
    // A BMP stored top row first has a negative height.
    expectSize(pictureSizeFromHeader(bmp(40, -30)), 40, 30);
    expectSize(pictureSizeFromHeader("GIF89a" + le16(320) + le16(200) + std::string(3, '\0')), 320, 200);
    expectSize(pictureSizeFromHeader("GIF87a" + le16(1) + le16(2)), 1, 2);
    expectSize(pictureSizeFromHeader(jpeg(640, 480)), 640, 480);
    // A progressive JPEG's frame marker.
    std::string progressive = jpeg(800, 600);
    progressive[progressive.find("\xFF\xC0")] = '\xFF',
    progressive[progressive.find("\xFF\xC0") + 1] = '\xC2';
    expectSize(pictureSizeFromHeader(progressive), 800, 600);
}

TEST(PictureHeader, RefusesWhatIsNoPictureOrIsCutShort) {
    EXPECT_FALSE(pictureSizeFromHeader(""));
    EXPECT_FALSE(pictureSizeFromHeader("not a picture"));
    EXPECT_FALSE(pictureSizeFromHeader(png(10, 10).substr(0, 20)));
    EXPECT_FALSE(pictureSizeFromHeader(bmp(10, 10).substr(0, 20)));
    EXPECT_FALSE(pictureSizeFromHeader(jpeg(10, 10).substr(0, 30)));
    EXPECT_FALSE(pictureSizeFromHeader(png(0, 10)));
    EXPECT_FALSE(pictureSizeFromHeader(bmp(10, 0)));
    // A JPEG whose image data comes before any frame, and one whose segment length is broken.
    EXPECT_FALSE(pictureSizeFromHeader(std::string("\xFF\xD8\xFF\xDA") + be16(8) + "xxxxxx"));
    EXPECT_FALSE(pictureSizeFromHeader(std::string("\xFF\xD8\xFF\xE0") + be16(1) + "xxxxxx"));
}

TEST(PictureHeader, LoaderReadsFilesAndMissesQuietly) {
    TempGame game;
    game.bytes("grf/a.dat", png(12, 34));
    HeaderPictureLoader loader;
    expectSize(loader.load(game.dir() + "/grf/a.dat"), 12, 34);
    EXPECT_FALSE(loader.load(game.dir() + "/grf/missing.dat"));
}
