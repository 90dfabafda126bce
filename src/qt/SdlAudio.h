#pragma once
#include "qt/Mp3Format.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

struct _Mix_Music;

// The desktop's sound output through SDL2_mixer, driven from a thread of its own so that the window
// never waits for it. The window says which piece should be loaded and whether it plays; the thread
// brings the output in line. It opens the output when there is a piece to hear, falls back to SDL's
// dummy driver (which keeps time in silence) when there is no sound server or device, and closes it
// again once nothing has played for a while, so that no audio thread keeps waking.
class SdlAudio {
  public:
    // What the window wants of the output.
    struct Wanted {
        std::uint64_t piece = 0; // 0: nothing loaded
        std::string path;
        bool playing = false;
        // A new run of the piece, from fromMs: every start afresh (open, seek, play from 0) takes a new one.
        std::uint64_t run = 0;
        double fromMs = 0;
        // Each time the piece is set playing, a new start: the output tells when it began to play it.
        std::uint64_t start = 0;
    };

    // The one output of the process, made at first use. It lives as long as the process: SDL's audio
    // thread may still be mixing silence while the process exits, and never waits for it.
    static SdlAudio& instance();
    // A number no piece or run has had before, for Wanted::piece and Wanted::run.
    static std::uint64_t newId();

    void want(const Wanted& wanted);
    // Lets go of the piece, if it is still the one wanted.
    void drop(std::uint64_t piece);
    // The run that last played to its end (0 when none).
    std::uint64_t endedRun() const { return endedRun_.load(); }
    // Whether the piece could not be loaded, and why.
    bool failed(std::uint64_t piece, std::string* why) const;
    // Whether the output has begun to play the given start, and when (in nowMs()'s milliseconds).
    bool started(std::uint64_t start, std::int64_t* atMs) const;
    // Milliseconds of the steady clock.
    static std::int64_t nowMs();
    // The piece's length in milliseconds once it is loaded (0 when the decoder cannot tell), else a
    // negative number.
    double durationMs(std::uint64_t piece) const;
    // Whether the output goes to a real sound device (and not to the silent dummy driver).
    bool audible() const { return audible_.load(); }
    // Whether an output is open at all: the audio thread is running.
    bool outputOpen() const { return outputOpen_.load(); }

    // Samples in each chunk mixed. Measured at the title with its music against a null sink: 4096
    // woke the audio thread 48 times a second, 8192 18 times, 16384 9 times; the sound server then
    // held up to one chunk plus its own latency (8192: 113 + 13-55 ms; 16384: 206 + 64-138 ms), all of
    // which is still heard after a stop. 8192 keeps a stop under a quarter of a second.
    static constexpr int kChunkSamples = 8192;
    static constexpr int kRate = 44100;
    static constexpr int kChunkMs = kChunkSamples * 1000 / kRate;
    // How long the output stays open with nothing playing.
    static constexpr int kIdleCloseMs = 2000;
    // After the real device could not be opened, a new piece keeps the silent output for this long
    // before it tries the device again: closing the silent output waits for its chunk to pass, and a
    // story switching pieces quickly would pay that at every switch.
    static constexpr int kDeviceRetryMs = 1000;

  private:
    SdlAudio();
    void run();
    void apply(const Wanted& wanted);
    void dropMusic();
    // Opens the output in the given format; a real device when one can be had, else the dummy driver.
    void openOutput(Mp3Format format);
    void closeOutput();
    // Whether the real device the output opened has gone (its sound server ended).
    bool outputLost() const;
    bool busy() const;
    static void musicFinished();
    void markStarted(std::uint64_t start);
    // Called on SDL's audio thread after each chunk is mixed; it only moves atomics.
    static void afterMix(void*, std::uint8_t*, int);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Wanted wanted_;
    std::uint64_t version_ = 0, appliedVersion_ = 0;
    // What the thread found out, for the window.
    std::uint64_t failedPiece_ = 0;
    std::string failure_;
    std::uint64_t durationPiece_ = 0;
    double durationMs_ = -1;
    std::atomic<bool> audible_{false};
    std::atomic<bool> outputOpen_{false};
    static std::atomic<std::uint64_t> playingRun_;
    static std::atomic<std::uint64_t> endedRun_;
    // A start the output was told of, and the one it last began to mix, with when: the first piece
    // waits for SDL to load and the sound server to take the stream, which may be a second or more.
    static std::atomic<std::uint64_t> pendingStart_;
    static std::atomic<std::uint64_t> mixedStart_;
    static std::atomic<std::int64_t> mixedAtMs_;

    // The thread's own: the output and the piece in it.
    bool warnedSilent_ = false;
    // When the real device last could not be opened (nowMs()), or 0.
    std::int64_t deviceFailedAtMs_ = 0;
    int deviceId_ = 0;
    Mp3Format openFormat_;
    _Mix_Music* music_ = nullptr;
    std::uint64_t loadedPiece_ = 0;
    std::uint64_t loadedRun_ = 0;
    bool started_ = false;
    std::thread thread_;
};
