#include "EventPump.h"
#include "qt/GameWindow.h"
#include "support/TestGame.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The title screen of a game whose title music is a 0.4 s piece, so it ends and loops often.
class MusicLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        game.minimal();
        std::filesystem::copy_file(std::string(RUMENA_TEST_DATA) + "/short.mp3", game.dir() + "/opn.mp3");
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        ASSERT_TRUE(window->start());
        const bool underWay = pumpUntil([&] { return !music().isOpen() || music().positionMs() > 0; }, 10000);
        if (!music().isOpen())
            GTEST_SKIP() << "this machine's media back end cannot decode MP3: "
                         << music().lastError().toStdString();
        ASSERT_TRUE(underWay) << "the title music never got under way";
        // The first piece waits for the sound server to take the stream, which under load can be a
        // second or two; the loops are counted once it has come round once.
        ASSERT_GE(restartsWithin(10000, 1), 1) << "the title music never came round";
    }

    SdlMusicDevice& music() { return window->music(); }
    void chooseBgm() {
        // The switch's own handler: the menu cannot be opened over the title screen.
        window->deliver([&](Game& g) { g.fom().m_bgm_Click(); });
    }

    // Counts the restarts of the piece over a while (or until `enough` were seen): the times it is seen
    // playing again near its beginning after having been further on.
    int restartsWithin(int ms, int enough = 0) {
        int restarts = 0;
        qint64 last = music().positionMs();
        pumpUntil(
            [&] {
                const qint64 now = music().positionMs();
                if (now + 100 < last) ++restarts;
                last = now;
                return enough > 0 && restarts >= enough;
            },
            ms);
        return restarts;
    }

    TempGame game;
    std::unique_ptr<GameWindow> window;
};

} // namespace

TEST_F(MusicLoop, PieceThatEndsStartsAgainFromItsBeginning) {
    EXPECT_GE(restartsWithin(2500), 2) << "a 0.4 s piece should have looped several times in 2.5 s";
    EXPECT_TRUE(music().isOpen());
}

TEST_F(MusicLoop, SwitchingMusicOffSilencesItAndOnRestartsIt) {
    chooseBgm();
    EXPECT_FALSE(window->game().fom().music.MusicOn);
    EXPECT_FALSE(music().isPlaying());
    pumpFor(GameWindow::kWatchdogIntervalMs * 2);
    EXPECT_FALSE(music().isPlaying()) << "the watchdog leaves the piece stopped while music is off";

    chooseBgm();
    ASSERT_TRUE(window->game().fom().music.MusicOn);
    // The switch sends nothing itself; the watchdog finds the piece stopped and plays it from the start.
    EXPECT_TRUE(pumpUntil([&] { return music().isPlaying(); }, 5000));
    EXPECT_GE(restartsWithin(1500), 1) << "and it goes on looping";
}
