// The bundled story played from the title to each of its endings and back to the title, with the draws
// of the random generator queued so that every run is exact.
#include "support/TestGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

// Where each character is on each day (the row of the command panel), days 1 to 9.
const std::vector<int> kIori = {5, 0, 2, 3, 5, 5, 5, 4, 2};
const std::vector<int> kRitsu = {3, 3, 3, 2, 1, 1, 0, 0, 0};
const std::vector<int> kGinka = {4, 4, 1, 1, 2, 4, 2, 1, 4};
// A row where nobody is, for each day.
const std::vector<int> kNobody = {0, 1, 0, 0, 0, 0, 1, 2, 1};
constexpr int kLighthouse = 6;

// A copy of the demo in a fresh folder, so the bonus pages it writes never land in the source tree.
struct Demo {
    TempGame game;
    std::unique_ptr<TestWindow> w;
    std::vector<std::string> scenes;
    int steps = 0;

    Demo() {
        fs::copy(RUMENA_DEMO_GAME, game.dir(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        // The fake picture loader reads only its own stub pictures; the title screen needs its card.
        game.bytes("grf/ttl.dat", "PICTURE 778 583");
        w = std::make_unique<TestWindow>(game);
        w->start();
    }
    Fom& fom() { return w->fom; }
    bool atTitle() { return fom().PicTtl.visible && !fom().LblTim.enabled(); }
    int day() { return std::stoi(utf8(fom().DayDate.caption)); }
    bool asking() { return fom().QstLBl[0]->visible || fom().QstLBl[1]->visible || fom().QstTim.enabled(); }

    void noteScene() {
        const std::string name = fs::path(fom().script.file.path()).stem().string();
        if (fom().script.file.isOpen() && (scenes.empty() || scenes.back() != name)) scenes.push_back(name);
    }

    // Reads on, clicking through every pause, until the story waits for the command panel, asks a
    // question or has gone back to the title.
    void read() {
        noteScene();
        for (int guard = 0; guard < 2000; ++guard) {
            ++steps;
            if (fom().LblTim.enabled()) {
                fom().LblTim_Timer();
            } else if (fom().ClickMe.visible && fom().ClickMe.fillColor == rgb(0, 255, 255)) {
                w->router.click("Fom", 0);
            } else {
                return;
            }
            noteScene();
        }
        FAIL() << "the story never stopped to wait after " << scenes.back();
    }

    // One choice of the command panel on the next day, with the draw it makes.
    void go(int row, float draw = 0.99f) {
        ASSERT_FALSE(asking()) << "a question is open in " << scenes.back();
        ASSERT_TRUE(fom().com[row]->visible && fom().com[row]->enabled)
            << "row " << row << " day " << day() + 1;
        w->fake.random.values = {draw};
        w->router.click("com", row);
        read();
    }

    void answer(int index) {
        ASSERT_TRUE(asking()) << "no question in " << scenes.back();
        w->router.click("QstLBl", index);
        read();
    }

    // Lets a question's countdown run out.
    void wait() {
        ASSERT_TRUE(asking()) << "no question in " << scenes.back();
        for (int i = 0; i < 30 && fom().QstTim.enabled(); ++i) fom().QstTim_Timer();
        read();
    }

    // Meets one character on all nine days, answering her questions warmly.
    void follow(const std::vector<int>& rows, char who) {
        for (int d = 1; d <= 9; ++d) {
            go(rows[static_cast<std::size_t>(d - 1)]);
            if (asking() && d < 9) answer(0);
        }
        ASSERT_EQ(scenes.back(), std::string(1, who) + "_close");
    }

    bool visited(const std::string& scene) const {
        return std::find(scenes.begin(), scenes.end(), scene) != scenes.end();
    }
    std::vector<std::string> musicOpened() const {
        std::vector<std::string> out;
        for (const auto& c : w->fake.music.commands)
            if (c.rfind("open ", 0) == 0)
                out.push_back(fs::path(c.substr(6, c.find('"', 6) - 6)).stem().string());
        return out;
    }
    bool page(const std::string& name) const { return fs::exists(fs::path(game.dir()) / (name + ".html")); }
};

void expectInOrder(const std::vector<std::string>& seen, const std::vector<std::string>& wanted) {
    auto at = seen.begin();
    for (const auto& w : wanted) {
        at = std::find(at, seen.end(), w);
        ASSERT_NE(at, seen.end()) << w << " missing or out of order";
    }
}

} // namespace

TEST(DemoPlayThrough, IoriEndingOnEasy) {
    Demo demo;
    demo.w->router.click("StartCom", 0);
    demo.read();
    demo.follow(kIori, 'i');
    demo.answer(0);
    EXPECT_TRUE(demo.atTitle());
    expectInOrder(demo.scenes, {"opn", "i_1", "i_2", "i_2a", "i_2c", "i_3", "i_4", "i_5", "i_6", "i_6a",
                                "i_7", "i_8", "i_9", "i_close", "i_end", "staff"});
    EXPECT_EQ(demo.musicOpened(), (std::vector<std::string>{"opn", "bgm", "ai", "end", "opn"}));
    EXPECT_TRUE(demo.page("iori"));
    EXPECT_TRUE(demo.fom().HtmlToolLbl.visible);
    demo.fom().HtmlToolLbl_Click();
    ASSERT_EQ(demo.w->fake.desktop.opened.size(), 1u);
    EXPECT_EQ(fs::path(demo.w->fake.desktop.opened[0]).filename(), "iori.html");
}

TEST(DemoPlayThrough, RitsuEndingOnNormalAfterSilenceAndALetter) {
    Demo demo;
    demo.w->router.click("PicTtl", 0);
    demo.read();
    // Silence when she asks whether she may go costs a flag, which a high enough love level makes up for.
    for (int d = 1; d <= 9; ++d) {
        demo.go(kRitsu[static_cast<std::size_t>(d - 1)]);
        if (d == 6) demo.wait();
    }
    ASSERT_EQ(demo.scenes.back(), "r_close");
    EXPECT_TRUE(demo.visited("r_6b"));
    EXPECT_FALSE(demo.fom().game.OnOffFlags[1][1]);
    EXPECT_GE(demo.fom().game.LoveLevels[1], 40);
    demo.answer(0);
    EXPECT_TRUE(demo.atTitle());
    expectInOrder(demo.scenes, {"r_1", "r_4", "r_6", "r_6b", "r_8", "r_9", "r_close", "r_end", "staff"});
    EXPECT_EQ(demo.musicOpened(), (std::vector<std::string>{"opn", "bgm", "ai", "end", "opn"}));
    // The page of her log needs all four of her events; the one she lost keeps it from being written.
    EXPECT_FALSE(demo.page("ritsu"));
}

TEST(DemoPlayThrough, GinkaEndingOnHardNeedsEveryEvent) {
    Demo demo;
    demo.w->router.click("StartCom", 2);
    demo.read();
    demo.follow(kGinka, 'g');
    demo.answer(0);
    EXPECT_TRUE(demo.atTitle());
    expectInOrder(demo.scenes, {"g_1", "g_4", "g_4a", "g_9", "g_close", "g_end", "staff"});
    EXPECT_EQ(demo.musicOpened(), (std::vector<std::string>{"opn", "bgm", "ai", "end", "opn"}));
    EXPECT_TRUE(demo.page("ginka"));
}

TEST(DemoPlayThrough, HardWithoutHerEventsLeavesHerWaiting) {
    Demo demo;
    demo.w->router.click("StartCom", 2);
    demo.read();
    for (int d = 1; d <= 9; ++d) {
        demo.go(kGinka[static_cast<std::size_t>(d - 1)]);
        if (d == 4) demo.answer(1);
    }
    EXPECT_EQ(demo.scenes.back(), "g_wait");
    EXPECT_FALSE(demo.fom().game.CnFlags[2]);
}

TEST(DemoPlayThrough, AllThreeLightsEndTheLoop) {
    Demo demo;
    demo.w->router.click("StartCom", 1);
    demo.read();
    demo.follow(kIori, 'i');
    demo.answer(1);
    demo.follow(kRitsu, 'r');
    demo.answer(1);
    demo.follow(kGinka, 'g');
    demo.wait(); // time runs out on her question: she goes on alone
    ASSERT_EQ(demo.scenes.back(), "g_go");
    const std::string dayBefore = utf8(demo.fom().DayDate.caption);
    demo.go(0);
    EXPECT_EQ(utf8(demo.fom().DayDate.caption), dayBefore);
    EXPECT_TRUE(demo.atTitle());
    expectInOrder(demo.scenes, {"i_close", "i_go", "r_close", "r_go", "g_close", "g_go", "end", "staff"});
    EXPECT_EQ(fs::path(demo.w->fake.pictures.asked.back()).stem(), "ttl");
    EXPECT_NE(std::find_if(demo.w->fake.pictures.asked.begin(), demo.w->fake.pictures.asked.end(),
                           [](const std::string& p) { return fs::path(p).stem() == "kami"; }),
              demo.w->fake.pictures.asked.end());
    for (const char* p : {"iori", "ritsu", "ginka", "lumena_omake"}) EXPECT_TRUE(demo.page(p)) << p;
    const auto music = demo.musicOpened();
    EXPECT_EQ(std::count(music.begin(), music.end(), "ai"), 3);
    EXPECT_EQ(music[music.size() - 3], "end"); // the ending scene's own music, then the staff roll's
}

TEST(DemoPlayThrough, LighthouseEveryNightThenTheTurnLimit) {
    Demo demo;
    demo.w->router.click("StartCom", 2);
    demo.read();
    // Wandering alone reveals the lighthouse (a draw of 30 or less); taking it hides it again. Over two
    // rounds of nine days the lighthouse is visited on every night from 1 to 8.
    for (int d = 1; d <= 18; ++d) {
        const int today = (d - 1) % 9 + 1;
        if (d == 18)
            demo.go(kLighthouse);
        else if ((d <= 9) == (today % 2 == 0))
            demo.go(kLighthouse);
        else
            demo.go(kNobody[static_cast<std::size_t>(today - 1)], 0.1f);
    }
    for (int d = 1; d <= 8; ++d) EXPECT_TRUE(demo.visited("m_" + std::to_string(d))) << d;
    EXPECT_EQ(demo.scenes.back(), "m_9_0");
    EXPECT_TRUE(demo.visited("a_m"));
    EXPECT_TRUE(demo.visited("m_8b")); // the lamp has not met the player on night 1 yet
    EXPECT_EQ(demo.fom().game.LoveLevels, (std::array<std::uint8_t, 3>{10, 10, 10}));
    // The festival preparations on days 3 to 5: a lantern made, a wish left blank, the lantern on show.
    demo.go(kNobody[0], 0.9f);
    demo.go(kNobody[1], 0.9f);
    demo.go(4);
    demo.go(4);
    demo.wait();
    demo.go(4);
    expectInOrder(demo.scenes, {"b_1", "b_2", "b_2b", "b_3", "b_3a"});
    // Then days alone until the turns run out.
    while (!demo.atTitle()) {
        ASSERT_LT(demo.fom().game.TurnCount, 50);
        demo.go(kNobody[static_cast<std::size_t>(demo.day() % 9)], 0.9f);
    }
    EXPECT_EQ(demo.fom().game.TurnCount, 50);
    expectInOrder(demo.scenes, {"a_9", "a_end", "staff"});
    const auto music = demo.musicOpened();
    EXPECT_NE(std::find(music.begin(), music.end(), "yoru"), music.end());
    EXPECT_NE(
        std::find(demo.w->fake.music.commands.begin(), demo.w->fake.music.commands.end(), "stop MIDI notify"),
        demo.w->fake.music.commands.end());
}
