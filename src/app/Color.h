#pragma once
#include <cstdint>

// A colour as the game stores it: red + 256 * green + 65536 * blue.
using Color = std::uint32_t;

constexpr Color rgb(int r, int g, int b) {
    return static_cast<Color>(r & 0xFF) | static_cast<Color>(g & 0xFF) << 8 |
           static_cast<Color>(b & 0xFF) << 16;
}
constexpr int redOf(Color c) {
    return c & 0xFF;
}
constexpr int greenOf(Color c) {
    return (c >> 8) & 0xFF;
}
constexpr int blueOf(Color c) {
    return (c >> 16) & 0xFF;
}

// The desktop theme's colours, as a plain Windows theme has them.
namespace systemColor {
constexpr Color window = rgb(255, 255, 255);
constexpr Color windowText = rgb(0, 0, 0);
constexpr Color buttonFace = rgb(240, 240, 240);
constexpr Color buttonText = rgb(0, 0, 0);
} // namespace systemColor
