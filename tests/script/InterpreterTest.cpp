#include "app/GameError.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

namespace {

// A started game whose opening scene is the given script.
struct Story {
    TempGame game;
    std::unique_ptr<TestWindow> w;
    explicit Story(const std::vector<std::string>& opening, int commands = 7) {
        game.minimal(commands);
        game.lines("txt/opn.dat", opening);
        w = std::make_unique<TestWindow>(game);
        w->start();
        w->fom.StartCom_Click(0);
    }
    Fom& fom() { return w->fom; }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) fom().LblTim_Timer();
    }
    std::string bottom() const { return utf8(w->fom.Lbl[20]->caption); }
    bool magenta() const { return w->fom.ClickMe.visible && w->fom.ClickMe.fillColor == rgb(255, 0, 255); }
    bool cyan() const { return w->fom.ClickMe.visible && w->fom.ClickMe.fillColor == rgb(0, 255, 255); }
};

} // namespace

TEST(Interpreter, FirstTickOfAScriptShowsABlankLine) {
    Story s({"一"});
    s.fom().Lbl[20]->caption = u"old";
    s.tick();
    EXPECT_EQ(s.bottom(), "");
    EXPECT_EQ(utf8(s.fom().script.NextLine), "一");
    EXPECT_EQ(utf8(s.fom().Lbl[19]->caption), "old");
}

TEST(Interpreter, AnEmptyScriptEndsAtOnce) {
    Story s({});
    s.fom().com[0]->enabled = false;
    s.tick();
    EXPECT_TRUE(s.magenta());
    EXPECT_TRUE(s.fom().com[0]->enabled);
    EXPECT_FALSE(s.fom().LblTim.enabled());
    EXPECT_EQ(s.bottom(), "");
}

TEST(Interpreter, TheEndIsFoundTwiceWhenTheLastLineContinuesAtOnce) {
    // The nested step after the last command finds the end again and shows one more blank line.
    Story s({"文", ">gn>1"});
    s.tick(2);
    ASSERT_EQ(s.bottom(), "文");
    s.fom().com[0]->enabled = false;
    s.tick();
    EXPECT_TRUE(s.fom().game.GnFlags[1]);
    EXPECT_TRUE(s.magenta());
    EXPECT_TRUE(s.fom().com[0]->enabled);
    EXPECT_EQ(s.bottom(), "");
    EXPECT_EQ(utf8(s.fom().Lbl[19]->caption), "文");
}

TEST(Interpreter, ALastLineJumpLeavesThePanelEnabledInTheNextScene) {
    Story s({"文", ">ive>next"});
    s.game.lines("txt/next.dat", {">f", "つぎ", "まだ"});
    s.tick(2);
    ASSERT_TRUE(s.cyan());
    s.fom().com[2]->enabled = false;
    s.fom().Form_Click();
    // The end was found before the jump: magenta colour, panel on, next scene running.
    EXPECT_TRUE(s.fom().com[2]->enabled);
    EXPECT_EQ(s.fom().ClickMe.fillColor, rgb(255, 0, 255));
    EXPECT_TRUE(s.fom().LblTim.enabled());
    s.fom().Form_Click(); // magenta: no resume
    EXPECT_EQ(utf8(s.fom().script.NextLine), "");
    s.tick(2);
    EXPECT_FALSE(s.fom().com[2]->enabled);
    EXPECT_EQ(s.bottom(), "つぎ");
}

TEST(Interpreter, GameIsAPauseWordButShowsAsText) {
    Story s({"前", ">game over", "後"});
    s.tick(2);
    EXPECT_TRUE(s.cyan());
    s.fom().Form_Click();
    EXPECT_EQ(s.bottom(), ">game over");
}

TEST(Interpreter, DispatchTakesTheFirstMatchingWord) {
    // ">imgf" before ">img"; ">f" anywhere before the flag rows.
    Story s({">img>pic", ">imgf", ">on>0,1>f", "止", "続"});
    s.game.bytes("grf/pic.dat", "PICTURE 4 3");
    s.tick(2);
    EXPECT_EQ(utf8(s.fom().Pic.pictureName), "");
    EXPECT_EQ(utf8(s.fom().E.pictureName), "pic");
    EXPECT_FALSE(s.fom().game.OnOffFlags[0][1]);
    EXPECT_FALSE(s.fom().com[0]->enabled);
}

TEST(Interpreter, AStrayQuestionEndIsTakenAsAQuestion) {
    Story s({">qstend", "後>next", ">qstend"});
    s.tick(2);
    EXPECT_FALSE(s.fom().LblTim.enabled());
    EXPECT_TRUE(s.fom().QstLBl[0]->visible);
    EXPECT_EQ(utf8(s.fom().QstLBl[0]->caption), "後");
    EXPECT_EQ(s.bottom(), "");
}

TEST(Interpreter, LoveAmountsAreRoundedToTheNearestWhole) {
    // Halves go to the even neighbour.
    Story s({">love>0,2.6", ">love>1,2.4", ">love>2,2.5", "文"});
    s.tick(2);
    EXPECT_EQ(s.fom().game.LoveLevels, (std::array<std::uint8_t, 3>{3, 2, 2}));
    s.fom().AddLove(2, 1.5);
    EXPECT_EQ(s.fom().game.LoveLevels[2], 4);
}

