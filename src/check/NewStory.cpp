#include "check/NewStory.h"

#include "platform/StoryInfo.h"
#include "platform/TextCodec.h"
#include "play/Schedule.h"

#include <stb/stb_image_write.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The title card has the size of the bundled story's, which fills the window without scaling; the
// plain scene pictures are small, as the picture box stretches them.
constexpr int kWidth = 778;
constexpr int kHeight = 583;
constexpr int kPlainWidth = 64;
constexpr int kPlainHeight = 48;

struct Rgb {
    unsigned char r, g, b;
};

struct Scene {
    std::string name;
    std::vector<std::string> lines;
};

std::string day(int d) {
    return std::to_string(d);
}

// One scene the command panel starts: the panel is off while it runs, and its one line says which file
// to edit. The scene's end brings the panel back.
Scene placeholder(const std::string& name, const std::string& what, std::vector<std::string> after = {}) {
    Scene s{name, {">f", "（" + what + "：txt/" + name + ".dat を書きかえてください）"}};
    s.lines.insert(s.lines.end(), after.begin(), after.end());
    return s;
}

std::vector<Scene> scenes() {
    const std::array<const char*, 3> who = {"一人目", "二人目", "三人目"};
    std::vector<Scene> all = {
        {"opn",
         {">f", "（はじまりの場面：txt/opn.dat を書きかえてください）",
          "（下の場所をクリックすると、一日が進みます）"}},
        placeholder("a_m", "だれもいないが、特別な場所が見つかった"),
        placeholder("a_end", "日数が尽きた終わり", {">staff"}),
        placeholder("not", "物語を終えた人がいて、特別な場所は閉じている"),
        placeholder("end", "三人の物語を終えた終わり", {">staff"}),
        {"staff", {"（スタッフロール：txt/staff.dat を書きかえてください）", ">ending"}},
    };
    for (int b = 1; b <= 3; ++b) all.push_back(placeholder("b_" + day(b), day(b) + "つめの出来事"));
    for (int d = 1; d <= 9; ++d) {
        all.push_back(placeholder("a_" + day(d), "だれもいない場所、" + day(d) + "日目"));
        if (d < 9) all.push_back(placeholder("m_" + day(d), "特別な場所、" + day(d) + "日目"));
        for (const char* row : schedule::kRows) {
            const char letter = row[d - 1];
            for (std::size_t n = 0; n < schedule::kLetters.size(); ++n)
                if (letter == schedule::kLetters[n])
                    // One meeting closes a storyline here, so that three meetings lead to the end.
                    all.push_back(placeholder(std::string(1, letter) + "_" + day(d),
                                              std::string(who[n]) + "と会う、" + day(d) + "日目",
                                              {">cn>" + std::to_string(n)}));
        }
    }
    all.push_back(placeholder("m_9_0", "特別な場所、八日とも訪れた九日目"));
    all.push_back(placeholder("m_9_1", "特別な場所、訪れなかった日がある九日目"));
    return all;
}

const std::vector<std::string> kPlaces = {"一の場所", "二の場所", "三の場所",  "四の場所",
                                          "五の場所", "六の場所", "特別な場所"};

const std::vector<std::string> kHints = {
    "場面は txt/場面名.dat、場所の名前は txt/com.dat の一行ずつです",
    "絵は grf/名前.dat（PNG か JPEG）、題名の絵は grf/ttl.dat です",
    "音楽は opn.mp3（題名）、bgm.mp3（本編）、end.mp3（スタッフロール）です",
};

const std::vector<std::string> kHelp = {
    "新しい物語のひな形です。",
    "場面は txt フォルダの .dat ファイル（Shift-JIS、CR LF）に書きます。",
    "はじまりは txt/opn.dat、スタッフロールは txt/staff.dat です。",
    "この文は txt/opn_n.dat、ヒントは txt/hint.dat にあります。",
    "書いたら rumena-check で確かめてください。",
};

bool writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

bool writeText(const fs::path& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) bytes += text::toShiftJis(text::fromUtf8(line)) + "\r\n";
    return writeBytes(path, bytes);
}

bool writePng(const fs::path& path, const std::vector<Rgb>& pixels, int width) {
    const int height = static_cast<int>(pixels.size()) / width;
    return stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3) != 0;
}

std::vector<Rgb> plain(Rgb colour) {
    return std::vector<Rgb>(static_cast<std::size_t>(kPlainWidth) * kPlainHeight, colour);
}

