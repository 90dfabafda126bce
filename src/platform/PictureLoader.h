#pragma once
#include <optional>
#include <string>

struct PictureSize {
    int width = 0;
    int height = 0;
};

// Decodes picture files; the host keeps the decoded picture and paints it when the model asks.
class PictureLoader {
  public:
    virtual ~PictureLoader() = default;
    // Reads the picture file at path, recognising its format from the content. Returns its size in
    // pixels, or nothing when the file is missing or not a picture.
    virtual std::optional<PictureSize> load(const std::string& path) = 0;
};
