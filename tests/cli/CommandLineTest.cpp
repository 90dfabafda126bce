#include "cli/CommandLine.h"
#include "cli/GameFolder.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

CommandLine parse(std::vector<std::string> args) {
    return CommandLine::parse(args);
}

// A fresh folder, removed at the end of the test.
struct TempDir {
    fs::path path;
    TempDir() {
        char name[] = "/tmp/rumena-cli-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (const auto& e : fs::recursive_directory_iterator(path, ec))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    fs::path game(const std::string& name) const {
        fs::create_directories(path / name / "txt");
        std::ofstream(path / name / "txt" / "com.dat") << "place\r\n";
        return path / name;
    }
};

struct Outcome {
    int status;
    std::string out;
};

// Runs the program with arguments and an empty standard input; standard error goes with the output.
Outcome runProgram(const std::string& args, const std::string& before = "") {
    const std::string command = before + std::string(RUMENA_BINARY) + " " + args + " </dev/null 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string out;
    std::array<char, 512> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

} // namespace

TEST(CommandLine, TakesEachOptionAndAnOptionalFolder) {
    const CommandLine none = parse({});
    EXPECT_EQ(none.action, CommandLine::Action::Play);
    EXPECT_FALSE(none.gameDir);
    EXPECT_FALSE(none.headless || none.fullscreen || none.seed);

    const CommandLine all = parse({"--headless", "--seed", "42", "--fullscreen", "games/demo"});
    EXPECT_EQ(all.action, CommandLine::Action::Play);
    EXPECT_TRUE(all.headless);
    EXPECT_TRUE(all.fullscreen);
    EXPECT_EQ(all.seed, 42u);
    EXPECT_EQ(all.gameDir, "games/demo");

    EXPECT_EQ(parse({"--seed=7"}).seed, 7u);
    EXPECT_EQ(parse({"--", "--odd-folder"}).gameDir, "--odd-folder");
    EXPECT_EQ(parse({"games/demo", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"-h"}).action, CommandLine::Action::Help);
    EXPECT_EQ(parse({"--version"}).action, CommandLine::Action::Version);
    EXPECT_EQ(parse({"-v"}).action, CommandLine::Action::Version);
}

TEST(CommandLine, RefusesWhatItCannotTake) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--seed"},
                                               {"--seed", "-1"},
                                               {"--seed", "x"},
                                               {"--seed=4294967296"},
                                               {"--bogus"},
                                               {"a", "b"},
                                               {"--headless", "--exit-when-shown"},
                                               {"--exit-when-shown", "--headless", "games/demo"},
                                               {"--scene"},
                                               {"--scene="},
                                               {"--day", "3"},
                                               {"--set", "GnFlags(0)=true"},
                                               {"--scene", "a", "--day", "10"},
                                               {"--scene", "a", "--set", "LoveLevels(3)=1"},
                                               {"--scene", "a", "--set", "LoveLevels(0)=255"},
                                               {"--scene", "a", "--set", "OnOffFlags(0)=true"},
                                               {"--scene", "a", "--set", "OnOffFlags(0,4)=true"},
                                               {"--scene", "a", "--set", "CnFlags(1)=maybe"},
                                               {"--scene", "a", "--set", "VisitFlags(0)=true"},
                                               {"--scene", "a", "--set", "Nothing=1"},
                                               {"--scene", "a", "--set", "TurnCount"}}) {
        const CommandLine c = parse(args);
        EXPECT_EQ(c.action, CommandLine::Action::Fail) << args.front();
        EXPECT_FALSE(c.error.empty());
        EXPECT_EQ(c.error.find('\n'), std::string::npos);
    }
    EXPECT_NE(parse({"--bogus"}).error.find("--bogus"), std::string::npos);
}