// The title card: an evening sky from deep blue to amber, with a thin light frame.
std::vector<Rgb> titleCard() {
    std::vector<Rgb> pixels(static_cast<std::size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const double t = static_cast<double>(y) / (kHeight - 1);
            auto mix = [t](int top, int bottom) {
                return static_cast<unsigned char>(top + (bottom - top) * t);
            };
            Rgb c{mix(24, 236), mix(34, 170), mix(86, 110)};
            const bool frame = (x >= 24 && x < 28) || (x >= kWidth - 28 && x < kWidth - 24) ||
                               (y >= 24 && y < 28) || (y >= kHeight - 28 && y < kHeight - 24);
            const bool inside = x >= 24 && x < kWidth - 24 && y >= 24 && y < kHeight - 24;
            if (frame && inside) c = {250, 240, 220};
            pixels[static_cast<std::size_t>(y) * kWidth + x] = c;
        }
    return pixels;
}

// The pictures the panel shows, each a soft colour of its kind, like the schedule grid's marks.
std::vector<std::pair<std::string, Rgb>> pictures() {
    std::vector<std::pair<std::string, Rgb>> all = {
        {"dmy", {240, 240, 240}},   {"a", {225, 230, 220}},    {"a_end", {120, 120, 140}},
        {"b", {200, 200, 200}},     {"kami", {255, 236, 200}}, {"m_9_0", {226, 170, 240}},
        {"m_9_1", {226, 170, 240}},
    };
    const std::array<Rgb, 3> colours = {Rgb{255, 255, 200}, Rgb{255, 200, 255}, Rgb{200, 255, 255}};
    for (int d = 1; d <= 9; ++d) {
        if (d < 9) all.emplace_back("m_" + day(d), Rgb{226, 170, 240});
        for (const char* row : schedule::kRows)
            for (std::size_t n = 0; n < schedule::kLetters.size(); ++n)
                if (row[d - 1] == schedule::kLetters[n])
                    all.emplace_back(std::string(1, schedule::kLetters[n]) + "_" + day(d), colours[n]);
    }
    return all;
}

// Five seconds of silence as MP3: MPEG-1 layer III frames at 32 kbit/s, 44.1 kHz, mono, whose side
// information and main data are all zero, so that every frame decodes to 1152 silent samples. A story
// plays its own music once it has some; the game and the checker accept these as they are.
std::string silence() {
    constexpr int kFrameBytes = 144 * 32000 / 44100; // 104: no padding byte
    constexpr int kFrames = 5 * 44100 / 1152;
    std::string frame(kFrameBytes, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB'; // MPEG-1, layer III, no checksum
    frame[2] = '\x10'; // 32 kbit/s, 44.1 kHz, no padding
    frame[3] = '\xC4'; // mono, original
    std::string bytes;
    for (int i = 0; i < kFrames; ++i) bytes += frame;
    return bytes;
}

} // namespace

std::string NewStory::write() const {
    const fs::path root(dir_);
    std::error_code ec;
    if (fs::exists(root, ec)) {
        if (!fs::is_directory(root, ec)) return dir_ + " exists and is not a folder";
        if (!fs::is_empty(root, ec)) return dir_ + " exists and is not empty; name a new folder";
    }
    fs::create_directories(root / "txt", ec);
    if (!ec) fs::create_directories(root / "grf", ec);
    if (ec) return "cannot make " + dir_ + ": " + ec.message();

    bool ok = writeText(root / "txt/com.dat", kPlaces) && writeText(root / "txt/hint.dat", kHints) &&
              writeText(root / "txt/opn_n.dat", kHelp);
    for (const auto& scene : scenes())
        ok = ok && writeText(root / ("txt/" + scene.name + ".dat"), scene.lines);
    ok = ok && writePng(root / "grf/ttl.dat", titleCard(), kWidth);
    for (const auto& [name, colour] : pictures())
        ok = ok && writePng(root / ("grf/" + name + ".dat"), plain(colour), kPlainWidth);
    for (const char* music : {"opn.mp3", "bgm.mp3", "end.mp3"})
        ok = ok && writeBytes(root / music, silence());
    // The story's own name, for the author to fill in.
    ok = ok && writeBytes(root / StoryInfo::kFile,
                          StoryInfo::sample("新しい物語", StoryInfo().packageName(root.string())));
    if (!ok) return "cannot write the files of " + dir_;
    return {};
}
