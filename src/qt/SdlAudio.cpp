#include "qt/SdlAudio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <chrono>
#include <dlfcn.h>
#include <iostream>

namespace {

void quiet(const char*, int, const char*, int, const char*, ...) {}

// ALSA prints its own lines on standard error when no sound card answers; the one warning below says
// it instead. ALSA is loaded with SDL, so its error handler is found among the loaded libraries.
void quietenAlsa() {
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (void* set = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler"))
        reinterpret_cast<int (*)(Handler)>(set)(&quiet);
}

} // namespace

std::atomic<std::uint64_t> SdlAudio::playingRun_{0};
std::atomic<std::uint64_t> SdlAudio::endedRun_{0};

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
    return music_ && Mix_PlayingMusic() && !Mix_PausedMusic();
}

void SdlAudio::apply(const Wanted& wanted) {
    if (wanted.piece == 0) {
        dropMusic();
        return;
    }
    if (wanted.piece != loadedPiece_) {
        dropMusic();
        // A new piece finds the sound server again should it have come (back) since the last one.
        if (outputOpen_ && (!audible_ || outputLost())) closeOutput();
        if (!outputOpen_) openOutput();
        loadedPiece_ = wanted.piece;
        music_ = outputOpen_ ? Mix_LoadMUS(wanted.path.c_str()) : nullptr;
        std::lock_guard lock(mutex_);
        if (!music_) {
            failedPiece_ = wanted.piece;
            failure_ = outputOpen_ ? SDL_GetError() : "no sound output, not even a silent one";
            return;
        }
        durationPiece_ = wanted.piece;
        durationMs_ = Mix_MusicDuration(music_) * 1000;
    }
    if (!music_) return;
    if (wanted.run != loadedRun_) {
        // Started afresh: whatever played of the earlier run stops.
        playingRun_ = 0;
        Mix_HaltMusic();
        started_ = false;
        loadedRun_ = wanted.run;
    }
    if (wanted.playing) {
        if (!started_) {
            playingRun_ = wanted.run;
            Mix_FadeInMusicPos(music_, 0, 0, wanted.fromMs / 1000);
            started_ = true;
        } else if (Mix_PausedMusic()) {
            Mix_ResumeMusic();
        }
    } else if (started_ && Mix_PlayingMusic() && !Mix_PausedMusic()) {
        Mix_PauseMusic();
    }
}

void SdlAudio::dropMusic() {
    playingRun_ = 0;
    if (music_) {
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    loadedPiece_ = 0;
    loadedRun_ = 0;
    started_ = false;
}

void SdlAudio::openOutput() {
    if (!sdlStarted_) {
        // SDL would otherwise take SIGINT and SIGTERM from the window, which then no longer ends on them.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        quietenAlsa();
        sdlStarted_ = true;
    }
    const auto open = [] {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        if (Mix_OpenAudio(kRate, MIX_DEFAULT_FORMAT, 2, kChunkSamples) == 0) return true;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    };
    bool ok = open();
    audible_ = ok;
    if (!ok) {
        // No sound server and no device: SDL's dummy driver keeps time in silence, so pieces still end.
        const std::string why = SDL_GetError();
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        ok = open();
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (!warnedSilent_) {
            warnedSilent_ = true;
            std::cerr
                << "rumena: warning: the music is off: no sound server or sound device could be opened ("
                << (why.empty() ? "no audio driver" : why) << ")" << std::endl;
        }
    }
    if (!ok) return;
    Mix_HookMusicFinished(&SdlAudio::musicFinished);
    // The output SDL_mixer opened is the one open device; its number tells whether it is still there.
    deviceId_ = 0;
    for (int id = 1; id < 64 && deviceId_ == 0; ++id)
        if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) deviceId_ = id;
    outputOpen_ = true;
}

bool SdlAudio::outputLost() const {
    return deviceId_ != 0 && SDL_GetAudioDeviceStatus(deviceId_) == SDL_AUDIO_STOPPED;
}

void SdlAudio::closeOutput() {
    dropMusic();
    if (!outputOpen_) return;
    Mix_HookMusicFinished(nullptr);
    // This waits for the audio thread to finish its chunk: it is never done on the window's thread.
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    outputOpen_ = false;
    audible_ = false;
    deviceId_ = 0;
}
