#pragma once
#include "check/RoutePlayer.h"

#include <array>
#include <cstdint>
#include <functional>

class Fom;

// What the route search tells states apart by, taken where the story waits for a decision. Two states
// are the same when everything the game can later read is the same: the story's flags and counters,
// the day, which places the panel offers, and a running question's answers and countdown. What only
// shows (the text lines, the pictures, the map's colours, the music) is left out, and so are love
// levels above the highest the story compares (the threshold) when no line lowers a level, and the
// days the lighthouse was visited once a storyline has closed, since the panel reads them no more.
struct StateKey {
    std::uint64_t high = 0, low = 0;
    bool operator==(const StateKey&) const = default;

    // The turns used are left out unless exact: of two states alike but for them, the search keeps
    // the one with fewer.
    static StateKey of(const Fom& fom, RoutePlayer::Stop stop, int loveCap, bool exact);

    // What the storyline reduction looks at (see README): the "where" of the state (the stop, the day,
    // the closed storylines, the places offered, the question), and at that place each storyline's
    // flags (with whether its love reaches the cap), the gn flags, and the counters: each character's
    // love level, the turns used and the days visited.
    struct Parts {
        std::uint64_t where = 0;
        std::array<std::uint64_t, 4> flags{}; // the three storylines, then the gn flags
        std::array<int, 5> counters{};        // love 0, 1, 2, turns, visits
    };
    static Parts parts(const Fom& fom, RoutePlayer::Stop stop, int loveCap);

    struct Hash {
        std::size_t operator()(const StateKey& k) const {
            return static_cast<std::size_t>(k.high ^ (k.low * 31));
        }
    };
};
