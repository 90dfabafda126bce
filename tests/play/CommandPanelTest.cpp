#include "support/TestGame.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A game on EASY (turn limit 150) with every scene the panel can lead to.
struct Panel {
    TempGame game;
    std::unique_ptr<TestWindow> w;

    Panel() {
        game.minimal(7);
        std::vector<std::string> scenes = {"b_1",   "b_2", "b_3",   "not",  "a_m",
                                           "a_end", "end", "m_9_0", "m_9_1"};
        for (int d = 1; d <= 9; ++d)
            for (const char* prefix : {"i_", "r_", "g_", "m_", "a_"})
                scenes.push_back(prefix + std::to_string(d));
        for (const auto& scene : scenes) game.lines("txt/" + scene + ".dat", {scene});
        w = std::make_unique<TestWindow>(game);
        w->start();
        fom().StartCom_Click(0);
    }
    Fom& fom() { return w->fom; }

    // Chooses a row on the day before `day`; the draws are the love bonus and the empty-place draw.
    void choose(int row, int day, std::deque<float> draws = {0.9f, 0.9f}) {
        fom().DayDate.caption = u16(std::to_string(day - 1));
        w->fake.random.values = std::move(draws);
        w->fake.pictures.asked.clear();
        fom().com_Click(row);
    }
    std::string scene() const { return std::filesystem::path(w->fom.script.file.path()).stem().string(); }
    std::string picture() const {
        const auto& asked = w->fake.pictures.asked;
        return asked.empty() ? "" : std::filesystem::path(asked.back()).stem().string();
    }
};

// Who is met where: rows 0 to 5 by days 1 to 9, "" for nobody.
const std::vector<std::vector<std::string>> kExpected = {
    {"", "i", "", "", "", "", "r", "r", "r"},     {"", "", "g", "g", "r", "r", "", "g", ""},
    {"", "", "i", "r", "g", "", "g", "", "i"},    {"r", "r", "r", "i", "", "", "", "", ""},
    {"g", "g", "b", "b", "b", "g", "", "i", "g"}, {"i", "", "", "", "i", "i", "i", "", ""},
};

Color markOf(const std::string& letter) {
    if (letter == "i") return rgb(255, 255, 200);
    if (letter == "r") return rgb(255, 200, 255);
    if (letter == "g") return rgb(200, 255, 255);
    return rgb(200, 200, 200);
}

} // namespace

TEST(CommandPanel, FollowsTheWholeScheduleWithAndWithoutEachClosingFlag) {
    for (int closed = -1; closed < 3; ++closed) {
        for (int row = 0; row < 6; ++row) {
            for (int day = 1; day <= 9; ++day) {
                Panel p;
                if (closed >= 0) p.fom().game.CnFlags[closed] = true;
                const std::string letter = kExpected[row][day - 1];
                const int who = letter == "i" ? 0 : letter == "r" ? 1 : letter == "g" ? 2 : -1;
                const bool met = letter == "b" || (who >= 0 && who != closed);
                SCOPED_TRACE("row " + std::to_string(row) + " day " + std::to_string(day) + " closed " +
                             std::to_string(closed));
                p.choose(row, day);
                const Control& cell = *p.fom().DataLbl[9 * row + day - 1];
                EXPECT_EQ(utf8(p.fom().DayDate.caption), std::to_string(day));
                if (!met) {
                    EXPECT_EQ(p.scene(), "a_" + std::to_string(day));
                    EXPECT_EQ(p.picture(), "a");
                    EXPECT_EQ(p.fom().game.TurnCount, 1);
                    EXPECT_EQ(cell.backColor, rgb(255, 255, 255));
                } else if (letter == "b") {
                    EXPECT_EQ(p.scene(), "b_" + std::to_string(day - 2));
                    EXPECT_EQ(p.picture(), "b");
                    EXPECT_EQ(cell.backColor, markOf(letter));
                    EXPECT_EQ(p.fom().game.LoveLevels, (std::array<std::uint8_t, 3>{0, 0, 0}));
                } else {
                    const std::string name = letter + "_" + std::to_string(day);
                    EXPECT_EQ(p.scene(), name);
                    EXPECT_EQ(p.picture(), name);
                    EXPECT_EQ(cell.backColor, markOf(letter));
                    EXPECT_EQ(p.fom().game.LoveLevels[who], 4); // the draw 0.9 gives the bonus 4
                    EXPECT_EQ(p.fom().game.TurnCount, 0);
                }
            }
        }
    }
}

