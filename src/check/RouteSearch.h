#pragma once
#include "check/Decision.h"
#include "check/RoutePlayer.h"
#include "check/StateKey.h"
#include "game/Snapshot.h"
#include "state/GameState.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Plays a story on one difficulty through everything a player can decide, breadth first from copies of
// the game at each decision, so that the first route found to anything is a shortest one: each place
// the panel offers at each magenta prompt, each answer of each question and its time running out, and
// each outcome of a draw that changes the game. A state reached again is not explored again (see
// StateKey), and with the storyline reduction neither is a state that brings nothing new to any one
// storyline (see README).
class RouteSearch {
  public:
    struct Options {
        int difficulty = 1;
        std::size_t maxStates = 1'000'000; // the states explored before the search gives up
        bool exact = false;                // merge only states alike in everything
        unsigned threads = 2;
        int loveCap = 0; // love levels at or above it are alike (0: the difficulty's threshold)
        // Told after each round of the search, with the states found so far and those still to explore.
        std::function<void(std::size_t states, std::size_t waiting)> progress;
    };
    // A route: the decisions from the title.
    using Route = std::vector<Decision>;

    struct Ending {
        Route route;
        bool staffRoll = false;
        bool turnLimit = false; // the route ends through the turn-limit scene a_end
        bool allClosed = false; // the route ends through the scene end: every storyline closed
        // Where a staff roll that should end the game went instead (Title when it did end it).
        RoutePlayer::Stop after = RoutePlayer::Stop::Title;
    };
    // A state from which no ending can be reached, with what keeps it there.
    struct Trap {
        Route route;
        RoutePlayer::Stop stop =
            RoutePlayer::Stop::Stuck; // Stuck, Loop, or Panel/Question: every choice stays inside
        std::u16string scene;         // the scene it was reached in
    };
    // A flag a script line tests: whether any route found it set, and one that reached the test.
    struct FlagTest {
        std::string file;
        std::size_t line = 0;
        std::string flag; // as the game names it: GnFlags(2), OnOffFlags(0,3)
        bool seenTrue = false;
        Route route;
    };
    struct Result {
        int difficulty = 1;
        bool exact = false;
        bool covered = false; // the search ran to its end within the budget
        std::size_t states = 0, moves = 0;
        double seconds = 0;
        std::map<std::u16string, Ending> endings;
        std::map<std::string, Route> errors; // by message
        std::vector<Trap> traps;
        std::map<std::u16string, Route> scenes; // every scene opened, with a shortest route to it
        std::vector<FlagTest> flagTests;
        std::set<std::string> flagsSet; // every flag some route set, as the game names it
    };

    RouteSearch(std::string gameDir, Options options);
    Result run();

  private:
    struct Node {
        std::uint32_t parent;
        Decision decision;
        std::uint32_t depth = 0;
        RoutePlayer::Stop stop = RoutePlayer::Stop::Panel;
        Snapshot snapshot;    // made when the node is explored, kept while its next states are
        std::u16string scene; // the scene whose end or question the state waits at
        std::vector<std::uint32_t> next;
        bool endsNext = false;    // a decision here ends the game
        bool unknownNext = false; // a decision here leads to a state left unexplored
        std::int16_t turns = 0;   // the turns used
        bool explored = false;
    };
    // What one decision (with its draws) led to, found by a worker.
    struct Move {
        std::uint32_t from;
        Decision decision;
        RoutePlayer::Leg leg;
        StateKey key;
        StateKey::Parts parts;
        bool decides = false; // the leg stopped at a decision
        std::u16string scene;
        GameState state;
        std::vector<FlagTest> tests; // without routes
    };
    struct Worker;

    void explore(Worker& worker, std::uint32_t nodeId, std::vector<Move>& moves);
    void merge(std::vector<Move>& moves, std::vector<std::uint32_t>& nextRound);
    void record(const Move& move);
    Route routeTo(std::uint32_t node) const;
    Route routeThrough(std::uint32_t from, const Decision& d) const;
    void findTraps();
    void walkToTheTurnLimit();

    std::string gameDir_;
    Options options_;
    Result result_;
    std::vector<Node> nodes_;
    std::unordered_map<StateKey, std::uint32_t, StateKey::Hash> visited_;
    // What the storyline reduction has seen: each storyline's flags at each place, and the lowest and
    // highest of each counter there.
    bool novel(const StateKey::Parts& parts) const;
    bool remember(const StateKey::Parts& parts);
    std::unordered_set<std::uint64_t> parts_;
    std::unordered_map<std::uint64_t, std::array<std::pair<int, int>, 5>> ranges_;
    // The first move that reached each thing, as (node, decision), turned into routes at the end.
    std::map<std::u16string, std::pair<std::uint32_t, Decision>> firstScene_;
    std::map<std::string, std::pair<std::uint32_t, Decision>> firstError_;
    std::map<std::u16string, std::pair<std::pair<std::uint32_t, Decision>, Ending>> firstEnding_;
    std::map<std::pair<RoutePlayer::Stop, std::u16string>, std::pair<std::uint32_t, Decision>> firstTrap_;
    std::map<std::tuple<std::string, std::size_t, std::string>, std::size_t> testIndex_;
    std::vector<std::pair<std::uint32_t, Decision>> testFirst_;
};
