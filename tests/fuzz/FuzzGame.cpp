#include "FuzzGame.h"

#include "headless/HeadlessHost.h"
#include "qt/QtPictureLoader.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

FuzzGame::FuzzGame() {
    std::string pattern = (fs::temp_directory_path() / "rumena-fuzz-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
}

void FuzzGame::reset(const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& entry : fs::directory_iterator(dir_)) fs::remove_all(entry.path());
    for (const auto& [path, bytes] : files) {
        const fs::path target = fs::path(dir_) / path;
        fs::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary) << bytes;
    }
}

int FuzzGame::play(const std::string& driver) {
    std::istringstream in(driver);
    std::ostringstream out, err;
    QtPictureLoader pictures;
    return runHeadless(dir_, 1u, pictures, in, out, err);
}

std::vector<std::string> fuzzParts(const char* data, std::size_t size, std::size_t count) {
    const std::string all(data, size);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() + 1 < count) {
        std::size_t cut = all.find("\n%%\n", start);
        if (cut == std::string::npos) break;
        parts.push_back(all.substr(start, cut - start));
        start = cut + 4;
    }
    parts.push_back(all.substr(start));
    parts.resize(count);
    return parts;
}

void expectDocumentedStatus(int status) {
    if (status == 0 || status == 2 || status == 3) return;
    std::fprintf(stderr, "the driver ended with status %d\n", status);
    std::abort();
}
