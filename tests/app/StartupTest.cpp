#include "app/GameError.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> captions(const ControlArray& a) {
    std::vector<std::string> out;
    for (const Control* c : a) out.push_back(utf8(c->caption));
    return out;
}

std::string startError(TempGame& game) {
    TestWindow w(game);
    try {
        w.start();
    } catch (const GameError& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(Startup, OneCommandIsTheHiddenLastOne) {
    TempGame game;
    game.lines("txt/com.dat", {"ひとつ"});
    game.lines("txt/hint.dat", {});
    TestWindow w(game);
    w.start();
    ASSERT_EQ(w.fom.com.size(), 1u);
    EXPECT_FALSE(w.fom.com[0]->visible);
    EXPECT_EQ(w.fom.com[0]->foreColor, rgb(255, 182, 193));
    EXPECT_EQ(captions(w.fom.DataLbl),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(w.fom.extras.HintCount, 0);
}

TEST(Startup, ThreeCommandsWithAnEmptyLine) {
    TempGame game;
    game.lines("txt/com.dat", {"学校", "", "海岸"});
    game.lines("txt/hint.dat", {"a"});
    TestWindow w(game);
    w.start();
    EXPECT_EQ(captions(w.fom.com), (std::vector<std::string>{"学校", "", "海岸"}));
    EXPECT_EQ(captions(w.fom.DataNameLbl), (std::vector<std::string>{"学", "", "海"}));
    EXPECT_TRUE(w.fom.com[0]->visible);
    EXPECT_TRUE(w.fom.com[1]->visible);
    EXPECT_FALSE(w.fom.com[2]->visible);
    EXPECT_EQ(w.fom.com[1]->foreColor, rgb(200, 200, 230));
    ASSERT_EQ(w.fom.DataLbl.size(), 27u);
    EXPECT_EQ(utf8(w.fom.DataLbl[9]->caption), "1");
    EXPECT_EQ(utf8(w.fom.DataLbl[26]->caption), "9");
    for (const Control* cell : w.fom.DataLbl) {
        EXPECT_TRUE(cell->visible);
        EXPECT_EQ(cell->backColor, rgb(255, 255, 255));
        EXPECT_EQ(cell->borderStyle, BorderStyle::Single);
    }
}

TEST(Startup, SevenCommandsGiveTheWholeWindow) {
    TempGame game;
    game.minimal(7);
    TestWindow w(game);
    w.start();
    Fom& f = w.fom;
    EXPECT_EQ(f.com.size(), 7u);
    EXPECT_EQ(f.DataLbl.size(), 63u);
    EXPECT_EQ(f.Lbl.size(), 21u);
    EXPECT_EQ(f.Lbl2.size(), 21u);
    EXPECT_EQ(f.Lbl3.size(), 21u);
    EXPECT_EQ(f.QstLBl.size(), 2u);
    EXPECT_EQ(captions(f.StartCom), (std::vector<std::string>{"EASY", "NORMAL", "HARD"}));
    EXPECT_EQ(f.LblTim.interval(), 1000);
    EXPECT_FALSE(f.LblTim.enabled());
    EXPECT_TRUE(f.BgmTim.enabled());
    EXPECT_TRUE(f.music.MusicOn);
    EXPECT_TRUE(f.m_bgm.checked);
    EXPECT_EQ(utf8(f.menuLbl.caption), "MENU CLICKME");
    EXPECT_EQ(utf8(f.DayDate.caption), "0");
    EXPECT_FALSE(f.DataPic.visible);
    EXPECT_FALSE(f.Lst.visible);
    EXPECT_EQ(f.Lst.list.size(), 30u);
    // The text lines lie above their shadows.
    auto stack = f.model.stackOf(&f.Pic);
    auto at = [&](const Control* c) { return std::find(stack.begin(), stack.end(), c) - stack.begin(); };
    EXPECT_GT(at(f.Lbl[0]), at(f.Lbl2[20]));
    EXPECT_EQ(f.BaseDir, game.dir() + "/");
    EXPECT_EQ(f.TextDir, game.dir() + "/txt/");
}

TEST(Startup, ReadsAtMostThirtyOneHints) {
    for (int count : {31, 40}) {
        TempGame game;
        game.minimal();
        std::vector<std::string> hints;
        for (int i = 0; i < count; ++i) hints.push_back("ヒント" + std::to_string(i));
        game.lines("txt/hint.dat", hints);
        TestWindow w(game);
        w.start();
        EXPECT_EQ(w.fom.extras.HintCount, 31);
        EXPECT_EQ(utf8(w.fom.extras.Hints[30]), "ヒント30");
    }
}

TEST(Startup, AFolderEndsInOneSlash) {
    TempGame game;
    game.minimal();
    FakePlatform fake;
    Fom f(fake.platform, game.dir() + "/");
    f.Form_Load();
    EXPECT_EQ(f.BaseDir, game.dir() + "/");
    EXPECT_EQ(f.GraphicsDir, game.dir() + "/grf/");
}

TEST(Startup, MissingOrEmptyDataFilesNameTheFile) {
    TempGame noCommands;
    noCommands.lines("txt/hint.dat", {});
    EXPECT_NE(startError(noCommands).find("/txt/com.dat"), std::string::npos);

    TempGame emptyCommands;
    emptyCommands.lines("txt/hint.dat", {});
    emptyCommands.bytes("txt/com.dat", "");
    EXPECT_NE(startError(emptyCommands).find("com.dat: the command list is empty"), std::string::npos);

    TempGame noHints;
    noHints.lines("txt/com.dat", {"a"});
    EXPECT_NE(startError(noHints).find("/txt/hint.dat"), std::string::npos);

    TempGame noOpening;
    noOpening.lines("txt/com.dat", {"a"});
    noOpening.lines("txt/hint.dat", {});
    TestWindow w(noOpening);
    w.start();
    try {
        w.fom.StartCom_Click(0);
        FAIL() << "a game without its opening scene started";
    } catch (const GameError& e) {
        EXPECT_NE(std::string(e.what()).find("/txt/opn.dat"), std::string::npos);
    }
}

TEST(Startup, ClosingStopsThenClosesTheMusic) {
    TempGame game;
    game.minimal();
    TestWindow w(game);
    w.start();
    w.fake.music.commands.clear();
    w.fom.Form_Unload();
    EXPECT_EQ(w.fake.music.commands, (std::vector<std::string>{"stop MIDI notify", "close MIDI notify"}));
}
