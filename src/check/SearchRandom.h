#pragma once
#include "platform/RandomSource.h"

#include <functional>
#include <vector>

// The random generator of a game the route search plays: each draw that changes what happens takes
// the value planned for it, and says which other values would change something. Draws that change
// nothing (the answers' swap, a hint) always take the same value.
class SearchRandom : public RandomSource {
  public:
    using RandomSource::next;

    // A draw made, the values that give it its different outcomes, and the value taken.
    struct Made {
        Draw kind;
        int character = -1;
        std::vector<float> choices;
        float value = 0;
    };
    // The values that give a love bonus for the character its different outcomes.
    std::function<std::vector<float>(int character)> bonusChoices;

    // The plan for the next move: draw k takes the value plan[k]; draws beyond the plan take their
    // first choice.
    void plan(std::vector<float> values) {
        plan_ = std::move(values);
        made_.clear();
    }
    const std::vector<Made>& made() const { return made_; }

    void seed(unsigned) override {}
    float next() override { return 0.5f; }
    float next(Draw kind, int character) override {
        Made m{kind, character, choicesOf(kind, character), 0};
        m.value = made_.size() < plan_.size() ? plan_[made_.size()] : m.choices.front();
        made_.push_back(std::move(m));
        return made_.back().value;
    }
    std::uint32_t state() const override { return 0; }
    void setState(std::uint32_t) override {}

    // The value a love bonus of n takes: the middle of its fifth of [0, 1).
    static float bonusValue(int n) { return (static_cast<float>(n) + 0.5f) / 5.0f; }

  private:
    std::vector<float> choicesOf(Draw kind, int character) const {
        switch (kind) {
        case Draw::LoveBonus:
            if (bonusChoices) return bonusChoices(character);
            return {bonusValue(0), bonusValue(1), bonusValue(2), bonusValue(3), bonusValue(4)};
        case Draw::EmptyPlace:
            // 0 to 30 of 100 opens the special place; above, the turn goes by.
            return {0.1f, 0.9f};
        case Draw::AnswerSwap:
        case Draw::Hint:
            break;
        }
        return {0.0f};
    }

    std::vector<float> plan_;
    std::vector<Made> made_;
};
