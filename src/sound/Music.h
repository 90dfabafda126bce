#pragma once
#include "platform/MusicDevice.h"

#include <functional>
#include <optional>
#include <string>

// The background music: one piece at a time on the device alias MIDI, looped by the watchdog. Each
// procedure sends the game's multimedia commands; the device gets them as typed calls, and whoever
// listens hears their exact text (the headless driver prints it).
class Music {
  public:
    Music(MusicDevice& device, std::function<void(const std::string&)> heard)
        : device_(device), heard_(std::move(heard)) {}

    // The program-wide music switch; it gates every start of playback.
    bool MusicOn = false;
    // Finds a piece's file in the game folder (empty: findGameFile).
    std::function<std::string(const std::string&)> find;

    // Closes any open piece and opens the file at path, stopped at its start.
    void OpenMidi(const std::string& path);
    void CloseMidi();
    // Plays from the current position, only while the music is switched on.
    void PlayMidi();
    void StopMidi();
    // One tick of the loop watchdog: a piece found stopped is played again from its start.
    void BgmTim_Timer();

    // The device as the game sees it: the piece open (empty when none) and whether it plays.
    struct Heard {
        std::string path;
        std::optional<MusicDevice::Mode> mode;
        bool operator==(const Heard&) const = default;
    };
    Heard heard() const;
    // Brings the device to that state without sending the game's commands: a copy of the game picks up
    // its music where the original was, and nobody hears commands the game never gave.
    void restore(const Heard& was);

  private:
    // The commands, each carried out on the device; the status query answers whether a piece is open
    // and stopped.
    enum class Command { Close, Open, Play, Stop, Status, SeekToStart, PlayFromStart };
    bool send(Command command, const std::string& path = {});

    MusicDevice& device_;
    std::function<void(const std::string&)> heard_;
    std::string openPath_; // the piece the last open opened, while it is open
};
