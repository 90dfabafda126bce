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

// The mode the device reports: "playing", "stopped", or "" with no piece open.
std::string mode(SdlMusicDevice& device) {
    const auto m = device.mode();
    if (!m) return "";
    return *m == MusicDevice::Mode::Playing ? "playing" : "stopped";
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
        ASSERT_TRUE(device.open(path));
        ASSERT_TRUE(device.play());
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
    ASSERT_TRUE(device.open(kShortMp3));
    EXPECT_TRUE(startsWith(mode(device), "stopped")) << "a freshly opened piece waits, stopped";
    EXPECT_FALSE(device.open(kShortMp3)) << "the alias is taken while a file is open";
    ASSERT_TRUE(device.close());

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
    EXPECT_TRUE(device.isOpen()) << "a piece that ended stays open for the watchdog to restart";
}

TEST_F(SdlMusicDeviceTest, WatchdogCommandsRestartAnEndedPiece) {
    playOrSkip();
    if (IsSkipped()) return;
    ASSERT_TRUE(waitForMode(device, "stopped", 10000));
    // What the watchdog sends on finding the piece stopped.
    ASSERT_TRUE(device.rewind());
    EXPECT_TRUE(startsWith(mode(device), "stopped")) << "seeking leaves the piece stopped";
    ASSERT_TRUE((device.rewind() && device.play()));
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
    ASSERT_TRUE(device.stop());
    EXPECT_TRUE(startsWith(mode(device), "stopped"));
    const qint64 stoppedAt = device.positionMs();
    EXPECT_GE(stoppedAt, 150);
    pumpFor(150);
    EXPECT_TRUE(startsWith(mode(device), "stopped")) << "a stopped piece stays stopped";
    EXPECT_EQ(device.positionMs(), stoppedAt) << "and stays where it stopped";

    ASSERT_TRUE(device.play());
    EXPECT_TRUE(startsWith(mode(device), "playing"));
    EXPECT_GE(device.positionMs(), stoppedAt) << "play goes on from where the piece stopped";
    // Once the output plays it again, its position moves on from there.
    EXPECT_TRUE(pumpUntil([&] { return device.positionMs() >= stoppedAt + 150; }, 10000))
        << "the position should grow after the piece plays again; it stands at " << device.positionMs();
    EXPECT_TRUE(startsWith(mode(device), "playing"));

    ASSERT_TRUE(device.rewind());
    EXPECT_EQ(device.positionMs(), 0);
    EXPECT_TRUE(startsWith(mode(device), "stopped"));
}

TEST_F(SdlMusicDeviceTest, ClosedDeviceRefusesCommandsAndLeavesTheReply) {
    const std::string missing =
        (std::filesystem::temp_directory_path() / "rumena-no-such-music.mp3").string();
    EXPECT_FALSE(device.open(missing));
    EXPECT_FALSE(device.isOpen());
    EXPECT_FALSE(device.mode()) << "no piece is open";
    EXPECT_FALSE(device.play());
    EXPECT_FALSE(device.rewind());
    EXPECT_FALSE(device.close()) << "nothing was open to close";
}

TEST_F(SdlMusicDeviceTest, FileThatIsNotMusicLeavesTheDeviceClosedAndSilent) {
    TempGame game;
    game.bytes("bgm.mp3", "This is a text file, not music.\r\n");
    const std::string path = game.dir() + "/bgm.mp3";
    ASSERT_TRUE(device.open(path)) << "the file exists, so the open is taken at first";
    device.play();
    // The watchdog keeps trying while the player finds out.
    const bool dropped = pumpUntil(
        [&] {
            if (startsWith(mode(device), "stopped")) {
                device.rewind();
                (device.rewind() && device.play());
            }
            return !device.isOpen();
        },
        10000);
    EXPECT_TRUE(dropped) << "the device should give up a file it cannot decode";
    EXPECT_FALSE(device.isPlaying());
    EXPECT_FALSE(device.mode());
    // The device is usable again afterwards.
    EXPECT_TRUE(device.open(kShortMp3));
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
        device.close();
        ASSERT_TRUE(device.open(kShortMp3));
        ASSERT_TRUE(device.play());
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
    device.close();

    const std::string said = errors.text();
    std::size_t warnings = 0;
    for (std::size_t at = 0; (at = said.find("the music is off", at)) != std::string::npos; ++at) ++warnings;
    EXPECT_EQ(warnings, 1u) << said;
    EXPECT_EQ(said.find("ALSA lib"), std::string::npos)
        << "the sound libraries' own lines are kept quiet: " << said;
}

// The output opens at the piece's own rate, as libmpg123 reads it from the first frame behind any tag;
// a file that is not MP3 gets the default.
TEST(Mp3Format, ReadsTheRateOfTheFirstFrameBehindItsTag) {
    TempGame game;
    // Three silent frames with this header (MPEG 1 or 2 Layer III, no padding, no CRC).
    const auto frames = [](const std::string& header, int bytes) {
        std::string out;
        for (int i = 0; i < 3; ++i) out += header + std::string(static_cast<std::size_t>(bytes) - 4, '\0');
        return out;
    };
    const std::string tag = std::string("ID3\x04\x00\x00\x00\x00\x00\x08", 10) + std::string(8, '\0');
    struct Case {
        std::string bytes;
        int rate;
    } cases[] = {
        {frames(std::string("\xff\xfb\x90\x00", 4), 417), 44100},       // MPEG 1, 128 kbit/s, 44.1 kHz
        {frames(std::string("\xff\xf3\x44\x00", 4), 96), 24000},        // MPEG 2, 32 kbit/s, 24 kHz
        {tag + frames(std::string("\xff\xfb\x94\x00", 4), 384), 48000}, // behind a tag
        {"RIFF$abcWAVEfmt ", 44100},                                    // not MP3: the default
        {"", 44100},
    };
    for (const Case& c : cases) {
        const std::string path = game.dir() + "/piece.mp3";
        std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(Mp3Format::of(path).rate, c.rate) << c.bytes.size() << " bytes";
        EXPECT_EQ(Mp3Format::of(path).channels, 2);
    }
    EXPECT_EQ(Mp3Format::of(kShortMp3).rate, 22050);
}
