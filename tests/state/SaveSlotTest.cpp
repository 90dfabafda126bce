#include "support/TestGame.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <thread>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The lines of a save file of the seven-command game: 94 in all, with the values given and the rest
// as a new game has them.
std::vector<std::string> saveLines() {
    std::vector<std::string> l = {"3", " 12 "};
    for (int i = 0; i < 18; ++i) l.push_back("False");
    for (int i = 0; i < 63; ++i) l.push_back(" 16777215 ");
    for (int i = 0; i < 8; ++i) l.push_back("False");
    for (int i = 0; i < 3; ++i) l.push_back(" 0 ");
    return l;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

struct Playing : StartedGame {
    Playing() {
        w->fom.LblTim_Timer(); // reads the opening's first line ahead
        w->fom.LblTim_Timer(); // and shows it
    }
    fs::path save() const { return fs::path(game.dir()) / "txt" / "save.dat"; }
    std::vector<std::string>& messages() { return w->fake.desktop.messages; }
    void writeSave(const std::vector<std::string>& lines) { game.bytes("txt/save.dat", joined(lines)); }
};

// What a failed load must leave alone.
struct Snapshot {
    std::u16string day, line20;
    std::int16_t turns;
    GameState game;
    Color cell;
    bool prompt;
    explicit Snapshot(const Fom& f)
        : day(f.DayDate.caption), line20(f.Lbl[20]->caption), turns(f.game.TurnCount), game(f.game),
          cell(f.DataLbl[5]->backColor), prompt(f.ClickMe.visible) {}
    void expectSame(const Fom& f) const {
        EXPECT_EQ(f.DayDate.caption, day);
        EXPECT_EQ(f.Lbl[20]->caption, line20);
        EXPECT_EQ(f.game.TurnCount, turns);
        EXPECT_EQ(f.game.OnOffFlags, game.OnOffFlags);
        EXPECT_EQ(f.game.CnFlags, game.CnFlags);
        EXPECT_EQ(f.game.VisitFlags, game.VisitFlags);
        EXPECT_EQ(f.game.LoveLevels, game.LoveLevels);
        EXPECT_EQ(f.DataLbl[5]->backColor, cell);
        EXPECT_EQ(f.ClickMe.visible, prompt);
    }
};

} // namespace

TEST(SaveSlot, ANewGameSavesTheExpectedFileByteForByte) {
    Playing p;
    p.fom().m_menu_Click(2);
    EXPECT_EQ(fileBytes(p.save()), fileBytes(fs::path(RUMENA_TEST_DATA) / "new_game_save.dat"));
    EXPECT_FALSE(fs::exists(p.save().string() + ".tmp"));
    EXPECT_TRUE(p.messages().empty());
}

