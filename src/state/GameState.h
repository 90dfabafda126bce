#pragma once
#include <array>
#include <cstdint>

// The story's flags and counters. Index 0, 1, 2 is the character of the scene letters "i", "r", "g".
struct GameState {
    std::array<std::array<bool, 4>, 3> OnOffFlags{};
    std::array<bool, 3> CnFlags{}; // a character's scheduled scenes are closed
    std::array<bool, 3> GnFlags{};
    std::array<bool, 10> VisitFlags{};        // days 1..9; element 0 is unused
    std::array<std::uint8_t, 3> LoveLevels{}; // never above 254
    std::uint8_t LoveThreshold = 0;
    std::uint8_t TurnLimit = 0;
    std::int16_t TurnCount = 0;

    bool operator==(const GameState&) const = default;

    // Clears the flags and love levels for a new game.
    void resetStory() {
        OnOffFlags = {};
        CnFlags = {};
        GnFlags = {};
        LoveLevels = {};
        VisitFlags = {};
    }
};
