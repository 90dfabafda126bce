// How a script line is read: the order of the command words and the parts of a branch that the game
// reads only when it gets to them.
#include "script/ScriptSyntax.h"

#include <gtest/gtest.h>
#include <random>

using Kind = ScriptSyntax::Kind;

TEST(ScriptSyntax, TheFirstCommandWordInTheFixedOrderWins) {
    EXPECT_EQ(ScriptSyntax::parse(u">img>flower").kind, Kind::DisablePanel);
    EXPECT_EQ(ScriptSyntax::parse(u">imgf").kind, Kind::ClearPicture);
    EXPECT_EQ(ScriptSyntax::parse(u">qstend").kind, Kind::Question);
    EXPECT_EQ(ScriptSyntax::parse(u">bgm>stop").kind, Kind::MusicStop);
    EXPECT_EQ(ScriptSyntax::parse(u">bgm>Stop").kind, Kind::Music);
    EXPECT_EQ(ScriptSyntax::parse(u"ゲーム>gameover").kind, Kind::Text);
    const auto late = ScriptSyntax::parse(u"彼は>gn>0と言った");
    EXPECT_EQ(late.kind, Kind::Gn);
    EXPECT_EQ(late.wordAt, 3u);
    EXPECT_FALSE(late.error.empty());
}

TEST(ScriptSyntax, BranchKeepsEachConditionsErrorForWhenItIsRead) {
    const auto c = ScriptSyntax::parse(u">swb*1,0>x*a|b");
    EXPECT_TRUE(c.error.empty());
    ASSERT_EQ(c.conditions.size(), 2u);
    EXPECT_TRUE(c.conditions[0].error.empty());
    EXPECT_EQ(c.conditions[0].first, 1);
    EXPECT_FALSE(c.conditions[1].error.empty());
    EXPECT_EQ(*c.sceneA, u"a");
    EXPECT_EQ(c.sceneB, u"b");

    // Without a bar there is no scene A, and B is all of the targets.
    const auto noBar = ScriptSyntax::parse(u">swc*0*only");
    EXPECT_FALSE(noBar.sceneA);
    EXPECT_EQ(noBar.sceneB, u"only");
    EXPECT_FALSE(ScriptSyntax::parse(u">swc*0").error.empty());
}

TEST(ScriptSyntax, BonusPageSourceIsACharacterOrAFile) {
    const auto gated = ScriptSyntax::parse(u">html>2>page");
    EXPECT_TRUE(gated.flagGated);
    EXPECT_EQ(gated.first, 2);
    EXPECT_EQ(gated.page, u"page");
    EXPECT_FALSE(ScriptSyntax::parse(u">html>3>page").error.empty());
    const auto named = ScriptSyntax::parse(u">html>omake>a>b");
    EXPECT_FALSE(named.flagGated);
    EXPECT_EQ(named.name, u"omake");
    EXPECT_EQ(named.page, u"a>b");
    EXPECT_FALSE(ScriptSyntax::parse(u">html>omake").error.empty());
}

TEST(ScriptSyntax, ALineIsTakenForTheFirstWordInTheOrderWhereverItStands) {
    // Lines pieced together from command words, their starts and other text (characters with a byte
    // 0x3E among them), each read against the plain rule: the first word of the order that the line
    // contains, found where it first occurs.
    const std::u16string_view order[] = {u">bgm>", u">f",    u">imgf",  u">img",   u">qst", u">gn",
                                         u">cn",   u">love", u">on",    u">off",   u">swc", u">swb",
                                         u">ive",  u">html", u">staff", u">ending"};
    const std::u16string_view pauses[] = {u">ive", u">game", u">ending", u">staff", u">swc", u">swb"};
    const std::u16string_view pieces[] = {u">",     u">>",  u"o",    u"n",      u"ff",     u"img",   u"f",
                                          u"gn",    u"swb", u"ive",  u"bgm",    u"end",    u"ing",   u"ga",
                                          u"me",    u"qst", u"love", u"cn",     u"1,2",    u"町",    u"html",
                                          u"staff", u"sw",  u"c",    u"\u3E00", u"\u4E3E", u"\u3E3E"};
    std::mt19937 random(5);
    std::uniform_int_distribution<std::size_t> count(0, 7), piece(0, std::size(pieces) - 1);
    auto firstOf = [](const std::u16string& line, auto& words) -> std::u16string_view {
        for (std::u16string_view word : words)
            if (line.find(word) != std::u16string::npos) return word;
        return {};
    };
    for (int n = 0; n < 20000; ++n) {
        std::u16string line;
        for (std::size_t k = count(random); k > 0; --k) line += pieces[piece(random)];
        const auto c = ScriptSyntax::parse(line);
        const std::u16string_view word = firstOf(line, order);
        ASSERT_EQ(c.word, word) << "line " << n;
        ASSERT_EQ(c.kind == Kind::Text, word.empty()) << "line " << n;
        ASSERT_EQ(c.wordAt, word.empty() ? 0 : line.find(word) + 1) << "line " << n;
        ASSERT_EQ(ScriptSyntax::pauseWord(line), firstOf(line, pauses)) << "line " << n;
    }
}
