#include "check/GameChecker.h"

#include "check/MediaProbe.h"
#include "extras/ExtrasState.h"
#include "extras/PageName.h"
#include "platform/GameFiles.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "play/Schedule.h"
#include "script/QuestionBlock.h"
#include "script/ScriptSyntax.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;
using Kind = ScriptSyntax::Kind;

namespace {

// The game's own limits: the hints it keeps, and the rows the schedule is written for (six places and
// the special command).
constexpr std::size_t kMaxHints = ExtrasState::kMaxHints;
constexpr std::size_t kPanelRows = schedule::kSpecialRow + 1;

std::string utf8(std::u16string_view s) {
    return text::toUtf8(s);
}

std::string quote(std::u16string_view s) {
    return "\"" + utf8(s) + "\"";
}

bool readBytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string sceneName(const std::string& rel) {
    // "txt/a/b.dat" -> "a/b"
    return rel.substr(4, rel.size() - 8);
}

std::string digit(int n) {
    return std::to_string(n);
}

} // namespace

GameChecker::GameChecker(std::string gameDir, Report& report) : root_(std::move(gameDir)), report_(report) {
    while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

bool GameChecker::isGameFolder() const {
    std::error_code ec;
    return fs::is_directory(root_ + "/txt", ec);
}

std::string GameChecker::display(const std::string& rel) const {
    return root_ + "/" + rel;
}

GameChecker::Found GameChecker::lookUp(const std::string& rel) const {
    std::error_code ec;
    const std::string wanted = display(rel);
    if (fs::is_regular_file(wanted, ec)) return {true, true, rel};
    const std::string found = findGameFile(wanted);
    if (found != wanted && fs::is_regular_file(found, ec))
        return {true, false, found.substr(root_.size() + 1)};
    return {false, false, rel};
}

void GameChecker::run() {
    readTextFiles();
    checkCommandList();
    checkHints();
    checkReservedFiles();
    // Bonus-page sources are text files but no scenes: find them before the scenes are checked.
    for (const auto& [rel, lines] : texts_)
        for (const auto& line : lines) {
            auto c = ScriptSyntax::parse(line);
            if (c.kind == Kind::Html && c.error.empty()) {
                Found f = lookUp("txt/" + utf8(c.name) + ".dat");
                if (f.exists) bonusSources_.emplace(f.rel, rel);
            }
        }
    // A bonus page is its source's bytes as they stand, so a source in UTF-8 makes a page in UTF-8: the
    // browser reads the page's own charset, and only the game's own text must be Shift-JIS.
    for (const auto& [rel, bytes] : bytes_)
        if (!bonusSources_.count(rel)) checkEncoding(rel, bytes);
    bytes_.clear();
    for (const auto& [rel, lines] : texts_) {
        const std::string name = sceneName(rel);
        if (name == "com" || name == "hint" || name == "opn_n" || name == "save" || bonusSources_.count(rel))
            continue;
        scenes_.push_back(rel);
        graph_.addScene(name, true);
    }
    graph_.addEdge(SceneGraph::kTitle, sceneRef(u"opn", {}), "new game");
    for (const auto& rel : scenes_) checkScene(rel);
    checkPanel();
    checkReachable();
    checkFlags();
    checkMedia();
    checkStory();
}

void GameChecker::checkStory() {
    // The file is the author's choice: without it the story goes by the game's own name.
    story_ = StoryInfo::read(root_);
    if (!story_.found && story_.problems.empty()) return;
    for (const auto& p : story_.problems) report_.warning(display(StoryInfo::kFile), p.line, p.text);
}

void GameChecker::readTextFiles() {
    std::error_code ec;
    std::vector<std::string> files;
    for (auto it = fs::recursive_directory_iterator(root_ + "/txt", ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const fs::path& p = it->path();
        if (it->is_regular_file(ec) && p.extension() == ".dat")
            files.push_back(p.string().substr(root_.size() + 1));
    }
    std::sort(files.begin(), files.end());
    for (const auto& rel : files) {
        std::string bytes;
        if (!readBytes(display(rel), bytes)) {
            report_.error(display(rel), 0, "the file cannot be read");
            continue;
        }
        texts_[rel] = TextFile::splitLines(bytes);
        bytes_[rel] = std::move(bytes);
    }
}

void GameChecker::checkEncoding(const std::string& rel, const std::string& bytes) {
    const auto lines = TextFile::splitByteLines(bytes);
    auto nonAscii = [](const std::string& s) {
        return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    };
    if (nonAscii(bytes) && text::isUtf8(bytes)) {
        std::size_t first = 1;
        while (first <= lines.size() && !nonAscii(lines[first - 1])) ++first;
        report_.error(display(rel), first,
                      "saved as UTF-8; the game reads Shift-JIS, so its text shows garbled (convert it with "
                      "iconv -f UTF-8 -t CP932)");
    } else {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (text::fromShiftJis(lines[i]).find(u'\uFFFD') != std::u16string::npos)
                report_.error(display(rel), i + 1,
                              "bytes that are not Shift-JIS: the game shows them as \"\uFFFD\"");
    }
    // A lone LF ends a line here, but the game's own tools write CR LF.
    std::size_t line = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            report_.warning(display(rel), line,
                            "the line ends in a lone LF; game files end their lines in CR LF");
            return;
        }
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++line;
    }
}

