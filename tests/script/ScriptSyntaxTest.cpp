// How a script line is read: the order of the command words and the parts of a branch that the game
// reads only when it gets to them.
#include "script/ScriptSyntax.h"

#include <gtest/gtest.h>

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
