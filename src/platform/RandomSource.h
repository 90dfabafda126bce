#pragma once

// The game's one random generator: uniform single-precision draws in [0, 1).
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // Reseeds the generator.
    virtual void seed(unsigned value) = 0;
    // The next draw.
    virtual float next() = 0;
};

// The classic 24-bit linear congruential generator of the game's runtime.
class LcgRandom : public RandomSource {
  public:
    void seed(unsigned value) override { state_ = value & 0xFFFFFFu; }
    float next() override {
        state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
        return static_cast<float>(state_) / 16777216.0f;
    }

  private:
    unsigned state_ = 0x50000u;
};
