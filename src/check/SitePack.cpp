#include "check/SitePack.h"

#include "platform/GameFiles.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "script/ScriptSyntax.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

// The path of a game file relative to the folder, as the game finds it (another letter case or "\"
// separators included).
std::string relativeFound(const std::string& root, const std::string& rel) {
    const std::string found = findGameFile(root + "/" + rel);
    std::error_code ec;
    if (!fs::is_regular_file(found, ec)) return {};
    return fs::relative(found, root, ec).generic_string();
}

} // namespace

SitePack::SitePack(std::string gameDir) : root_(std::move(gameDir)) {
    while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

std::vector<std::string> SitePack::bonusPages() const {
    // The pages the scripts write, by their file names.
    std::vector<std::string> pages;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root_ + "/txt", ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        TextFile file;
        if (!file.open(it->path().string())) continue;
        while (!file.atEnd()) {
            const auto c = ScriptSyntax::parse(file.readLine());
            if (c.kind == ScriptSyntax::Kind::Html && c.error.empty())
                pages.push_back(lower(text::toUtf8(c.page) + ".html"));
        }
    }
    return pages;
}

std::vector<std::string> SitePack::openingPictures() const {
    std::vector<std::string> pictures = {"grf/ttl.dat", "grf/dmy.dat"};
    TextFile opening;
    if (opening.open(findGameFile(root_ + "/txt/opn.dat")))
        while (!opening.atEnd()) {
            const auto c = ScriptSyntax::parse(opening.readLine());
            if (c.kind == ScriptSyntax::Kind::Picture && c.error.empty() && !c.name.empty())
                pictures.push_back("grf/" + text::toUtf8(c.name) + ".dat");
        }
    std::vector<std::string> found;
    for (const auto& rel : pictures)
        if (const std::string f = relativeFound(root_, rel); !f.empty()) found.push_back(f);
    return found;
}

std::string SitePack::read() {
    packs_ = {{"title.pack", {}, nlohmann::json::array()}, {"pictures.pack", {}, nlohmann::json::array()}};
    music_.clear();
    const std::vector<std::string> pages = bonusPages();
    std::vector<std::string> first = openingPictures();
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root_, ec); !ec && it != fs::end(it); it.increment(ec)) {
        if (!it->is_regular_file(ec) || it->path().filename().string().front() == '.') continue;
        files.push_back(fs::relative(it->path(), root_, ec).generic_string());
    }
    if (ec) return "cannot read " + root_ + ": " + ec.message();
    std::sort(files.begin(), files.end());
    std::map<std::string, std::pair<std::size_t, std::size_t>> stored[2]; // bytes -> offset, size
    for (const std::string& rel : files) {
        const std::string name = lower(rel);
        const bool atRoot = rel.find('/') == std::string::npos;
        if (name == "txt/save.dat" || name == "txt/save.dat.tmp" ||
            (atRoot && std::find(pages.begin(), pages.end(), name) != pages.end())) {
            ++leftOut_;
            continue;
        }
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".mp3") == 0) {
            music_.push_back(rel);
            continue;
        }
        std::ifstream in(root_ + "/" + rel, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) return "cannot read " + root_ + "/" + rel;
        const bool picture = name.rfind("grf/", 0) == 0;
        const bool early = !picture || std::find(first.begin(), first.end(), rel) != first.end();
        Pack& pack = packs_[early ? 0 : 1];
        auto& known = stored[early ? 0 : 1];
        auto at = known.find(bytes);
        if (at == known.end()) {
            at = known.emplace(bytes, std::make_pair(pack.bytes.size(), bytes.size())).first;
            pack.bytes += bytes;
        } else {
            ++shared_;
        }
        pack.files.push_back({rel, at->second.first, at->second.second});
    }
    return {};
}
