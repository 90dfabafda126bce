#pragma once
#include <string>

// Whether the game's pictures and music decode. The game skips the ones that do not without a word,
// so the checker tries them itself.
namespace mediaprobe {

// A picture in one of the common formats (PNG, JPEG, BMP, GIF, TGA, PNM), decoded whole.
bool pictureDecodes(const std::string& path);
// An MP3 file whose first frames decode.
bool musicDecodes(const std::string& path);

} // namespace mediaprobe
