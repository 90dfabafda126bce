// rumena-check: reports every problem of a game folder before anyone plays it, and draws its scene map.
#include "check/GameChecker.h"
#include "check/NewStory.h"
#include "check/RouteReport.h"
#include "check/RouteScript.h"
#include "check/SiteMaker.h"
#include "check/StoryPackage.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kErrorsFound = 1;
constexpr int kNotAGame = 2;
constexpr int kOutputFailed = 3;

const char* const kUsage =
    "usage: rumena-check [--graph FILE.dot] [--svg FILE.svg] GAME_DIR\n"
    "       rumena-check --new DIR\n"
    "       rumena-check --site OUT_DIR [--package OUT_DIR] [--force] GAME_DIR\n"
    "       rumena-check --routes [--difficulty D] [--max-states N] [--routes-out DIR] GAME_DIR\n"
    "       rumena-check --replay DIR GAME_DIR\n"
    "\n"
    "Reads every file of the game folder and reports each problem as FILE:LINE: error|warning: MESSAGE.\n"
    "  --graph FILE.dot  write the scene map as a Graphviz graph\n"
    "  --svg FILE.svg    draw the scene map with Graphviz's dot\n"
    "  --new DIR         write a new story to start from into DIR, a folder that does not exist or is empty\n"
    "  --site OUT_DIR    make the story's web site in OUT_DIR (made afresh): the page, the browser's engine\n"
    "                    and the game, for any static web server; an app that installs and plays offline\n"
    "  --package OUT_DIR make a Debian package of the story in OUT_DIR, which installs it with a desktop\n"
    "                    entry and needs the rumena package\n"
    "  --force           make the site or the package though the check found errors\n"
    "  --routes          after the check, play the story through every choice a player has, on each\n"
    "                    difficulty, and report each ending with a shortest route to it, the scenes no\n"
    "                    route reaches, the run-time errors and dead ends a route reaches, and flags\n"
    "                    no route sets (README says which states are taken as the same)\n"
    "  --max-states N    explore at most N states a difficulty (default 2000000); the report says so\n"
    "                    when the budget ran out\n"
    "  --difficulty D    explore one difficulty only: 0 EASY, 1 NORMAL, 2 HARD\n"
    "  --exact           take states as the same only when alike in everything (slow)\n"
    "  --routes-out DIR  write each route found as a driver script: rumena --headless GAME_DIR < FILE\n"
    "  --replay DIR      play each route of DIR again and say which now end elsewhere\n"
    "Exit status: 0 no error, 1 errors found, 2 not a game folder or a bad command line, 3 the map could\n"
    "not be written.\n";

bool writeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    return static_cast<bool>(out.flush());
}

// Runs Graphviz's dot on the graph. Returns an empty string on success, else what went wrong.
std::string renderSvg(const std::string& dot, const std::string& svgPath) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dotFile = fs::path(svgPath + ".dot.tmp");
    if (!writeFile(dotFile.string(), dot)) return "cannot write " + dotFile.string();
    const std::string out = "-o" + svgPath;
    const std::string in = dotFile.string();
    char* argv[] = {const_cast<char*>("dot"), const_cast<char*>("-Tsvg"), const_cast<char*>(out.c_str()),
                    const_cast<char*>(in.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "dot", nullptr, nullptr, argv, environ);
    std::string problem;
    if (rc == ENOENT) {
        problem =
            "Graphviz is not installed (no \"dot\" command), so no SVG was written; install the graphviz "
            "package, or write the graph with --graph and draw it elsewhere";
    } else if (rc != 0) {
        problem = std::string("cannot run dot: ") + std::strerror(rc);
    } else {
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) problem = "dot failed to draw " + svgPath;
    }
    fs::remove(dotFile, ec);
    return problem;
}

// The folder of the running program, beside which the installed page and engine are.
std::string executableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

