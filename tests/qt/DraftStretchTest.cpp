#include "qt/DraftStretch.h"

#include <gtest/gtest.h>

namespace {

// Every pixel different from its neighbours, so a pixel taken from the wrong place shows.
QImage numbered(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x % 256, y % 256, (x / 256) * 16 + y / 256, 255));
    return image;
}

TEST(DraftStretch, TakesForEveryPixelThePictureUnderItsMiddle) {
    DraftStretch draft;
    const QImage picture = numbered(300, 200, QImage::Format_RGB32);
    for (QSize size : {QSize(300, 200), QSize(296, 197), QSize(304, 203), QSize(151, 99), QSize(607, 412),
                       QSize(1, 1), QSize(300, 1), QSize(2, 500)}) {
        const QImage& out = draft.stretched(picture, size);
        ASSERT_EQ(out.size(), size);
        ASSERT_EQ(out.format(), picture.format());
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                // The middle of pixel x, (x + 0.5) / width of the way across, in the picture.
                const int px = static_cast<int>((x + 0.5) * picture.width() / size.width());
                const int py = static_cast<int>((y + 0.5) * picture.height() / size.height());
                ASSERT_EQ(out.pixel(x, y), picture.pixel(px, py))
                    << "pixel " << x << ", " << y << " of " << size.width() << " x " << size.height();
            }
    }
    EXPECT_EQ(draft.stretched(picture, picture.size()), picture) << "at its own size, the picture itself";
}

TEST(DraftStretch, KeepsTheTranslucencyOfAPicture) {
    QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
    picture.fill(qRgba(0, 0, 0, 0));
    for (int x = 0; x < 20; ++x) picture.setPixel(x, 5, qRgba(100, 0, 0, 128));
    DraftStretch draft;
    const QImage& out = draft.stretched(picture, QSize(80, 60));
    EXPECT_EQ(out.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(out.pixel(0, 0), qRgba(0, 0, 0, 0));
    EXPECT_EQ(qAlpha(out.pixel(10, 10)), 128);
}

} // namespace
