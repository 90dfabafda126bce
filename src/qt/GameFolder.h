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

    // demos: where a demo may be, in order of preference (installed, then the source tree's).
    // userData: a writable folder a demo that cannot be written is copied to before it is played,
    // so that it can be saved.
    static Choice choose(const std::optional<std::string>& given, const std::string& executableFolder,
                         const std::vector<std::string>& demos, const std::string& userData);
    // Whether the folder holds a game (its command list).
    static bool holdsGame(const std::string& dir);
    // The folder of the running program.
    static std::string executableFolder();
    // Where the user's own copy of the demo goes ($XDG_DATA_HOME/rumena, ~/.local/share/rumena).
    static std::string userDataFolder();
};
