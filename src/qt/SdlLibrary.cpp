#include "qt/SdlLibrary.h"

#include <dlfcn.h>

namespace {

void quiet(const char*, int, const char*, int, const char*, ...) {}

} // namespace

const SdlLibrary* SdlLibrary::load(std::string* why) {
    static SdlLibrary sdl;
    static std::string failure;
    if (!sdl.library && failure.empty()) {
        void* library = dlopen("libSDL2_mixer-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            failure = dlerror();
        } else {
#define RUMENA_SDL_FIND(name)                                                                                \
    sdl.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name));                                   \
    if (!sdl.name) failure = "SDL2_mixer has no " #name;
            RUMENA_SDL_FUNCTIONS(RUMENA_SDL_FIND)
#undef RUMENA_SDL_FIND
            if (failure.empty()) sdl.library = library;
        }
    }
    *why = failure;
    return sdl.library ? &sdl : nullptr;
}

void SdlLibrary::quietenAlsa() const {
    // ALSA comes with SDL, so its error handler is found among the libraries loaded with it.
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (void* set = dlsym(library, "snd_lib_error_set_handler"))
        reinterpret_cast<int (*)(Handler)>(set)(&quiet);
}
