// The sizes the browser build reads from picture headers are the sizes the window's decoder finds.
#include "platform/PictureHeader.h"
#include "qt/QtPictureLoader.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(PictureHeader, AgreesWithTheWindowsDecoderOnTheBuiltInPictures) {
    QtPictureLoader qt;
    HeaderPictureLoader header;
    int pictures = 0;
    for (const auto& e : std::filesystem::directory_iterator(std::string(RUMENA_DEMO_GAME) + "/grf")) {
        const std::string path = e.path().string();
        const auto want = qt.load(path);
        const auto got = header.load(path);
        ASSERT_EQ(want.has_value(), got.has_value()) << path;
        if (!want) continue;
        EXPECT_EQ(got->width, want->width) << path;
        EXPECT_EQ(got->height, want->height) << path;
        ++pictures;
    }
    EXPECT_GT(pictures, 10);
}
