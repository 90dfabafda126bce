// rumena-check: the report on a fixture game with one instance of each problem, the demo game, the
// scene map of a small game, agreement with the game on tricky lines, and the examples of the story
// author's guide. Set RUMENA_UPDATE_EXPECTED=1 to rewrite the expected report and map.
#include "platform/TextCodec.h"
#include "play/Schedule.h"
#include "script/ScriptSyntax.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    std::string out;
    int status = -1;
};

Outcome run(const std::string& command) {
    Outcome r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

Outcome check(const std::string& game, const std::string& options = "") {
    return run(std::string(RUMENA_CHECK) + " " + options + " " + quoted(game) + " 2>&1");
}

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
    return s;
}

void compareWithExpected(const std::string& actual, const fs::path& expectedFile) {
    if (std::getenv("RUMENA_UPDATE_EXPECTED")) {
        std::ofstream(expectedFile, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, readAll(expectedFile)) << "compared with " << expectedFile;
}

// A small game folder in a fresh temporary directory, written in Shift-JIS with CR LF.
class TempGame {
  public:
    TempGame() {
        static int count = 0;
        dir_ = fs::temp_directory_path() /
               ("rumena-check-" + std::to_string(getpid()) + "-" + std::to_string(++count));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "txt");
        fs::create_directories(dir_ / "grf");
        text("txt/com.dat", {"学校", "公園", "商店街", "図書館", "駅前", "海岸", "神社"});
        text("txt/hint.dat", {"ヒント"});
        text("txt/opn_n.dat", {"ヘルプ"});
    }
    ~TempGame() { fs::remove_all(dir_); }
    TempGame(const TempGame&) = delete;
    TempGame& operator=(const TempGame&) = delete;

    void text(const std::string& rel, const std::vector<std::string>& lines) {
        fs::create_directories((dir_ / rel).parent_path());
        std::ofstream out(dir_ / rel, std::ios::binary);
        for (const auto& line : lines) out << text::toShiftJis(text::fromUtf8(line)) << "\r\n";
    }
    void bytes(const std::string& rel, const std::string& content) {
        std::ofstream(dir_ / rel, std::ios::binary) << content;
    }
    void picture(const std::string& name) {
        fs::create_directories((dir_ / ("grf/" + name + ".dat")).parent_path());
        fs::copy_file(fs::path(CHECK_DIR) / "fixture/grf/a.dat", dir_ / ("grf/" + name + ".dat"),
                      fs::copy_options::overwrite_existing);
    }
    void music(const std::string& name) {
        fs::copy_file(fs::path(CHECK_DIR) / "fixture/opn.mp3", dir_ / (name + ".mp3"),
                      fs::copy_options::overwrite_existing);
    }
    // A scene for every name the lines lead to, and the pictures, music and page sources they name, so
    // that an example stands on its own.
    void supply(const std::vector<std::string>& lines) {
        auto scene = [&](const std::u16string& name) {
            const std::string rel = "txt/" + text::toUtf8(name) + ".dat";
            if (!name.empty() && !fs::exists(dir_ / rel)) text(rel, {"……"});
        };
        scene(u"staff");
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const auto c = ScriptSyntax::parse(text::fromUtf8(lines[i]));
            using Kind = ScriptSyntax::Kind;
            if (c.kind == Kind::Jump) scene(c.name);
            if (c.kind == Kind::Swc || c.kind == Kind::Swb) {
                if (c.sceneA) scene(*c.sceneA);
                scene(c.sceneB);
            }
            if (c.kind == Kind::Picture && !c.name.empty()) picture(text::toUtf8(c.name));
            if (c.kind == Kind::Music) music(text::toUtf8(c.name));
            if (c.kind == Kind::Html && !fs::exists(dir_ / ("txt/" + text::toUtf8(c.name) + ".dat")))
                text("txt/" + text::toUtf8(c.name) + ".dat", {"<html><body>おまけ</body></html>"});
            if (c.kind == Kind::Question)
                for (std::size_t j = i + 1; j < lines.size() && lines[j] != ">qstend"; ++j)
                    if (auto a = ScriptSyntax::answer(text::fromUtf8(lines[j]))) scene(a->scene);
        }
    }
    // Every scene the command panel can start.
    void panelScenes() {
        std::vector<std::string> names = {"a_m",   "a_end", "end", "not", "m_9_0",
                                          "m_9_1", "b_1",   "b_2", "b_3"};
        for (int day = 1; day <= 9; ++day) {
            names.push_back("a_" + std::to_string(day));
            names.push_back("m_" + std::to_string(day));
            for (const char* row : schedule::kRows)
                if (row[day - 1] != '-' && row[day - 1] != 'b')
                    names.push_back(std::string(1, row[day - 1]) + "_" + std::to_string(day));
        }
        for (const auto& name : names) text("txt/" + name + ".dat", {"……"});
    }
    std::string path() const { return dir_.string(); }

  private:
    fs::path dir_;
};

