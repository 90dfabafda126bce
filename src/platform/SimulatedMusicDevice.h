#pragma once
#include "platform/MusicDevice.h"

#include <functional>
#include <string>

// A music device that plays nothing itself but keeps the state a real one would (closed, stopped,
// playing), on the host's clock: a piece ends when the host says so (the headless driver's `music-end`,
// the browser's audio element). Every call is passed on to `follow` first, for a host that plays the
// music its own way.
class SimulatedMusicDevice : public MusicDevice {
  public:
    enum class Call { Open, Close, Play, Stop, Rewind };
    explicit SimulatedMusicDevice(std::function<void(Call, const std::string& path)> follow = {})
        : follow_(std::move(follow)) {}

    bool open(const std::string& path) override;
    bool close() override;
    bool play() override;
    bool stop() override;
    bool rewind() override;
    std::optional<Mode> mode() override;
    // The open piece has played to its end.
    void pieceEnded();
    bool playing() const { return state_ == State::Playing; }

  private:
    enum class State { Closed, Stopped, Playing };
    void tell(Call call, const std::string& path = {}) {
        if (follow_) follow_(call, path);
    }
    std::function<void(Call, const std::string&)> follow_;
    State state_ = State::Closed;
};
