#pragma once
#include <optional>
#include <string>

// A story's icons, made from its title card: the card fitted into a square on black, as PNG bytes of
// the size asked. Nothing when the title card cannot be read (a plain icon is made instead).
namespace appicons {

// The PNG of an icon size x size pixels.
std::string png(const std::string& gameDir, int size);
// A favicon.ico holding the 48-pixel icon (an ICO may hold a PNG).
std::string ico(const std::string& gameDir);

} // namespace appicons