TEST(SaveSlot, LoadBringsBackWhatWasSavedAndRecoloursTheShowingPrompt) {
    Playing p;
    Fom& f = p.fom();
    f.DayDate.caption = u"6";
    f.game.TurnCount = 41;
    f.game.CnFlags[2] = f.game.GnFlags[1] = f.game.OnOffFlags[0][3] = f.game.OnOffFlags[2][0] = true;
    f.DataLbl[0]->backColor = rgb(255, 0, 0);
    f.DataLbl[62]->backColor = rgb(1, 2, 3);
    f.game.VisitFlags[1] = f.game.VisitFlags[8] = true;
    f.game.LoveLevels = {7, 254, 0};
    f.m_menu_Click(2);
    const std::string saved = fileBytes(p.save());
    EXPECT_NE(saved.find(" 197121 \r\n"), std::string::npos); // rgb(1, 2, 3)

    // Another game on another difficulty, paused at a cyan prompt with text on screen.
    f.m_menu_Click(0);
    f.StartCom_Click(2);
    f.LblTim_Timer();
    f.LblTim_Timer();
    f.DataLbl[0]->backColor = rgb(0, 0, 255);
    f.ShowClickPrompt(0, 255, 255);
    f.Lbl3[4]->caption = u"影";
    ASSERT_EQ(utf8(f.Lbl[20]->caption), "はじまり");

    f.m_menu_Click(1);
    EXPECT_EQ(utf8(f.DayDate.caption), "6");
    EXPECT_EQ(f.game.TurnCount, 41);
    EXPECT_TRUE(f.game.CnFlags[2] && f.game.GnFlags[1] && f.game.OnOffFlags[0][3] && f.game.OnOffFlags[2][0]);
    EXPECT_FALSE(f.game.CnFlags[0] || f.game.OnOffFlags[1][1]);
    EXPECT_EQ(f.DataLbl[0]->backColor, rgb(255, 0, 0));
    EXPECT_EQ(f.DataLbl[62]->backColor, rgb(1, 2, 3));
    EXPECT_EQ(f.DataLbl[1]->backColor, rgb(255, 255, 255));
    EXPECT_TRUE(f.game.VisitFlags[1] && f.game.VisitFlags[8]);
    EXPECT_FALSE(f.game.VisitFlags[2] || f.game.VisitFlags[9]);
    EXPECT_EQ(f.game.LoveLevels, (std::array<std::uint8_t, 3>{7, 254, 0}));
    EXPECT_EQ(utf8(f.Lst.list[7]), "1 ☆　254");
    // The difficulty is the new game's; the text area is emptied but the scene stays where it was.
    EXPECT_EQ(f.game.TurnLimit, 50);
    EXPECT_EQ(f.game.LoveThreshold, 200);
    EXPECT_TRUE(f.Lbl[20]->caption.empty() && f.Lbl2[20]->caption.empty());
    EXPECT_EQ(utf8(f.Lbl3[4]->caption), "影");
    EXPECT_TRUE(f.script.file.isOpen());
    // The prompt that was showing turns magenta and keeps blinking; the story waits.
    EXPECT_TRUE(f.ClickMe.visible);
    EXPECT_EQ(f.ClickMe.fillColor, rgb(255, 0, 255));
    EXPECT_TRUE(f.LblShpTim.enabled());
    EXPECT_FALSE(f.LblTim.enabled());
    EXPECT_TRUE(p.messages().empty());
    // Loading changes nothing on disk.
    EXPECT_EQ(fileBytes(p.save()), saved);
}

TEST(SaveSlot, LoadReadsWhatOtherWritersMightHaveWritten) {
    Playing p;
    auto lines = saveLines();
    lines[0] = " 7";     // the day as it stands
    lines[1] = "  12";   // spaces around numbers
    lines[2] = "true";   // CnFlags(0)
    lines[3] = "TRUE";   // GnFlags(0)
    lines[4] = "1";      // OnOffFlags(0, 0)
    lines[5] = "-1";     // OnOffFlags(0, 1)
    lines[6] = " 0 ";    // OnOffFlags(0, 2)
    lines[7] = "fAlSe";  // OnOffFlags(0, 3)
    lines[20] = "255";   // the first cell
    lines[83] = " 2.5 "; // VisitFlags(1)
    lines[91] = "12";    // LoveLevels(0)
    p.writeSave(lines);
    Fom& f = p.fom();
    f.m_menu_Click(1);
    EXPECT_TRUE(p.messages().empty());
    EXPECT_EQ(utf8(f.DayDate.caption), " 7");
    EXPECT_EQ(f.game.TurnCount, 12);
    EXPECT_TRUE(f.game.CnFlags[0] && f.game.GnFlags[0]);
    EXPECT_EQ(f.game.OnOffFlags[0], (std::array<bool, 4>{true, true, false, false}));
    EXPECT_EQ(f.DataLbl[0]->backColor, rgb(255, 0, 0));
    EXPECT_TRUE(f.game.VisitFlags[1]);
    EXPECT_EQ(f.game.LoveLevels[0], 12);
}