bool GameChecker::needed(const std::string& rel, bool isError, const std::string& why) {
    Found f = lookUp(rel);
    if (!f.exists) {
        (report_.*(isError ? &Report::error : &Report::warning))(display(rel), 0, "missing: " + why);
        return false;
    }
    if (!f.exact)
        report_.warning(display(f.rel), 0,
                        "found for " + rel +
                            " only under another letter case or with \"\\\" separators, "
                            "which works here but not on every system");
    return true;
}

void GameChecker::checkCommandList() {
    if (!needed("txt/com.dat", true, "the command list (one place a line); the game cannot start without it"))
        return;
    places_ = texts_[lookUp("txt/com.dat").rel];
    if (places_.empty()) {
        report_.error(display("txt/com.dat"), 0, "the command list is empty; the game cannot start");
        return;
    }
    if (places_.size() < kPanelRows)
        report_.warning(display("txt/com.dat"), places_.size(),
                        "the command list holds " + std::to_string(places_.size()) +
                            " places; the schedule is written for seven (six places and the special command "
                            "last), so the missing rows meet nobody");
}

void GameChecker::checkHints() {
    if (!needed("txt/hint.dat", true, "the hints (one a line); the game cannot start without it")) return;
    const auto& hints = texts_[lookUp("txt/hint.dat").rel];
    if (hints.size() > kMaxHints)
        report_.warning(
            display("txt/hint.dat"), kMaxHints + 1,
            "the file holds " + std::to_string(hints.size()) +
                " hints; the game keeps the first 31, so this one and any after it are never shown");
}

void GameChecker::checkReservedFiles() {
    needed("txt/opn_n.dat", true, "the help text; the menu's Help ends the game without it");
    needed("grf/ttl.dat", false,
           "the title card; the title screen shows its three buttons on a blank background");
    needed("grf/dmy.dat", false, "the blank picture a new game starts with");
    needed("opn.mp3", false, "the title music; the title screen is silent");
    needed("bgm.mp3", false, "the game music; the game is silent");
    needed("end.mp3", false, "the staff-roll music; the staff roll is silent");
}

std::string GameChecker::sceneRef(const std::u16string& name, const Place& at, const std::string& via) {
    const std::string rel = "txt/" + utf8(name) + ".dat";
    Found f = lookUp(rel);
    const std::string file = at.file.empty() ? display(rel) : at.file;
    if (!f.exists) {
        report_.error(file, at.line,
                      name.empty() ? "an empty scene name: the game looks for txt/.dat and ends"
                                   : "the scene " + quote(name) + " does not exist (" + rel + ")" + via);
        graph_.addScene(utf8(name), false);
        return utf8(name);
    }
    if (!f.exact)
        report_.warning(file, at.line,
                        "the scene " + quote(name) + " is found only as " + f.rel +
                            ": another letter case or \"\\\" separators work here but not on every system");
    return sceneName(f.rel);
}