// A start at a scene: each variable by the game's name, in either spelling, within its bounds.
TEST(CommandLine, AStartAtASceneTakesTheDayAndTheVariablesGiven) {
    const CommandLine c = parse({"--scene=i_9", "--day", "9", "--set", "LoveLevels(2)=254", "--set=OnOffFlags.1.3=true",
                                 "--set", "VisitFlags(8)=1", "--set", "TurnLimit=50", "games/demo"});
    ASSERT_EQ(c.action, CommandLine::Action::Play) << c.error;
    ASSERT_TRUE(c.start);
    EXPECT_EQ(c.start->scene, u"i_9");
    EXPECT_EQ(c.start->day, 9);
    struct Want {
        const char* name;
        int first, second, value;
    } want[] = {{"LoveLevels", 2, -1, 254}, {"OnOffFlags", 1, 3, 1}, {"VisitFlags", 8, -1, 1}, {"TurnLimit", -1, -1, 50}};
    ASSERT_EQ(c.start->settings.size(), std::size(want));
    for (std::size_t i = 0; i < std::size(want); ++i) {
        const auto& s = c.start->settings[i];
        EXPECT_EQ(s.name, want[i].name);
        EXPECT_EQ(s.first, want[i].first) << s.name;
        EXPECT_EQ(s.second, want[i].second) << s.name;
        EXPECT_EQ(s.value, want[i].value) << s.name;
    }
    EXPECT_NE(parse({"--scene", "a", "--set", "LoveLevels(3)=1"}).error.find("LoveLevels(0 to 2)"), std::string::npos);
}

TEST(CommandLine, HelpNamesTheProgramTheKeysAndTheHeadlessCommands) {
    const std::string help = CommandLine::helpText("rumena");
    EXPECT_EQ(help.rfind("Usage: rumena [OPTIONS] [GAME_DIR]\n", 0), 0u);
    for (const char* word :
         {"--version", "--fullscreen", "--seed N", "--headless", "F11", "Alt+Enter", "Esc", "Ctrl", "Page Up",
          "tick TIMER [COUNT]", "dump [NAME [INDEX]]", "music-end", "quit"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    EXPECT_EQ(CommandLine::versionText("6.4.2").rfind("rumena ", 0), 0u);
    EXPECT_NE(CommandLine::versionText("6.4.2").find("Qt 6.4.2"), std::string::npos);
}

TEST(GameFolder, AGivenFolderMustExistAndHoldAGame) {
    TempDir t;
    const fs::path game = t.game("game");
    fs::create_directories(t.path / "empty");

    EXPECT_EQ(GameFolder::choose(game.string(), "/nowhere", {}, "").dir, game.string());
    const auto missing = GameFolder::choose((t.path / "nope").string(), "/nowhere", {}, "");
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.error.find("no such folder"), std::string::npos);
    EXPECT_NE(missing.error.find("nope"), std::string::npos);
    const auto empty = GameFolder::choose((t.path / "empty").string(), "/nowhere", {}, "");
    EXPECT_FALSE(empty.ok());
    EXPECT_NE(empty.error.find("txt/com.dat"), std::string::npos);
    // A given folder without a game is refused even where a demo exists.
    EXPECT_FALSE(
        GameFolder::choose((t.path / "empty").string(), game.string(), {"", game.string()}, "").ok());
}

TEST(GameFolder, WithoutAFolderTheProgramsOwnThenTheDemo) {
    TempDir t;
    const fs::path own = t.game("bin");
    const fs::path demo = t.game("demo");
    fs::create_directories(t.path / "build");

    EXPECT_EQ(GameFolder::choose(std::nullopt, own.string(), {"", demo.string()}, "").dir, own.string());
    // A build folder holds no game: the source tree's demo is played where it is.
    EXPECT_EQ(GameFolder::choose(std::nullopt, (t.path / "build").string(), {"/nowhere", demo.string()},
                                 (t.path / "data").string())
                  .dir,
              demo.string());
    EXPECT_FALSE(fs::exists(t.path / "data"));
    EXPECT_FALSE(
        GameFolder::choose(std::nullopt, (t.path / "build").string(), {"/nowhere", "/nowhere"}, "").ok());
}

// A story's package installs it where the player may not write: it is played from the player's copy.
TEST(GameFolder, AGivenFolderThePlayerMayNotWriteInIsPlayedFromACopy) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    TempDir t;
    const fs::path story = t.game("share/rumena/games/tale");
    fs::permissions(story / "txt", fs::perms::owner_write, fs::perm_options::remove);
    const fs::path data = t.path / "data";
    const auto chosen = GameFolder::choose(story.string(), "/nowhere", {}, data.string());
    EXPECT_EQ(chosen.dir, (data / "games" / "tale").string());
    EXPECT_TRUE(GameFolder::holdsGame(chosen.dir));
    // A folder of the player's own is played where it is.
    const fs::path mine = t.game("mine");
    EXPECT_EQ(GameFolder::choose(mine.string(), "/nowhere", {}, data.string()).dir, mine.string());
}

