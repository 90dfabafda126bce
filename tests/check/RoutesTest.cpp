// The route search on copies of the demo, each with one fault an author could make: the report finds it
// with a route, the routes written play to the end they name, and a replay tells which end elsewhere
// after an edit.
#include "support/Shell.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The demo copied into parent/demo, with `from` in one scene script replaced by `to` (Shift-JIS bytes;
// ASCII here).
std::string plantedInto(const std::string& parent, const std::string& scene, const std::string& from,
                        const std::string& to) {
    const std::string dir = parent + "/demo";
    fs::copy(DEMO_GAME, dir, fs::copy_options::recursive);
    if (scene.empty()) return dir;
    const fs::path script = dir + "/txt/" + scene + ".dat";
    std::string text = read(script);
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from << " in " << scene;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    std::ofstream(script, std::ios::binary | std::ios::trunc) << text;
    return dir;
}

std::string plantedDemo(const TempGame& game, const std::string& scene, const std::string& from,
                        const std::string& to) {
    return plantedInto(game.dir(), scene, from, to);
}

ShellRun routes(const std::string& dir, const std::string& more = "") {
    return shell(std::string(RUMENA_CHECK) + " --routes --difficulty 0 " + more + " " + q(dir));
}

} // namespace

TEST(Routes, TheDemoReachesEveryEndingAndEachWrittenRoutePlaysToTheEndItNames) {
    TempGame game;
    const std::string dir = plantedDemo(game, "", "", ""), out = game.dir() + "/routes";
    const ShellRun r = routes(dir, "--routes-out " + q(out));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("the whole space was covered"), std::string::npos) << r.out;
    for (const char* ending : {"a_end", "end_day", "end_wish", "g_end", "i_end", "r_end"}) {
        EXPECT_NE(r.out.find(std::string("ending ") + ending), std::string::npos) << ending << "\n" << r.out;
        const std::string route = out + "/EASY-ending-" + ending + ".txt";
        ASSERT_TRUE(fs::exists(route)) << r.out;
        // The driver plays it to that ending's scene, and on to the staff roll.
        const ShellRun played =
            shell(std::string(RUMENA_BINARY) + " --headless " + q(dir) + " < " + q(route));
        EXPECT_EQ(played.status, 0) << played.out;
        EXPECT_NE(played.out.find(std::string("{\"event\":\"scene\",\"name\":\"") + ending + "\""),
                  std::string::npos)
            << ending;
        EXPECT_EQ(played.out.find("\"ignored\""), std::string::npos)
            << "every command of " << route << " is taken";
    }
    const ShellRun replay = shell(std::string(RUMENA_CHECK) + " --replay " + q(out) + " " + q(dir));
    EXPECT_EQ(replay.status, 0) << replay.out;
    EXPECT_NE(replay.out.find("6 routes replayed, 0 of them changed"), std::string::npos) << replay.out;

    // An edit that keeps the heroine's ending from ending the game: her route changes, the others stay.
    const fs::path scene = dir + "/txt/i_end.dat";
    std::string text = read(scene);
    text.erase(text.find(">staff\r\n"), 8);
    std::ofstream(scene, std::ios::binary | std::ios::trunc) << text;
    const ShellRun changed = shell(std::string(RUMENA_CHECK) + " --replay " + q(out) + " " + q(dir));
    EXPECT_EQ(changed.status, 1) << changed.out;
    EXPECT_NE(
        changed.out.find(
            "EASY-ending-i_end.txt: changed: it ended at ending i_end, and now at the panel after i_end"),
        std::string::npos)
        << changed.out;
    EXPECT_NE(changed.out.find("6 routes replayed, 1 of them changed"), std::string::npos) << changed.out;
}

