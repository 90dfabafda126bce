#include "support/TestGame.h"

#include "platform/TextCodec.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

TempGame::TempGame() {
    std::string pattern = (fs::temp_directory_path() / "rumena-test-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    dir_ = (fs::path(root_) / "game").string();
    fs::create_directories(fs::path(dir_) / "txt");
    fs::create_directories(fs::path(dir_) / "grf");
}

TempGame::~TempGame() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

void TempGame::bytes(const std::string& relativePath, const std::string& content) {
    fs::path p = fs::path(dir_) / relativePath;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << content;
}

void TempGame::lines(const std::string& relativePath, const std::vector<std::string>& utf8Lines) {
    std::string content;
    for (const auto& line : utf8Lines) content += text::toShiftJis(text::fromUtf8(line)) + "\r\n";
    bytes(relativePath, content);
}

void TempGame::minimal(int commands) {
    std::vector<std::string> places;
    for (int i = 0; i < commands; ++i) places.push_back("場所" + std::to_string(i));
    lines("txt/com.dat", places);
    lines("txt/hint.dat", {"ヒント一", "ヒント二"});
    lines("txt/opn.dat", {"はじまり"});
}

std::optional<PictureSize> FakePlatform::Pictures::load(const std::string& path) {
    asked.push_back(path);
    std::ifstream in(path);
    std::string tag;
    PictureSize size;
    if (!(in >> tag >> size.width >> size.height) || tag != "PICTURE") return std::nullopt;
    return size;
}

StartedGame::StartedGame(const std::function<void(TempGame&)>& prepare) {
    game.minimal();
    if (prepare) prepare(game);
    w = std::make_unique<TestWindow>(game);
    w->start();
    w->fom.StartCom_Click(1);
}

std::vector<std::string> TestWindow::lines() const {
    std::vector<std::string> out;
    for (const Control* c : fom.Lbl) out.push_back(utf8(c->caption));
    return out;
}

std::string utf8(const std::u16string& s) {
    return text::toUtf8(s);
}
std::u16string u16(const std::string& s) {
    return text::fromUtf8(s);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