void GameChecker::pictureRef(const std::u16string& name, const Place& at, const std::string& via) {
    const std::string rel = "grf/" + utf8(name) + ".dat";
    Found f = lookUp(rel);
    const std::string file = at.file.empty() ? display(rel) : at.file;
    if (!f.exists)
        report_.warning(file, at.line,
                        "the picture " + quote(name) + " does not exist (" + rel + "): the game shows none" +
                            via);
    else if (!f.exact)
        report_.warning(file, at.line,
                        "the picture " + quote(name) + " is found only as " + f.rel +
                            ": another letter case or \"\\\" separators work here but not on every system");
}

void GameChecker::musicRef(const std::u16string& name, const Place& at) {
    // Music is opened by its exact name: no other letter case and no "\" separators.
    const std::string rel = utf8(name) + ".mp3";
    std::error_code ec;
    if (fs::is_regular_file(display(rel), ec)) return;
    Found f = lookUp(rel);
    std::string message = "the music " + quote(name) + " does not exist (" + rel + ")";
    if (f.exists)
        message += "; " + f.rel + " differs in letter case or separators, and music names must match exactly";
    report_.warning(at.file, at.line, message + ": the game plays none");
}

void GameChecker::checkScene(const std::string& rel) {
    const auto& lines = texts_[rel];
    const std::string file = display(rel);
    const std::string scene = sceneName(rel);
    std::size_t leftAt = 0; // the line where the scene hands over to another, when it does
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::u16string& line = lines[i];
        const Place at{file, i + 1};
        if (leftAt) {
            if (line.empty()) continue;
            report_.warning(file, i + 1, "never read: the scene has left at line " + std::to_string(leftAt));
            return;
        }
        const auto c = ScriptSyntax::parse(line);
        for (auto word : ScriptSyntax::pauseWords(line)) {
            if (word == c.word) continue;
            if (c.kind == Kind::Text)
                report_.warning(file, i + 1,
                                "holds " + quote(word) +
                                    ", so the story pauses before this line, which is then "
                                    "shown as text");
            else
                report_.warning(file, i + 1,
                                "holds " + quote(word) +
                                    ", so the story pauses before this line as before a "
                                    "jump, although the line is taken for " +
                                    quote(c.word));
        }
        if (!c.error.empty()) report_.error(file, i + 1, c.error);
        if (c.kind == Kind::DisablePanel && line != u">f") {
            report_.warning(
                file, i + 1,
                "taken for \">f\" (the command panel is disabled) because it holds \">f\"; nothing "
                "else on the line is carried out");
        } else if (c.kind == Kind::Question && line == ScriptSyntax::kBlockEnd) {
            report_.warning(file, i + 1, "\">qstend\" outside a question starts a question");
        } else if (c.kind != Kind::Text && c.wordAt != 1) {
            report_.warning(file, i + 1,
                            "taken for " + quote(c.word) +
                                ", which is not at the start of the line; its "
                                "parameters are read from the start of the line all the same");
        } else if (c.kind == Kind::Text && !line.empty() && line[0] == u'>' &&
                   ScriptSyntax::pauseWords(line).empty()) {
            report_.warning(file, i + 1, "starts with \">\" but holds no command word: it is shown as text");
        }
        if (!c.error.empty() && c.kind != Kind::Swc && c.kind != Kind::Swb) continue;

        switch (c.kind) {
        case Kind::Music:
            musicRef(c.name, at);
            break;
        case Kind::Picture:
            if (!c.name.empty()) pictureRef(c.name, at);
            break;
        case Kind::Question: {
            std::size_t next = i + 1;
            checkQuestion(rel, scene, i, next);
            if (next == 0) return; // a broken block: what follows it cannot be told apart
            leftAt = i + 1;
            i = next;
            break;
        }
        case Kind::Gn:
            if (!gn_[c.first].set) gn_[c.first].set = at;
            break;
        case Kind::Love:
            if (!love_[c.first].set) love_[c.first].set = at;
            break;
        case Kind::On:
            if (!onOff_[c.first][c.second].set) onOff_[c.first][c.second].set = at;
            break;
        case Kind::Swc:
        case Kind::Swb: {
            if (!c.error.empty()) {
                leftAt = i + 1;
                break;
            }
            const std::string w = c.kind == Kind::Swc ? ">swc" : ">swb";
            bool reported = false;
            for (const auto& condition : c.conditions) {
                if (!condition.error.empty()) {
                    if (!reported) report_.error(file, i + 1, condition.error);
                    reported = true;
                    continue;
                }
                if (c.kind == Kind::Swc) {
                    if (!gn_[condition.first].tested) gn_[condition.first].tested = at;
                } else {
                    auto& use = onOff_[condition.first][condition.second];
                    if (!use.tested) use.tested = at;
                    if (!love_[condition.first].tested) love_[condition.first].tested = at;
                }
            }
            if (c.sceneA)
                graph_.addEdge(scene, sceneRef(*c.sceneA, at), w + " A");
            else
                report_.error(file, i + 1,
                              std::string(c.usage) + " (the targets have no \"|\", so there is no scene A)");
            graph_.addEdge(scene, sceneRef(c.sceneB, at), w + " B");
            leftAt = i + 1;
            break;
        }
        case Kind::Jump:
            graph_.addEdge(scene, sceneRef(c.name, at), ">ive");
            leftAt = i + 1;
            break;
        case Kind::Html: {
            if (c.flagGated)
                for (auto& use : onOff_[c.first])
                    if (!use.tested) use.tested = at;
            if (!pagename::isSafe(c.page)) report_.error(file, i + 1, pagename::kUnsafe);
            const std::string source = "txt/" + utf8(c.name) + ".dat";
            Found f = lookUp(source);
            if (!f.exists)
                report_.error(file, i + 1,
                              "the bonus page's source " + quote(c.name) + " does not exist (" + source +
                                  ")");
            else if (!f.exact)
                report_.warning(file, i + 1,
                                "the bonus page's source " + quote(c.name) + " is found only as " + f.rel +
                                    ": another letter case or \"\\\" separators work here but not on every "
                                    "system");
            break;
        }
        case Kind::Staff:
            graph_.addEdge(scene, sceneRef(u"staff", at), ">staff");
            leftAt = i + 1;
            break;
        case Kind::Ending:
            graph_.addEdge(scene, SceneGraph::kTitle, ">ending");
            leftAt = i + 1;
            break;
        default:
            break;
        }
    }
    if (!leftAt) graph_.addEdge(scene, SceneGraph::kPanel, "end of scene");
}

