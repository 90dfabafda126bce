#include "support/TestGame.h"

#include <gtest/gtest.h>
#include <random>

namespace {

using Started = StartedGame;

} // namespace

TEST(GameState, LoveIsCappedAt254AndNeverLeavesItsRange) {
    Started s;
    auto& love = s.fom().game.LoveLevels;
    love[1] = 252;
    s.fom().AddLove(1, 4);
    EXPECT_EQ(love[1], 254);
    love[1] = 249;
    s.fom().AddLove(1, 4);
    EXPECT_EQ(love[1], 253);
    love[1] = 254;
    s.fom().AddLove(1, 0);
    EXPECT_EQ(love[1], 254);
    // A story may lower love, but never below nothing.
    love[0] = 10;
    s.fom().AddLove(0, -3);
    EXPECT_EQ(love[0], 7);
    s.fom().AddLove(0, -300);
    EXPECT_EQ(love[0], 0);
    EXPECT_EQ(utf8(s.fom().Lst.list[0]), "0 ☆　0");
    EXPECT_EQ(utf8(s.fom().Lst.list[7]), "1 ☆　254");
}

TEST(GameState, ANewGameClearsTheStoryButKeepsTheMarksAndTheSpecialCommand) {
    Started s;
    Fom& f = s.fom();
    f.game.OnOffFlags[2][3] = f.game.CnFlags[1] = f.game.GnFlags[0] = f.game.VisitFlags[9] = true;
    f.game.LoveLevels = {1, 2, 3};
    f.game.TurnCount = 9;
    f.DayDate.caption = u"5";
    f.DataLbl[4]->backColor = rgb(1, 2, 3);
    f.com[6]->visible = true;
    f.com[3]->enabled = false;
    f.StartCom_Click(2);
    EXPECT_EQ(f.game.OnOffFlags[2][3] || f.game.CnFlags[1] || f.game.GnFlags[0] || f.game.VisitFlags[9],
              false);
    EXPECT_EQ(f.game.LoveLevels, (std::array<std::uint8_t, 3>{0, 0, 0}));
    EXPECT_EQ(f.game.TurnCount, 0);
    EXPECT_EQ(utf8(f.DayDate.caption), "0");
    EXPECT_TRUE(f.com[3]->enabled);
    EXPECT_EQ(f.DataLbl[4]->backColor, rgb(1, 2, 3));
    EXPECT_TRUE(f.com[6]->visible);
    EXPECT_EQ(f.game.TurnLimit, 50);
    EXPECT_EQ(f.game.LoveThreshold, 200);
}

TEST(GameState, TheMenuTogglesTheMapAndTheStatusList) {
    Started s;
    Fom& f = s.fom();
    f.m_map_Click();
    EXPECT_TRUE(f.DataPic.visible);
    f.m_map_Click();
    EXPECT_FALSE(f.DataPic.visible);
    f.game.GnFlags[2] = true; // changed behind the list's back: the toggle rebuilds it
    f.m_list_Click();
    EXPECT_TRUE(f.Lst.visible);
    EXPECT_EQ(utf8(f.Lst.list[16]), "2 □　True");
    f.m_list_Click();
    EXPECT_FALSE(f.Lst.visible);
    ASSERT_EQ(f.Lst.list.size(), 30u);
    EXPECT_EQ(utf8(f.Lst.list[3]), "0|0 = False");
    EXPECT_EQ(utf8(f.Lst.list[21]), "--------");
    EXPECT_EQ(utf8(f.Lst.list[22]), "●1 = False");
}

TEST(GameState, TheStatusListFollowsEveryChangeAsIfWrittenWhole) {
    Started s;
    Fom& f = s.fom();
    GameState& g = f.game;
    std::mt19937 random(30);
    for (int step = 0; step < 400; ++step) {
        // One value changes between two writes (or two, as a loaded game changes them).
        for (int k = random() % 2; k >= 0; --k) {
            const unsigned who = random() % 3, what = random() % 5;
            if (what == 0) g.LoveLevels[who] = static_cast<std::uint8_t>(random() % 255);
            if (what == 1) g.CnFlags[who] = !g.CnFlags[who];
            if (what == 2) g.GnFlags[who] = !g.GnFlags[who];
            if (what == 3) g.OnOffFlags[who][random() % 4] ^= true;
            if (what == 4) g.VisitFlags[random() % 10] ^= true;
        }
        f.LstHyouji();
        const std::vector<std::u16string> kept = f.Lst.list;
        f.Lst.list.clear();
        f.LstHyouji();
        ASSERT_EQ(kept, f.Lst.list) << "after step " << step;
    }
}
