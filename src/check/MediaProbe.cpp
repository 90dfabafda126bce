#include "check/MediaProbe.h"

#include <mpg123.h>
#include <stb/stb_image.h>

#include <vector>

namespace mediaprobe {

bool pictureDecodes(const std::string& path) {
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
    if (!pixels) return false;
    stbi_image_free(pixels);
    return width > 0 && height > 0;
}

bool musicDecodes(const std::string& path) {
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle) return false;
    bool decoded = false;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    if (mpg123_open(handle, path.c_str()) == MPG123_OK) {
        std::vector<unsigned char> buffer(mpg123_outblock(handle));
        std::size_t total = 0;
        // A few blocks of sound are enough to know the file is music the game can play.
        for (int block = 0; block < 8; ++block) {
            std::size_t done = 0;
            int rc = mpg123_read(handle, buffer.data(), buffer.size(), &done);
            total += done;
            if (rc == MPG123_NEW_FORMAT) continue;
            if (rc != MPG123_OK) break;
        }
        decoded = total > 0;
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return decoded;
}

} // namespace mediaprobe
