#pragma once
#include "platform/RandomSource.h"

#include <deque>

// The game's generator, with values the driver queued returned first.
class QueuedRandom : public RandomSource {
  public:
    using RandomSource::next;
    void seed(unsigned value) override { generator_.seed(value); }
    float next() override {
        if (queued_.empty()) return generator_.next();
        float v = queued_.front();
        queued_.pop_front();
        return v;
    }
    void queue(float value) { queued_.push_back(value); }
    // The generator's own sequence; the queued values are the driver's, not the game's.
    std::uint32_t state() const override { return generator_.state(); }
    void setState(std::uint32_t state) override { generator_.setState(state); }

  private:
    LcgRandom generator_;
    std::deque<float> queued_;
};
