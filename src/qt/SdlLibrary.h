#pragma once
#include <SDL.h>
#include <SDL_mixer.h>
#include <string>

// SDL2_mixer's functions, loaded when the music first plays, after the first screen is up: the window
// starts without waiting for it and the sixty libraries it brings, and without their memory.
#define RUMENA_SDL_FUNCTIONS(X)                                                                              \
    X(SDL_SetHint)                                                                                           \
    X(SDL_SetHintWithPriority)                                                                               \
    X(SDL_ResetHint)                                                                                         \
    X(SDL_InitSubSystem)                                                                                     \
    X(SDL_QuitSubSystem)                                                                                     \
    X(SDL_GetError)                                                                                          \
    X(SDL_GetAudioDeviceStatus)                                                                              \
    X(Mix_OpenAudioDevice)                                                                                   \
    X(Mix_CloseAudio)                                                                                        \
    X(Mix_HookMusicFinished)                                                                                 \
    X(Mix_SetPostMix)                                                                                        \
    X(Mix_LoadMUS)                                                                                           \
    X(Mix_FreeMusic)                                                                                         \
    X(Mix_MusicDuration)                                                                                     \
    X(Mix_FadeInMusicPos)                                                                                    \
    X(Mix_HaltMusic)                                                                                         \
    X(Mix_PauseMusic)                                                                                        \
    X(Mix_ResumeMusic)                                                                                       \
    X(Mix_PausedMusic)                                                                                       \
    X(Mix_PlayingMusic)

struct SdlLibrary {
#define RUMENA_SDL_POINTER(name) decltype(&::name) name = nullptr;
    RUMENA_SDL_FUNCTIONS(RUMENA_SDL_POINTER)
#undef RUMENA_SDL_POINTER
    void* library = nullptr;

    // The library, loaded at the first call; null when it cannot be (why says why).
    static const SdlLibrary* load(std::string* why);
    // ALSA prints its own lines on standard error when no sound card answers; the output's one warning
    // says it instead.
    void quietenAlsa() const;
};
