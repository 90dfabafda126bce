#pragma once
#include "check/Decision.h"

#include <optional>
#include <string>
#include <vector>

// A route as a driver script that `rumena --headless GAME_DIR < FILE` plays: every command a player's
// clicks and the timers would give, with a comment per decision in the author's words, and a first
// line that names where the route ends. Read back, it gives its decisions and that end again.
class RouteScript {
  public:
    // Plays the route from the title on a fresh game and writes it; title is the comment above it.
    // The end is where the play stopped (see RoutePlayer::where).
    struct Written {
        std::string text;
        std::string end;
    };
    static Written write(const std::string& gameDir, const std::vector<Decision>& route,
                         const std::string& title);

    // The decisions of a script (the pauses it clicks through are left to the player), and the end it
    // was written with. Nothing, and why, when it is no route script.
    struct Read {
        std::vector<Decision> route;
        std::string end;
    };
    static std::optional<Read> read(const std::string& text, std::string& why);

    // Plays the decisions on a fresh game, clicking through the pauses, and says where it ended.
    static std::string replay(const std::string& gameDir, const std::vector<Decision>& route);
};