// Plays the game from the title: a new game, then the text, every pause and the questions' time-outs.
Outcome play(const TempGame& game) {
    const fs::path driver = fs::path(game.path()) / "driver.txt";
    std::ofstream out(driver);
    out << "click StartCom 0\n";
    for (int round = 0; round < 6; ++round) out << "tick LblTim 40\nclick Pic\ntick QstTim 30\n";
    out.close();
    return run(std::string(RUMENA_BINARY) + " --headless --seed 1 " + quoted(game.path()) + " < " +
               quoted(driver.string()) + " 2>&1");
}

// The lines of one file that the checker reports an error on.
std::set<int> errorLines(const std::string& report, const std::string& file) {
    std::set<int> lines;
    const std::regex pattern(".*/" + file + ":([0-9]+): error: .*");
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_match(line, m, pattern)) lines.insert(std::stoi(m[1]));
    }
    return lines;
}

// The line the game's run-time error names, or 0.
int runErrorLine(const std::string& events) {
    std::smatch m;
    if (std::regex_search(events, m, std::regex("txt/opn\\.dat, line ([0-9]+)"))) return std::stoi(m[1]);
    return 0;
}

} // namespace

TEST(Check, FixtureGameReportsEachProblemOnce) {
    const std::string game = std::string(CHECK_DIR) + "/fixture";
    Outcome r = check(game);
    EXPECT_EQ(r.status, 1);
    compareWithExpected(replaceAll(r.out, game, "$GAME"), fs::path(CHECK_DIR) / "fixture.expected");
}

TEST(Check, DemoGameHasNoProblem) {
    Outcome r = check(DEMO_GAME);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("no problems found"), std::string::npos) << r.out;
}

TEST(Check, AFolderWithoutTextIsNoGame) {
    EXPECT_EQ(check(CHECK_DIR).status, 2);
    EXPECT_EQ(check("/nonexistent/rumena-game").status, 2);
    EXPECT_EQ(run(std::string(RUMENA_CHECK) + " 2>&1").status, 2);
}

// A lone CR ends a line as the game reads it, so the line a lone LF is reported on counts it.
TEST(Check, LoneLineFeedIsReportedOnTheLineTheGameReads) {
    struct Case {
        std::string bytes;
        int line; // 0: no warning
    } cases[] = {
        {"a\r\nb\r\n", 0}, {"a\nb\r\n", 1}, {"a\r\nb\nc", 2}, {"a\rb\rc\nd", 3}, {"a\r\rb\n", 3},
    };
    for (const Case& c : cases) {
        TempGame game;
        game.panelScenes();
        game.text("txt/opn.dat", {"……"});
        game.text("txt/staff.dat", {">ending"});
        game.bytes("txt/x.dat", c.bytes);
        const std::string report = check(game.path()).out;
        const std::string warning = ": warning: the line ends in a lone LF";
        if (c.line == 0) {
            EXPECT_EQ(report.find(warning), std::string::npos) << report;
        } else {
            EXPECT_NE(report.find("/txt/x.dat:" + std::to_string(c.line) + warning), std::string::npos)
                << "expected on line " << c.line << ":\n"
                << report;
        }
    }
}

TEST(Check, SceneMapOfASmallGame) {
    const fs::path dot =
        fs::temp_directory_path() / ("rumena-check-map-" + std::to_string(getpid()) + ".dot");
    const std::string game = std::string(CHECK_DIR) + "/small";
    Outcome r = check(game, "--graph " + quoted(dot.string()));
    EXPECT_EQ(r.status, 1) << r.out; // the panel's scenes are missing on purpose
    compareWithExpected(readAll(dot), fs::path(CHECK_DIR) / "small.dot");
    fs::remove(dot);
}

TEST(Check, SvgWithoutGraphvizSaysSo) {
    const fs::path svg =
        fs::temp_directory_path() / ("rumena-check-map-" + std::to_string(getpid()) + ".svg");
    Outcome r = run("PATH=/nonexistent " + std::string(RUMENA_CHECK) + " --svg " + quoted(svg.string()) +
                    " " + quoted(DEMO_GAME) + " 2>&1");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.out.find("Graphviz is not installed"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(svg));
}