TEST(GameFolder, TheInstalledDemoIsPlayedFromTheUsersOwnCopy) {
    TempDir t;
    // Installed read-only, with a folder inside, as a package leaves it.
    const fs::path demo = t.game("share/rumena/demo");
    fs::create_directories(demo / "grf");
    std::ofstream(demo / "grf" / "ttl.dat") << "picture";
    for (const fs::path& p : {demo / "grf" / "ttl.dat", demo / "txt" / "com.dat", demo / "grf", demo / "txt"})
        fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    const fs::path data = t.path / "data";

    const auto first = GameFolder::choose(std::nullopt, "/nowhere", {demo.string(), ""}, data.string());
    EXPECT_EQ(first.dir, (data / "demo").string());
    EXPECT_TRUE(GameFolder::holdsGame(first.dir));
    EXPECT_TRUE(fs::exists(data / "demo" / "grf" / "ttl.dat"));
    EXPECT_FALSE(fs::exists(data / "demo.partial"));
    // The copy can take the save; from then on it is played, save and all.
    const auto own = fs::perms::owner_write;
    EXPECT_NE(fs::status(data / "demo" / "txt").permissions() & own, fs::perms::none);
    EXPECT_NE(fs::status(data / "demo" / "txt" / "com.dat").permissions() & own, fs::perms::none);
    std::ofstream(data / "demo" / "txt" / "save.dat") << "saved";
    EXPECT_EQ(GameFolder::choose(std::nullopt, "/nowhere", {demo.string(), ""}, data.string()).dir,
              first.dir);
    EXPECT_TRUE(fs::exists(data / "demo" / "txt" / "save.dat"));
}

TEST(Program, AnswersHelpAndVersionAndRefusesABadFolderBeforeAnyWindow) {
    const Outcome help = runProgram("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: rumena [OPTIONS] [GAME_DIR]", 0), 0u) << help.out;
    const Outcome version = runProgram("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("Qt "), std::string::npos);

    const Outcome missing = runProgram("/nonexistent/rumena-game");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.out, "rumena: /nonexistent/rumena-game: no such folder\n");
    TempDir t;
    fs::create_directories(t.path / "empty");
    const Outcome empty = runProgram((t.path / "empty").string());
    EXPECT_EQ(empty.status, 2);
    EXPECT_NE(empty.out.find("txt/com.dat"), std::string::npos);
    const Outcome bad = runProgram("--seed x");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "rumena: --seed needs a whole number N, not \"x\"\n");
}

TEST(Program, ErrorsAndUndecodableFilesAreToldOnStandardError) {
    TempDir t;
    const fs::path game = t.game("game");
    // A title card that is no picture: the game goes on without it and the author is told.
    const fs::path playable = t.game("playable");
    std::ofstream(playable / "txt" / "hint.dat") << "hint\r\n";
    fs::create_directories(playable / "grf");
    std::ofstream(playable / "grf" / "ttl.dat") << "not a picture";
    const Outcome headless = runProgram("--headless " + playable.string());
    EXPECT_NE(headless.out.find("rumena: warning: " + (playable / "grf" / "ttl.dat").string() +
                                ": the picture cannot be decoded"),
              std::string::npos)
        << headless.out;

    // No hint file: the run-time error shown in the window's message box is on the terminal too. The
    // box waits for a player, so the program is stopped after a while.
    const Outcome window = runProgram(
        game.string(), "timeout 3 env QT_QPA_PLATFORM=offscreen PULSE_SERVER=unix:/nonexistent/rumena ");
    EXPECT_NE(window.out.find("hint.dat"), std::string::npos) << window.out;
}
