#pragma once
#include <optional>
#include <string>
#include <vector>

// Picks the game folder to play from the command line: the one given, else the program's own folder,
// else the demo game that comes with the program.
class GameFolder {
  public:
    // The folder to play, or why there is none (one line naming the folder).
    struct Choice {
        std::string dir;
        std::string error;
        bool ok() const { return error.empty(); }
    };

    // Where the demo games are. The installed one is shared, so it is played from the user's own copy
    // in userData, made once, so that the game can be saved without touching the installed files. The
    // source tree's is played where it is.
    struct Demos {
        std::string installed;
        std::string source;
    };

    static Choice choose(const std::optional<std::string>& given, const std::string& executableFolder,
                         const Demos& demos, const std::string& userData);
    // Whether the folder holds a game (its command list).
    static bool holdsGame(const std::string& dir);
    // The folder of the running program.
    static std::string executableFolder();
    // Where the user's own copy of the demo goes ($XDG_DATA_HOME/rumena, ~/.local/share/rumena).
    static std::string userDataFolder();
};