TEST(Check, SvgIsDrawnWhenGraphvizIsThere) {
    if (run("command -v dot >/dev/null").status != 0) GTEST_SKIP() << "Graphviz is not installed";
    const fs::path svg =
        fs::temp_directory_path() / ("rumena-check-map-" + std::to_string(getpid()) + "b.svg");
    Outcome r = check(std::string(CHECK_DIR) + "/small", "--svg " + quoted(svg.string()));
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(readAll(svg).find("<svg"), std::string::npos);
    fs::remove(svg);
}

// The checker reports an error on exactly the lines that end the run when the game reaches them. Parts of
// a line the game reads only on one branch (a condition after a false one, scene A, a flag-gated page)
// are reached by setting the flags first.
TEST(Check, CheckerAndGameAgreeOnTrickyLines) {
    struct Case {
        std::vector<std::string> setup, lines;
    };
    const std::vector<Case> cases = {
        {{}, {">gn>3"}},
        {{}, {">gn>x"}},
        {{}, {">gn>2.4"}},
        {{}, {">gn> 1 "}},
        {{}, {">cn>-1"}},
        {{}, {">on>1,4"}},
        {{}, {">on>1"}},
        {{}, {">off>2,3"}},
        {{}, {">love>0,abc"}},
        {{}, {">love>0,-5"}},
        {{}, {">swc*0"}},
        {{}, {">swc**x"}},
        {{">gn>0"}, {">swc*0*x"}},
        {{">gn>0"}, {">swc*0>x*x|y"}},
        {{}, {">swc*0*x|y"}},
        {{}, {">swb*0,0*x|y"}},
        {{}, {">swb*0*x|y"}},
        {{}, {">swb*0,0*x|"}},
        {{}, {">html>src"}},
        {{}, {">html>3>page"}},
        {{}, {">html>src>../evil"}},
        {{}, {">html>nosrc>page"}},
        {{}, {">html>src>page"}},
        {{">on>0,0", ">on>0,1", ">on>0,2", ">on>0,3"}, {">html>0>page"}},
        {{}, {">ive>nowhere"}},
        {{}, {">ive>"}},
        {{}, {">ive>x"}},
        {{}, {">qst", "はい>x", "いいえ>y", ">qstend"}},
        {{}, {">qst", "はい x", ">qstend"}},
        {{}, {">qst", "a>x", "b>y", "c>x", ">qstend"}},
        {{}, {">qst", "a>x"}},
        {{}, {">qstend", "a>x", ">qstend"}},
        {{}, {">img>flower"}},
        {{}, {">img>nopic"}},
        {{}, {">img>"}},
        {{}, {">bgm>nomusic"}},
        {{}, {">bgm>stop"}},
        {{}, {"ゲーム>gameover"}},
        {{}, {"彼は>gn>0と言った"}},
        {{}, {"彼女は>on>1,1と言った"}},
    };
    for (const auto& c : cases) {
        TempGame game;
        std::vector<std::string> opn = {"はじまり"};
        opn.insert(opn.end(), c.setup.begin(), c.setup.end());
        opn.insert(opn.end(), c.lines.begin(), c.lines.end());
        opn.push_back("おわり");
        game.text("txt/opn.dat", opn);
        game.text("txt/x.dat", {"……"});
        game.text("txt/y.dat", {"……"});
        game.text("txt/src.dat", {"<html></html>"});
        game.picture("flower");
        const std::string what = c.lines.front();

        const std::set<int> flagged = errorLines(check(game.path()).out, "txt/opn.dat");
        Outcome played = play(game);
        ASSERT_TRUE(played.status == 0 || played.status == 3) << what << "\n" << played.out;
        std::set<int> ended;
        if (played.status == 3) ended.insert(runErrorLine(played.out));
        EXPECT_EQ(flagged, ended) << what << "\n" << played.out;
    }
}

// Every example of the guide marked as a scene, a command list or hints passes the checker without an
// error in its own file and plays through to the end.
TEST(Check, GuideExamplesPass) {
    std::istringstream guide(readAll(GUIDE));
    struct Example {
        std::string kind;
        std::vector<std::string> lines;
        int at;
    };
    std::vector<Example> examples;
    int lineNumber = 0;
    std::optional<Example> open;
    for (std::string line; std::getline(guide, line);) {
        ++lineNumber;
        if (open) {
            if (line == "```") {
                examples.push_back(*open);
                open.reset();
            } else {
                open->lines.push_back(line);
            }
        } else if (line == "```scene" || line == "```comlist" || line == "```hints") {
            open = Example{line.substr(3), {}, lineNumber};
        }
    }
    ASSERT_GE(examples.size(), 20u);
    for (const auto& e : examples) {
        TempGame game;
        std::string file = "txt/opn.dat";
        if (e.kind == "scene") {
            game.text(file, e.lines);
            game.supply(e.lines);
        } else {
            file = e.kind == "comlist" ? "txt/com.dat" : "txt/hint.dat";
            game.text(file, e.lines);
            game.panelScenes();
            game.text("txt/opn.dat", {"はじまり"});
        }
        const std::string where = "the example at line " + std::to_string(e.at) + " of the guide";
        const Outcome checked = check(game.path());
        EXPECT_TRUE(errorLines(checked.out, file).empty()) << where << "\n" << checked.out;
        const Outcome played = play(game);
        EXPECT_EQ(played.status, 0) << where << "\n" << played.out;
    }
}

