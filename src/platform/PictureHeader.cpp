#include "platform/PictureHeader.h"

#include "platform/FileReplace.h"

#include <cstdint>
#include <cstdlib>

namespace {

std::uint32_t byteAt(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]);
}
std::uint32_t bigEndian16(std::string_view b, std::size_t at) {
    return byteAt(b, at) << 8 | byteAt(b, at + 1);
}
std::uint32_t littleEndian16(std::string_view b, std::size_t at) {
    return byteAt(b, at) | byteAt(b, at + 1) << 8;
}
std::uint32_t bigEndian32(std::string_view b, std::size_t at) {
    return bigEndian16(b, at) << 16 | bigEndian16(b, at + 2);
}
std::uint32_t littleEndian32(std::string_view b, std::size_t at) {
    return littleEndian16(b, at) | littleEndian16(b, at + 2) << 16;
}

std::optional<PictureSize> sized(std::int64_t width, std::int64_t height) {
    // Sizes beyond what any decoder takes are as good as no picture.
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535) return std::nullopt;
    return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PictureSize> png(std::string_view b) {
    // The signature, then the first chunk, which must be IHDR: width and height, big-endian.
    if (b.size() < 24 || b.substr(12, 4) != "IHDR") return std::nullopt;
    return sized(bigEndian32(b, 16), bigEndian32(b, 20));
}

std::optional<PictureSize> gif(std::string_view b) {
    if (b.size() < 10) return std::nullopt;
    return sized(littleEndian16(b, 6), littleEndian16(b, 8));
}

std::optional<PictureSize> bmp(std::string_view b) {
    if (b.size() < 26) return std::nullopt;
    const std::uint32_t headerSize = littleEndian32(b, 14);
    if (headerSize == 12) return sized(littleEndian16(b, 18), littleEndian16(b, 20)); // OS/2 core header
    if (headerSize < 40) return std::nullopt;
    // A negative height marks a picture stored top row first; the size is its magnitude.
    const auto width = static_cast<std::int32_t>(littleEndian32(b, 18));
    const auto height = static_cast<std::int32_t>(littleEndian32(b, 22));
    return sized(width, std::llabs(height));
}

std::optional<PictureSize> jpeg(std::string_view b) {
    // Walk the markers to the first start-of-frame; its segment holds height, then width.
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (byteAt(b, at) != 0xFF) return std::nullopt;
        const std::uint32_t marker = byteAt(b, at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            at += 2;
            continue;
        }
        const std::uint32_t length = bigEndian16(b, at + 2);
        if (length < 2) return std::nullopt;
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            if (at + 9 > b.size()) return std::nullopt;
            return sized(bigEndian16(b, at + 7), bigEndian16(b, at + 5));
        }
        if (marker == 0xD9 || marker == 0xDA) return std::nullopt; // image data before any frame
        at += 2 + length;
    }
    return std::nullopt;
}

} // namespace

std::optional<PictureSize> pictureSizeFromHeader(std::string_view b) {
    if (b.substr(0, 8) == std::string_view("\x89PNG\r\n\x1A\n", 8)) return png(b);
    if (b.substr(0, 3) == "\xFF\xD8\xFF") return jpeg(b);
    if (b.substr(0, 6) == "GIF87a" || b.substr(0, 6) == "GIF89a") return gif(b);
    if (b.substr(0, 2) == "BM") return bmp(b);
    return std::nullopt;
}

std::optional<PictureSize> HeaderPictureLoader::load(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return std::nullopt;
    return pictureSizeFromHeader(bytes);
}
