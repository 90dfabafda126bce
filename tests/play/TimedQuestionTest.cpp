#include "app/GameError.h"
#include "support/TestGame.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// A started game whose opening scene asks the given question block; the scenes named are written.
struct Question {
    TempGame game;
    std::unique_ptr<TestWindow> w;

    explicit Question(const std::vector<std::string>& opening, const std::vector<std::string>& scenes = {}) {
        game.minimal();
        game.lines("txt/opn.dat", opening);
        for (const auto& scene : scenes) game.lines("txt/" + scene + ".dat", {scene + "の場面"});
        w = std::make_unique<TestWindow>(game);
        w->start();
        fom().StartCom_Click(0);
    }
    Fom& fom() { return w->fom; }
    // Runs the script up to its question (or its end).
    void ask() {
        for (int i = 0; i < 20 && fom().LblTim.enabled(); ++i) fom().LblTim_Timer();
    }
    // Ticks the countdown as a host does: only while it runs.
    void countdown(int ticks) {
        for (int i = 0; i < ticks; ++i) w->router.tick("QstTim");
    }
    std::string scene() { return std::filesystem::path(fom().script.file.path()).stem().string(); }
    const Control& label(int i) { return *fom().QstLBl[i]; }
    const Control& box(int i) { return *fom().QstShp[i]; }
    int slotOf(int i) {
        const auto& top = fom().question.QstTop;
        const double t = label(i).top();
        return t == top[0] ? 0 : t == top[1] ? 1 : -1;
    }
};