// The new story the checker writes passes it without a word, plays from the title through one meeting
// with each character to the end, the staff roll and back to the title, and is never written over
// a folder that holds something.
TEST(Check, NewStoryPassesAndPlaysToTheTitle) {
    const fs::path dir = fs::temp_directory_path() / ("rumena-new-story-" + std::to_string(getpid()));
    fs::remove_all(dir);
    ASSERT_EQ(run(std::string(RUMENA_CHECK) + " --new " + quoted(dir.string()) + " 2>&1").status, 0);
    const Outcome checked = check(dir.string());
    EXPECT_EQ(checked.status, 0) << checked.out;
    EXPECT_NE(checked.out.find("no problems found"), std::string::npos) << checked.out;

    // Day 1 at the sixth place, day 2 at the fourth and day 3 at the second meet the three characters,
    // whose scenes close their storylines; the next choice leads to the end.
    const fs::path driver = dir / "driver.txt";
    std::ofstream(driver)
        << "click StartCom 1\ntick LblTim 40\nclick com 5\ntick LblTim 20\n"
           "click com 3\ntick LblTim 20\nclick com 1\ntick LblTim 20\nclick com 0\n"
           "tick LblTim 20\nclick Pic\ntick LblTim 20\ndump Lbl 20\nclick Pic\ndump PicTtl\n";
    const Outcome played = run(std::string(RUMENA_BINARY) + " --headless --seed 1 " + quoted(dir.string()) +
                               " < " + quoted(driver.string()) + " 2>&1");
    EXPECT_EQ(played.status, 0) << played.out;
    const std::string end = played.out.substr(played.out.find("end.mp3"));
    EXPECT_NE(end.find("スタッフロール"), std::string::npos) << played.out;
    EXPECT_NE(end.find("opn.mp3"), std::string::npos) << played.out;
    EXPECT_NE(end.find(R"("Visible":true)"), std::string::npos) << played.out;
    EXPECT_NE(end.find(R"("Picture":"ttl")"), std::string::npos) << played.out;

    const Outcome again = run(std::string(RUMENA_CHECK) + " --new " + quoted(dir.string()) + " 2>&1");
    EXPECT_EQ(again.status, 2);
    EXPECT_NE(again.out.find("not empty"), std::string::npos) << again.out;
    fs::remove_all(dir);
}

// Every command of the guide that is followed by an output block prints those lines, in that order, when
// run as written from a folder that holds the build as build/release and the demo as games/demo.
TEST(Check, GuideCommandsPrintWhatTheGuideSays) {
    const fs::path dir = fs::temp_directory_path() / ("rumena-guide-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "build");
    fs::create_directories(dir / "games");
    fs::create_directory_symlink(fs::path(RUMENA_BINARY).parent_path(), dir / "build/release");
    fs::create_directory_symlink(DEMO_GAME, dir / "games/demo");

    std::istringstream guide(readAll(GUIDE));
    std::string block, command, kind;
    int checked = 0;
    for (std::string line; std::getline(guide, line);) {
        if (kind.empty()) {
            if (line == "```sh" || line == "```output") kind = line.substr(3), block.clear();
            continue;
        }
        if (line != "```") {
            block += line + "\n";
            continue;
        }
        if (kind == "sh") {
            command = block;
        } else {
            const Outcome r = run("cd " + quoted(dir.string()) + " && { " + command + "} 2>&1");
            std::size_t at = 0;
            std::istringstream expected(block);
            for (std::string want; std::getline(expected, want);) {
                at = r.out.find(want, at);
                ASSERT_NE(at, std::string::npos) << "missing: " << want << "\nfrom:\n" << command << r.out;
                at += want.size();
            }
            ++checked;
        }
        kind.clear();
    }
    EXPECT_GE(checked, 2);
    fs::remove_all(dir);
}
