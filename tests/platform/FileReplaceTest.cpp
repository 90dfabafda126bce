#include "platform/FileReplace.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string contentOf(const fs::path& p) {
    std::string bytes;
    EXPECT_TRUE(readWholeFile(p.string(), bytes)) << p;
    return bytes;
}

} // namespace

TEST(FileReplace, ALeftoverUnderTheTemporaryNameIsReplacedNeverWrittenThrough) {
    TempGame game;
    const fs::path dir = game.dir();
    const fs::path target = dir / "save.dat";
    const fs::path temp = dir / "save.dat.tmp";
    std::string why;

    // A link left there would otherwise carry the new bytes to another file.
    game.bytes("elsewhere.dat", "not yours");
    fs::create_symlink(dir / "elsewhere.dat", temp);
    ASSERT_TRUE(replaceWholeFile(target.string(), "one\r\n", why)) << why;
    EXPECT_EQ(contentOf(target), "one\r\n");
    EXPECT_EQ(contentOf(dir / "elsewhere.dat"), "not yours");
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));

    // A pipe left there would otherwise make the write wait for ever.
    ASSERT_EQ(mkfifo(temp.c_str(), 0600), 0);
    ASSERT_TRUE(replaceWholeFile(target.string(), "two\r\n", why)) << why;
    EXPECT_EQ(contentOf(target), "two\r\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp)));
}

TEST(FileReplace, AFolderThatCannotTakeTheFileSaysWhy) {
    TempGame game;
    std::string why;
    const fs::path target = fs::path(game.dir()) / "missing" / "page.html";
    EXPECT_FALSE(replaceWholeFile(target.string(), "x", why));
    EXPECT_NE(why.find("page.html.tmp"), std::string::npos) << why;
    std::string bytes;
    EXPECT_FALSE(readWholeFile(target.string(), bytes));
}
