#include "EventPump.h"
#include "qt/GameWindow.h"
#include "qt/Twips.h"
#include "support/TestGame.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

class ShownWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        game.minimal();
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        ASSERT_TRUE(window->start());
        pumpFor(50);
    }
    Fom& fom() { return window->game().fom(); }
    QSize frame() const { return window->frameGeometry().size() - window->geometry().size(); }
    // Waits until the window has kept one size for a while, and returns it.
    QSize settled() {
        QSize last;
        for (int i = 0; i < 20 && last != window->size(); ++i) {
            last = window->size();
            pumpFor(GameWindow::kSettleMs * 2);
        }
        return window->size();
    }

    TempGame game;
    std::unique_ptr<GameWindow> window;
};

} // namespace

TEST_F(ShownWindow, NeverAsksForMoreThanTheScreensFreeArea) {
    const QRect free = window->screen()->availableGeometry();
    if (free.width() * 3 >= free.height() * 4) GTEST_SKIP() << "needs a screen narrower than 4:3";
    const QSize most = GameWindow::letterbox(free.size()).size() - frame();
    struct Case {
        QSize asked, given;
    };
    // On a 1280 x 1024 screen the 4:3 rule would make 1250 x 980 into 1338 x 980.
    for (const Case& c : {Case{QSize(free.width() - 30, free.height() - 44), most},
                          Case{free.size() - frame(), most}, Case{QSize(700, 500), QSize()}}) {
        SCOPED_TRACE(c.asked.width());
        window->resize(c.asked);
        const QSize given = settled();
        EXPECT_LE(given.width() + frame().width(), free.width());
        EXPECT_LE(given.height() + frame().height(), free.height());
        if (c.given.isValid()) {
            EXPECT_EQ(given, c.given);
        }
        EXPECT_EQ(window->width(), twipsToPixels(fom().window.innerWidthTw(), twipsPerPixel(*window)))
            << "laid out in it";
    }
}

TEST_F(ShownWindow, LeavingFullScreenRestoresTheExactEarlierSize) {
    for (QSize before : {settled(), QSize(778, 583), QSize(640, 470)}) {
        SCOPED_TRACE(before.width());
        window->resize(before);
        before = settled();
        const double modelWidth = fom().window.widthTw;
        window->setFullScreen(true);
        ASSERT_TRUE(pumpUntil([&] { return window->isFullScreenShown(); }, 2000));
        pumpFor(GameWindow::kSettleMs * 2);
        window->setFullScreen(false);
        ASSERT_TRUE(pumpUntil([&] { return !window->isFullScreenShown(); }, 2000));
        EXPECT_EQ(settled(), before);
        EXPECT_NEAR(fom().window.widthTw, modelWidth, kTwipsPerPixel / 2)
            << "laid out as before, to the pixel";
    }
}

// A window manager tells the frame's size late, with a move, after the window left full screen: the
// earlier size stays as it was all the same.
TEST_F(ShownWindow, AFrameToldLateAfterFullScreenKeepsTheEarlierSize) {
    window->resize(QSize(778, 583));
    const QSize before = settled();
    window->setFullScreen(true);
    ASSERT_TRUE(pumpUntil([&] { return window->isFullScreenShown(); }, 2000));
    pumpFor(GameWindow::kSettleMs * 2);
    window->setFullScreen(false);
    ASSERT_TRUE(pumpUntil([&] { return !window->isFullScreenShown(); }, 2000));
    ASSERT_EQ(settled(), before);
    window->setReportedFrame(QSize(10, 40));
    window->move(window->pos() + QPoint(3, 3));
    EXPECT_EQ(settled(), before);
}

TEST_F(ShownWindow, OnTheTitleNormalHasAVisibleFocusAndTabCyclesTheThreeButtons) {
    ASSERT_TRUE(fom().PicTtl.visible);
    std::vector<QWidget*> buttons;
    for (Control* c : fom().StartCom) buttons.push_back(window->widgetOf(c->name, c->index));
    ASSERT_EQ(buttons.size(), 3u);
    ASSERT_EQ(window->focusWidget(), buttons[1]) << "NORMAL has the focus";

    const QImage focused = buttons[1]->grab().toImage();
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        int to;
    };
    const Step steps[] = {{Qt::Key_Tab, Qt::NoModifier, 2},        {Qt::Key_Tab, Qt::NoModifier, 0},
                          {Qt::Key_Tab, Qt::NoModifier, 1},        {Qt::Key_Tab, Qt::NoModifier, 2},
                          {Qt::Key_Backtab, Qt::ShiftModifier, 1}, {Qt::Key_Backtab, Qt::ShiftModifier, 0},
                          {Qt::Key_Backtab, Qt::ShiftModifier, 2}, {Qt::Key_Tab, Qt::NoModifier, 0}};
    for (const Step& s : steps) {
        QKeyEvent press(QEvent::KeyPress, s.key, s.mods);
        QCoreApplication::sendEvent(window->focusWidget(), &press);
        EXPECT_EQ(window->focusWidget(), buttons[static_cast<std::size_t>(s.to)]) << "to " << s.to;
    }
    EXPECT_NE(buttons[1]->grab().toImage(), focused) << "the focus is shown";
    EXPECT_TRUE(fom().PicTtl.visible) << "Tab presses nothing";
}
