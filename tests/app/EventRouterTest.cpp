#include "support/TestGame.h"

#include <gtest/gtest.h>

using Result = EventRouter::Result;

TEST(EventRouter, EachTimerTicksItsOwnHandlerOnlyWhileItRuns) {
    TempGame game;
    game.minimal();
    game.lines("txt/opn.dat", {"一行目", "二行目"});
    TestWindow w(game);
    w.start();
    Fom& f = w.fom;
    f.StartCom_Click(0);
    f.LblShpTim.setEnabled(false);
    f.QstTim.setEnabled(false);
    f.BgmTim.setEnabled(false);

    // Only the script's timer runs: the others' ticks are ignored and change nothing.
    const auto sent = w.fake.music.commands.size();
    EXPECT_EQ(w.router.tick("LblShpTim"), Result::Ignored);
    EXPECT_EQ(w.router.tick("QstTim"), Result::Ignored);
    EXPECT_EQ(w.router.tick("BgmTim"), Result::Ignored);
    EXPECT_EQ(f.script.BlinkPhase, 0);
    EXPECT_EQ(w.fake.music.commands.size(), sent);
    EXPECT_EQ(w.router.tick("LblTim"), Result::Delivered);
    EXPECT_EQ(utf8(f.script.NextLine), "一行目");

    // The prompt's blink and the music's watchdog each move only their own part.
    f.LblTim.setEnabled(false);
    f.LblShpTim.setEnabled(true);
    EXPECT_EQ(w.router.tick("LblShpTim"), Result::Delivered);
    EXPECT_EQ(f.script.BlinkPhase, 1);
    f.BgmTim.setEnabled(true);
    EXPECT_EQ(w.router.tick("BgmTim"), Result::Delivered);
    EXPECT_EQ(w.fake.music.commands.size(), sent + 1);
    EXPECT_EQ(w.fake.music.commands.back(), "status MIDI mode");
    EXPECT_EQ(f.script.BlinkPhase, 1);
    EXPECT_EQ(utf8(f.script.NextLine), "一行目");
    EXPECT_EQ(w.router.tick("LblTim"), Result::Ignored);

    // Names are matched exactly; a control that is no timer is no timer.
    for (const char* name : {"lbltim", "LblTim ", "LblTi", "Lbl", "Fom", ""})
        EXPECT_EQ(w.router.tick(name), Result::UnknownName) << '"' << name << '"';
}
