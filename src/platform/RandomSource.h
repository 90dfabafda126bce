#pragma once
#include <cstdint>

// What the game draws a random value for. Only the love bonus and the empty place change what can
// happen next; the answers' swap moves them on the screen, and the hint picks a text.
enum class Draw { LoveBonus, EmptyPlace, AnswerSwap, Hint };

// The game's one random generator: uniform single-precision draws in [0, 1).
class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // Reseeds the generator.
    virtual void seed(unsigned value) = 0;
    // The next draw.
    virtual float next() = 0;
    // The next draw, for the given purpose; character is the one a love bonus goes to (else -1).
    // A generator that plays every purpose alike need not override it.
    virtual float next(Draw, int /*character*/) { return next(); }
    // The generator's whole state, so that a copy of the game draws on as the original would.
    virtual std::uint32_t state() const = 0;
    virtual void setState(std::uint32_t state) = 0;
};

// The classic 24-bit linear congruential generator of the game's runtime.
class LcgRandom : public RandomSource {
  public:
    using RandomSource::next;
    void seed(unsigned value) override { state_ = value & 0xFFFFFFu; }
    float next() override {
        state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
        return static_cast<float>(state_) / 16777216.0f;
    }
    std::uint32_t state() const override { return state_; }
    void setState(std::uint32_t state) override { state_ = state & 0xFFFFFFu; }

  private:
    std::uint32_t state_ = 0x50000u;
};
