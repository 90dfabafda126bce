#include "EventPump.h"
#include "qt/GameWindow.h"
#include "qt/TextLogView.h"
#include "support/TestGame.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

const Color kCyan = rgb(0, 255, 255), kMagenta = rgb(255, 0, 255);

// A game whose opening scene runs 30 lines and pauses before a jump to a short scene that ends.
class Keys : public ::testing::Test {
  protected:
    void SetUp() override {
        game.minimal();
        std::vector<std::string> opening;
        for (int i = 1; i <= 30; ++i) opening.push_back("第" + std::to_string(i) + "行");
        opening.push_back(">ive>next");
        game.lines("txt/opn.dat", opening);
        game.lines("txt/next.dat", {"つぎの場面"});
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        ASSERT_TRUE(window->start());
        pumpFor(50);
    }

    Fom& fom() { return window->game().fom(); }

    void key(QWidget* to, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QKeyEvent release(QEvent::KeyRelease, k, mods);
        QCoreApplication::sendEvent(to, &press);
        QCoreApplication::sendEvent(to, &release);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { key(window.get(), k, mods); }

    void startGame() {
        window->deliver([&](Game& g) { g.click("StartCom", 0); });
    }
    bool prompt(Color colour) { return fom().ClickMe.visible && fom().ClickMe.fillColor == colour; }
    void tickUntil(Color colour) {
        for (int i = 0; i < 100 && !prompt(colour); ++i) window->deliver([&](Game& g) { g.tick("LblTim"); });
        ASSERT_TRUE(prompt(colour));
    }
    QMenu* shownMenu() {
        for (QMenu* m : window->findChildren<QMenu*>())
            if (m->isVisible()) return m;
        return nullptr;
    }
    void wheel(int delta) {
        QWidget* pic = window->widgetOf("Pic");
        const QPointF at = pic->mapTo(window.get(), pic->rect().center());
        QWheelEvent e(at, window->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(window.get(), &e);
    }

    TempGame game;
    std::unique_ptr<GameWindow> window;
};

} // namespace

TEST_F(Keys, SpaceAndEnterResumeACyanPauseOnlyAndPressTheFocusedDifficulty) {
    // On the title screen the text area cannot be clicked; the focused difficulty takes Space, wherever
    // the key goes.
    auto* hard = qobject_cast<QPushButton*>(window->widgetOf("StartCom", 2));
    ASSERT_NE(hard, nullptr);
    key(Qt::Key_Tab);
    ASSERT_TRUE(fom().PicTtl.visible) << "Tab presses nothing";
    EXPECT_TRUE(hard->hasFocus());
    key(Qt::Key_Space);
    ASSERT_FALSE(fom().PicTtl.visible) << "Space on a difficulty button starts the game";
    EXPECT_EQ(fom().game.TurnLimit, 50);

    tickUntil(kCyan);
    key(Qt::Key_Space);
    EXPECT_FALSE(fom().ClickMe.visible) << "Space resumes at the cyan pause";
    EXPECT_TRUE(fom().LblTim.enabled());

    tickUntil(kMagenta);
    const std::u16string bottom = fom().Lbl[20]->caption;
    for (int k : {Qt::Key_Space, Qt::Key_Return}) key(k);
    key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(prompt(kMagenta)) << "a key does nothing at a magenta wait, as a click does nothing";
    EXPECT_FALSE(fom().LblTim.enabled());
    EXPECT_EQ(fom().Lbl[20]->caption, bottom);
}

TEST_F(Keys, KeypadEnterResumesACyanPauseAsEnterDoes) {
    startGame();
    tickUntil(kCyan);
    key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(fom().ClickMe.visible) << "the keypad's Enter is Enter";
    EXPECT_TRUE(fom().LblTim.enabled());
}

TEST_F(Keys, CtrlHeldRunsToTheNextPauseAtOnceAndKeepsTheChosenSpeed) {
    // The slowest: 2 s a line, a minute to the pause (the speed's own handler: the menu cannot be opened
    // over the title screen).
    window->deliver([&](Game& g) { g.fom().m_tim_Click(10); });
    startGame();
    QKeyEvent ctrl(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QCoreApplication::sendEvent(window.get(), &ctrl);
    EXPECT_TRUE(window->fastForward());
    EXPECT_TRUE(pumpUntil([&] { return prompt(kCyan); }, 5000))
        << "still at " << utf8(fom().Lbl[20]->caption);
    // The pause holds though Ctrl is still down.
    const std::u16string bottom = fom().Lbl[20]->caption;
    pumpFor(100);
    EXPECT_TRUE(prompt(kCyan));
    EXPECT_EQ(fom().Lbl[20]->caption, bottom);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &up);
    EXPECT_FALSE(window->fastForward());
    EXPECT_EQ(fom().LblTim.interval(), 2000) << "the menu's speed is the game's again";
}

TEST_F(Keys, EscAndARightClickOpenTheMenuOnlyOutsideTheTitle) {
    key(Qt::Key_Escape);
    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(10, 10), window->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(window.get(), &right);
    pumpFor(50);
    EXPECT_EQ(shownMenu(), nullptr);

    startGame();
    key(Qt::Key_Escape);
    ASSERT_TRUE(pumpUntil([&] { return shownMenu() != nullptr; }, 2000));
    shownMenu()->close();
    pumpFor(20);
    QCoreApplication::sendEvent(window.get(), &right);
    EXPECT_TRUE(pumpUntil([&] { return shownMenu() != nullptr; }, 2000));
    shownMenu()->close();
}

TEST_F(Keys, AltEnterAndF11ToggleFullScreenWithoutAResume) {
    // Taken before a focused difficulty button can take the Enter.
    key(window->widgetOf("StartCom", 1), Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    ASSERT_TRUE(pumpUntil([&] { return window->isFullScreenShown(); }, 2000));
    EXPECT_TRUE(fom().PicTtl.visible) << "Alt+Enter does not press the button";
    key(Qt::Key_F11);
    ASSERT_TRUE(pumpUntil([&] { return !window->isFullScreenShown(); }, 2000));

    startGame();
    tickUntil(kCyan);
    pumpFor(50);
    const QRect before = window->geometry();
    key(Qt::Key_Return, Qt::AltModifier);
    ASSERT_TRUE(pumpUntil([&] { return window->isFullScreenShown(); }, 2000));
    EXPECT_TRUE(prompt(kCyan)) << "Alt+Enter does not go on with the story";
    pumpFor(50);
    EXPECT_EQ(window->stage()->geometry(), GameWindow::letterbox(window->size()));
    // The game's layout sees the 4:3 stage, not the whole screen.
    EXPECT_EQ(fom().window.heightTw, window->stage()->height() * kTwipsPerPixel);

    key(Qt::Key_F11);
    ASSERT_TRUE(pumpUntil([&] { return !window->isFullScreenShown(); }, 2000));
    EXPECT_TRUE(pumpUntil([&] { return window->geometry() == before; }, 2000))
        << "the earlier size and place";
    EXPECT_EQ(window->stage()->geometry(), window->rect());
    EXPECT_TRUE(prompt(kCyan));
}

TEST(FullScreen, TheGameSitsAt4To3InTheMiddleWithBars) {
    EXPECT_EQ(GameWindow::letterbox(QSize(1920, 1080)), QRect(240, 0, 1440, 1080));
    EXPECT_EQ(GameWindow::letterbox(QSize(1280, 1024)), QRect(0, 32, 1280, 960));
    EXPECT_EQ(GameWindow::letterbox(QSize(800, 600)), QRect(0, 0, 800, 600));
    EXPECT_EQ(GameWindow::letterbox(QSize(2560, 1600)), QRect(213, 0, 2133, 1600));
}

TEST_F(Keys, TheTextLogHoldsTheLinesOfTheSceneAndClosesByEscOrTheWheel) {
    key(Qt::Key_PageUp);
    wheel(120);
    EXPECT_FALSE(window->textLogOpen()) << "no log over the title screen";

    startGame();
    tickUntil(kCyan);
    ASSERT_EQ(utf8(fom().Lbl[0]->caption), "第10行") << "the first lines have scrolled away";
    wheel(120);
    ASSERT_TRUE(window->textLogOpen());
    const QString text = window->textLog()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("第1行\n第2行\n")));
    EXPECT_TRUE(text.endsWith(QString::fromUtf8("第30行")));
    // The story waits while the log is read.
    window->deliver([&](Game& g) { g.menu("m_tim", 0); });
    window->deliver([&](Game& g) { g.click("Fom"); });
    const std::u16string bottom = fom().Lbl[20]->caption;
    pumpFor(100);
    EXPECT_EQ(fom().Lbl[20]->caption, bottom);

    key(window->textLog(), Qt::Key_Escape);
    EXPECT_FALSE(window->textLogOpen());
    key(Qt::Key_PageUp);
    ASSERT_TRUE(window->textLogOpen());
    QWheelEvent down(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window->textLog()->viewport(), &down);
    EXPECT_FALSE(window->textLogOpen()) << "the wheel turned down past the end closes it";
    EXPECT_TRUE(pumpUntil([&] { return fom().Lbl[20]->caption != bottom; }, 2000)) << "and the story goes on";
}
