#include "qt/SdlMusicDevice.h"
#include "EventPump.h"
#include "MusicFiles.h"
#include "qt/SdlAudio.h"
#include "support/TestGame.h"

#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <unistd.h>

namespace {

const std::string kShortMp3 = std::string(RUMENA_TEST_DATA) + "/short.mp3";

std::string openCommand(const std::string& path) {
    return "open \"" + path + "\" alias MIDI";
}

// The mode the device reports, the way the watchdog asks: a reply buffer of 16 spaces.
std::string mode(SdlMusicDevice& device, bool* answered = nullptr) {
    std::string reply(16, ' ');
    const bool ok = device.send("status MIDI mode", &reply);
    if (answered) *answered = ok;
    return reply;
}

bool startsWith(const std::string& s, const std::string& head) {
    return s.rfind(head, 0) == 0;
}

// Waits for the device to report a mode beginning with `word`; false when it never does, or when the
// device dropped the file on the way.
bool waitForMode(SdlMusicDevice& device, const std::string& word, int timeoutMs) {
    return pumpUntil([&] { return !device.isOpen() || startsWith(mode(device), word); }, timeoutMs) &&
           device.isOpen();
}

class SdlMusicDeviceTest : public ::testing::Test {
  protected:
    // Skips the test when this machine cannot decode the sample at all (no MP3 decoder); a device that
    // decodes it and then misbehaves fails instead.
    void playOrSkip(const std::string& path = kShortMp3) {
        ASSERT_TRUE(device.send(openCommand(path), nullptr));
        ASSERT_TRUE(device.send("play MIDI notify", nullptr));
        EXPECT_TRUE(startsWith(mode(device), "playing"));
        // The piece is decoded first; it is under way once its position moves.
        const bool underWay = pumpUntil([&] { return !device.isOpen() || device.positionMs() > 0; }, 10000);
        if (!device.isOpen())
            GTEST_SKIP() << "this machine's media back end cannot decode MP3: "
                         << device.lastError().toStdString();
        ASSERT_TRUE(underWay) << "the piece never got under way";
    }
    SdlMusicDevice device;
};

} // namespace

TEST_F(SdlMusicDeviceTest, OpenedPieceWaitsStoppedAndPlaysToItsEnd) {
    ASSERT_TRUE(device.send(openCommand(kShortMp3), nullptr));
    EXPECT_TRUE(startsWith(mode(device), "stopped")) << "a freshly opened piece waits, stopped";
    EXPECT_FALSE(device.send(openCommand(kShortMp3), nullptr)) << "the alias is taken while a file is open";
    ASSERT_TRUE(device.send("close MIDI notify", nullptr));

    // Timed from the play command: once the piece is seen under way, a loaded machine may already have
    // played most of it before the test looks again.
    QElapsedTimer played;
    played.start();
    playOrSkip();
    if (IsSkipped()) return;
    ASSERT_TRUE(waitForMode(device, "stopped", 10000))
        << "a 0.47 s piece should end; " << device.lastError().toStdString();
    // The end is told once the last of the piece is mixed, while the sound server still holds up to two
    // chunks of it, so that a loop goes on without a gap.
    EXPECT_GE(played.elapsed(), 470 - 2 * SdlAudio::kChunkMs) << "the piece should take its length to play";
    EXPECT_EQ(mode(device), "stopped         ") << "the answer is written over the spaces, the rest kept";
    EXPECT_TRUE(device.isOpen()) << "a piece that ended stays open for the watchdog to restart";
}

TEST_F(SdlMusicDeviceTest, WatchdogCommandsRestartAnEndedPiece) {
    playOrSkip();
    if (IsSkipped()) return;
    ASSERT_TRUE(waitForMode(device, "stopped", 10000));
    // What the watchdog sends on finding the piece stopped.
    ASSERT_TRUE(device.send("seek MIDI to start", nullptr));
    EXPECT_TRUE(startsWith(mode(device), "stopped")) << "seeking leaves the piece stopped";
    ASSERT_TRUE(device.send("play MIDI from 0", nullptr));
    EXPECT_TRUE(waitForMode(device, "playing", 10000));
    EXPECT_TRUE(waitForMode(device, "stopped", 10000)) << "the restarted piece plays to its end again";
}

