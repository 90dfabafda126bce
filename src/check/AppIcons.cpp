#include "check/AppIcons.h"

#include "platform/GameFiles.h"

#include <stb/stb_image.h>
#include <stb/stb_image_resize.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace appicons {
namespace {

void appendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

// The title card, or a lamp of the story's colours where it has none.
std::vector<unsigned char> square(const std::string& gameDir, int size) {
    std::vector<unsigned char> icon(static_cast<std::size_t>(size) * size * 3, 0);
    int w = 0, h = 0, channels = 0;
    const std::string card = findGameFile(gameDir + "/grf/ttl.dat");
    unsigned char* pixels = stbi_load(card.c_str(), &w, &h, &channels, 3);
    if (!pixels || w <= 0 || h <= 0) {
        if (pixels) stbi_image_free(pixels);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int dx = x - size / 2, dy = y - size / 2;
                const bool lamp = dx * dx + dy * dy < size * size / 9;
                unsigned char* p = &icon[(static_cast<std::size_t>(y) * size + x) * 3];
                p[0] = lamp ? 255 : 16, p[1] = lamp ? 214 : 20, p[2] = lamp ? 130 : 48;
            }
        return icon;
    }
    // Fitted whole into the square, its shape kept, on black.
    const double scale = std::min(static_cast<double>(size) / w, static_cast<double>(size) / h);
    const int fw = std::max(1, static_cast<int>(w * scale)), fh = std::max(1, static_cast<int>(h * scale));
    std::vector<unsigned char> fitted(static_cast<std::size_t>(fw) * fh * 3);
    stbir_resize_uint8(pixels, w, h, 0, fitted.data(), fw, fh, 0, 3);
    stbi_image_free(pixels);
    const int left = (size - fw) / 2, top = (size - fh) / 2;
    for (int y = 0; y < fh; ++y)
        std::copy_n(&fitted[static_cast<std::size_t>(y) * fw * 3], fw * 3,
                    &icon[(static_cast<std::size_t>(y + top) * size + left) * 3]);
    return icon;
}

} // namespace

std::string png(const std::string& gameDir, int size) {
    const std::vector<unsigned char> icon = square(gameDir, size);
    std::string bytes;
    stbi_write_png_to_func(appendBytes, &bytes, size, size, 3, icon.data(), size * 3);
    return bytes;
}

std::string ico(const std::string& gameDir) {
    const std::string image = png(gameDir, 48);
    std::string out;
    auto put16 = [&](unsigned v) {
        out += static_cast<char>(v & 0xFF), out += static_cast<char>(v >> 8 & 0xFF);
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(0), put16(1), put16(1);                               // an icon file of one image
    out += static_cast<char>(48), out += static_cast<char>(48); // its width and height
    out += '\0', out += '\0';                                   // no palette
    put16(1), put16(32);                                        // planes, bits a pixel
    put32(static_cast<std::uint32_t>(image.size()));
    put32(6 + 16); // where the image begins
    return out + image;
}

} // namespace appicons
