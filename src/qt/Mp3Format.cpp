#include "qt/Mp3Format.h"

#include <mpg123.h>

Mp3Format Mp3Format::of(const std::string& path) {
    Mp3Format format;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle) return format;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_open(handle, path.c_str()) == MPG123_OK) {
        if (mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK && rate > 0)
            format.rate = static_cast<int>(rate);
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    // A mono piece is played to a stereo output all the same: with a mono output SDL_mixer told of a
    // short piece's end late, and its loop came a watchdog's poll after. Copying a channel is cheap;
    // converting the rate is what costs.
    return format;
}
