#pragma once
#include <array>
#include <cstdint>
#include <string>

// The running timed question.
struct QuestionState {
    std::array<std::u16string, 2> QstTargets; // the scene each answer slot leads to
    std::array<std::int16_t, 2> QstTop{};     // the laid-out tops of the two answer slots, in pixels
    std::int16_t QstCount = 0;                // countdown ticks so far
    int answers = 2;                          // answer lines in the running question's block
    int swap = 0;                             // with two answers: 1 when they swapped their slots
};
