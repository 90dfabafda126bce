#pragma once
#include <cstdint>
#include <vector>

// What a player decides at one point of a route: the difficulty on the title screen, a place at the
// magenta prompt, an answer of a timed question or letting its time run out; with the values the
// move's random draws took.
struct Decision {
    enum class Kind : std::uint8_t { Difficulty, Place, Answer, TimeOut };
    Kind kind = Kind::Place;
    int index = 0; // the difficulty 0 to 2, the place's row, the answer's slot
    std::vector<float> draws;
};
