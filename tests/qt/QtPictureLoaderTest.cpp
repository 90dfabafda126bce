#include "qt/QtPictureLoader.h"
#include "support/TestGame.h"

#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

void writePicture(const std::string& path, int side, QRgb colour) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

TEST(QtPictureLoader, KeepsTheLastPictureAndWhatFitsTheBudgetAndDecodesTheRestAgain) {
    TempGame game;
    // Twenty pictures of 16 MB each decoded: five times the budget.
    for (int i = 0; i < 20; ++i)
        writePicture(game.dir() + "/p" + std::to_string(i) + ".dat", 2048, qRgb(i, 0, 0));
    QtPictureLoader loader;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(loader.load(game.dir() + "/p" + std::to_string(i) + ".dat"));
    EXPECT_LE(loader.keptBytes(), QtPictureLoader::kBudgetBytes);
    EXPECT_LT(loader.keptPictures(), 20u);
    // A picture let go still paints: it is decoded again from its file.
    const QImage first = loader.picture(game.dir() + "/p0.dat");
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_LE(loader.keptBytes(), QtPictureLoader::kBudgetBytes);
}

// Only the pictures a box shows stay decoded, and the one decoded last; the others are decoded again
// when they are shown.
TEST(QtPictureLoader, KeepsOnlyWhatIsShownAndTheLastDecoded) {
    TempGame game;
    for (int i = 0; i < 4; ++i)
        writePicture(game.dir() + "/p" + std::to_string(i) + ".dat", 64, qRgb(i, 0, 0));
    QtPictureLoader loader;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(loader.load(game.dir() + "/p" + std::to_string(i) + ".dat"));
    ASSERT_EQ(loader.keptPictures(), 4u);
    loader.keepOnly({game.dir() + "/./p1.dat"});
    EXPECT_EQ(loader.keptPictures(), 2u) << "p1 is shown and p3 was decoded last";
    EXPECT_EQ(loader.keptBytes(), 2 * QImage(64, 64, QImage::Format_RGB32).sizeInBytes());
    const auto decoded = loader.generation();
    ASSERT_TRUE(loader.load(game.dir() + "/p1.dat"));
    ASSERT_TRUE(loader.load(game.dir() + "/p3.dat"));
    EXPECT_EQ(loader.generation(), decoded) << "a picture kept was decoded again";
    EXPECT_EQ(loader.picture(game.dir() + "/p0.dat").pixel(1, 1), qRgb(0, 0, 0));
    loader.keepOnly({});
    EXPECT_EQ(loader.keptPictures(), 1u) << "p0 was decoded last";
}

TEST(QtPictureLoader, KnowsAFileByWhatItIsNotByItsSpellingAndSeesItChange) {
    TempGame game;
    writePicture(game.dir() + "/pic.dat", 16, qRgb(255, 0, 0));
    QtPictureLoader loader;
    ASSERT_TRUE(loader.load(game.dir() + "/pic.dat"));
    const auto decoded = loader.generation();
    ASSERT_TRUE(loader.load(game.dir() + "/./pic.dat"));
    ASSERT_TRUE(loader.load(game.dir() + "//pic.dat"));
    EXPECT_EQ(loader.generation(), decoded) << "the same file was decoded again";
    EXPECT_EQ(loader.keptPictures(), 1u);

    // One picture larger than the whole budget is kept while it is the last one decoded.
    writePicture(game.dir() + "/big.dat", 5000, qRgb(0, 0, 255));
    ASSERT_TRUE(loader.load(game.dir() + "/big.dat"));
    EXPECT_EQ(loader.keptPictures(), 1u);

    // A changed file is decoded afresh.
    std::filesystem::remove(game.dir() + "/pic.dat");
    writePicture(game.dir() + "/pic.dat", 32, qRgb(0, 255, 0));
    auto size = loader.load(game.dir() + "/pic.dat");
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 32);
    EXPECT_GT(loader.generation(), decoded);
}

} // namespace