TEST(SaveSlot, LoveLevelsThatCannotBeReadAllBecomeZero) {
    for (int variant = 0; variant < 3; ++variant) {
        SCOPED_TRACE(variant);
        Playing p;
        auto lines = saveLines();
        lines[83] = "True";
        if (variant == 0) lines.resize(91); // written before the love levels were saved
        if (variant == 1) lines[92] = "300";
        if (variant == 2) lines[93] = "much";
        lines[91] = " 20 ";
        p.writeSave(lines);
        Fom& f = p.fom();
        f.game.LoveLevels = {9, 9, 9};
        f.m_menu_Click(1);
        // Everything before the love levels is loaded, and the load ends as a good one does.
        EXPECT_TRUE(p.messages().empty());
        EXPECT_EQ(f.game.LoveLevels, (std::array<std::uint8_t, 3>{0, 0, 0}));
        EXPECT_EQ(utf8(f.DayDate.caption), "3");
        EXPECT_EQ(f.game.TurnCount, 12);
        EXPECT_TRUE(f.game.VisitFlags[1]);
        EXPECT_EQ(utf8(f.Lst.list[0]), "0 ☆　0");
        EXPECT_TRUE(f.ClickMe.visible);
        EXPECT_EQ(f.ClickMe.fillColor, rgb(255, 0, 255));
    }
}

