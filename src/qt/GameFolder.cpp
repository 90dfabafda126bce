#include "qt/GameFolder.h"

#include "platform/GameFiles.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool writable(const fs::path& dir) {
    return ::access(dir.c_str(), W_OK) == 0;
}

// Plays a demo that cannot be written (an installed one) from the user's own copy, made once.
GameFolder::Choice playable(const fs::path& demo, const std::string& userData) {
    if (writable(demo / "txt") || userData.empty()) return {demo.string(), {}};
    const fs::path copy = fs::path(userData) / "demo";
    if (GameFolder::holdsGame(copy.string())) return {copy.string(), {}};
    std::error_code ec;
    fs::create_directories(copy, ec);
    if (!ec) fs::copy(demo, copy, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec) return {demo.string(), {}}; // played where it is; only saving will fail
    // Files copied from a read-only tree keep their modes; the copy must take the save.
    for (const auto& entry : fs::recursive_directory_iterator(copy, ec))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ec);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add, ec);
    return {copy.string(), {}};
}

} // namespace

bool GameFolder::holdsGame(const std::string& dir) {
    std::error_code ec;
    return fs::is_regular_file(findGameFile((fs::path(dir) / "txt" / "com.dat").string()), ec);
}

GameFolder::Choice GameFolder::choose(const std::optional<std::string>& given,
                                      const std::string& executableFolder,
                                      const std::vector<std::string>& demos, const std::string& userData) {
    std::error_code ec;
    if (given) {
        if (!fs::exists(*given, ec)) return {{}, *given + ": no such folder"};
        if (!fs::is_directory(*given, ec)) return {{}, *given + ": not a folder"};
        if (!holdsGame(*given))
            return {{}, *given + ": no game in this folder (it has no txt/com.dat, the command list)"};
        return {*given, {}};
    }
    if (holdsGame(executableFolder)) return {executableFolder, {}};
    for (const std::string& demo : demos)
        if (holdsGame(demo)) return playable(fs::path(demo).lexically_normal(), userData);
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