TEST(Routes, EachPlantedFaultIsFoundWithARoute) {
    struct Fault {
        const char* what;
        const char* scene;
        const char* from;
        const char* to;
        const char* reported;
    } faults[] = {
        {"an ending that no longer ends the game", "i_end", ">staff\r\n", "",
         "scene i_end is reached but ends no game"},
        {"a staff roll that hands the panel back", "staff", ">ending\r\n", "",
         "the staff roll does not end the game"},
        {"a storyline that can never close", "g_close", ">cn>2\r\n", "", "storyline 2 closes on no route"},
        {"a scene that loops on itself", "a_3", ">f\r\n", ">f\r\n>ive>a_3\r\n",
         "no ending can be reached from scene a_3: the story goes round without end"},
        {"a run-time error late in the calendar", "m_9_0", ">f\r\n", ">f\r\n>love>x,1\r\n",
         "a route reaches a run-time error: "},
        {"a flag tested before any route sets it", "b_1", ">gn>1\r\n", "",
         "tests GnFlags(1), which no route sets before it"},
    };
    // The searches run side by side, each on a copy of the demo with its fault.
    TempGame game;
    std::string all;
    for (std::size_t i = 0; i < std::size(faults); ++i) {
        const std::string dir = game.dir() + "/" + std::to_string(i);
        fs::create_directory(dir);
        plantedInto(dir, faults[i].scene, faults[i].from, faults[i].to);
        all += "{ " + std::string(RUMENA_CHECK) + " --routes --difficulty 0 " + q(dir + "/demo") + " > " +
               q(dir + "/out") + " 2>&1; echo $? > " + q(dir + "/status") + "; } & ";
    }
    shell(all + "wait");
    for (std::size_t i = 0; i < std::size(faults); ++i) {
        const Fault& f = faults[i];
        const std::string dir = game.dir() + "/" + std::to_string(i);
        const ShellRun r{std::stoi("0" + read(dir + "/status")), read(dir + "/out")};
        EXPECT_EQ(r.status, 1) << f.what << "\n" << r.out;
        const auto at = r.out.find(f.reported);
        ASSERT_NE(at, std::string::npos) << f.what << "\n" << r.out;
        if (std::string(f.scene) == "m_9_0") {
            EXPECT_NE(r.out.find("m_9_0.dat, line 2", at), std::string::npos) << r.out;
        }
        EXPECT_NE(r.out.find("decisions", at), std::string::npos) << f.what << ": a route to it\n" << r.out;
    }
}

TEST(Routes, ABudgetTooSmallSaysTheSpaceWasNotCovered) {
    TempGame game;
    const ShellRun r = routes(plantedDemo(game, "", "", ""), "--max-states 50");
    EXPECT_NE(r.out.find("the state budget ran out"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("NOT the whole space"), std::string::npos) << r.out;
}

TEST(Routes, AnAuthorStartsAtAScene) {
    TempGame game;
    const std::string dir = plantedDemo(game, "", "", "");
    const ShellRun r =
        shell("printf 'dump DayDate\\ndump LoveLevels\\ndump OnOffFlags\\n' | " + std::string(RUMENA_BINARY) +
              " --headless --scene i_9 --day 9 --set 'LoveLevels(0)=30' --set OnOffFlags.0.2=true " + q(dir));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\"Caption\":\"9\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[30,0,0]"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[[false,false,true,false]"), std::string::npos) << r.out;
    const ShellRun bad =
        shell(std::string(RUMENA_BINARY) + " --headless --scene i_9 --set 'Love(0)=3' " + q(dir));
    EXPECT_EQ(bad.status, 2) << bad.out;
    EXPECT_NE(bad.out.find("Love(0)"), std::string::npos) << bad.out;
}

// A story of one place where the heroine's love must reach the threshold at her meeting: the search
// finds the ending that needs it at the fewest meetings it takes, and the turn limit's ending.
TEST(Routes, AnEndingBehindTheLoveThresholdIsFoundAtTheFewestMeetings) {
    TempGame game;
    game.lines("txt/com.dat", {"港", "灯台"});
    game.lines("txt/hint.dat", {"ヒント"});
    game.lines("txt/opn.dat", {"はじまり"});
    // Day 2 at the harbour: her meeting adds 1 to the bonus, and 20 (EASY) opens her ending.
    game.lines("txt/i_2.dat", {">love>0,1", "会う", ">swb*0,0*win|later"});
    game.lines("txt/later.dat", {"また"});
    game.lines("txt/win.dat", {"おわり", ">staff"});
    game.lines("txt/staff.dat", {">ending"});
    for (const char* scene : {"a_1", "a_2", "a_3", "a_4", "a_5", "a_6", "a_7", "a_8", "a_9", "a_m", "r_5",
                              "r_6", "r_7", "r_8", "r_9", "g_3", "g_4", "g_8"})
        game.lines(std::string("txt/") + scene + ".dat", {"だれも"});
    game.lines("txt/a_end.dat", {"時間切れ", ">staff"});
    const ShellRun r = routes(game.dir());
    EXPECT_NE(r.out.find("the whole space was covered"), std::string::npos) << r.out;
    // Four meetings at 1 + 4 reach 20; each lies nine days after the last, the days between spent at
    // the harbour too (meetings and empty places alike advance the day).
    const auto win = r.out.find("ending win:");
    ASSERT_NE(win, std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ending win: 30 decisions", win), std::string::npos) << r.out;
    // On HARD, fifty turns come before two hundred of love: the turn limit's ending, though the search
    // takes states alike but for the turns used as one.
    const ShellRun hard = shell(std::string(RUMENA_CHECK) + " --routes --difficulty 2 " + q(game.dir()));
    EXPECT_NE(hard.out.find("ending a_end (the turn limit)"), std::string::npos) << hard.out;
}
