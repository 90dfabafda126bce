#include "qt/SdlAudio.h"

#include "qt/SdlLibrary.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <chrono>
#include <iostream>
#include <pthread.h>

namespace {
const SdlLibrary* sdl = nullptr;
} // namespace

std::atomic<std::uint64_t> SdlAudio::playingRun_{0};
std::atomic<std::uint64_t> SdlAudio::endedRun_{0};
std::atomic<std::uint64_t> SdlAudio::pendingStart_{0};
std::atomic<std::uint64_t> SdlAudio::mixedStart_{0};
std::atomic<std::int64_t> SdlAudio::mixedAtMs_{0};

SdlAudio& SdlAudio::instance() {
    // Never deleted: see the header.
    static SdlAudio* audio = new SdlAudio;
    return *audio;
}

std::uint64_t SdlAudio::newId() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

SdlAudio::SdlAudio() : thread_([this] { run(); }) {
    // Named, so that its wake-ups can be told from the window's.
    pthread_setname_np(thread_.native_handle(), "rumena-music");
    thread_.detach();
}

void SdlAudio::want(const Wanted& wanted) {
    {
        std::lock_guard lock(mutex_);
        wanted_ = wanted;
        ++version_;
    }
    changed_.notify_one();
}

void SdlAudio::drop(std::uint64_t piece) {
    {
        std::lock_guard lock(mutex_);
        if (wanted_.piece != piece) return;
        wanted_ = Wanted{};
        ++version_;
    }
    changed_.notify_one();
}

bool SdlAudio::failed(std::uint64_t piece, std::string* why) const {
    std::lock_guard lock(mutex_);
    if (failedPiece_ != piece || piece == 0) return false;
    if (why) *why = failure_;
    return true;
}

bool SdlAudio::started(std::uint64_t start, std::int64_t* atMs) const {
    if (start == 0 || mixedStart_.load() != start) return false;
    *atMs = mixedAtMs_.load();
    return true;
}

std::int64_t SdlAudio::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SdlAudio::markStarted(std::uint64_t start) {
    if (mixedStart_.load() != start) pendingStart_.store(start);
}

void SdlAudio::afterMix(void*, std::uint8_t*, int) {
    if (const std::uint64_t start = pendingStart_.exchange(0)) {
        mixedAtMs_.store(nowMs());
        mixedStart_.store(start);
    }
}

double SdlAudio::durationMs(std::uint64_t piece) const {
    std::lock_guard lock(mutex_);
    return durationPiece_ == piece ? durationMs_ : -1;
}

// Called by SDL_mixer on its audio thread (or inside a halt) when the music stops. It only notes which
// run ended; the window reads that on its own thread.
void SdlAudio::musicFinished() {
    if (const std::uint64_t run = playingRun_.load()) endedRun_.store(run);
}

void SdlAudio::run() {
    for (;;) {
        // Asked of SDL_mixer outside the lock, so that the window never waits for the audio thread.
        const bool idle = outputOpen_ && !busy();
        std::unique_lock lock(mutex_);
        const auto changed = [this] { return version_ != appliedVersion_; };
        if (idle) {
            // Nothing plays: the output goes after a while, and with it the audio thread's wake-ups.
            if (!changed_.wait_for(lock, std::chrono::milliseconds(kIdleCloseMs), changed)) {
                lock.unlock();
                closeOutput();
                continue;
            }
        } else {
            changed_.wait(lock, changed);
        }
        const Wanted wanted = wanted_;
        appliedVersion_ = version_;
        lock.unlock();
        apply(wanted);
    }
}

bool SdlAudio::busy() const {
    return music_ && sdl->Mix_PlayingMusic() && !sdl->Mix_PausedMusic();
}