TEST(CommandPanel, TheSpecialCommandOnEachDay) {
    for (int day = 1; day <= 9; ++day) {
        Panel p;
        p.choose(6, day);
        EXPECT_EQ(p.scene(), day < 9 ? "m_" + std::to_string(day) : "m_9_1");
        EXPECT_FALSE(p.fom().com[6]->visible);
        EXPECT_EQ(p.fom().DataLbl[9 * 6 + day - 1]->backColor, rgb(226, 170, 240));
        EXPECT_EQ(p.fom().game.VisitFlags[day], day < 9);
        EXPECT_EQ(p.fom().game.TurnCount, 0);
    }
    Panel all;
    for (int day = 1; day <= 8; ++day) all.choose(6, day);
    EXPECT_EQ(utf8(all.fom().Lst.list[29]), "●8 = True");
    all.choose(6, 9);
    EXPECT_EQ(all.scene(), "m_9_0");
    EXPECT_EQ(all.picture(), "m_9_0");
}

TEST(CommandPanel, OneMissedVisitMakesTheNinthDayTheOtherEnding) {
    for (int missed = 1; missed <= 8; ++missed) {
        Panel p;
        for (int day = 1; day <= 8; ++day)
            if (day != missed) p.fom().game.VisitFlags[day] = true;
        p.choose(6, 9);
        EXPECT_EQ(p.scene(), "m_9_1") << "day " << missed << " missed";
    }
}

TEST(CommandPanel, TheSpecialCommandWhileAStoryIsClosedCostsACappedTurn) {
    Panel p;
    p.fom().game.CnFlags[2] = true;
    p.fom().game.TurnCount = 150;
    p.fom().com[6]->visible = true;
    p.choose(6, 4);
    EXPECT_EQ(p.scene(), "not");
    EXPECT_EQ(p.picture(), "dmy");
    EXPECT_EQ(p.fom().game.TurnCount, 150);
    EXPECT_TRUE(p.fom().com[6]->visible);
    EXPECT_EQ(p.fom().DataLbl[9 * 6 + 3]->backColor, rgb(255, 255, 255));
}

TEST(CommandPanel, EmptyPlacesSpendTurnsUpToTheEnding) {
    Panel p;
    p.fom().game.TurnCount = 149;
    p.choose(0, 1, {0.99f});
    EXPECT_EQ(p.fom().game.TurnCount, 150);
    EXPECT_EQ(p.scene(), "a_end");
    EXPECT_EQ(p.picture(), "a_end");

    // A draw of 30 or less shows the special command instead, whatever the turns.
    Panel q;
    q.fom().game.TurnCount = 149;
    q.choose(0, 1, {0.30f});
    EXPECT_EQ(q.scene(), "a_m");
    EXPECT_TRUE(q.fom().com[6]->visible);
    q.choose(0, 1, {0.31f});
    EXPECT_EQ(q.scene(), "a_end");
    EXPECT_EQ(q.fom().game.TurnCount, 151);
}

TEST(CommandPanel, TheDayWrapsAndAllClosedStoriesLeadToTheEnd) {
    Panel p;
    p.fom().DayDate.caption = u"9";
    p.w->fake.random.values = {0.9f, 0.9f};
    p.fom().com_Click(3);
    EXPECT_EQ(utf8(p.fom().DayDate.caption), "1");
    EXPECT_EQ(p.scene(), "r_1");

    p.fom().game.CnFlags = {true, true, true};
    p.fom().DayDate.caption = u"4";
    p.fom().com_Click(2);
    EXPECT_EQ(utf8(p.fom().DayDate.caption), "4");
    EXPECT_EQ(p.scene(), "end");
}

TEST(CommandPanel, RowsBeyondTheScheduleAreEmptyPlaces) {
    Panel p;
    p.fom().model.createElement("com", 7);
    for (int j = 63; j < 72; ++j) p.fom().model.createElement("DataLbl", j);
    p.choose(7, 2);
    EXPECT_EQ(p.scene(), "a_2");
}

TEST(CommandPanel, PressShowsABorderWhileHeld) {
    Panel p;
    EXPECT_EQ(p.w->router.press("com", 1), EventRouter::Result::Delivered);
    EXPECT_EQ(p.fom().com[1]->borderStyle, BorderStyle::Single);
    p.w->router.release("com", 1);
    EXPECT_EQ(p.fom().com[1]->borderStyle, BorderStyle::None);
    // A disabled label takes neither clicks nor presses.
    p.fom().com[1]->enabled = false;
    EXPECT_EQ(p.w->router.press("com", 1), EventRouter::Result::Ignored);
    EXPECT_EQ(p.w->router.click("com", 1), EventRouter::Result::Ignored);
}
