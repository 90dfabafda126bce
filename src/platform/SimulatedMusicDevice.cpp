#include "platform/SimulatedMusicDevice.h"

#include <sys/stat.h>

namespace {

// Asked of the system directly: a path object would first be split into all its parts, and a script
// may name a file with millions of them.
bool isRegularFile(const std::string& path) {
    struct stat info {};
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool SimulatedMusicDevice::open(const std::string& path) {
    tell(Call::Open, path);
    if (state_ != State::Closed || !isRegularFile(path)) return false;
    state_ = State::Stopped;
    return true;
}

bool SimulatedMusicDevice::close() {
    tell(Call::Close);
    const bool wasOpen = state_ != State::Closed;
    state_ = State::Closed;
    return wasOpen;
}

bool SimulatedMusicDevice::play() {
    tell(Call::Play);
    if (state_ == State::Closed) return false;
    state_ = State::Playing;
    return true;
}

bool SimulatedMusicDevice::stop() {
    tell(Call::Stop);
    if (state_ == State::Closed) return false;
    state_ = State::Stopped;
    return true;
}

bool SimulatedMusicDevice::rewind() {
    tell(Call::Rewind);
    if (state_ == State::Closed) return false;
    state_ = State::Stopped;
    return true;
}

std::optional<MusicDevice::Mode> SimulatedMusicDevice::mode() {
    if (state_ == State::Closed) return std::nullopt;
    return state_ == State::Playing ? Mode::Playing : Mode::Stopped;
}

void SimulatedMusicDevice::pieceEnded() {
    if (state_ != State::Playing) return;
    state_ = State::Stopped;
    if (onPieceEnded) onPieceEnded();
}