// The question block after line `at` (0-based), read as the game reads it. On return `next` is the
// index of its ">qstend" line, or 0 when the block is broken.
void GameChecker::checkQuestion(const std::string& rel, const std::string& scene, std::size_t at,
                                std::size_t& next) {
    const auto& lines = texts_[rel];
    const std::string file = display(rel);
    // The game's own reader, over the file's lines: line j (0-based) is number j + 1, and 0 past the end.
    std::size_t j = at + 1;
    std::u16string current = j < lines.size() ? lines[j] : std::u16string();
    std::size_t number = j < lines.size() ? j + 1 : 0;
    const QuestionBlock block = QuestionBlock::read(current, number, [&] {
        ++j;
        current = j < lines.size() ? lines[j] : std::u16string();
        number = j < lines.size() ? j + 1 : 0;
    });
    if (!block.error.empty()) {
        report_.error(file, block.errorLine ? block.errorLine : at + 1, block.error);
        next = 0;
        return;
    }
    next = j;
    std::vector<std::pair<ScriptSyntax::Answer, std::size_t>> answers;
    for (const auto& a : block.answers) answers.emplace_back(a.answer, a.number);
    for (std::size_t k = 0; k < answers.size(); ++k) {
        const auto& [answer, line] = answers[k];
        const std::string node = sceneRef(answer.scene, {file, line});
        const bool timeout = k + 1 == answers.size();
        if (!answer.caption.empty()) graph_.addEdge(scene, node, "answer " + quote(answer.caption));
        if (timeout) graph_.addEdge(scene, node, "time out");
    }
}