std::string errorOf(Question& q) {
    try {
        q.ask();
    } catch (const GameError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(TimedQuestion, BeginningShowsTheAnswersStartsTheCountdownAndClosesTheScript) {
    Question q({"文", ">qst", "右へ>right", "左へ>left", ">qstend", "読まれない"});
    const double boxTop = q.box(0).top();
    q.w->fake.random.values = {0.2f};
    q.ask();
    Fom& f = q.fom();
    EXPECT_EQ(utf8(q.label(0).caption), "右へ");
    EXPECT_EQ(utf8(q.label(1).caption), "左へ");
    EXPECT_TRUE(q.label(0).visible && q.label(1).visible && q.box(0).visible && q.box(1).visible);
    EXPECT_EQ(q.box(0).top(), boxTop) << "the boxes are not moved";
    EXPECT_FALSE(f.LblTim.enabled());
    EXPECT_FALSE(f.script.file.isOpen());
    EXPECT_EQ(f.question.QstCount, 0);
    EXPECT_TRUE(f.QstTim.enabled());
    EXPECT_EQ(f.QstTim.interval(), 300);
    // The bar starts one pixel wide at the strip's corner, as high as the strip.
    EXPECT_TRUE(f.QstTimShp.visible);
    EXPECT_EQ(f.QstTimShp.left(), f.QstTimLbl.left());
    EXPECT_EQ(f.QstTimShp.top(), f.QstTimLbl.top());
    EXPECT_DOUBLE_EQ(f.QstTimShp.width(), 1);
    EXPECT_DOUBLE_EQ(f.QstTimShp.height(), f.QstTimLbl.height());
    // A resume click on the stale cyan colour finds no script and changes nothing.
    f.ClickMe.fillColor = rgb(0, 255, 255);
    f.Form_Click();
    EXPECT_FALSE(f.LblTim.enabled());
    EXPECT_TRUE(f.QstTim.enabled());
}

TEST(TimedQuestion, TheBarGrowsToTheStripAndTheThirtiethTickTakesTheSecondAnswer) {
    Question q({">qst", "A>sa", "B>sb", ">qstend"}, {"sa", "sb"});
    q.ask();
    Fom& f = q.fom();
    const double strip = f.QstTimLbl.width();
    q.countdown(1);
    EXPECT_DOUBLE_EQ(f.QstTimShp.width(), strip / 30);
    q.countdown(28);
    EXPECT_EQ(f.question.QstCount, 29);
    EXPECT_DOUBLE_EQ(f.QstTimShp.width(), strip / 30 * 29);
    EXPECT_TRUE(f.QstTim.enabled()) << "tick 29 still waits";
    EXPECT_TRUE(q.label(0).visible);
    q.countdown(1);
    EXPECT_EQ(q.scene(), "sb");
    EXPECT_FALSE(f.QstTim.enabled());
    EXPECT_FALSE(f.QstTimShp.visible);
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(q.label(i).visible || q.box(i).visible);
    EXPECT_TRUE(f.LblTim.enabled());
}

TEST(TimedQuestion, CaptionAndSceneAreCutAtTheFirstSeparatorOnly) {
    Question q({">qst", "行く>a>b c ", ">>x", ">qstend"});
    q.ask();
    const auto& targets = q.fom().question.QstTargets;
    EXPECT_EQ(utf8(q.label(0).caption), "行く");
    EXPECT_EQ(utf8(targets[0]), "a>b c ") << "the scene name is used as it stands";
    EXPECT_EQ(utf8(q.label(1).caption), "");
    EXPECT_EQ(utf8(targets[1]), ">x");
}

TEST(TimedQuestion, TwoShownAnswersSwapSlotsWhenTheDrawIsAHalfOrMore) {
    const std::vector<std::pair<float, bool>> draws = {{0.0f, false},    {0.25f, false},  {0.49f, false},
                                                       {0.4999f, false}, {0.5f, true},    {0.75f, true},
                                                       {0.99f, true},    {0.99999f, true}};
    for (const auto& [draw, swapped] : draws) {
        Question q({">qst", "A>sa", "B>sb", ">qstend"});
        q.w->fake.random.values = {draw, 0.123f};
        q.ask();
        SCOPED_TRACE("draw " + std::to_string(draw));
        EXPECT_EQ(q.slotOf(0), swapped ? 1 : 0);
        EXPECT_EQ(q.slotOf(1), swapped ? 0 : 1);
        EXPECT_EQ(q.w->fake.random.values.size(), 1u) << "one draw per question";
    }
}

TEST(TimedQuestion, AnEmptyFirstCaptionPutsTheSecondAnswerInTheSecondSlot) {
    Question q({">qst", ">hidden", "見える>shown", ">qstend"});
    q.w->fake.random.values = {0.9f};
    q.ask();
    EXPECT_FALSE(q.label(0).visible || q.box(0).visible);
    EXPECT_TRUE(q.label(1).visible && q.box(1).visible);
    EXPECT_EQ(q.slotOf(1), 1);
    EXPECT_EQ(q.w->fake.random.values.size(), 1u);
}

TEST(TimedQuestion, AOneAnswerQuestionRightAfterStartUp) {
    Question q({">qst", "はい>yes", ">qstend"}, {"yes"});
    q.ask();
    EXPECT_EQ(q.slotOf(0), 1);
    EXPECT_FALSE(q.box(0).visible);
    EXPECT_TRUE(q.box(1).visible) << "the box shown is the one behind the answer";
    q.countdown(29);
    EXPECT_TRUE(q.fom().QstTim.enabled());
    q.countdown(1);
    EXPECT_EQ(q.scene(), "yes");
}

TEST(TimedQuestion, BrokenBlocksNameTheLineAtFault) {
    struct Case {
        std::vector<std::string> script;
        std::string where, expected;
    };
    const std::vector<Case> cases = {
        {{"文", ">qst", "はい>yes", "いいえ", ">qstend"}, "opn.dat, line 4: \"いいえ\"", "caption, \">\""},
        {{">qst", "", ">qstend"}, "opn.dat, line 2: \"\"", "caption, \">\""},
        {{">qst", "一>a", "二>b", "三>c", ">qstend"}, "opn.dat, line 4: \"三>c\"", "at most two answers"},
        {{"文", ">qst", "一>a"}, "opn.dat, line 2: \">qst\"", "no \">qstend\""},
        // The line after the question line is always the first answer, even ">qstend".
        {{">qst", ">qstend", "はい>yes"}, "opn.dat, line 1: \">qst\"", "no \">qstend\""},
        {{"文", ">qst"}, "opn.dat, line 2: \">qst\"", "no \">qstend\""},
    };
    for (const auto& c : cases) {
        Question q(c.script);
        const std::string error = errorOf(q);
        EXPECT_NE(error.find(c.where), std::string::npos) << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

TEST(TimedQuestion, DeleteDuringAQuestionStopsItsCountdown) {
    Question q({">qst", "A>sa", "B>sb", ">qstend"}, {"sa", "sb"});
    q.ask();
    q.countdown(10);
    ASSERT_EQ(q.w->router.menu("m_menu", 0), EventRouter::Result::Delivered);
    EXPECT_EQ(q.w->router.tick("QstTim"), EventRouter::Result::Ignored);
    EXPECT_FALSE(q.fom().script.file.isOpen()) << "no answer's scene runs under the title card";
    EXPECT_FALSE(q.fom().LblTim.enabled());
}

// Whatever the answers, each one shown lies on a box that is shown, and no box shows without one.
TEST(TimedQuestion, EveryShownAnswerLiesOnAShownBox) {
    const std::vector<std::vector<std::string>> blocks = {
        {"右>a", "左>b"}, {">hidden", "見える>shown"}, {"走る>run", ">slow"}, {"はい>yes"}};
    for (float draw : {0.1f, 0.9f})
        for (const auto& answers : blocks) {
            std::vector<std::string> lines = {">qst"};
            lines.insert(lines.end(), answers.begin(), answers.end());
            lines.push_back(">qstend");
            Question q(lines);
            q.w->fake.random.values = {draw};
            q.ask();
            int shownLabels = 0, shownBoxes = 0;
            for (int i = 0; i < 2; ++i) {
                shownBoxes += q.box(i).visible;
                if (!q.label(i).visible) continue;
                ++shownLabels;
                // The slots' tops are kept in whole pixels, the boxes' as laid out.
                const Control& under = q.box(q.slotOf(i));
                EXPECT_TRUE(under.visible) << answers[0] << " answer " << i;
                EXPECT_NEAR(under.top(), q.label(i).top(), 0.5) << answers[0] << " answer " << i;
            }
            EXPECT_EQ(shownBoxes, shownLabels) << answers[0];
        }
}
