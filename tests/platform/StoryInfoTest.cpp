#include "platform/StoryInfo.h"
#include "platform/TextCodec.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

// What an author may write in story.txt, and what the reader makes of it.
TEST(StoryInfo, ReadsTheStorysNameAndSaysWhatItPassedOver) {
    struct Case {
        std::string file;
        std::string title, name;
        std::vector<std::size_t> problemLines; // 0: the file as a whole
    } cases[] = {
        {"# a comment\r\ntitle: 灯台の町\r\nauthor: 花子\r\nname: town\r\n", "灯台の町", "town", {}},
        {"\xEF\xBB\xBFTitle :  灯台  \nDESCRIPTION: a tale\n", "灯台", "", {}},
        {"title: one\ntitle: two\n", "two", "", {2}},
        {"title: t\nname: Not A Name\nsubtitle: x\njust words\n", "t", "", {2, 3, 4}},
        {"author: nobody\n", "", "", {0}},
        // Shift-JIS, as the game's own files are, is taken too.
        {text::toShiftJis(u"title: 灯台\r\n"), "灯台", "", {}},
    };
    for (const Case& c : cases) {
        TempGame game;
        game.bytes("story.txt", c.file);
        const StoryInfo info = StoryInfo::read(game.dir());
        SCOPED_TRACE(c.file);
        EXPECT_TRUE(info.found);
        EXPECT_EQ(info.title, c.title);
        EXPECT_EQ(info.name, c.name);
        std::vector<std::size_t> lines;
        for (const auto& p : info.problems) lines.push_back(p.line);
        EXPECT_EQ(lines, c.problemLines);
    }
    TempGame none;
    EXPECT_FALSE(StoryInfo::read(none.dir()).found);
    EXPECT_TRUE(StoryInfo::read(none.dir()).problems.empty()) << "the file is the author's choice";
}

TEST(StoryInfo, APackageNameFromTheFileOrTheFolder) {
    StoryInfo named;
    named.name = "my-tale";
    EXPECT_EQ(named.packageName("/games/whatever"), "my-tale");
    EXPECT_EQ(StoryInfo().packageName("/games/My Tale 2/"), "my-tale-2");
    EXPECT_EQ(StoryInfo().packageName("/games/物語"), "story") << "no letters to make one of";
    EXPECT_FALSE(StoryInfo::isPackageName("-x"));
    EXPECT_FALSE(StoryInfo::isPackageName("a"));
    EXPECT_TRUE(StoryInfo::isPackageName("a1-b"));
}
