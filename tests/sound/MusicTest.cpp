#include "sound/Music.h"
#include "platform/SimulatedMusicDevice.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

// The music switch gates every start of playback: the game's own play and the loop watchdog's.
TEST(Music, PlaysOnlyWhileTheSwitchIsOn) {
    TempGame game;
    game.bytes("bgm.mp3", "a piece");
    struct Case {
        bool on;
        bool byWatchdog;
        bool playing;
    };
    for (const Case& c : {Case{true, false, true}, Case{false, false, false}, Case{true, true, true},
                          Case{false, true, false}}) {
        SCOPED_TRACE(std::string(c.on ? "on" : "off") + (c.byWatchdog ? ", the watchdog" : ", play"));
        SimulatedMusicDevice device;
        Music music(device, nullptr);
        music.MusicOn = c.on;
        music.OpenMidi(game.dir() + "/bgm.mp3");
        if (c.byWatchdog)
            music.BgmTim_Timer();
        else
            music.PlayMidi();
        EXPECT_EQ(device.playing(), c.playing);
        // A piece that has played to its end comes round again only while the switch is on.
        device.pieceEnded();
        music.BgmTim_Timer();
        EXPECT_EQ(device.playing(), c.on);
    }
}
