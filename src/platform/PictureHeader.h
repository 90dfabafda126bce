#pragma once
#include "platform/PictureLoader.h"

#include <optional>
#include <string_view>

// The size of a picture read from its file header alone (PNG, JPEG, BMP, GIF), for hosts that hand
// the bytes to a decoder of their own and only need the size now. Nothing when the bytes are none of
// these formats or are cut short before the size.
std::optional<PictureSize> pictureSizeFromHeader(std::string_view bytes);

// A picture loader for such hosts: reads the file and its header, decodes nothing.
class HeaderPictureLoader : public PictureLoader {
  public:
    std::optional<PictureSize> load(const std::string& path) override;
};
