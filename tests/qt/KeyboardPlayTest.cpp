// A player without a mouse, or without sight of the screen: the keys choose the difficulty, the places
// and the answers; a screen reader finds the story's lines, the places and the answers; reading aloud
// says each new line once.
#include "EventPump.h"
#include "app/Fom.h"
#include "qt/GameWindow.h"
#include "support/TestGame.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QTextToSpeech>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

// A game whose empty places ask a question, and whose second day meets someone.
class KeyboardPlay : public ::testing::Test {
  protected:
    void SetUp() override {
        game.minimal();
        game.lines("txt/opn.dat", {"はじまりの一行", "はじまりの二行目"});
        for (const char* scene : {"txt/a_1.dat", "txt/a_m.dat"})
            game.lines(scene, {"どこへ行く？", ">qst", "海へ>sea", "山へ>hill", ">qstend"});
        game.lines("txt/sea.dat", {"海に着いた"});
        game.lines("txt/hill.dat", {"山に着いた"});
        game.lines("txt/i_2.dat", {"二日目の出会い"});
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        ASSERT_TRUE(window->start());
        // The story at its fastest, so that a test need not wait for it.
        window->deliver([](Game& g) { g.fom().m_tim_Click(0); });
        pumpFor(30);
    }
    Fom& fom() { return window->game().fom(); }
    // A key as the keyboard gives it: to the widget with the focus.
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QKeyEvent press(QEvent::KeyPress, k, mods), release(QEvent::KeyRelease, k, mods);
        QCoreApplication::sendEvent(to, &press);
        QCoreApplication::sendEvent(to, &release);
        pumpFor(5);
    }
    bool waitsFor(Waiting w) {
        return pumpUntil([&] { return window->game().waiting() == w; }, 5000);
    }
    std::string focusedCaption() {
        auto f = window->player().focus();
        return f ? utf8(window->game().look(*f).caption) : "";
    }

    TempGame game;
    std::unique_ptr<GameWindow> window;
};

// Every accessible object below one, with what a screen reader names it.
void collect(QAccessibleInterface* at, std::vector<std::pair<QAccessible::Role, QString>>& out) {
    for (int i = 0; i < at->childCount(); ++i) {
        QAccessibleInterface* child = at->child(i);
        if (!child || child->state().invisible) continue;
        if (!child->text(QAccessible::Name).isEmpty())
            out.emplace_back(child->role(), child->text(QAccessible::Name));
        collect(child, out);
    }
}

} // namespace

TEST_F(KeyboardPlay, KeysAloneChooseTheDifficultyAPlaceAndAnAnswer) {
    key(Qt::Key_Tab); // NORMAL to HARD
    EXPECT_EQ(focusedCaption(), "HARD");
    key(Qt::Key_Left); // and back
    EXPECT_EQ(focusedCaption(), "NORMAL");
    key(Qt::Key_Return);
    ASSERT_FALSE(fom().PicTtl.visible);
    EXPECT_EQ(fom().game.TurnLimit, 100);

    ASSERT_TRUE(waitsFor(Waiting::Choice));
    EXPECT_EQ(focusedCaption(), "") << "no place is chosen for the player";
    key(Qt::Key_Tab);
    EXPECT_EQ(focusedCaption(), "場所0");
    EXPECT_TRUE(window->widgetOf("com", 0)->hasFocus()) << "the focus is shown on the place";
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    key(Qt::Key_Space);
    EXPECT_EQ(utf8(fom().DayDate.caption), "1");

    ASSERT_TRUE(waitsFor(Waiting::Answer));
    key(Qt::Key_Tab);
    const std::string first = focusedCaption();
    EXPECT_TRUE(first == "海へ" || first == "山へ") << first;
    key(Qt::Key_Return);
    ASSERT_TRUE(waitsFor(Waiting::Choice));
    EXPECT_EQ(utf8(fom().Lbl[20]->caption), first == "海へ" ? "海に着いた" : "山に着いた");

    key(Qt::Key_Tab);
    key(Qt::Key_Return);
    EXPECT_EQ(utf8(fom().DayDate.caption), "2");
    ASSERT_TRUE(waitsFor(Waiting::Choice));
    EXPECT_EQ(utf8(fom().Lbl[20]->caption), "二日目の出会い");
}

TEST_F(KeyboardPlay, AScreenReaderFindsTheLinesThePlacesAndTheAnswersButNothingTheTitleCovers) {
    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(root, nullptr);
    std::vector<std::pair<QAccessible::Role, QString>> seen;
    collect(root, seen);
    const auto has = [&](QAccessible::Role role, const QString& name) {
        return std::find(seen.begin(), seen.end(), std::make_pair(role, name)) != seen.end();
    };
    EXPECT_TRUE(has(QAccessible::Button, "NORMAL"));
    EXPECT_FALSE(has(QAccessible::Button, "場所0")) << "the places lie under the title";

    window->deliver([](Game& g) { g.click("StartCom", 1); });
    ASSERT_TRUE(waitsFor(Waiting::Choice));
    seen.clear();
    collect(root, seen);
    EXPECT_TRUE(has(QAccessible::StaticText, "はじまりの一行"));
    EXPECT_EQ(std::count(seen.begin(), seen.end(),
                         std::make_pair(QAccessible::StaticText, QString("はじまりの二行目"))),
              1)
        << "a line is named once, not again by its shadow";
    EXPECT_TRUE(has(QAccessible::Button, "場所0"));
    EXPECT_FALSE(has(QAccessible::Button, "EASY")) << "the title's buttons are gone with it";

    window->deliver([](Game& g) { g.click("com", 0); });
    ASSERT_TRUE(waitsFor(Waiting::Answer));
    seen.clear();
    collect(root, seen);
    EXPECT_TRUE(has(QAccessible::Button, "海へ") && has(QAccessible::Button, "山へ"));
}

TEST_F(KeyboardPlay, ReadingAloudSaysEachNewLineOnceAndTheChoiceTheFocusComesTo) {
    std::vector<QString> said;
    window->aids().voice().speakTo([&](const QString& text) { said.push_back(text); });
    key(Qt::Key_V);
    ASSERT_TRUE(window->player().voiceOn());
    EXPECT_EQ(said, std::vector<QString>{"NORMAL"}) << "what the focus rests on is read first";
    key(Qt::Key_Return);
    ASSERT_TRUE(waitsFor(Waiting::Choice));
    key(Qt::Key_Tab);
    EXPECT_EQ(said, (std::vector<QString>{"NORMAL", "はじまりの一行", "はじまりの二行目", "場所0"}));
    key(Qt::Key_V);
    EXPECT_FALSE(window->player().voiceOn());
    key(Qt::Key_Down);
    EXPECT_EQ(said.size(), 4u) << "nothing more once it is off";
}

TEST_F(KeyboardPlay, WithoutAVoiceOneNoticeSaysSoAndNothingElseChanges) {
    if (!QTextToSpeech::availableEngines().isEmpty()) GTEST_SKIP() << "this machine has a speech engine";
    key(Qt::Key_V);
    EXPECT_FALSE(window->player().voiceOn());
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_NE(QToolTip::text().indexOf("voice"), -1) << QToolTip::text().toStdString();
    EXPECT_TRUE(fom().PicTtl.visible);
}
