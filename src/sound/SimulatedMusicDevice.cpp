#include "sound/SimulatedMusicDevice.h"

#include <sys/stat.h>

namespace {

// The path of an open command: open "PATH" alias MIDI.
bool openPath(const std::string& command, std::string& path) {
    const std::string head = "open \"", tail = "\" alias MIDI";
    if (command.size() < head.size() + tail.size() || command.compare(0, head.size(), head) != 0 ||
        command.compare(command.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    path = command.substr(head.size(), command.size() - head.size() - tail.size());
    return true;
}

// Asked of the system directly: a path object would first be split into all its parts, and a script
// may name a file with millions of them.
bool isRegularFile(const std::string& path) {
    struct stat info {};
    return path.find('\0') == std::string::npos && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

bool SimulatedMusicDevice::send(const std::string& command, std::string* reply) {
    if (heard_) heard_(command);
    std::string path;
    if (openPath(command, path)) {
        if (state_ != State::Closed || !isRegularFile(path)) return false;
        state_ = State::Stopped;
        return true;
    }
    if (command == "close MIDI notify") {
        const bool wasOpen = state_ != State::Closed;
        state_ = State::Closed;
        return wasOpen;
    }
    if (state_ == State::Closed) return false;
    if (command == "status MIDI mode") {
        if (reply) {
            const std::string mode = state_ == State::Playing ? "playing" : "stopped";
            reply->replace(0, mode.size(), mode);
        }
        return true;
    }
    if (command == "play MIDI notify" || command == "play MIDI from 0") {
        state_ = State::Playing;
        return true;
    }
    if (command == "stop MIDI notify" || command == "seek MIDI to start") {
        state_ = State::Stopped;
        return true;
    }
    return false;
}

void SimulatedMusicDevice::pieceEnded() {
    if (state_ == State::Playing) state_ = State::Stopped;
}
