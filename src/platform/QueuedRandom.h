#pragma once
#include "platform/RandomSource.h"

#include <deque>

// The game's generator, with values the driver queued returned first.
class QueuedRandom : public RandomSource {
  public:
    void seed(unsigned value) override { generator_.seed(value); }
    float next() override {
        if (queued_.empty()) return generator_.next();
        float v = queued_.front();
        queued_.pop_front();
        return v;
    }
    void queue(float value) { queued_.push_back(value); }

  private:
    LcgRandom generator_;
    std::deque<float> queued_;
};