// Plays each route of the folder again; returns 0 when each ends where it did, 1 when some end
// elsewhere, 2 when there is nothing to replay.
int replayRoutes(const std::string& dir, const std::string& gameDir) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec))
        if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::cerr << "rumena-check: no routes (*.txt) in " << dir << (ec ? ": " + ec.message() : "") << "\n";
        return kNotAGame;
    }
    std::size_t changed = 0;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::string why;
        const auto route = RouteScript::read(text.str(), why);
        if (!route) {
            std::cout << file.string() << ": " << why << "\n";
            ++changed;
            continue;
        }
        const std::string now = RouteScript::replay(gameDir, route->route);
        if (now == route->end) {
            std::cout << file.string() << ": still " << now << "\n";
        } else {
            std::cout << file.string() << ": changed: it ended at " << route->end << ", and now at " << now
                      << "\n";
            ++changed;
        }
    }
    std::cout << files.size() << " routes replayed, " << changed << " of them changed.\n";
    return changed > 0 ? kErrorsFound : 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string graphPath, svgPath, gameDir, newDir, siteDir, packageDir, routesOut, replayDir, maxStates,
        difficulty;
    bool force = false, routes = false, exact = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if ((arg == "--graph" || arg == "--svg" || arg == "--new" || arg == "--site" || arg == "--package" ||
             arg == "--routes-out" || arg == "--replay" || arg == "--max-states" || arg == "--difficulty") &&
            i + 1 < argc) {
            (arg == "--graph"        ? graphPath
             : arg == "--svg"        ? svgPath
             : arg == "--new"        ? newDir
             : arg == "--site"       ? siteDir
             : arg == "--routes-out" ? routesOut
             : arg == "--replay"     ? replayDir
             : arg == "--max-states" ? maxStates
             : arg == "--difficulty" ? difficulty
                                     : packageDir) = argv[++i];
        } else if (arg == "--force") {
            force = true;
        } else if (arg == "--routes") {
            routes = true;
        } else if (arg == "--exact") {
            exact = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "rumena-check: unknown option " << arg << "\n" << kUsage;
            return kNotAGame;
        } else if (gameDir.empty()) {
            gameDir = arg;
        } else {
            std::cerr << "rumena-check: one game folder at a time\n" << kUsage;
            return kNotAGame;
        }
    }
    if (!newDir.empty()) {
        if (!gameDir.empty() || !graphPath.empty() || !svgPath.empty() || !siteDir.empty() ||
            !packageDir.empty()) {
            std::cerr << "rumena-check: --new writes a story and checks none\n" << kUsage;
            return kNotAGame;
        }
        const std::string problem = NewStory(newDir).write();
        if (!problem.empty()) {
            std::cerr << "rumena-check: " << problem << "\n";
            return kNotAGame;
        }
        std::cout << "A new story is in " << newDir << ": play it with rumena " << newDir
                  << ", and check it with rumena-check " << newDir << " after each change.\n";
        return 0;
    }
    if (gameDir.empty()) {
        std::cerr << kUsage;
        return kNotAGame;
    }
    std::size_t budget = 2'000'000;
    if (!maxStates.empty()) {
        const auto* end = maxStates.data() + maxStates.size();
        const auto parsed = std::from_chars(maxStates.data(), end, budget);
        if (parsed.ec != std::errc() || parsed.ptr != end || budget == 0) {
            std::cerr << "rumena-check: --max-states needs a whole number above 0, not \"" << maxStates
                      << "\"\n";
            return kNotAGame;
        }
    }
    int only = -1;
    if (!difficulty.empty()) {
        if (difficulty.size() != 1 || difficulty[0] < '0' || difficulty[0] > '2') {
            std::cerr << "rumena-check: --difficulty needs 0 (EASY), 1 (NORMAL) or 2 (HARD), not \""
                      << difficulty << "\"\n";
            return kNotAGame;
        }
        only = difficulty[0] - '0';
    }
    routes |= !routesOut.empty() || only >= 0;
    if (!replayDir.empty()) return replayRoutes(replayDir, gameDir);
    Report report;
    GameChecker checker(gameDir, report);
    if (!checker.isGameFolder()) {
        std::cerr << "rumena-check: " << gameDir << " is not a game folder (it has no txt folder)\n";
        return kNotAGame;
    }
    try {
        checker.run();
    } catch (const std::exception& e) {
        std::cerr << "rumena-check: cannot read " << gameDir << ": " << e.what() << "\n";
        return kNotAGame;
    }
    // The summary names the story as its author named it.
    const std::string& title = checker.story().title;
    report.print(std::cout, title.empty() ? gameDir : gameDir + " (" + title + ")");

    int status = report.errors() > 0 ? kErrorsFound : 0;
    if (routes) {
        std::vector<std::string> scenes;
        for (const auto& [name, exists] : checker.graph().scenes())
            if (exists && name != SceneGraph::kTitle && name != SceneGraph::kPanel) scenes.push_back(name);
        std::cout << "\n";
        RouteReport::Options options{budget, exact, only, routesOut, &std::cerr};
        if (RouteReport(gameDir, std::move(scenes), options).run(std::cout) > 0) status = kErrorsFound;
    }
    if (!siteDir.empty() || !packageDir.empty()) {
        // What a player gets must play: a story the game would stop on is not published unless asked.
        if (report.errors() > 0 && !force) {
            std::cerr << "rumena-check: nothing is made of " << gameDir << ": the check found "
                      << report.errors() << " errors (above); mend them, or give --force\n";
            return kErrorsFound;
        }
        if (!siteDir.empty()) {
            std::string why;
            const auto sources = SiteMaker::find(executableFolder(), &why);
            const std::string problem =
                sources ? SiteMaker(gameDir, checker.story(), *sources).write(siteDir, std::cout) : why;
            if (!problem.empty()) {
                std::cerr << "rumena-check: no site: " << problem << "\n";
                return kOutputFailed;
            }
        }
        if (!packageDir.empty()) {
            const std::string problem = StoryPackage(gameDir, checker.story()).write(packageDir, std::cout);
            if (!problem.empty()) {
                std::cerr << "rumena-check: no package: " << problem << "\n";
                return kOutputFailed;
            }
        }
    }
    if (!graphPath.empty() || !svgPath.empty()) {
        std::ostringstream dot;
        checker.graph().writeDot(dot);
        if (!graphPath.empty() && !writeFile(graphPath, dot.str())) {
            std::cerr << "rumena-check: cannot write " << graphPath << "\n";
            status = kOutputFailed;
        }
        if (!svgPath.empty()) {
            const std::string problem = renderSvg(dot.str(), svgPath);
            if (!problem.empty()) {
                std::cerr << "rumena-check: " << problem << "\n";
                status = kOutputFailed;
            }
        }
    }
    return status;
}
