#include "sound/Music.h"

#include "platform/GameFiles.h"
#include "platform/MusicDevice.h"

bool Music::send(Command command, const std::string& path) {
    // The text each command has on the system the game was made for: the one place it is written.
    if (heard_) {
        switch (command) {
        case Command::Close:
            heard_("close MIDI notify");
            break;
        case Command::Open:
            heard_("open \"" + path + "\" alias MIDI");
            break;
        case Command::Play:
            heard_("play MIDI notify");
            break;
        case Command::Stop:
            heard_("stop MIDI notify");
            break;
        case Command::Status:
            heard_("status MIDI mode");
            break;
        case Command::SeekToStart:
            heard_("seek MIDI to start");
            break;
        case Command::PlayFromStart:
            heard_("play MIDI from 0");
            break;
        }
    }
    switch (command) {
    case Command::Close:
        openPath_.clear();
        return device_.close();
    case Command::Open:
        if (!device_.open(path)) return false;
        openPath_ = path;
        return true;
    case Command::Play:
        return device_.play();
    case Command::Stop:
        return device_.stop();
    case Command::Status:
        return device_.mode() == MusicDevice::Mode::Stopped;
    case Command::SeekToStart:
        return device_.rewind();
    case Command::PlayFromStart:
        return device_.rewind() && device_.play();
    }
    return false;
}

void Music::OpenMidi(const std::string& path) {
    send(Command::Close);
    send(Command::Open, find ? find(path) : findGameFile(path));
}

void Music::CloseMidi() {
    send(Command::Close);
}

void Music::PlayMidi() {
    if (MusicOn) send(Command::Play);
}

void Music::StopMidi() {
    send(Command::Stop);
}

void Music::BgmTim_Timer() {
    // A piece that has played to its end waits, stopped, for the watchdog; with no piece open the query
    // fails and nothing follows.
    const bool stopped = send(Command::Status);
    if (stopped && MusicOn) {
        send(Command::SeekToStart);
        send(Command::PlayFromStart);
    }
}

Music::Heard Music::heard() const {
    const auto mode = device_.mode();
    return {mode ? openPath_ : std::string(), mode};
}

void Music::restore(const Heard& was) {
    if (heard() == was) return;
    device_.close();
    openPath_.clear();
    if (!was.mode || !device_.open(was.path)) return;
    openPath_ = was.path;
    if (*was.mode == MusicDevice::Mode::Playing) device_.play();
}
