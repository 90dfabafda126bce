#pragma once
#include <string>

// What the sound output opens at for a piece: its own rate (so that SDL need not convert it), always in
// stereo.
struct Mp3Format {
    int rate = 44100;
    int channels = 2;
    bool operator==(const Mp3Format&) const = default;

    // An MP3 file's rate as libmpg123 reads it from its first frame (behind any tag); the default for
    // anything it cannot read.
    static Mp3Format of(const std::string& path);
};
