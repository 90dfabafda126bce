#include "check/StoryPackage.h"

#include "check/AppIcons.h"
#include "check/SitePack.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

bool writeFile(const fs::path& path, const std::string& bytes) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

// One line of a desktop entry or a control file: no line breaks inside.
std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

// Runs a program with its arguments, never through a shell; returns why it failed, or nothing.
std::string run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (const int rc = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ); rc != 0)
        return "cannot run " + args[0] + ": " + std::strerror(rc);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return args[0] + " failed";
    return {};
}

} // namespace

std::string StoryPackage::write(const std::string& out, std::ostream& log) {
    const std::string name = story_.packageName(gameDir_);
    const std::string package = "rumena-story-" + name;
    const std::string title = story_.title.empty() ? name : story_.title;
    const fs::path tree = fs::temp_directory_path() / (package + "-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(tree, ec);

    // The game folder, less the save slot and the bonus pages a play-through wrote.
    const fs::path games = tree / "usr/share/rumena/games" / name;
    SitePack files(gameDir_);
    if (std::string problem = files.read(); !problem.empty()) return problem;
    std::uintmax_t bytes = 0;
    auto copy = [&](const std::string& rel) {
        fs::create_directories((games / rel).parent_path(), ec);
        fs::copy_file(fs::path(gameDir_) / rel, games / rel, fs::copy_options::overwrite_existing, ec);
        bytes += fs::file_size(games / rel, ec);
        return !ec;
    };
    for (const auto& pack : files.packs())
        for (const auto& entry : pack.files)
            if (!copy(entry[0].get<std::string>()))
                return "cannot copy " + entry[0].get<std::string>() + ": " + ec.message();
    for (const auto& rel : files.music())
        if (!copy(rel)) return "cannot copy " + rel + ": " + ec.message();

    const std::string icon = "rumena-" + name;
    const std::string desktop =
        "[Desktop Entry]\n"
        "Type=Application\n"
        "Name=" +
        oneLine(title) + "\n" +
        (story_.description.empty() ? "" : "Comment=" + oneLine(story_.description) + "\n") +
        "Exec=rumena /usr/share/rumena/games/" + name +
        "\n"
        "Icon=" +
        icon +
        "\n"
        "Terminal=false\n"
        "Categories=Game;AdventureGame;\n";
    const std::string control = "Package: " + package +
                                "\n"
                                "Version: 1.0\n"
                                "Architecture: all\n"
                                "Maintainer: " +
                                oneLine(story_.author.empty() ? "the story's author" : story_.author) +
                                " <nobody@localhost>\n"
                                "Depends: rumena\n"
                                "Section: games\n"
                                "Priority: optional\n"
                                "Installed-Size: " +
                                std::to_string(bytes / 1024 + 1) +
                                "\n"
                                "Description: " +
                                oneLine(title) + " (a story for rumena)\n" +
                                (story_.description.empty() ? "" : " " + oneLine(story_.description) + "\n");
    if (!writeFile(tree / "DEBIAN/control", control) ||
        !writeFile(tree / ("usr/share/applications/" + icon + ".desktop"), desktop) ||
        !writeFile(tree / ("usr/share/icons/hicolor/256x256/apps/" + icon + ".png"),
                   appicons::png(gameDir_, 256)))
        return "cannot write the package's files in " + tree.string();
    // Installed files are the system's: readable by everyone, written by none but root.
    for (auto it = fs::recursive_directory_iterator(tree, ec); !ec && it != fs::end(it); it.increment(ec))
        fs::permissions(it->path(), it->is_directory() ? fs::perms(0755) : fs::perms(0644),
                        fs::perm_options::replace, ec);

    fs::create_directories(out, ec);
    const fs::path deb = fs::path(out) / (package + "_1.0_all.deb");
    const std::string problem =
        run({"dpkg-deb", "--root-owner-group", "--build", tree.string(), deb.string()});
    fs::remove_all(tree, ec);
    if (!problem.empty()) return problem + " (dpkg-deb comes with Debian's dpkg)";
    log << "package: " << deb.string() << " (" << title << "): installs the story in /usr/share/rumena/games/"
        << name << " with a desktop entry; it needs the rumena package\n";
    return {};
}
