#include "platform/GameFiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The longest path Linux opens (PATH_MAX).
constexpr std::size_t kLongestPath = 4096;

} // namespace

std::string findGameFile(const std::string& path) {
    // No file has a longer path or a NUL in it; such a name is left for the open to refuse, and is never
    // split into its millions of parts.
    if (path.size() > kLongestPath || path.find('\0') != std::string::npos) return path;
    std::error_code ec;
    if (fs::exists(path, ec)) return path;

    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (fs::exists(slashed, ec)) return slashed;

    // Walk the path part by part, taking each part as it stands or, failing that, the one entry of
    // its folder that matches it without regard to case.
    fs::path wanted(slashed);
    fs::path found = wanted.root_path();
    for (const auto& part : wanted.relative_path()) {
        std::string name = part.string();
        if (name.empty() || name == ".") continue;
        fs::path exact = found / part;
        if (fs::exists(exact, ec)) {
            found = exact;
            continue;
        }
        bool matched = false;
        fs::path folder = found.empty() ? fs::path(".") : found;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            if (sameIgnoringCase(entry.path().filename().string(), name)) {
                found = found / entry.path().filename();
                matched = true;
                break;
            }
        }
        if (!matched) return path;
    }
    return found.string();
}