void SdlAudio::apply(const Wanted& wanted) {
    if (wanted.piece == 0) {
        dropMusic();
        return;
    }
    if (wanted.piece != loadedPiece_) {
        dropMusic();
        // A new piece finds the sound server again should it have come (back) since the last one, and
        // one of another rate or channel count reopens the output in its own.
        const Mp3Format format = Mp3Format::of(wanted.path);
        const bool retryDevice = !audible_ && nowMs() - deviceFailedAtMs_ >= kDeviceRetryMs;
        if (outputOpen_ && (retryDevice || outputLost() || format != openFormat_)) closeOutput();
        if (!outputOpen_) openOutput(format);
        loadedPiece_ = wanted.piece;
        music_ = outputOpen_ ? sdl->Mix_LoadMUS(wanted.path.c_str()) : nullptr;
        std::lock_guard lock(mutex_);
        if (!music_) {
            failedPiece_ = wanted.piece;
            failure_ = outputOpen_ ? sdl->SDL_GetError() : "the music is off";
            return;
        }
        durationPiece_ = wanted.piece;
        // 0 when the decoder cannot tell.
        durationMs_ = std::max(0.0, sdl->Mix_MusicDuration(music_) * 1000);
    }
    if (!music_) return;
    if (wanted.run != loadedRun_) {
        // Started afresh: whatever played of the earlier run stops.
        playingRun_ = 0;
        sdl->Mix_HaltMusic();
        started_ = false;
        loadedRun_ = wanted.run;
    }
    if (wanted.playing) {
        if (!started_) {
            playingRun_ = wanted.run;
            sdl->Mix_FadeInMusicPos(music_, 0, 0, wanted.fromMs / 1000);
            started_ = true;
        } else if (sdl->Mix_PausedMusic()) {
            sdl->Mix_ResumeMusic();
        }
        // The piece's position is counted from its first mixed chunk, not from the window's command.
        markStarted(wanted.start);
    } else if (started_ && sdl->Mix_PlayingMusic() && !sdl->Mix_PausedMusic()) {
        sdl->Mix_PauseMusic();
    }
}

void SdlAudio::dropMusic() {
    playingRun_ = 0;
    if (music_) {
        sdl->Mix_HaltMusic();
        sdl->Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    loadedPiece_ = 0;
    loadedRun_ = 0;
    started_ = false;
}

void SdlAudio::openOutput(Mp3Format format) {
    if (!sdl) {
        std::string why;
        sdl = SdlLibrary::load(&why);
        if (!sdl) {
            if (!warnedSilent_)
                std::cerr << "rumena: warning: the music is off: SDL2_mixer cannot be loaded (" << why << ")"
                          << std::endl;
            warnedSilent_ = true;
            return;
        }
        // SDL would otherwise take SIGINT and SIGTERM from the window, which then no longer ends on them.
        sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdl->quietenAlsa();
    }
    // The chunk lasts about as long at any rate (a power of two samples): a stop is heard as soon, and
    // the audio thread wakes as seldom.
    int chunk = kChunkSamples;
    while (chunk > 256 && chunk * 3 / 4 > static_cast<long>(kChunkSamples) * format.rate / kRate) chunk /= 2;
    const auto open = [&] {
        if (sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        // The device may take another format; SDL then converts to it.
        if (sdl->Mix_OpenAudioDevice(format.rate, MIX_DEFAULT_FORMAT, format.channels, chunk, nullptr,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE) == 0)
            return true;
        sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    };
    bool ok = open();
    audible_ = ok;
    if (!ok) {
        deviceFailedAtMs_ = nowMs();
        // No sound server and no device: SDL's dummy driver keeps time in silence, so pieces still end.
        const std::string why = sdl->SDL_GetError();
        sdl->SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        ok = open();
        sdl->SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (!warnedSilent_) {
            warnedSilent_ = true;
            std::cerr
                << "rumena: warning: the music is off: no sound server or sound device could be opened ("
                << (why.empty() ? "no audio driver" : why) << ")" << std::endl;
        }
    }
    if (!ok) return;
    openFormat_ = format;
    sdl->Mix_HookMusicFinished(&SdlAudio::musicFinished);
    sdl->Mix_SetPostMix(&SdlAudio::afterMix, nullptr);
    // The output SDL_mixer opened is the one open device; its number tells whether it is still there.
    deviceId_ = 0;
    for (int id = 1; id < 64 && deviceId_ == 0; ++id)
        if (sdl->SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) deviceId_ = id;
    outputOpen_ = true;
}

bool SdlAudio::outputLost() const {
    return deviceId_ != 0 && sdl->SDL_GetAudioDeviceStatus(deviceId_) == SDL_AUDIO_STOPPED;
}

void SdlAudio::closeOutput() {
    dropMusic();
    if (!outputOpen_) return;
    sdl->Mix_HookMusicFinished(nullptr);
    sdl->Mix_SetPostMix(nullptr, nullptr);
    // This waits for the audio thread to finish its chunk: it is never done on the window's thread.
    sdl->Mix_CloseAudio();
    sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    outputOpen_ = false;
    audible_ = false;
    deviceId_ = 0;
}
