#include "check/SiteMaker.h"

#include "check/AppIcons.h"
#include "check/PoCatalogue.h"
#include "check/SitePack.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;
using Json = nlohmann::json;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool hasModule(const fs::path& dir) {
    std::error_code ec;
    return fs::is_regular_file(dir / "rumena.js", ec) && fs::is_regular_file(dir / "rumena.wasm", ec);
}

// Text for an HTML element's content or attribute.
std::string escaped(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    if (const auto at = s.find(from); at != std::string::npos) s.replace(at, from.size(), to);
    return s;
}

std::string kilobytes(std::uintmax_t bytes) {
    return std::to_string((bytes + 512) / 1024) + " KB";
}

} // namespace

std::optional<SiteMaker::Sources> SiteMaker::find(const std::string& executableFolder, std::string* why) {
    const fs::path installed = fs::path(executableFolder) / ".." / "share" / "rumena" / "web";
    const fs::path catalogue = fs::path(executableFolder) / ".." / "share" / "rumena" / "i18n" / "ja.po";
    std::error_code ec;
    if (hasModule(installed))
        return Sources{installed.lexically_normal().string(), installed.lexically_normal().string(),
                       fs::exists(catalogue, ec) ? catalogue.lexically_normal().string() : std::string()};
#if defined(RUMENA_PAGE_DIR) && defined(RUMENA_MODULE_DIR) && defined(RUMENA_CATALOGUE)
    if (hasModule(RUMENA_MODULE_DIR)) return Sources{RUMENA_PAGE_DIR, RUMENA_MODULE_DIR, RUMENA_CATALOGUE};
#endif
    *why = "the browser's engine is not here (" + installed.lexically_normal().string() +
           " has no rumena.wasm): it is built only where Emscripten is installed (scripts/install-deps web, "
           "then build rumena again), and a package of rumena built so carries it";
    return std::nullopt;
}

SiteMaker::SiteMaker(std::string gameDir, StoryInfo story, Sources sources)
    : gameDir_(std::move(gameDir)), story_(std::move(story)), sources_(std::move(sources)) {}

std::string SiteMaker::write(const std::string& out, std::ostream& log) {
    SitePack pack(gameDir_);
    if (std::string problem = pack.read(); !problem.empty()) return problem;
    std::error_code ec;
    const fs::path site(out);
    fs::remove_all(site, ec);
    fs::create_directories(site / "game", ec);
    if (ec) return "cannot make " + out + ": " + ec.message();

    std::vector<std::pair<std::string, std::string>> files; // the site's files: path, bytes
    std::uintmax_t beforeTitle = 0;
    const std::string title = story_.title.empty() ? "ルメナ" : story_.title;
    for (const auto& entry : fs::directory_iterator(sources_.page, ec)) {
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (ext != ".html" && ext != ".css" && ext != ".js" && ext != ".json") continue;
        std::string bytes = readAll(entry.path());
        // The page carries the story's own name before any of its script runs.
        if (name == "index.html") {
            bytes = replaced(bytes, "<title>ルメナ</title>", "<title>" + escaped(title) + "</title>");
            bytes = replaced(bytes, "<meta name=\"description\" content=\"\">",
                             "<meta name=\"description\" content=\"" + escaped(story_.description) + "\">");
        }
        if (name != "sw.js") files.emplace_back(name, std::move(bytes));
    }
    for (const char* name : {"rumena.js", "rumena.wasm"})
        files.emplace_back(name, readAll(fs::path(sources_.module) / name));
    // The messages rumena adds, in Japanese for a player whose browser speaks it (from the one catalogue
    // the window's translator is made from too).
    if (!sources_.messages.empty())
        files.emplace_back("messages-ja.json", Json(readPoCatalogue(sources_.messages)).dump());
    for (const auto& [name, bytes] : files) beforeTitle += bytes.size();

    Json list{{"name", fs::path(gameDir_).lexically_normal().filename().string()},
              {"title", title},
              {"packs", Json::array()}};
    for (const auto& p : pack.packs()) {
        files.emplace_back("game/" + p.file, p.bytes);
        list["packs"].push_back({{"file", p.file}, {"files", p.files}});
    }
    beforeTitle += pack.packs().front().bytes.size();
    list["music"] = pack.music();
    for (const auto& rel : pack.music()) files.emplace_back("game/" + rel, readAll(fs::path(gameDir_) / rel));

    // An app that installs: its name, its icons from the title card, landscape and full screen.
    for (int size : {48, 192, 512})
        files.emplace_back("icon-" + std::to_string(size) + ".png", appicons::png(gameDir_, size));
    files.emplace_back("favicon.ico", appicons::ico(gameDir_));
    Json manifest{{"name", title},
                  {"short_name", title},
                  {"description", story_.description},
                  {"lang", "ja"},
                  {"start_url", "./"},
                  {"scope", "./"},
                  {"display", "fullscreen"},
                  {"orientation", "landscape"},
                  {"background_color", "#000000"},
                  {"theme_color", "#000000"},
                  {"icons", Json::array()}};
    for (int size : {192, 512})
        manifest["icons"].push_back({{"src", "icon-" + std::to_string(size) + ".png"},
                                     {"sizes", std::to_string(size) + "x" + std::to_string(size)},
                                     {"type", "image/png"},
                                     {"purpose", "any"}});
    files.emplace_back("manifest.webmanifest", manifest.dump(2));

    // The version: every file's bytes, so that a site that changed is taken anew by the service worker.
    std::uint64_t hash = 1469598103934665603ull;
    for (const auto& [name, bytes] : files)
        for (char c : name + '\0' + bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char version[24];
    std::snprintf(version, sizeof version, "%016llx", static_cast<unsigned long long>(hash));
    list["version"] = version;
    files.emplace_back("game/files.json", list.dump());
    beforeTitle += files.back().second.size();

    Json kept = Json::array({"./"});
    for (const auto& [name, bytes] : files) kept.push_back(name);
    std::string worker = readAll(fs::path(sources_.page) / "sw.js");
    worker = replaced(worker, "\"VERSION\"", Json(std::string("rumena-") + version).dump());
    worker = replaced(worker, "[/* FILES */]", kept.dump());
    files.emplace_back("sw.js", worker);

    std::uintmax_t total = 0;
    for (const auto& [name, bytes] : files) {
        fs::create_directories((site / name).parent_path(), ec);
        std::ofstream o(site / name, std::ios::binary);
        o << bytes;
        if (!o.flush()) return "cannot write " + (site / name).string();
        total += bytes.size();
    }
    log << "site: " << out << " (" << title << "): " << files.size() << " files, " << kilobytes(total)
        << "; the page fetches " << kilobytes(beforeTitle) << " before the title shows";
    if (pack.sharedCopies()) log << "; " << pack.sharedCopies() << " copies of pictures stored once";
    if (pack.leftOut())
        log << "; " << pack.leftOut() << " files of play-throughs left out (the save, bonus pages)";
    log << "\n";
    return {};
}
