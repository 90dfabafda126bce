#include "support/TestGame.h"

#include <gtest/gtest.h>

namespace {

const std::string kRule = "■■■■■■■■■■■■■■■■";

struct Playing : StartedGame {
    explicit Playing(const std::vector<std::string>& hints)
        : StartedGame([&](TempGame& game) { game.lines("txt/hint.dat", hints); }) {}
    std::vector<std::string>& messages() { return w->fake.desktop.messages; }
    void draws(std::initializer_list<float> values) { w->fake.random.values = values; }
};

std::vector<std::string> numberedHints(int n) {
    std::vector<std::string> hints;
    for (int i = 0; i < n; ++i) hints.push_back("ヒント" + std::to_string(i));
    return hints;
}

} // namespace

TEST(InfoBoxes, HelpIsBuiltFromItsFileOnceAndKept) {
    Playing p({});
    p.game.lines("txt/opn_n.dat", {"遊び方", "", "<b>そのまま</b>"});
    Fom& f = p.fom();
    f.m_help_Click();
    const std::string help = "ルメナ・ヘルプ\r\n" + kRule + "\r\n遊び方\r\n\r\n<b>そのまま</b>";
    ASSERT_EQ(p.messages().size(), 1u);
    EXPECT_EQ(p.messages()[0], help);
    // The file is not read again, even when it changes.
    p.game.lines("txt/opn_n.dat", {"別のヘルプ"});
    f.m_help_Click();
    EXPECT_EQ(p.messages().back(), help);
}

TEST(InfoBoxes, HelpWithoutItsFileSaysSoAndTriesAgainNextTime) {
    Playing p({});
    Fom& f = p.fom();
    f.m_help_Click();
    ASSERT_EQ(p.messages().size(), 1u);
    EXPECT_NE(p.messages()[0].find("opn_n.dat"), std::string::npos);
    EXPECT_TRUE(f.extras.HelpText.empty());
    EXPECT_TRUE(f.script.file.isOpen()); // the game goes on

    p.game.lines("txt/opn_n.dat", {});
    f.m_help_Click();
    EXPECT_EQ(p.messages().back(), "ルメナ・ヘルプ\r\n" + kRule);
}

TEST(InfoBoxes, AHintCostsATurnButNeverPassesTheLimit) {
    Playing p({"ひとつ"});
    Fom& f = p.fom();
    f.game.TurnCount = 97;
    f.m_hint_Click();
    EXPECT_EQ(f.game.TurnCount, 98);
    f.game.TurnCount = 99; // the limit less one
    f.m_hint_Click();
    EXPECT_EQ(f.game.TurnCount, 100);
    f.m_hint_Click();
    EXPECT_EQ(f.game.TurnCount, 100);
    f.game.TurnCount = 32767; // from a save file: the cap, not an overflow
    f.m_hint_Click();
    EXPECT_EQ(f.game.TurnCount, 100);
}

TEST(InfoBoxes, WithoutHintsAHintShowsAnEmptyBoxAndStillCosts) {
    Playing p({});
    p.fom().m_hint_Click();
    EXPECT_EQ(p.messages(), (std::vector<std::string>{""}));
    EXPECT_EQ(p.fom().game.TurnCount, 1);
}

TEST(InfoBoxes, TheDrawPicksTheHintInSinglePrecision) {
    {
        Playing p({"ただひとつ"});
        p.draws({0.0f, 0.99999994f});
        p.fom().m_hint_Click();
        p.fom().m_hint_Click();
        EXPECT_EQ(p.messages(), (std::vector<std::string>{"ただひとつ", "ただひとつ"}));
    }
    {
        Playing p(numberedHints(31));
        // 31 x 0.032258063... is just below 1, but 1 in single precision.
        p.draws({0.0f, 0.99999994f, 0.5f, 0.032258063554763794f});
        for (int i = 0; i < 4; ++i) p.fom().m_hint_Click();
        EXPECT_EQ(p.messages(), (std::vector<std::string>{"ヒント0", "ヒント30", "ヒント15", "ヒント1"}));
    }
}
