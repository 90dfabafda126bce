#pragma once
#include <string>

// The multimedia command interface the music procedures talk to, one text command at a time.
class MusicDevice {
  public:
    virtual ~MusicDevice() = default;
    // Carries out one command; when reply is given, a command that answers writes its answer there.
    // Returns whether the command succeeded (the game never looks, but the watchdog relies on a failed
    // status query leaving the reply untouched).
    virtual bool send(const std::string& command, std::string* reply) = 0;
};
