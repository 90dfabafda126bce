#include "platform/TextFile.h"
#include "platform/GameFiles.h"
#include "platform/TextCodec.h"
#include "support/TestGame.h"

#include <filesystem>
#include <gtest/gtest.h>

TEST(TextFile, DecodesShiftJisAndCountsCharacters) {
    // "ルメナ" in Shift-JIS, then ASCII: each Japanese character is one unit.
    auto lines = TextFile::splitLines("\x83\x8B\x83\x81\x83\x69"
                                      "abc");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], u"ルメナabc");
    EXPECT_EQ(lines[0].size(), 6u);
}

TEST(TextFile, DecodesTheNecAndIbmExtensions) {
    // ① and ≒ (NEC row 13), 纊 (NEC-selected IBM extension), ⅰ (IBM extension).
    auto lines = TextFile::splitLines("\x87\x40\x81\xE0\xED\x40\xFA\x40");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], u"①≒纊ⅰ");
}

TEST(TextFile, EndsLinesAtCrLfLoneCrAndLoneLf) {
    auto lines = TextFile::splitLines("a\r\nb\rc\nd\r\n\r\ne");
    EXPECT_EQ(lines, (std::vector<std::u16string>{u"a", u"b", u"c", u"d", u"", u"e"}));
    // A final line end adds no empty line; an empty file has none.
    EXPECT_EQ(TextFile::splitLines("a\r\n").size(), 1u);
    EXPECT_TRUE(TextFile::splitLines("").empty());
    EXPECT_EQ(TextFile::splitLines("\r\n"), (std::vector<std::u16string>{u""}));
}

TEST(TextFile, TurnsInvalidBytesIntoReplacementCharacters) {
    // A lone lead byte at the end, a byte that is no character, then good text.
    auto lines = TextFile::splitLines("\xA0"
                                      "x\r\n\x83");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], u"\uFFFDx");
    EXPECT_EQ(lines[1], u"\uFFFD");
}

TEST(TextFile, ReadsLineByLineWithNumbers) {
    TempGame game;
    game.lines("txt/a.dat", {"一行目", "", "三行目"});
    TextFile f;
    ASSERT_TRUE(f.open(game.dir() + "/txt/a.dat"));
    EXPECT_EQ(f.readLine(), u"一行目");
    EXPECT_EQ(f.readLine(), u"");
    EXPECT_FALSE(f.atEnd());
    EXPECT_EQ(f.readLine(), u"三行目");
    EXPECT_EQ(f.lineNumber(), 3u);
    EXPECT_TRUE(f.atEnd());
    EXPECT_FALSE(f.open(game.dir() + "/txt/none.dat"));
    EXPECT_FALSE(f.isOpen());
}

TEST(TextFile, OpenDecodesEachLineOnItsOwn) {
    // A lead byte cut off by a line end spoils only its own line; empty lines and all three line ends.
    TempGame game;
    game.bytes("txt/a.dat", "\x83\r\n\x83\x8B\x83\r\n\nx\ry\xA0\r\n\r\n\x83\x69");
    TextFile f;
    ASSERT_TRUE(f.open(game.dir() + "/txt/a.dat"));
    std::vector<std::u16string> lines;
    while (!f.atEnd()) lines.push_back(f.readLine());
    EXPECT_EQ(lines,
              (std::vector<std::u16string>{u"\uFFFD", u"ル\uFFFD", u"", u"x", u"y\uFFFD", u"", u"ナ"}));
    f.close();
    EXPECT_TRUE(f.atEnd());
}

TEST(TextFile, WritesShiftJisWithCrLf) {
    TempGame game;
    const std::string path = game.dir() + "/out.dat";
    ASSERT_TRUE(writeTextFile(path, {u"ルメナ", u"x"}));
    TextFile f;
    ASSERT_TRUE(f.open(path));
    EXPECT_EQ(f.readLine(), u"ルメナ");
    EXPECT_EQ(std::filesystem::file_size(path), 6u + 2 + 1 + 2);
}

TEST(GameFiles, FindsNamesWithoutRegardToCaseAndTakesBackslashAsSeparator) {
    TempGame game;
    game.bytes("txt/Sub/Scene.DAT", "x");
    const std::string exact = game.dir() + "/txt/Sub/Scene.DAT";
    EXPECT_EQ(findGameFile(exact), exact);
    EXPECT_EQ(findGameFile(game.dir() + "/txt/sub/scene.dat"), exact);
    EXPECT_EQ(findGameFile(game.dir() + "/txt/SUB\\scene.dat"), exact);
    // Nothing matches: the name asked for comes back, for the error message.
    EXPECT_EQ(findGameFile(game.dir() + "/txt/other.dat"), game.dir() + "/txt/other.dat");
}

TEST(TextFile, OpenReadsEveryByteBeforeEachLineEndAsLineByLine) {
    // Each byte (a lead byte among them) just before a CR, an LF and a CR LF, empty lines, and a last
    // line without an end: the file read whole gives the lines each decoded on its own.
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        for (const char* end : {"\r", "\n", "\r\n", "\r\r", "\n\r"})
            bytes += "x" + std::string(1, static_cast<char>(b)) + end;
    bytes += "\x83\x8B\x83";
    TempGame game;
    game.bytes("txt/a.dat", bytes);
    TextFile f;
    ASSERT_TRUE(f.open(game.dir() + "/txt/a.dat"));
    std::vector<std::u16string> lines;
    while (!f.atEnd()) lines.push_back(f.readLine());
    EXPECT_EQ(lines, TextFile::splitLines(bytes));
    EXPECT_EQ(lines.back(), u"ル\uFFFD");
}
