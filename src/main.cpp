// rumena: plays the story game in a window, or headless for scripted play-throughs. The launcher is the
// one place that knows both hosts; neither host knows the other.
#include "cli/CommandLine.h"
#include "cli/GameFolder.h"
#include "headless/HeadlessHost.h"
#include "qt/QtHost.h"

#include <filesystem>
#include <iostream>

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    const std::string program = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "rumena";
    const CommandLine line = CommandLine::parse(args);
    switch (line.action) {
    case CommandLine::Action::Fail:
        std::cerr << program << ": " << line.error << "\n";
        return 2;
    case CommandLine::Action::Help:
        std::cout << CommandLine::helpText(program);
        return 0;
    case CommandLine::Action::Version:
        std::cout << CommandLine::versionText(qtVersion());
        return 0;
    case CommandLine::Action::Play:
        break;
    }

    const std::string executableFolder = GameFolder::executableFolder();
    if (line.headless) {
        // The driver's contract: the folder given, or the program's own, whatever it holds.
        return withQtPictures(argc, argv, [&](PictureLoader& pictures) {
            return runHeadless(line.gameDir.value_or(executableFolder), line.seed, pictures, std::cin,
                               std::cout, std::cerr, line.start);
        });
    }

    GameFolder::Demos demos{executableFolder + "/../share/rumena/demo", {}};
#ifdef RUMENA_SOURCE_DEMO
    demos.source = RUMENA_SOURCE_DEMO;
#endif
    const GameFolder::Choice game =
        GameFolder::choose(line.gameDir, executableFolder, demos, GameFolder::userDataFolder());
    if (!game.ok()) {
        std::cerr << program << ": " << game.error << "\n";
        return 2;
    }
    return runQtHost(argc, argv, {game.dir, line.seed, line.fullscreen, line.exitWhenShown, line.start});
}