TEST(Interpreter, ASceneChangeStopsThePromptsBlink) {
    // The jump on the last line is carried out after the end of the file showed the magenta prompt.
    Story s({"文", ">ive>next"});
    s.game.lines("txt/next.dat", {"つぎ"});
    s.game.lines("txt/a_1.dat", {"誰もいない"});
    s.game.lines("txt/a_m.dat", {"誰もいない"});
    s.tick(2);
    ASSERT_TRUE(s.cyan());
    s.fom().Form_Click();
    EXPECT_FALSE(s.fom().ClickMe.visible);
    EXPECT_FALSE(s.fom().LblShpTim.enabled());
    EXPECT_EQ(s.w->router.tick("LblShpTim"), EventRouter::Result::Ignored);

    // The command panel starts the next scene while the magenta prompt blinks.
    s.tick(3);
    ASSERT_TRUE(s.magenta());
    ASSERT_TRUE(s.fom().LblShpTim.enabled());
    s.fom().com_Click(0);
    EXPECT_FALSE(s.fom().ClickMe.visible);
    EXPECT_FALSE(s.fom().LblShpTim.enabled());
}

TEST(Interpreter, HundredThousandInstantCommandsRunInOneTickWithoutDeepening) {
    std::vector<std::string> lines(100000, ">on>0,0");
    lines.push_back("最後");
    Story s(lines);
    s.tick(2);
    EXPECT_EQ(s.bottom(), "最後");
    EXPECT_TRUE(s.fom().game.OnOffFlags[0][0]);
}

TEST(Interpreter, MusicLinesAndTheStaffRoll) {
    Story s({">bgm>stop", ">bgm>Stop", "文", ">staff"});
    s.game.lines("txt/staff.dat", {"スタッフ"});
    s.w->fake.music.commands.clear();
    s.tick(2);
    const std::string base = s.fom().BaseDir;
    EXPECT_EQ(s.w->fake.music.commands,
              (std::vector<std::string>{"stop MIDI notify", "close MIDI notify",
                                        "open \"" + base + "Stop.mp3\" alias MIDI", "play MIDI notify"}));
    ASSERT_TRUE(s.cyan());
    s.w->fake.music.commands.clear();
    s.fom().Form_Click();
    EXPECT_EQ(s.w->fake.music.commands,
              (std::vector<std::string>{"close MIDI notify", "open \"" + base + "end.mp3\" alias MIDI",
                                        "play MIDI notify"}));
    for (const Control* c : s.fom().com) EXPECT_FALSE(c->enabled);
    s.tick(2);
    EXPECT_EQ(s.bottom(), "スタッフ");
}

TEST(Interpreter, TheEndingReturnsToTheTitleAndStrayClicksAreHarmless) {
    Story s({"文", ">ending", "後"});
    s.game.bytes("grf/ttl.dat", "PICTURE 8 6");
    s.tick(2);
    s.fom().Form_Click();
    EXPECT_TRUE(s.fom().PicTtl.visible);
    EXPECT_FALSE(s.fom().script.file.isOpen());
    EXPECT_FALSE(s.fom().LblTim.enabled());
    // The prompt's colour is still cyan: a click runs a step with no script, which changes nothing.
    ASSERT_EQ(s.fom().ClickMe.fillColor, rgb(0, 255, 255));
    s.fom().Form_Click();
    EXPECT_FALSE(s.fom().LblTim.enabled());
    EXPECT_EQ(s.bottom(), "文");
}

TEST(Interpreter, ErrorsNameFileLineAndWhatWasExpected) {
    struct Case {
        std::string line, expected;
    };
    for (const Case& c : std::vector<Case>{{">gn>x", ">gn> needs an index 0 to 2"},
                                           {">cn>-1", ">cn> needs an index 0 to 2"},
                                           {">love>1", ">love> needs a character"},
                                           {">love>3,2", ">love> needs a character"},
                                           {">on>0,4", ">on> needs t,u"},
                                           {">off>", ">off> needs t,u"},
                                           {">swc*0", ">swc needs"},
                                           {">swb*0*a|b", ">swb needs"},
                                           {">html>abc", ">html> needs"}}) {
        Story s({"文", "文", c.line});
        s.tick(3);
        try {
            if (c.line.find(">sw") != std::string::npos)
                s.fom().Form_Click(); // the branch waits for the resume click
            else
                s.tick();
            ADD_FAILURE() << c.line << " was accepted";
        } catch (const GameError& e) {
            const std::string m = e.what();
            EXPECT_NE(m.find("/txt/opn.dat, line 3: \"" + c.line + "\""), std::string::npos) << m;
            EXPECT_NE(m.find(c.expected), std::string::npos) << m;
        }
    }
}

TEST(Interpreter, EachShadowRowShowsItsLineAsTheTextScrollsAndScenesChange) {
    std::vector<std::string> opening;
    for (int i = 0; i < 30; ++i) opening.push_back(i % 3 ? "行" + std::to_string(i) : std::string(50, 'x'));
    Story s(opening);
    s.game.lines("txt/next.dat", {"次", "", "その次"});
    for (int i = 0; i < 35; ++i) {
        if (i == 31) s.fom().GoToScene(u"next"); // the text is cleared
        s.tick();
        for (std::size_t k = 0; k < s.fom().Lbl.size(); ++k)
            ASSERT_EQ(s.fom().Lbl2[k]->caption, s.fom().Lbl[k]->caption) << "row " << k << ", tick " << i;
    }
    EXPECT_EQ(s.bottom(), "その次");
}