TEST(SaveSlot, ALoadThatCannotBeDoneSaysWhyAndChangesNothing) {
    struct Case {
        const char* what;
        std::size_t cut; // lines kept (0: all)
        std::size_t at;  // the line changed (from 1), 0 for none
        const char* value;
        const char* says;
    };
    const Case cases[] = {
        {"no save file", 0, 0, nullptr, "no saved game"},
        {"an empty file", 0, 0, "", "line 1: the file ends here"},
        {"a turn count that is no number", 0, 2, "twelve", "line 2: \"twelve\""},
        {"a turn count too large", 0, 2, " 40000 ", "line 2:"},
        {"a flag that is neither", 0, 5, "Maybe", "line 5: \"Maybe\""},
        {"a colour out of range", 0, 21, "-1", "line 21:"},
        {"a file ending in the map", 49, 0, nullptr, "line 50: the file ends here"},
        {"a visit that is no flag", 0, 88, "yes", "line 88:"},
        {"a file ending before the visits end", 90, 0, nullptr, "line 91: the file ends here"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Playing p;
        if (std::string(c.what) != "no save file") {
            auto lines = saveLines();
            if (c.cut) lines.resize(c.cut);
            if (c.at) lines[c.at - 1] = c.value;
            if (std::string(c.what) == "an empty file") lines.clear();
            p.writeSave(lines);
        }
        Fom& f = p.fom();
        f.DayDate.caption = u"2";
        f.game.TurnCount = 5;
        f.game.LoveLevels = {1, 2, 3};
        f.DataLbl[5]->backColor = rgb(9, 9, 9);
        Snapshot before(f);
        f.m_menu_Click(1);
        ASSERT_EQ(p.messages().size(), 1u);
        EXPECT_NE(p.messages()[0].find(c.says), std::string::npos) << p.messages()[0];
        EXPECT_NE(p.messages()[0].find("save.dat"), std::string::npos) << p.messages()[0];
        before.expectSame(f);
    }
}

TEST(SaveSlot, ASaveThatCannotBeWrittenKeepsTheOldOneAndSaysSo) {
    {
        // The file beside the save cannot be created.
        Playing p;
        p.writeSave(saveLines());
        fs::create_directory(p.save().string() + ".tmp");
        p.fom().m_menu_Click(2);
        ASSERT_EQ(p.messages().size(), 1u);
        EXPECT_NE(p.messages()[0].find("could not be saved"), std::string::npos);
        EXPECT_EQ(fileBytes(p.save()), joined(saveLines()));
    }
    {
        // The finished save cannot take the old one's place: nothing of it is left behind.
        Playing p;
        fs::create_directories(p.save() / "inside");
        p.fom().m_menu_Click(2);
        ASSERT_EQ(p.messages().size(), 1u);
        EXPECT_TRUE(fs::is_directory(p.save() / "inside"));
        EXPECT_FALSE(fs::exists(p.save().string() + ".tmp"));
        // The game goes on.
        EXPECT_TRUE(p.fom().script.file.isOpen());
    }
}

TEST(SaveSlot, AnInterruptedSaveCannotHarmTheSaveBeforeIt) {
    Playing p;
    p.writeSave(saveLines());
    // The save file is never opened for writing: a second name for the old file keeps the old bytes.
    const fs::path other = fs::path(p.game.dir()) / "txt" / "other.dat";
    fs::create_hard_link(p.save(), other);
    // What a save killed before its rename leaves behind.
    p.game.bytes("txt/save.dat.tmp", "half a sa");

    Fom& f = p.fom();
    f.m_menu_Click(1);
    EXPECT_TRUE(p.messages().empty());
    EXPECT_EQ(f.game.TurnCount, 12);

    f.game.TurnCount = 77;
    f.m_menu_Click(2);
    EXPECT_EQ(fileBytes(other), joined(saveLines()));
    EXPECT_NE(fileBytes(p.save()).find("\r\n 77 \r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(p.save().string() + ".tmp"));
}

// A save killed half-way: the file size limit makes the kernel kill the saving process (SIGXFSZ)
// in the middle of writing, as a crash or a power cut would stop it.
TEST(SaveSlot, ASaveKilledHalfWayLeavesTheOldSaveWhole) {
    Playing p;
    p.writeSave(saveLines());
    Fom& f = p.fom();
    f.game.TurnCount = 77;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        f.m_menu_Click(2);
        _exit(0); // the save got through: the test fails below
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the save should have been killed";
    EXPECT_EQ(fileBytes(p.save()), joined(saveLines())) << "the save before it is whole";
    // The game loads it, and the next save replaces what the killed one left.
    f.m_menu_Click(1);
    EXPECT_TRUE(p.messages().empty());
    EXPECT_EQ(f.game.TurnCount, 12);
    f.m_menu_Click(2);
    EXPECT_EQ(fileBytes(p.save()), joined(saveLines()));
    EXPECT_FALSE(fs::exists(p.save().string() + ".tmp"));
}

// Processes killed at random moments while they save again and again: after every kill the slot holds
// one whole save, the one before or one of those being written.
TEST(SaveSlot, SurvivesTwoHundredKillsAtRandomMoments) {
    Playing p;
    Fom& f = p.fom();
    std::vector<std::string> whole;
    for (int turns : {77, 78}) {
        f.game.TurnCount = turns;
        f.m_menu_Click(2);
        whole.push_back(fileBytes(p.save()));
    }
    p.writeSave(saveLines());
    whole.push_back(joined(saveLines()));

    std::mt19937 random(13);
    std::uniform_int_distribution<int> delayMicroseconds(0, 20000);
    int killedWhileSaving = 0;
    for (int kill = 0; kill < 200; ++kill) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int turns = 77;; turns = 155 - turns) {
                f.game.TurnCount = turns;
                f.m_menu_Click(2);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string bytes = fileBytes(p.save());
        ASSERT_NE(std::find(whole.begin(), whole.end(), bytes), whole.end())
            << "kill " << kill << " left a save of " << bytes.size() << " bytes that is no whole save";
        if (fs::exists(p.save().string() + ".tmp")) ++killedWhileSaving;
    }
    // Many kills land inside a save, between making the temporary file and renaming it.
    EXPECT_GT(killedWhileSaving, 0);
    std::printf("200 kills, %d of them inside a save\n", killedWhileSaving);
    // The game loads what is left and saves over it.
    f.m_menu_Click(1);
    EXPECT_TRUE(p.messages().empty());
    f.m_menu_Click(2);
    EXPECT_FALSE(fs::exists(p.save().string() + ".tmp"));
}

TEST(SaveSlot, DeleteGoesBackToTheTitleAndLeavesTheSaveAlone) {
    Playing p;
    p.writeSave(saveLines());
    p.game.bytes("grf/ttl.dat", "PICTURE 80 60");
    Fom& f = p.fom();
    f.game.TurnCount = 9;
    f.m_menu_Click(0);
    EXPECT_TRUE(f.PicTtl.visible);
    EXPECT_FALSE(f.LblTim.enabled());
    EXPECT_EQ(f.game.TurnCount, 9); // until a difficulty starts a new game
    EXPECT_EQ(fileBytes(p.save()), joined(saveLines()));
}
