#include "support/TestGame.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> logOf(const Fom& fom) {
    std::vector<std::string> out;
    for (const auto& line : fom.textLog.lines()) out.push_back(utf8(line));
    return out;
}

} // namespace

// The log holds every line shown in the scene, including those scrolled off the top, and starts
// afresh with the next scene.
TEST(TextLog, HoldsTheLinesShownSinceTheSceneBegan) {
    TempGame game;
    game.minimal();
    std::vector<std::string> opening;
    for (int i = 0; i < 25; ++i) opening.push_back("行" + std::to_string(i));
    opening.push_back(">ive>next");
    game.lines("txt/opn.dat", opening);
    game.lines("txt/next.dat", {"つぎの場面"});
    TestWindow w(game);
    w.start();
    w.fom.StartCom_Click(0);
    for (int i = 0; i < 26; ++i) w.fom.LblTim_Timer();

    const auto log = logOf(w.fom);
    ASSERT_EQ(log.size(), 26u); // the blank first step, then the 25 lines
    EXPECT_EQ(log[0], "");
    EXPECT_EQ(log[1], "行0");
    EXPECT_EQ(log[25], "行24");
    EXPECT_EQ(utf8(w.fom.Lbl[0]->caption), "行4"); // the first lines are gone from the screen

    w.fom.Form_Click(); // resumes at the cyan pause and jumps
    w.fom.LblTim_Timer();
    w.fom.LblTim_Timer();
    EXPECT_EQ(logOf(w.fom), (std::vector<std::string>{"", "つぎの場面"}));
}

TEST(TextLog, KeepsOnlyTheLatestLinesOfALongScene) {
    TextLog log;
    for (std::size_t i = 0; i < TextLog::kMaxLines + 5; ++i)
        log.add(std::u16string(1, char16_t(u'a' + i % 26)));
    ASSERT_EQ(log.lines().size(), TextLog::kMaxLines);
    EXPECT_EQ(log.lines().front(), std::u16string(1, char16_t(u'a' + 5 % 26)));
}
