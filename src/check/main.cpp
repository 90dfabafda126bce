// rumena-check: reports every problem of a game folder before anyone plays it, and draws its scene map.
#include "check/GameChecker.h"
#include "check/NewStory.h"
#include "check/SiteMaker.h"
#include "check/StoryPackage.h"
#include "check/RouteSearch.h"

#include <cerrno>
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

extern char** environ;

namespace {

constexpr int kErrorsFound = 1;
constexpr int kNotAGame = 2;
constexpr int kOutputFailed = 3;

const char* const kUsage =
    "usage: rumena-check [--graph FILE.dot] [--svg FILE.svg] GAME_DIR\n"
    "       rumena-check --new DIR\n"
    "       rumena-check --site OUT_DIR [--package OUT_DIR] [--force] GAME_DIR\n"
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

} // namespace

int main(int argc, char** argv) {
    std::string graphPath, svgPath, gameDir, newDir, siteDir, packageDir;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if ((arg == "--graph" || arg == "--svg" || arg == "--new" || arg == "--site" || arg == "--package") &&
            i + 1 < argc) {
            (arg == "--graph"  ? graphPath
             : arg == "--svg"  ? svgPath
             : arg == "--new"  ? newDir
             : arg == "--site" ? siteDir
                               : packageDir) = argv[++i];
        } else if (arg == "--force") {
            force = true;
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
    if (getenv("RUMENA_TRY")) {
        for (int d = 0; d < 3; ++d) {
            RouteSearch::Options o;
            o.difficulty = d;
            o.loveCap = d == 0 ? 20 : d == 1 ? 40 : 200;
            o.exact = getenv("RUMENA_EXACT") != nullptr;
            o.maxStates = getenv("RUMENA_MAX") ? std::stoul(getenv("RUMENA_MAX")) : 300000;
            if (getenv("RUMENA_ONE") && d != std::stoi(getenv("RUMENA_ONE"))) continue;
            o.threads = getenv("RUMENA_THREADS") ? std::stoi(getenv("RUMENA_THREADS")) : 2;
            o.progress = [](std::size_t s, std::size_t w) { std::cerr << s << " states, " << w << " waiting\n"; };
            auto r = RouteSearch(gameDir, o).run();
            std::cout << d << ": " << r.states << " states " << r.moves << " moves " << r.seconds << " s covered " << r.covered << "\n";
            for (auto& [n, e] : r.endings) std::cout << "  ending " << std::string(n.begin(), n.end()) << " " << e.route.size() << "\n";
            for (auto& [n, e] : r.errors) std::cout << "  error " << n << "\n";
            std::cout << "  scenes " << r.scenes.size() << " traps " << r.traps.size() << "\n";
        }
        return 0;
    }

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
