#include "support/TestGame.h"

#include <gtest/gtest.h>

using Result = EventRouter::Result;

TEST(EventRouter, ATickReachesOnlyItsOwnTimerAndOnlyWhileThatRuns) {
    TempGame game;
    game.minimal();
    TestWindow w(game);
    w.start();
    Timer* timers[] = {&w.fom.LblTim, &w.fom.LblShpTim, &w.fom.QstTim, &w.fom.BgmTim};
    for (Timer* running : timers) {
        for (Timer* t : timers) t->setEnabled(t == running);
        for (Timer* t : timers)
            EXPECT_EQ(w.router.tick(t->name), t == running ? Result::Delivered : Result::Ignored) << t->name;
    }
    for (const char* name : {"lbltim", "LblTim ", "LblTi", "Fom", ""})
        EXPECT_EQ(w.router.tick(name), Result::UnknownName) << '"' << name << '"';
}
