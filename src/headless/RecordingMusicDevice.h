#pragma once
#include "platform/MusicDevice.h"

#include <functional>
#include <string>

// A music device that plays nothing but keeps the state a real one would (closed, stopped, playing),
// and reports every command it is sent.
class RecordingMusicDevice : public MusicDevice {
  public:
    explicit RecordingMusicDevice(std::function<void(const std::string&)> report)
        : report_(std::move(report)) {}

    bool send(const std::string& command, std::string* reply) override;
    // The open piece has played to its end.
    void pieceEnded();

  private:
    enum class State { Closed, Stopped, Playing };
    std::function<void(const std::string&)> report_;
    State state_ = State::Closed;
};
