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

// The system calls a replacement makes, seen through the linker's wrapping of fsync and rename (see
// tests/CMakeLists.txt): the new bytes must be on the disk before the rename makes them the file.
namespace {
std::vector<std::string> systemCalls;
}

extern "C" {
int __real_fsync(int fd);
int __real_rename(const char* from, const char* to);

int __wrap_fsync(int fd) {
    struct stat info {};
    const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    systemCalls.push_back(folder ? "fsync folder" : "fsync file");
    return __real_fsync(fd);
}

int __wrap_rename(const char* from, const char* to) {
    systemCalls.push_back("rename");
    return __real_rename(from, to);
}
}

TEST(FileReplace, TheNewBytesReachTheDiskBeforeTheRenameAndTheRenameAfterIt) {
    TempGame game;
    std::string why;
    systemCalls.clear();
    ASSERT_TRUE(replaceWholeFile(game.dir() + "/save.dat", "one\r\n", why)) << why;
    EXPECT_EQ(systemCalls, (std::vector<std::string>{"fsync file", "rename", "fsync folder"}));
}
