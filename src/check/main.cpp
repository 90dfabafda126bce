// rumena-check: reports every problem of a game folder before anyone plays it, and draws its scene map.
#include "check/GameChecker.h"
#include "check/NewStory.h"

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
    "\n"
    "Reads every file of the game folder and reports each problem as FILE:LINE: error|warning: MESSAGE.\n"
    "  --graph FILE.dot  write the scene map as a Graphviz graph\n"
    "  --svg FILE.svg    draw the scene map with Graphviz's dot\n"
    "  --new DIR         write a new story to start from into DIR, a folder that does not exist or is empty\n"
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

} // namespace

int main(int argc, char** argv) {
    std::string graphPath, svgPath, gameDir, newDir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if ((arg == "--graph" || arg == "--svg" || arg == "--new") && i + 1 < argc) {
            (arg == "--graph" ? graphPath : arg == "--svg" ? svgPath : newDir) = argv[++i];
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
        if (!gameDir.empty() || !graphPath.empty() || !svgPath.empty()) {
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
    report.print(std::cout, gameDir);

    int status = report.errors() > 0 ? kErrorsFound : 0;
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
