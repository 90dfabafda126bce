#pragma once
#include <string>

class MusicDevice;

// The background music: one piece at a time on the device alias MIDI, looped by the watchdog.
class Music {
  public:
    explicit Music(MusicDevice& device) : device_(device) {}

    // The program-wide music switch; it gates every start of playback.
    bool MusicOn = false;

    // Closes any open piece and opens the file at path, stopped at its start.
    void OpenMidi(const std::string& path);
    void CloseMidi();
    // Plays from the current position, only while the music is switched on.
    void PlayMidi();
    void StopMidi();
    // One tick of the loop watchdog: a piece found stopped is played again from its start.
    void BgmTim_Timer();

  private:
    void send(const std::string& command);
    MusicDevice& device_;
};
