#pragma once
#include "game/SceneStart.h"

#include <optional>
#include <string>
#include <vector>

// The program's command line: `rumena [OPTIONS] [GAME_DIR]`. Parsing never exits; the caller acts on
// the result.
class CommandLine {
  public:
    enum class Action { Play, Help, Version, Fail };

    // args holds the arguments after the program's name.
    static CommandLine parse(const std::vector<std::string>& args);
    // The text of --help, for the program called `program`.
    static std::string helpText(const std::string& program);
    // The text of --version, naming the toolkit's version.
    static std::string versionText(const std::string& qtVersion);

    Action action = Action::Play;
    bool headless = false;
    bool fullscreen = false;
    // Paint the title screen once and exit: start-up measured the same way every time.
    bool exitWhenShown = false;
    std::optional<unsigned> seed;
    std::optional<std::string> gameDir;
    // --scene NAME [--day D] [--set FLAG=VALUE ...]: begin a game at that scene at once.
    std::optional<SceneStart> start;
    // Why the command line was refused (Action::Fail), one line.
    std::string error;
};