TEST_F(SdlMusicDeviceTest, StopHaltsThePieceWhereItIsAndPlayGoesOnFromThere) {
    // A piece far longer than every wait below: a stop and a play never meet its end, however busy the
    // machine is, and each step waits for the state it means, not for a time.
    TempGame game;
    const std::string piece = game.dir() + "/long.mp3";
    writeRepeatedSample(piece, 120);
    playOrSkip(piece);
    if (IsSkipped()) return;
    ASSERT_TRUE(pumpUntil([&] { return device.positionMs() >= 150; }, 10000));
    ASSERT_TRUE(device.send("stop MIDI notify", nullptr));
    EXPECT_TRUE(startsWith(mode(device), "stopped"));
    const qint64 stoppedAt = device.positionMs();
    EXPECT_GE(stoppedAt, 150);
    pumpFor(150);
    EXPECT_TRUE(startsWith(mode(device), "stopped")) << "a stopped piece stays stopped";
    EXPECT_EQ(device.positionMs(), stoppedAt) << "and stays where it stopped";

    ASSERT_TRUE(device.send("play MIDI notify", nullptr));
    EXPECT_TRUE(startsWith(mode(device), "playing"));
    EXPECT_GE(device.positionMs(), stoppedAt) << "play goes on from where the piece stopped";
    // Once the output plays it again, its position moves on from there.
    EXPECT_TRUE(pumpUntil([&] { return device.positionMs() >= stoppedAt + 150; }, 10000))
        << "the position should grow after the piece plays again; it stands at " << device.positionMs();
    EXPECT_TRUE(startsWith(mode(device), "playing"));

    ASSERT_TRUE(device.send("seek MIDI to start", nullptr));
    EXPECT_EQ(device.positionMs(), 0);
    EXPECT_TRUE(startsWith(mode(device), "stopped"));
}

TEST_F(SdlMusicDeviceTest, ClosedDeviceRefusesCommandsAndLeavesTheReply) {
    const std::string missing =
        (std::filesystem::temp_directory_path() / "rumena-no-such-music.mp3").string();
    EXPECT_FALSE(device.send(openCommand(missing), nullptr));
    EXPECT_FALSE(device.isOpen());
    bool answered = true;
    EXPECT_EQ(mode(device, &answered), std::string(16, ' '));
    EXPECT_FALSE(answered);
    EXPECT_FALSE(device.send("play MIDI notify", nullptr));
    EXPECT_FALSE(device.send("seek MIDI to start", nullptr));
    EXPECT_FALSE(device.send("close MIDI notify", nullptr)) << "nothing was open to close";
    EXPECT_FALSE(device.send("open bgm.mp3", nullptr)) << "an open without the quoted path and alias";
}

TEST_F(SdlMusicDeviceTest, FileThatIsNotMusicLeavesTheDeviceClosedAndSilent) {
    TempGame game;
    game.bytes("bgm.mp3", "This is a text file, not music.\r\n");
    const std::string path = game.dir() + "/bgm.mp3";
    ASSERT_TRUE(device.send(openCommand(path), nullptr)) << "the file exists, so the open is taken at first";
    device.send("play MIDI notify", nullptr);
    // The watchdog keeps trying while the player finds out.
    const bool dropped = pumpUntil(
        [&] {
            if (startsWith(mode(device), "stopped")) {
                device.send("seek MIDI to start", nullptr);
                device.send("play MIDI from 0", nullptr);
            }
            return !device.isOpen();
        },
        10000);
    EXPECT_TRUE(dropped) << "the device should give up a file it cannot decode";
    EXPECT_FALSE(device.isPlaying());
    EXPECT_EQ(mode(device), std::string(16, ' '));
    // The device is usable again afterwards.
    EXPECT_TRUE(device.send(openCommand(kShortMp3), nullptr));
    pumpFor(50);
    EXPECT_TRUE(device.isOpen()) << "a late report about the bad file must not close the next one";
}

namespace {

// Standard error, written to a file while the test runs: SDL's and the device's lines alike.
class StderrCapture {
  public:
    StderrCapture() : file_(std::tmpfile()), saved_(::dup(2)) {
        std::fflush(stderr);
        ::dup2(::fileno(file_), 2);
    }
    ~StderrCapture() {
        release();
        std::fclose(file_);
    }
    std::string text() {
        release();
        std::string all;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;) all.push_back(static_cast<char>(c));
        return all;
    }

  private:
    void release() {
        if (saved_ < 0) return;
        std::cerr.flush();
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
    }
    std::FILE* file_;
    int saved_;
};

