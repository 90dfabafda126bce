#include "EventPump.h"
#include "MusicFiles.h"
#include "PictureGame.h"
#include "qt/GameWindow.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

namespace {

// A game whose title and game music are real pieces, started in a window.
class MusicSwitch : public ::testing::Test {
  protected:
    void startWith(int titleSeconds) {
        game.minimal();
        // With a title card, so that the title screen shows and covers the game.
        QImage card(40, 30, QImage::Format_RGB32);
        card.fill(Qt::darkBlue);
        savePicture(game, "ttl", card, "PNG");
        writeRepeatedSample(game.dir() + "/opn.mp3", titleSeconds);
        writeRepeatedSample(game.dir() + "/bgm.mp3", 1);
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        ASSERT_TRUE(window->start());
        const bool underWay = pumpUntil([&] { return !music().isOpen() || music().positionMs() > 0; }, 10000);
        if (!music().isOpen())
            GTEST_SKIP() << "this machine's media back end cannot decode MP3: "
                         << music().lastError().toStdString();
        ASSERT_TRUE(underWay) << "the title music never got under way";
    }
    SdlMusicDevice& music() { return window->music(); }
    Fom& fom() { return window->game().fom(); }

    TempGame game;
    std::unique_ptr<GameWindow> window;
};

} // namespace

TEST_F(MusicSwitch, PlaysThroughTheSoundServerWhenThereIsOne) {
    startWith(1);
    if (IsSkipped()) return;
    if (expectedSound().empty()) GTEST_SKIP() << "RUMENA_EXPECT_SOUND does not say whether there is a server";
    const bool server = expectedSound() == "1";
    // The output opens on its own thread; it goes to the server when there is one, else it keeps time
    // in silence.
    EXPECT_TRUE(pumpUntil([&] { return music().isAudible() == server; }, 5000))
        << (server ? "the tests' own sound server should be reachable"
                   : "the silent run should have no server");
    EXPECT_TRUE(music().isPlaying());
}

// Title -> new game -> Delete -> title, a thousand times, with the watchdog looking throughout: each
// switch takes down one player and sets up the next while timers keep firing.
TEST_F(MusicSwitch, ThousandSwitchesBetweenTwoPiecesThroughTheGame) {
    startWith(2);
    if (IsSkipped()) return;
    double afterWarmUp = 0;
    for (int i = 0; i < 1000; ++i) {
        window->deliver([&](Game& g) { g.click("StartCom", i % 3); });
        ASSERT_FALSE(fom().PicTtl.visible) << "round " << i << ": the new game should have begun";
        // Now and then the piece gets as far as the sound output before it is switched away.
        if (i % 10 == 0) pumpUntil([&] { return music().positionMs() > 0; }, 1000);
        pumpFor(1);
        window->deliver([&](Game& g) { g.menu("m_menu", 0); });
        ASSERT_TRUE(fom().PicTtl.visible) << "round " << i << ": Delete should lead back to the title";
        if (i % 10 == 5) pumpUntil([&] { return music().positionMs() > 0; }, 1000);
        pumpFor(1);
        if (i == 199) afterWarmUp = residentMiB();
    }
    // The last players go, then the title music is heard again.
    EXPECT_TRUE(pumpUntil([&] { return music().isPlaying() && music().positionMs() > 0; }, 10000));
    if (kMemoryFiguresHold) {
        EXPECT_LT(residentMiB() - afterWarmUp, 16) << "switching pieces should not keep taking memory";
    }
}

TEST_F(MusicSwitch, TwoHourPieceTakesNoMoreMemoryThanAShortOne) {
    startWith(5);
    if (IsSkipped()) return;
    pumpFor(1500);
    const double shortPiece = residentMiB();
    window.reset();
    pumpFor(200);
    // 29 MB of MP3 frames: it is streamed from the file as it plays, never held.
    startWith(7200);
    pumpFor(3000);
    EXPECT_TRUE(music().isPlaying());
    if (kMemoryFiguresHold) {
        EXPECT_LE(residentMiB() - shortPiece, 3) << "a long piece is decoded as it plays, not held whole";
    }
}
