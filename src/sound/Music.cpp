#include "sound/Music.h"

#include "platform/GameFiles.h"
#include "platform/MusicDevice.h"

#include <algorithm>
#include <cctype>

void Music::send(const std::string& command) {
    device_.send(command, nullptr);
}

void Music::OpenMidi(const std::string& path) {
    send("close MIDI notify");
    send("open \"" + findGameFile(path) + "\" alias MIDI");
}

void Music::CloseMidi() {
    send("close MIDI notify");
}

void Music::PlayMidi() {
    if (MusicOn) send("play MIDI notify");
}

void Music::StopMidi() {
    send("stop MIDI notify");
}

void Music::BgmTim_Timer() {
    // The device answers into a buffer of spaces; a failed query leaves it as it was.
    std::string reply(16, ' ');
    device_.send("status MIDI mode", &reply);
    std::string mode = reply.substr(0, 7);
    std::transform(mode.begin(), mode.end(), mode.begin(), [](unsigned char c) { return std::toupper(c); });
    if (mode == "STOPPED" && MusicOn) {
        send("seek MIDI to start");
        send("play MIDI from 0");
    }
}
