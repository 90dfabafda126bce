#include "cli/GameFolder.h"

#include "platform/GameFiles.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Copies a folder tree, each copy writable by its owner whatever the original's modes; into a
// temporary name first, so that a copy broken off half-way is never taken for a game.
bool copyWritable(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    const fs::path partial = to.string() + ".partial";
    fs::remove_all(partial, ec);
    fs::create_directories(partial, ec);
    if (ec) return false;
    for (auto it = fs::recursive_directory_iterator(from, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path target = partial / fs::relative(it->path(), from, ec);
        if (ec) break;
        if (it->is_directory(ec))
            fs::create_directory(target, ec);
        else if (fs::copy_file(it->path(), target, ec))
            fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add,
                            ec);
    }
    if (!ec) fs::rename(partial, to, ec);
    if (ec) fs::remove_all(partial, ec);
    return fs::exists(to);
}

// An installed game (the demo, or a story's package) is played from the user's own copy, made once,
// so that saves and bonus pages go there and never touch the installed files.
GameFolder::Choice userCopy(const fs::path& demo, const std::string& userData,
                            const std::string& name = "demo") {
    if (userData.empty()) return {demo.string(), {}};
    const fs::path copy = fs::path(userData) / name;
    if (GameFolder::holdsGame(copy.string())) return {copy.string(), {}};
    std::error_code ec;
    fs::create_directories(copy.parent_path(), ec);
    if (!ec && copyWritable(demo, copy)) return {copy.string(), {}};
    return {demo.string(), {}}; // played where it is; only saving will fail
}

} // namespace

bool GameFolder::holdsGame(const std::string& dir) {
    std::error_code ec;
    return fs::is_regular_file(findGameFile((fs::path(dir) / "txt" / "com.dat").string()), ec);
}

GameFolder::Choice GameFolder::choose(const std::optional<std::string>& given,
                                      const std::string& executableFolder, const Demos& demos,
                                      const std::string& userData) {
    std::error_code ec;
    if (given) {
        if (!fs::exists(*given, ec)) return {{}, *given + ": no such folder"};
        if (!fs::is_directory(*given, ec)) return {{}, *given + ": not a folder"};
        if (!holdsGame(*given))
            return {{}, *given + ": no game in this folder (it has no txt/com.dat, the command list)"};
        // A folder the player may not write in (a story installed by its package) is played from a copy
        // of their own, as the installed demo is.
        const fs::path folder = fs::path(*given).lexically_normal();
        if (::access(folder.c_str(), W_OK) != 0 || ::access((folder / "txt").c_str(), W_OK) != 0)
            return userCopy(folder, userData, "games/" + fs::absolute(folder, ec).filename().string());
        return {*given, {}};
    }
    if (holdsGame(executableFolder)) return {executableFolder, {}};
    if (!demos.installed.empty() && holdsGame(demos.installed))
        return userCopy(fs::path(demos.installed).lexically_normal(), userData);
    if (!demos.source.empty() && holdsGame(demos.source)) return {demos.source, {}};
    return {{},
            executableFolder + ": no game in the program's folder and no demo game installed; give GAME_DIR"};
}

std::string GameFolder::executableFolder() {
    std::error_code ec;
    auto exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

std::string GameFolder::userDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return std::string(data) + "/rumena";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.local/share/rumena";
    return {};
}