void GameChecker::checkPanel() {
    if (places_.empty()) return;
    const std::string com = display("txt/com.dat");
    // A scene the panel starts, with the picture it shows first.
    auto lead = [&](const std::string& sceneName, const std::string& picture, const std::string& label,
                    std::size_t row) {
        const Place at{row ? com : std::string(), row};
        const std::string via = "; the command panel leads there (" + label + ")";
        graph_.addEdge(SceneGraph::kPanel, sceneRef(text::fromUtf8(sceneName), at, via), label);
        pictureRef(text::fromUtf8(picture), at, "; the command panel shows it (" + label + ")");
    };
    auto place = [&](std::size_t row) { return utf8(places_[row]); };
    const std::size_t rows = std::min<std::size_t>(places_.size(), schedule::kRows.size());
    for (int day = 1; day <= 9; ++day) {
        for (std::size_t row = 0; row < rows; ++row) {
            const char who = schedule::kRows[row][day - 1];
            const std::string label = place(row) + ", day " + digit(day);
            if (who == 'b')
                lead("b_" + digit(day - 2), "b", label, row + 1);
            else if (who != '-')
                lead(std::string(1, who) + "_" + digit(day), std::string(1, who) + "_" + digit(day), label,
                     row + 1);
        }
        if (places_.size() > static_cast<std::size_t>(schedule::kSpecialRow)) {
            const std::size_t row = schedule::kSpecialRow + 1;
            const std::string label = place(schedule::kSpecialRow) + ", day " + digit(day);
            if (day < 9) {
                lead("m_" + digit(day), "m_" + digit(day), label, row);
            } else {
                lead("m_9_0", "m_9_0", label + ", after days 1 to 8", row);
                lead("m_9_1", "m_9_1", label + ", a day missed", row);
            }
        }
        lead("a_" + digit(day), "a", "empty place, day " + digit(day), 0);
    }
    if (places_.size() > static_cast<std::size_t>(schedule::kSpecialRow))
        lead("not", "dmy", place(schedule::kSpecialRow) + " while a storyline is closed",
             schedule::kSpecialRow + 1);
    lead("a_m", "a", "empty place, special command found", 0);
    lead("a_end", "a_end", "empty place, turns used up", 0);
    lead("end", "kami", "all three storylines closed", 0);
}

void GameChecker::checkReachable() {
    const auto reached = graph_.reachableFrom({SceneGraph::kTitle, SceneGraph::kPanel, "staff"});
    for (const auto& rel : scenes_)
        if (!reached.count(sceneName(rel)))
            report_.warning(
                display(rel), 0,
                "no scene leads here: not the opening, the staff roll, the command panel, a branch, "
                "a question or a jump");
}

void GameChecker::checkFlags() {
    auto check = [&](const FlagUse& use, const std::string& what, const std::string& setter,
                     const std::string& tester) {
        if (use.set && !use.tested)
            report_.warning(use.set->file, use.set->line,
                            what + " is set here but no " + tester + " tests it");
        if (use.tested && !use.set)
            report_.warning(use.tested->file, use.tested->line,
                            what + " is tested here but no " + setter + " sets it");
    };
    for (int n = 0; n < 3; ++n) {
        check(gn_[n], "flag >gn>" + digit(n), ">gn>" + digit(n), ">swc");
        for (int u = 0; u < 4; ++u)
            check(onOff_[n][u], "flag >on>" + digit(n) + "," + digit(u), ">on>" + digit(n) + "," + digit(u),
                  ">swb or >html");
        // The command panel raises love levels too, so only love that nothing reads is worth a word.
        if (love_[n].set && !love_[n].tested)
            report_.warning(love_[n].set->file, love_[n].set->line,
                            "the love level of character " + digit(n) +
                                " is raised here but no >swb reads it");
    }
}

void GameChecker::checkMedia() {
    std::error_code ec;
    std::vector<std::string> pictures, music;
    for (auto it = fs::recursive_directory_iterator(root_ + "/grf", ec); !ec && it != fs::end(it);
         it.increment(ec))
        if (it->is_regular_file(ec) && it->path().extension() == ".dat")
            pictures.push_back(it->path().string());
    for (const auto& entry : fs::directory_iterator(root_, ec))
        if (entry.is_regular_file(ec) && entry.path().extension() == ".mp3")
            music.push_back(entry.path().string());
    std::sort(pictures.begin(), pictures.end());
    std::sort(music.begin(), music.end());
    for (const auto& path : pictures)
        if (!mediaprobe::pictureDecodes(path))
            report_.warning(
                path, 0, "not a picture the game can show (PNG, JPEG, BMP or GIF); it is skipped silently");
    for (const auto& path : music)
        if (!mediaprobe::musicDecodes(path))
            report_.warning(path, 0, "not MP3 music the game can play; it is skipped silently");
}
