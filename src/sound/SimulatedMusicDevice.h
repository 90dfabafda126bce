#pragma once
#include "platform/MusicDevice.h"

#include <functional>
#include <string>

// A music device that plays nothing itself but keeps the state a real one would (closed, stopped,
// playing), on the host's clock: a piece ends when the host says so (the headless driver's `music-end`,
// the browser's audio element). Every command is passed on to `heard` first, for the host to print it
// or to play it its own way.
class SimulatedMusicDevice : public MusicDevice {
  public:
    explicit SimulatedMusicDevice(std::function<void(const std::string&)> heard = {})
        : heard_(std::move(heard)) {}

    bool send(const std::string& command, std::string* reply) override;
    // The open piece has played to its end.
    void pieceEnded();
    bool playing() const { return state_ == State::Playing; }

  private:
    enum class State { Closed, Stopped, Playing };
    std::function<void(const std::string&)> heard_;
    State state_ = State::Closed;
};
