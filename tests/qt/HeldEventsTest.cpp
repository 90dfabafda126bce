#include "EventPump.h"
#include "qt/GameWindow.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

// A handler that runs a nested event loop (as taking down a sound output or showing a message box
// does) must not see the game re-entered: the timers that fire meanwhile wait until it is over.
TEST(HeldEvents, TimerFiringInsideANestedLoopIsDeliveredAfterTheHandler) {
    TempGame game;
    game.minimal();
    std::vector<std::string> story;
    for (int i = 0; i < 40; ++i) story.push_back("行" + std::to_string(i));
    game.lines("txt/opn.dat", story);
    GameWindow window(game.dir(), 1u);
    ASSERT_TRUE(window.start());
    Fom& fom = window.game().fom();
    window.deliver([&](Game& g) { g.click("StartCom", 0); });
    // The fastest text speed: the line timer fires as often as the desktop's timers go.
    window.deliver([&](Game& g) { g.menu("m_tim", 0); });
    ASSERT_TRUE(fom.LblTim.enabled());
    ASSERT_TRUE(pumpUntil([&] { return fom.script.currentLineNumber >= 2; }, 5000));

    std::size_t lineBefore = 0, lineInside = 0;
    window.deliver([&](Game&) {
        lineBefore = fom.script.currentLineNumber;
        // The line timer fires many times in here, the watchdog too.
        pumpFor(450);
        lineInside = fom.script.currentLineNumber;
    });
    EXPECT_EQ(lineInside, lineBefore) << "no tick may run inside the handler";
    EXPECT_EQ(fom.script.currentLineNumber, lineBefore + 1)
        << "the ticks that came meanwhile are delivered once it is over, as one tick of a real timer";
    EXPECT_TRUE(pumpUntil([&] { return fom.script.currentLineNumber > lineBefore + 2; }, 5000))
        << "the story goes on as before";
}