// A sound server of the test's own, which the test stops and starts; the process talks to it alone.
class OwnServer {
  public:
    OwnServer()
        : dir_(std::filesystem::temp_directory_path() / ("rumena-server-" + std::to_string(::getpid()))) {
        for (const char* name : {"PULSE_SERVER", "XDG_RUNTIME_DIR"})
            if (const char* v = std::getenv(name)) saved_.emplace_back(name, v);
        ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
        ::setenv("PULSE_SERVER", ("unix:" + (dir_ / "pulse" / "native").string()).c_str(), 1);
    }
    ~OwnServer() {
        stop();
        for (const char* name : {"PULSE_SERVER", "XDG_RUNTIME_DIR"}) ::unsetenv(name);
        for (const auto& [name, value] : saved_) ::setenv(name.c_str(), value.c_str(), 1);
        // Never throw from here: a file the server writes late must not abort the whole test program.
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    bool start() { return run("start"); }
    bool stop() { return run("stop"); }

  private:
    bool run(const std::string& what) {
        const std::string script = std::string(RUMENA_TEST_DATA) + "/../support/sound-server";
        return std::system((script + " " + what + " " + dir_.string() + " >/dev/null 2>&1").c_str()) == 0;
    }
    std::filesystem::path dir_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

} // namespace

// The sound server goes away while a piece plays and comes back later: the next piece after it went
// keeps time in silence, with one warning, and the next piece after it came back is heard again.
TEST(SdlMusicDeviceServer, APieceAfterTheServerWentKeepsTimeAndOneAfterItCameBackIsHeard) {
    OwnServer server;
    if (!server.start()) GTEST_SKIP() << "no PulseAudio to start a sound server of the test's own";
    StderrCapture errors;
    SdlMusicDevice device;
    const auto playNew = [&] {
        device.send("close MIDI notify", nullptr);
        ASSERT_TRUE(device.send(openCommand(kShortMp3), nullptr));
        ASSERT_TRUE(device.send("play MIDI notify", nullptr));
    };
    playNew();
    EXPECT_TRUE(pumpUntil([&] { return device.isAudible(); }, 5000)) << "the piece goes to the server";

    ASSERT_TRUE(server.stop());
    // SDL notices the server is gone at its next chunk.
    pumpFor(3 * SdlAudio::kChunkMs);
    playNew();
    ASSERT_TRUE(waitForMode(device, "stopped", 10000)) << "without a server the piece still ends";
    EXPECT_FALSE(device.isAudible());

    ASSERT_TRUE(server.start());
    // A piece opened once the silent output has had its moment looks for the server again.
    pumpFor(SdlAudio::kDeviceRetryMs);
    playNew();
    EXPECT_TRUE(pumpUntil([&] { return device.isAudible(); }, 5000)) << "the server is found again";
    device.send("close MIDI notify", nullptr);

    const std::string said = errors.text();
    std::size_t warnings = 0;
    for (std::size_t at = 0; (at = said.find("the music is off", at)) != std::string::npos; ++at) ++warnings;
    EXPECT_EQ(warnings, 1u) << said;
    EXPECT_EQ(said.find("ALSA lib"), std::string::npos)
        << "the sound libraries' own lines are kept quiet: " << said;
}

// The output opens at the piece's own rate, read from the first frame behind any tag; a file that is
// not MP3, or a stray sync pattern in a tag's bytes, must not be taken for a frame.
TEST(SdlAudioFormat, ReadsTheRateOfTheFirstFrameBehindItsTag) {
    TempGame game;
    const std::string tag =
        std::string("ID3\x04\x00\x00\x00\x00\x00\x08", 10) + "\xff\xfb\x90\x64\xff\xfb\x90\x64";
    struct Case {
        std::string bytes;
        int rate;
    } cases[] = {
        {std::string("\xff\xfb\x90\x64", 4), 44100},      // MPEG 1, 44.1 kHz
        {std::string("\xff\xf3\x44\xc4", 4), 24000},      // MPEG 2, 24 kHz
        {tag + std::string("\xff\xe3\x18\xc4", 4), 8000}, // MPEG 2.5 behind a tag holding frame-like bytes
        {"RIFF$abcWAVEfmt ", 44100},                      // not MP3: the default
        {"", 44100},
    };
    for (const Case& c : cases) {
        const std::string path = game.dir() + "/piece.mp3";
        std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(SdlAudio::formatOf(path).rate, c.rate) << c.bytes.size() << " bytes";
        EXPECT_EQ(SdlAudio::formatOf(path).channels, 2);
    }
    EXPECT_EQ(SdlAudio::formatOf(kShortMp3).rate, 22050);
}
